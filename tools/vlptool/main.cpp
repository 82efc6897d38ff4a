// vlptool: prints a structure file as JSON, compiles such JSON into a structure file, and checks a
// disc before it is burned.

#include "CheckCommand.h"
#include "ProjectJson.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char DumpHelpText[] =
    "  vlptool dump FILE [--with-data]\n"
    "      Print FILE (a structure file, or a legacy file when its extension is .apr)\n"
    "      as JSON with its load result. --with-data adds each icon's and picture's\n"
    "      bytes as Base64 so that the output can be compiled again.\n"
    "      Exit code: 0 loaded, 1 not loaded (the JSON is printed all the same).\n";
const char BuildHelpText[] =
    "  vlptool build PROJECT.json OUT [--version X.Y.Z] [--legacy]\n"
    "      Compile a project JSON into a structure file (header version X.Y.Z,\n"
    "      default the program's own), or with --legacy a legacy JSON into a\n"
    "      legacy file. Icons are given as {\"File\": path relative to the JSON file}\n"
    "      or {\"Base64\": data}.\n";
const char HelpHelpText[] = "  vlptool --help, vlptool COMMAND --help\n"
                            "      Describe every command, or one.\n";

QByteArray UsageText()
{
    QByteArray Text("Usage:\n");
    for (const char* Part : {DumpHelpText, BuildHelpText, CheckHelpText, HelpHelpText})
        Text.append(Part);
    return Text.append("Exit code 2: a usage error.\n");
}

void Print(std::FILE* Stream, const QByteArray& Bytes)
{
    std::fwrite(Bytes.constData(), 1, size_t(Bytes.size()), Stream);
    std::fflush(Stream);
}

void PrintError(const QString& Message)
{
    Print(stderr, u"vlptool: %1\n"_s.arg(Message).toLocal8Bit());
}

int UsageError(const QString& Message)
{
    PrintError(Message);
    Print(stderr, UsageText());
    return ExitUsage;
}

int Dump(const QStringList& Args)
{
    QStringList Files;
    bool WithData = false;
    for (const QString& Arg : Args) {
        if (Arg == u"--with-data"_s)
            WithData = true;
        else if (Arg.startsWith(u"--"_s))
            return UsageError(u"dump: unknown option %1"_s.arg(Arg));
        else
            Files.append(Arg);
    }
    if (Files.size() != 1)
        return UsageError(u"dump takes one file"_s);

    const ProjectJson::TDumpResult R = ProjectJson::DumpFile(Files[0], WithData);
    Print(stdout, QJsonDocument(R.Json).toJson(QJsonDocument::Indented));
    if (!R.Loaded) {
        PrintError(u"%1: not loaded: %2"_s.arg(Files[0], R.Error));
        return ExitFailed;
    }
    return ExitOk;
}

int Build(const QStringList& Args)
{
    QStringList Files;
    ProjectJson::TBuildOptions Options{ProjectJson::DefaultVersion()};
    bool VersionGiven = false;
    for (qsizetype I = 0; I < Args.size(); ++I) {
        const QString& Arg = Args[I];
        if (Arg == u"--legacy"_s) {
            Options.Legacy = true;
        } else if (Arg == u"--version"_s || Arg.startsWith(u"--version="_s)) {
            QString Value;
            if (Arg.contains(u'='))
                Value = Arg.section(u'=', 1);
            else if (I + 1 < Args.size())
                Value = Args[++I];
            if (!ProjectJson::ParseVersion(Value, &Options.Version))
                return UsageError(u"build: --version takes X.Y.Z with numbers from 0 to 255"_s);
            VersionGiven = true;
        } else if (Arg.startsWith(u"--"_s)) {
            return UsageError(u"build: unknown option %1"_s.arg(Arg));
        } else {
            Files.append(Arg);
        }
    }
    if (Files.size() != 2)
        return UsageError(u"build takes a JSON file and an output file"_s);
    if (Options.Legacy && VersionGiven)
        return UsageError(u"build: a legacy file has no header, so --version does not apply"_s);

    QString Error;
    if (!ProjectJson::BuildFile(Files[0], Files[1], Options, &Error)) {
        PrintError(Error);
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

int main(int argc, char* argv[])
{
    // The check makes an application of its own: it builds windows, off screen.
    if (argc > 1 && std::strcmp(argv[1], "check") == 0)
        return RunCheckCommand(argc, argv);
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments().mid(1);
    if (Args.isEmpty())
        return UsageError(u"no command given"_s);
    const QString Command = Args[0];
    if (Command == u"--help"_s || Command == u"-h"_s || Command == u"help"_s) {
        Print(stdout, UsageText());
        return ExitOk;
    }
    if (Args.size() > 1 && (Args[1] == u"--help"_s || Args[1] == u"-h"_s)) {
        if (Command == u"dump"_s || Command == u"build"_s) {
            Print(stdout, QByteArray("Usage:\n") + (Command == u"dump"_s ? DumpHelpText : BuildHelpText));
            return ExitOk;
        }
    }
    try {
        if (Command == u"dump"_s)
            return Dump(Args.mid(1));
        if (Command == u"build"_s)
            return Build(Args.mid(1));
    } catch (std::exception& E) {
        PrintError(u"internal error: %1"_s.arg(QString::fromUtf8(E.what())));
        return ExitFailed;
    }
    return UsageError(u"unknown command %1"_s.arg(Command));
}
