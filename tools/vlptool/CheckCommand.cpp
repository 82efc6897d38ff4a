#include "CheckCommand.h"

#include "DiscCheck.h"
#include "MemoryTuning.h"

#include <QApplication>
#include <QJsonDocument>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

const char CheckHelpText[] =
    "  vlptool check DISC [--json]\n"
    "      Check a disc folder before it is burned. The project is loaded as autorun loads it\n"
    "      (DISC/Shell/shell.ini, the structure file it names, the project's folder) and every\n"
    "      problem a user of the disc would meet is reported, one line each: the file, what is\n"
    "      wrong and where it is named. Checked are the files the project and shell.ini name\n"
    "      (action objects and programs, screenshots, pictures, music, texts, the history, the\n"
    "      splash, every skin picture and cursor, copy-rule sources): missing, or found only in\n"
    "      another letter case (a warning); pictures, cursors and sounds that do not decode;\n"
    "      texts longer than the reader shows; keys of shell.ini nothing reads and values that\n"
    "      cannot be read; lines of controls.ini that fail or change nothing; program steps whose\n"
    "      file is neither a program nor of a type a program here opens; document steps whose\n"
    "      file is a program. A summary line ends the report.\n"
    "      --json   print the result as one JSON object instead (see docs/disc-check.md).\n"
    "      Exit code: 0 no problems, 1 problems found, 2 the project cannot be loaded.\n";

namespace {

void Print(std::FILE* Stream, const QByteArray& Bytes)
{
    std::fwrite(Bytes.constData(), 1, size_t(Bytes.size()), Stream);
    std::fflush(Stream);
}

void Usage(const QString& Message)
{
    Print(stderr, u"vlptool: %1\nUsage:\n"_s.arg(Message).toLocal8Bit() + QByteArray(CheckHelpText));
}

// The windows are built only to be looked at; what Qt says about windows nobody sees is noise.
void QuietHandler(QtMsgType Type, const QMessageLogContext&, const QString& Message)
{
    if (Type == QtCriticalMsg || Type == QtFatalMsg) {
        Print(stderr, Message.toLocal8Bit() + '\n');
    }
}

} // namespace

int RunCheckCommand(int argc, char** argv)
{
    TuneMemoryAllocator();
    // Nothing is shown, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietHandler);
    QApplication App(argc, argv);

    QStringList Discs;
    bool Json = false;
    for (const QString& Arg : App.arguments().mid(2)) {
        if (Arg == u"--json"_s) {
            Json = true;
        } else if (Arg == u"--help"_s || Arg == u"-h"_s) {
            Print(stdout, QByteArray("Usage:\n") + CheckHelpText);
            return 0;
        } else if (Arg.startsWith(u"--"_s)) {
            Usage(u"check: unknown option %1"_s.arg(Arg));
            return 2;
        } else {
            Discs.append(Arg);
        }
    }
    if (Discs.size() != 1) {
        Usage(u"check takes one disc folder"_s);
        return 2;
    }

    const TCheckResult Result = CheckDisc({Discs.first(), QProcessEnvironment::systemEnvironment()});
    if (Json) {
        Print(stdout, QJsonDocument(Result.ToJson()).toJson(QJsonDocument::Indented));
    } else {
        QByteArray Text;
        for (const TProblem& Problem : Result.Problems) {
            Text += ProblemLine(Problem, Result.Project.get()).toLocal8Bit() + '\n';
        }
        Text += Result.Summary().toLocal8Bit() + '\n';
        Print(stdout, Text);
    }
    // The report is out. The project's hundreds of thousands of blocks and the windows' resources go
    // with the process: freeing them one by one would add a tenth to a large disc's check.
    std::_Exit(Result.ExitCode());
}
