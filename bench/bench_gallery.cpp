// Selects an item with a gallery of 20 photographs of 24 megapixels (6000 x 4000 JPEG, no
// description, so the tab strip moves to "Screenshots" by itself) in the main window and measures:
// how long the selection holds the user-interface thread, when the first thumbnail is painted, when
// the last one has arrived, and the longest the window's event loop went without turning meanwhile
// (a timer asks every 5 ms). Target: the first thumbnail within 150 ms, the others as they come, the
// window never held long.
// Usage: bench_gallery [--dir FOLDER] [--runs N]
// Without --dir the photographs are made in a temporary folder; with it they are made there once and
// reused by later runs.

#include "BenchSupport.h"
#include "MainWindowDisc.h"

#include "Thumbnails.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int PhotoCount = 20;
constexpr QSize PhotoSize(6000, 4000);

quint32 Next(quint32& Seed)
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed;
}

// A photograph-like picture: soft light and shapes with gradients under sensor-like noise, which
// gives the encoder and the decoder the detail of a real photograph.
QImage MakePhoto(int Index)
{
    quint32 Seed = 0x2545F491u * quint32(Index + 1);
    QImage Image(PhotoSize, QImage::Format_RGB32);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient Sky(0, 0, 0, PhotoSize.height());
    Sky.setColorAt(0, QColor::fromHsv(int(Next(Seed) % 360), 90, 240));
    Sky.setColorAt(1, QColor::fromHsv(int(Next(Seed) % 360), 160, 70));
    P.fillRect(Image.rect(), Sky);
    P.setPen(Qt::NoPen);
    for (int S = 0; S < 60; ++S) {
        const int X = int(Next(Seed) % 6000), Y = int(Next(Seed) % 4000);
        const int R = 80 + int(Next(Seed) % 900);
        QRadialGradient Fill(X, Y, R);
        Fill.setColorAt(0, QColor::fromHsv(int(Next(Seed) % 360), 150, 230, 220));
        Fill.setColorAt(1, QColor::fromHsv(int(Next(Seed) % 360), 200, 40, 0));
        P.setBrush(Fill);
        P.drawEllipse(QPoint(X, Y), R, R);
    }
    P.end();
    for (int Y = 0; Y < Image.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Image.width(); ++X) {
            const quint32 N = Next(Seed);
            const int L = int(N >> 28) - 8;
            const QRgb C = Line[X];
            Line[X] = qRgb(std::clamp(qRed(C) + L + int((N >> 8) & 3) - 1, 0, 255), std::clamp(qGreen(C) + L, 0, 255),
                           std::clamp(qBlue(C) + L + int((N >> 12) & 3) - 1, 0, 255));
        }
    }
    return Image;
}

// Notes each paint of the gallery with whether its first preview had its picture, and tells whether
// every preview has its picture. Only the previews in view are painted: the others arrive without a
// paint of their own, so their arrival is asked of the strip, not of its paints.
class TGalleryWatch : public QObject
{
public:
    explicit TGalleryWatch(TThumbnails* Gallery) : FGallery(Gallery) { Gallery->installEventFilter(this); }
    bool FirstPainted = false;

    bool AllArrived() const
    {
        const TPreviewImages& Previews = FGallery->Previews();
        if (Previews.Count() != PhotoCount) {
            return false;
        }
        for (int I = 0; I < Previews.Count(); ++I) {
            if (Previews[I].Bitmap.isNull()) {
                return false;
            }
        }
        return true;
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            const TPreviewImages& Previews = FGallery->Previews();
            FirstPainted = FirstPainted || (Previews.Count() == PhotoCount && !Previews[0].Bitmap.isNull());
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TThumbnails* FGallery;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication App(argc, argv);
    BenchSupport::TFolderOptions Options;
    if (!Options.Parse(App.arguments(), "bench_gallery", 7)) {
        return 2;
    }
    const QString& Folder = Options.Folder;
    const int Runs = Options.Runs;
    TBenchDisc Disc(Folder);

    TVeltraneProject P;
    TSection& Section = P.Sections.Add();
    Section.Name = u"Photographs"_s;
    TItem& Words = Section.SItems.Add();
    Words.Name = u"Words"_s;
    Words.Description = u"A description and no pictures."_s;
    TItem& Photos = Section.SItems.Add();
    Photos.Name = u"Photos"_s;
    QDir().mkpath(Folder + u"/Photos"_s);
    qint64 Bytes = 0;
    for (int I = 0; I < PhotoCount; ++I) {
        const QString File = u"Photos/photo%1.jpg"_s.arg(I + 1, 2, 10, QLatin1Char('0'));
        const QString Path = QDir(Folder).filePath(File);
        if (!QFileInfo::exists(Path)) {
            std::printf("making %s\n", qPrintable(QDir::toNativeSeparators(Path)));
            std::fflush(stdout);
            if (!MakePhoto(I).save(Path, "JPEG", 92)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(Path));
                return 1;
            }
        }
        Bytes += QFileInfo(Path).size();
        Photos.Screenshots.Add().FileName = QString(File).replace(u'/', u'\\');
    }
    if (!Disc.Save(P)) {
        return 1;
    }
    auto F = Disc.Show();
    TGalleryWatch Watch(F->ScreenshotsGallery);
    std::printf("%d JPEG photographs of %d x %d, %.1f MB in all; gallery boxes %d x %d; %d runs\n", PhotoCount,
                PhotoSize.width(), PhotoSize.height(), double(Bytes) / 1e6, F->ScreenshotsGallery->ImageWidth(),
                F->ScreenshotsGallery->ImageHeight(), Runs);

    std::vector<double> Held, First, All, Gap;
    TTreeNode* WordsNode = TBenchDisc::Node(*F, u"Words"_s);
    TTreeNode* PhotosNode = TBenchDisc::Node(*F, u"Photos"_s);
    for (int Run = 0; Run <= Runs; ++Run) {
        TBenchDisc::Select(*F, WordsNode);
        QCoreApplication::processEvents();
        Watch.FirstPainted = false;

        QElapsedTimer Clock;
        double LastTick = 0;
        double LongestGap = 0;
        QTimer Ticker;
        Ticker.setInterval(5);
        QObject::connect(&Ticker, &QTimer::timeout, [&] {
            const double Now = double(Clock.nsecsElapsed()) / 1e6;
            LongestGap = std::max(LongestGap, Now - LastTick);
            LastTick = Now;
        });
        Ticker.start();
        Clock.start();
        TBenchDisc::Select(*F, PhotosNode);
        const double Selected = double(Clock.nsecsElapsed()) / 1e6;
        double FirstAt = -1;
        while (!Watch.FirstPainted || !Watch.AllArrived()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (FirstAt < 0 && Watch.FirstPainted) {
                FirstAt = double(Clock.nsecsElapsed()) / 1e6;
            }
        }
        const double AllAt = double(Clock.nsecsElapsed()) / 1e6;
        Ticker.stop();
        LongestGap = std::max(LongestGap, AllAt - LastTick);
        std::printf("  run %d: held %.1f, first %.1f, all %.1f, longest gap %.1f ms\n", Run, Selected, FirstAt,
                    AllAt, LongestGap);
        std::fflush(stdout);
        if (Run == 0) {
            continue; // the first run reads the files into the system's cache
        }
        Held.push_back(Selected);
        First.push_back(FirstAt);
        All.push_back(AllAt);
        Gap.push_back(LongestGap);
    }
    std::printf("ms, best / median:\n");
    std::printf("  selection holds the window   %8.1f / %8.1f\n", Best(Held), Median(Held));
    std::printf("  first thumbnail painted      %8.1f / %8.1f   (target 150)\n", Best(First), Median(First));
    std::printf("  all %d thumbnails arrived    %8.1f / %8.1f\n", PhotoCount, Best(All), Median(All));
    std::printf("  longest event loop gap       %8.1f / %8.1f\n", Best(Gap), Median(Gap));
    return 0;
}
