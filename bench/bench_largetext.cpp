// Selects text items whose files are 1 MB and 16 MB in the main window and measures the time until
// the window has painted the text: the selection's work on the user-interface thread (reading,
// decoding and wrapping the file) and the paint that follows. Also one line of scrolling in the
// large text with its paint. Targets: 1 MB at most 100 ms, 16 MB at most 1 s.
// Usage: bench_largetext [--dir FOLDER] [--runs N]

#include "BenchSupport.h"
#include "MainWindowDisc.h"
#include "PaintWatch.h"

#include "VeltraneText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

quint32 Next(quint32& Seed)
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed >> 8;
}

// Prose of Windows-1251 words (Cyrillic and Latin), lines of 40 to 400 characters ending in CR LF,
// with an empty line between paragraphs: exactly Size bytes.
QByteArray MakeText(qsizetype Size)
{
    static const char* const Words[] = {"\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0",
                                        "\xE4\xE8\xF1\xEA",
                                        "\xF3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0",
                                        "\xF4\xE0\xE9\xEB",
                                        "\xEF\xE0\xEF\xEA\xE0",
                                        "the",
                                        "setup",
                                        "program",
                                        "of",
                                        "and",
                                        "\xE8",
                                        "\xE2",
                                        "\xED\xE0",
                                        "\xE4\xEB\xFF",
                                        "Windows",
                                        "\xEA\xEE\xEF\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5",
                                        "version",
                                        "2.7.5",
                                        "\xF1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC",
                                        "\xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8,"};
    constexpr int WordCount = int(sizeof(Words) / sizeof(Words[0]));
    QByteArray Text;
    Text.reserve(Size + 512);
    quint32 Seed = 12345;
    while (Text.size() < Size) {
        const qsizetype LineLength = 40 + qsizetype(Next(Seed) % 360);
        const qsizetype Start = Text.size();
        while (Text.size() - Start < LineLength) {
            Text.append(Words[Next(Seed) % WordCount]);
            Text.append(Next(Seed) % 9 == 0 ? ". " : " ");
        }
        Text.append(Next(Seed) % 5 == 0 ? "\r\n\r\n" : "\r\n");
    }
    Text.truncate(Size);
    return Text;
}

struct TResult
{
    std::vector<double> Select, Paint, Total, Scroll;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication App(argc, argv);
    BenchSupport::TFolderOptions Options;
    if (!Options.Parse(App.arguments(), "bench_largetext", 7)) {
        return 2;
    }
    const QString& Folder = Options.Folder;
    const int Runs = Options.Runs;
    TBenchDisc Disc(Folder);

    const struct
    {
        const char* Name;
        qsizetype Size;
    } Texts[] = {{"Text 1 MB", qsizetype(1) << 20}, {"Text 16 MB", TVeltraneText::MaxTextFileSize}};
    TVeltraneProject P;
    TSection& Section = P.Sections.Add();
    Section.Name = u"Texts"_s;
    TItem& Small = Section.SItems.Add();
    Small.Name = u"Short"_s;
    Small.Description = u"A short description."_s;
    QDir().mkpath(Folder + u"/Texts"_s);
    for (const auto& T : Texts) {
        const QString Name = QString::fromLatin1(T.Name);
        const QString File = u"Texts/%1.txt"_s.arg(T.Size);
        QFile Out(QDir(Folder).filePath(File));
        if (!Out.exists() || Out.size() != T.Size) {
            if (!Out.open(QIODevice::WriteOnly) || Out.write(MakeText(T.Size)) != T.Size) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(Out.fileName()));
                return 1;
            }
            Out.close();
        }
        TItem& Item = Section.SItems.Add();
        Item.Name = Name;
        TShellAction& Step = Item.ItemActions.Add().ShellActions.Add();
        Step.ShellActionType = atOpenObject;
        Step.ObjectType = otText;
        Step.OpenObject = QString(File).replace(u'/', u'\\');
    }
    if (!Disc.Save(P)) {
        return 1;
    }
    auto F = Disc.Show();
    TPaintWatch Watch(F->TextField);
    std::printf("text items of 1 MB and 16 MB (Windows-1251, lines of 40 to 400 characters); text area "
                "%d x %d; %d runs\n",
                F->TextField->Width(), F->TextField->Height(), Runs);

    for (const auto& T : Texts) {
        TResult R;
        TTreeNode* Short = TBenchDisc::Node(*F, u"Short"_s);
        TTreeNode* Large = TBenchDisc::Node(*F, QString::fromLatin1(T.Name));
        qsizetype Lines = 0;
        for (int Run = 0; Run <= Runs; ++Run) {
            TBenchDisc::Select(*F, Short);
            Watch.WaitForPaint();
            QElapsedTimer Clock;
            Clock.start();
            TBenchDisc::Select(*F, Large);
            const double Selected = double(Clock.nsecsElapsed()) / 1e6;
            Watch.WaitForPaint();
            const double Painted = double(Clock.nsecsElapsed()) / 1e6;
            Lines = F->TextField->Lines().size();
            // One line down with the wheel's path, and its paint.
            Clock.restart();
            F->TextField->ScrollLines(1);
            Watch.WaitForPaint();
            const double Scrolled = double(Clock.nsecsElapsed()) / 1e6;
            if (Run == 0) {
                continue; // the first run warms the caches and the font
            }
            R.Select.push_back(Selected);
            R.Paint.push_back(Painted - Selected);
            R.Total.push_back(Painted);
            R.Scroll.push_back(Scrolled);
        }
        std::printf("%s (%lld wrapped lines), ms best / median:\n", T.Name, static_cast<long long>(Lines));
        std::printf("  selection's work     %8.1f / %8.1f\n", Best(R.Select), Median(R.Select));
        std::printf("  then the paint       %8.1f / %8.1f\n", Best(R.Paint), Median(R.Paint));
        std::printf("  selection to paint   %8.1f / %8.1f   (with the tree's 50 ms change delay: %.1f)\n",
                    Best(R.Total), Median(R.Total), Median(R.Total) + 50);
        std::printf("  one line scrolled    %8.1f / %8.1f\n", Best(R.Scroll), Median(R.Scroll));
    }
    return 0;
}
