// Opens large documents in the reader and measures the time until its text view has painted the
// first page: reading and formatting the file on the user-interface thread, then showing the window
// and its first paint. Documents: a 17 MiB rich text (formatted Cyrillic and Latin prose, more than
// the reader keeps), the same with its bulk in a picture, and a plain text of 500,010 lines.
// Target: the 17 MiB rich text shows its first page within 1 s. Besides the wall-clock times, the
// processor time of the user-interface thread is given: on a shared machine the wall clock also
// counts the time other processes held the processor.
// Usage: bench_reader [--dir FOLDER] [--runs N]

#include "BenchSupport.h"
#include "PaintWatch.h"
#include "ReadForm.h"
#include "RichEdit.h"
#include "lang/LangStrs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>
#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;
using BenchSupport::TTimes;

namespace {

constexpr qsizetype RichSize = qsizetype(17) << 20;

double ThreadCpuMs()
{
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return double(T.tv_sec) * 1e3 + double(T.tv_nsec) / 1e6;
}

quint32 Next(quint32& Seed)
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed >> 8;
}

// Paragraphs of Windows-1251 words written as \'xx escapes and Latin words, with bold, italic,
// coloured and resized runs as word processors write them: at least Size bytes.
QByteArray MakeRichText(qsizetype Size)
{
    static const char* const Words[] = {"\\'ef\\'f0\\'ee\\'e3\\'f0\\'e0\\'ec\\'ec\\'e0",
                                        "\\'e4\\'e8\\'f1\\'ea",
                                        "the",
                                        "setup",
                                        "program",
                                        "of",
                                        "and",
                                        "\\'e8",
                                        "\\'e2",
                                        "\\'ed\\'e0",
                                        "Windows",
                                        "version",
                                        "2.7.5",
                                        "\\'f3\\'f1\\'f2\\'e0\\'ed\\'ee\\'e2\\'ea\\'e0",
                                        "\\'f4\\'e0\\'e9\\'eb"};
    static const char* const Runs[] = {"{\\b ", "{\\i ", "{\\cf2 ", "{\\fs28 ", "{\\ul "};
    constexpr int WordCount = int(sizeof(Words) / sizeof(Words[0]));
    constexpr int RunCount = int(sizeof(Runs) / sizeof(Runs[0]));
    QByteArray Text = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}\\f0\\fs20 ";
    Text.reserve(Size + 1024);
    quint32 Seed = 12345;
    while (Text.size() < Size) {
        Text.append(Next(Seed) % 7 == 0 ? "\\pard\\qc\\sb120 " : "\\pard\\fi360\\sa60 ");
        const int Count = 30 + int(Next(Seed) % 150);
        for (int W = 0; W < Count; ++W) {
            const bool Run = Next(Seed) % 12 == 0;
            if (Run) {
                Text.append(Runs[Next(Seed) % RunCount]);
            }
            Text.append(Words[Next(Seed) % WordCount]);
            if (Run) {
                Text.append("}");
            }
            Text.append(" ");
        }
        Text.append("\\par\r\n");
    }
    return Text.append("}");
}

// A page of text followed by a picture that makes up the rest of Size.
QByteArray MakePictureRichText(qsizetype Size)
{
    QByteArray Text = MakeRichText(8 * 1024);
    Text.chop(1);
    Text.append("{\\pict\\pngblip\\picw100\\pich100 ");
    while (Text.size() < Size) {
        Text.append("89504e470d0a1a0a0000000d4948445200000064000000640806000000\r\n");
    }
    return Text.append("}\\par}");
}

QByteArray MakeLines(int Count)
{
    QByteArray Text;
    Text.reserve(qsizetype(Count) * 48);
    for (int I = 0; I < Count; ++I) {
        Text.append("Line ").append(QByteArray::number(I)).append(" of a long plain text file.\r\n");
    }
    return Text;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication App(argc, argv);
    InitLanguageUnit();
    ChooseStartupLanguage(0x0409);
    BenchSupport::TFolderOptions Options;
    if (!Options.Parse(App.arguments(), "bench_reader", 5)) {
        return 2;
    }
    const QString& Folder = Options.Folder;
    const int Runs = Options.Runs;

    const struct
    {
        const char* Name;
        QByteArray Bytes;
    } Documents[] = {{"rich text, 17 MiB of formatted prose", MakeRichText(RichSize)},
                     {"rich text, 17 MiB mostly a picture", MakePictureRichText(RichSize)},
                     {"plain text, 500,010 lines", MakeLines(500010)}};
    const QString Short = QDir(Folder).filePath(u"short.txt"_s);
    {
        QFile Out(Short);
        if (!Out.open(QIODevice::WriteOnly) || Out.write("A short document.\r\n") < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(Short));
            return 1;
        }
    }

    TReadF Form;
    QWidget* Viewport = Form.TextView()->TextEdit()->viewport();
    TPaintWatch Watch(Viewport);
    std::printf("reader %d x %d, text view %d x %d; %d runs after one warm-up\n", Form.Width(), Form.Height(),
                Form.TextView()->Width(), Form.TextView()->Height(), Runs);
    int Index = 0;
    for (const auto& D : Documents) {
        const QString File = QDir(Folder).filePath(u"document%1"_s.arg(Index++));
        QFile Out(File);
        if (!Out.open(QIODevice::WriteOnly) || Out.write(D.Bytes) != D.Bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(File));
            return 1;
        }
        Out.close();
        TTimes Load, Paint, Total, Cpu;
        for (int Run = 0; Run <= Runs; ++Run) {
            Form.LoadDocument(Short);
            const double CpuStart = ThreadCpuMs();
            QElapsedTimer Clock;
            Clock.start();
            if (!Form.LoadDocument(File)) {
                std::fprintf(stderr, "cannot load %s\n", qPrintable(File));
                return 1;
            }
            const double Loaded = double(Clock.nsecsElapsed()) / 1e6;
            // What showing the reader does before its first paint.
            Form.TextView()->SetSelStart(0);
            Form.show();
            Watch.WaitForPaint();
            const double Painted = double(Clock.nsecsElapsed()) / 1e6;
            const double CpuUsed = ThreadCpuMs() - CpuStart;
            Form.hide();
            if (Run == 0) {
                continue; // the first run warms the caches and the fonts
            }
            Load.Ms.push_back(Loaded);
            Paint.Ms.push_back(Painted - Loaded);
            Total.Ms.push_back(Painted);
            Cpu.Ms.push_back(CpuUsed);
        }
        std::printf("%s (%.1f MiB, %d lines kept%s), ms best / median:\n", D.Name,
                    double(D.Bytes.size()) / (1 << 20), Form.TextView()->Lines().Count(),
                    Form.TextView()->Lines().Truncated() ? ", the rest cut" : "");
        std::printf("  load        %8.1f / %8.1f\n", Load.Best(), Load.Median());
        std::printf("  first paint %8.1f / %8.1f\n", Paint.Best(), Paint.Median());
        std::printf("  open to page%8.1f / %8.1f\n", Total.Best(), Total.Median());
        std::printf("  of which processor time %8.1f / %8.1f\n", Cpu.Best(), Cpu.Median());
    }
    return 0;
}
