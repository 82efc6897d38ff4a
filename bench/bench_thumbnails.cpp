// Fills a thumbnail strip with good quality on with 20 JPEG screenshots of 4000 x 3000 pixels in
// 187 x 140 boxes, and compares the time with reading the same files one after another through
// QImageReader with a scaled size (Qt's JPEG reader then decodes at a reduced scale too).
// Usage: bench_thumbnails [--dir FOLDER] [--runs N]
// Without --dir the pictures are made in a temporary folder; with it they are made there once and
// reused by later runs.

#include "BenchSupport.h"
#include "Thumbnail.h"
#include "Thumbnails.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int PictureCount = 20;
constexpr QSize PictureSize(4000, 3000);
constexpr QSize Box(187, 140);

quint32 Next(quint32& Seed)
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed;
}

// A screenshot-like picture: a gradient background, windows and shapes with gradients, text-like
// bars, and a little noise, so the encoder and the decoders see natural detail.
QImage MakePicture(int Index)
{
    quint32 Seed = 0x9E3779B9u * quint32(Index + 1);
    QImage Image(PictureSize, QImage::Format_RGB32);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient Back(0, 0, PictureSize.width(), PictureSize.height());
    Back.setColorAt(0, QColor::fromHsv(int(Next(Seed) % 360), 120, 230));
    Back.setColorAt(1, QColor::fromHsv(int(Next(Seed) % 360), 200, 90));
    P.fillRect(Image.rect(), Back);
    for (int S = 0; S < 40; ++S) {
        const int X = int(Next(Seed) % 3600), Y = int(Next(Seed) % 2700);
        const int W = 100 + int(Next(Seed) % 1200), H = 80 + int(Next(Seed) % 900);
        QRadialGradient Fill(X + W / 2, Y + H / 2, std::max(W, H));
        Fill.setColorAt(0, QColor::fromHsv(int(Next(Seed) % 360), 180, 250));
        Fill.setColorAt(1, QColor::fromHsv(int(Next(Seed) % 360), 220, 60));
        P.setBrush(Fill);
        P.setPen(QPen(QColor::fromHsv(int(Next(Seed) % 360), 50, 30), 3));
        switch (S % 3) {
        case 0:
            P.drawEllipse(X, Y, W, H);
            break;
        case 1:
            P.drawRoundedRect(X, Y, W, H, 20, 20);
            break;
        default:
            P.drawPolygon(QPolygon({QPoint(X, Y + H), QPoint(X + W / 2, Y), QPoint(X + W, Y + H)}));
            break;
        }
    }
    // Rows of "text": short dark bars.
    P.setPen(Qt::NoPen);
    for (int Line = 0; Line < 120; ++Line) {
        const int Y = 200 + Line * 22;
        for (int X = 200; X < 1800; X += 20 + int(Next(Seed) % 60)) {
            P.fillRect(X, Y, 10 + int(Next(Seed) % 50), 12, QColor(20, 20, 30));
        }
    }
    P.end();
    for (int Y = 0; Y < Image.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Image.width(); ++X) {
            const int N = int(Next(Seed) >> 29) - 4;
            const QRgb C = Line[X];
            Line[X] = qRgb(std::clamp(qRed(C) + N, 0, 255), std::clamp(qGreen(C) + N, 0, 255),
                           std::clamp(qBlue(C) + N, 0, 255));
        }
    }
    return Image;
}

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication App(argc, argv);
    BenchSupport::TFolderOptions Options;
    if (!Options.Parse(App.arguments(), "bench_thumbnails", 7)) {
        return 2;
    }
    const QString& Folder = Options.Folder;
    const int Runs = Options.Runs;
    QDir().mkpath(Folder);

    QStringList Files;
    qint64 Bytes = 0;
    for (int I = 0; I < PictureCount; ++I) {
        const QString File = QDir(Folder).filePath(u"screenshot%1.jpg"_s.arg(I + 1, 2, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(File)) {
            std::printf("making %s\n", qPrintable(QDir::toNativeSeparators(File)));
            std::fflush(stdout);
            if (!MakePicture(I).save(File, "JPEG", 90)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(File));
                return 1;
            }
        }
        Files << File;
        Bytes += QFileInfo(File).size();
    }
    std::printf("%d JPEG pictures of %d x %d, %.1f MB in all; boxes of %d x %d; %d runs\n", PictureCount,
                PictureSize.width(), PictureSize.height(), double(Bytes) / 1e6, Box.width(), Box.height(),
                Runs);

    TThumbnails Strip;
    Strip.SetImageWidth(Box.width());
    Strip.SetImageHeight(Box.height());
    Strip.SetGoodQuality(true);
    Strip.SetBounds(0, 0, 700, 500);

    std::vector<double> Ours, Reader;
    std::vector<QImage> QtThumbs(Files.size());
    for (int Run = 0; Run < Runs; ++Run) {
        // Alternate the order so that neither side always reads the files just after the other.
        for (int Side = 0; Side < 2; ++Side) {
            const bool OursNow = (Side == 0) == (Run % 2 == 0);
            QElapsedTimer Timer;
            Timer.start();
            if (OursNow) {
                Strip.Previews().Clear();
                QString Error;
                if (!Strip.AddImages(Files, &Error)) {
                    std::fprintf(stderr, "%s\n", qPrintable(Error));
                    return 1;
                }
                Strip.Arrange();
                Ours.push_back(double(Timer.nsecsElapsed()) / 1e6);
            } else {
                for (qsizetype I = 0; I < Files.size(); ++I) {
                    QImageReader R(Files[I]);
                    R.setScaledSize(ThumbnailSize(R.size(), Box));
                    QtThumbs[size_t(I)] = R.read();
                    if (QtThumbs[size_t(I)].isNull()) {
                        std::fprintf(stderr, "QImageReader: %s\n", qPrintable(R.errorString()));
                        return 1;
                    }
                }
                Reader.push_back(double(Timer.nsecsElapsed()) / 1e6);
            }
        }
    }

    // How far the two sets of thumbnails are apart (mean absolute difference per channel).
    double Diff = 0;
    qint64 Samples = 0;
    for (qsizetype I = 0; I < Files.size(); ++I) {
        const QImage& A = Strip.Previews()[int(I)].Bitmap;
        const QImage B = QtThumbs[size_t(I)].convertToFormat(QImage::Format_RGB32);
        if (A.size() != B.size()) {
            std::fprintf(stderr, "sizes differ: %d x %d against %d x %d\n", A.width(), A.height(), B.width(),
                         B.height());
            return 1;
        }
        for (int Y = 0; Y < A.height(); ++Y) {
            for (int X = 0; X < A.width(); ++X) {
                const QRgb P = A.pixel(X, Y), Q = B.pixel(X, Y);
                Diff += std::abs(qRed(P) - qRed(Q)) + std::abs(qGreen(P) - qGreen(Q)) +
                        std::abs(qBlue(P) - qBlue(Q));
                Samples += 3;
            }
        }
    }

    const double OursBest = *std::min_element(Ours.begin(), Ours.end());
    const double ReaderBest = *std::min_element(Reader.begin(), Reader.end());
    std::printf("TThumbnails (good quality) : best %7.1f ms, median %7.1f ms\n", OursBest, Median(Ours));
    std::printf("QImageReader + scaled size : best %7.1f ms, median %7.1f ms\n", ReaderBest, Median(Reader));
    std::printf("ratio (median)             : %.2f (target <= 0.60)\n", Median(Ours) / Median(Reader));
    std::printf("thumbnails differ by %.2f per channel on average\n",
                Diff / double(std::max<qint64>(Samples, 1)));
    // Other work on the machine takes the second core away from the strip; say how busy it was.
    if (std::FILE* Load = std::fopen("/proc/loadavg", "r")) {
        char Line[128] = {};
        if (std::fgets(Line, sizeof Line, Load)) {
            std::printf("load average: %s", Line);
        }
        std::fclose(Load);
    }
    return 0;
}
