#include "Colors.h"
#include "Control.h"
#include "CursorSlots.h"
#include "Graphic.h"
#include "Thumbnail.h"
#include "Thumbnails.h"
#include "config/ControlsProps.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Pictures are written at run time into a temporary folder: a solid BMP per size and colour.
class TPictureFolder
{
public:
    QString Solid(int Width, int Height, QRgb Colour = qRgb(255, 0, 0))
    {
        const QString Name = Dir.filePath(u"%1x%2-%3.bmp"_s.arg(Width).arg(Height).arg(Colour, 0, 16));
        if (!QFile::exists(Name)) {
            QImage Image(Width, Height, QImage::Format_RGB32);
            Image.fill(Colour);
            Image.save(Name, "BMP");
        }
        return Name;
    }
    QString Text(const QString& Name, const QByteArray& Bytes)
    {
        const QString Path = Dir.filePath(Name);
        QFile F(Path);
        if (F.open(QIODevice::WriteOnly)) {
            F.write(Bytes);
        }
        return Path;
    }
    QString Missing() const { return Dir.filePath(u"no-such-picture.jpg"_s); }

    QTemporaryDir Dir;
};

// Previews with bitmaps of the given sizes (the layout only needs their sizes).
void FillPreviews(TPreviewImages& Previews, int Count, QSize Bitmap)
{
    for (int I = 0; I < Count; ++I) {
        Previews.Add().Bitmap = QImage(Bitmap, QImage::Format_RGB32);
    }
}

QRect Edges(int L, int T, int R, int B)
{
    return QRect(L, T, R - L, B - T);
}

void SendMouse(QWidget& W, QEvent::Type Type, QPoint P, Qt::MouseButton Button = Qt::NoButton)
{
    const Qt::MouseButtons Buttons =
        Type == QEvent::MouseButtonPress ? Qt::MouseButtons(Button) : Qt::NoButton;
    QMouseEvent Event(Type, QPointF(P), W.mapToGlobal(QPointF(P)), Button, Buttons, Qt::NoModifier);
    QApplication::sendEvent(&W, &Event);
}

void SendWheel(QWidget& W, int Delta)
{
    QWheelEvent Event(QPointF(10, 10), W.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, Delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&W, &Event);
}

const int Green = 0x00FF00; // 0x00BBGGRR
const int Blue = 0xFF0000;
const QRgb Red = qRgb(255, 0, 0);
const QRgb White = qRgb(255, 255, 255);

// A white window with a strip at (0, 0) of 200 x 150, boxes of 50 x 50, green frames, blue focus.
struct TStripFixture
{
    TStripFixture()
    {
        Window.SetColor(0xFFFFFF);
        Window.SetBounds(0, 0, 250, 200);
        Strip = new TThumbnails(&Window, u"ScreenshotsGallery"_s);
        Strip->SetImageWidth(50);
        Strip->SetImageHeight(50);
        Strip->ThumbnailFrame()->SetColor(Green);
        Strip->ThumbnailFrame()->SetFocusedColor(Blue);
        Strip->SetBounds(0, 0, 200, 150);
        Window.show();
    }
    void Fill(int Count)
    {
        Strip->Previews().Clear();
        for (int I = 0; I < Count; ++I) {
            Strip->AddImage(Pictures.Solid(50, 50, Red));
        }
        Strip->Arrange();
    }
    QImage Shot()
    {
        QImage Image(Window.size(), QImage::Format_RGB32);
        Image.fill(Qt::black);
        Window.render(&Image);
        return Image;
    }

    TPictureFolder Pictures;
    TControl Window;
    TThumbnails* Strip = nullptr;
};

} // namespace

class TestThumbnails : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void controlsFileSetsProperties();
    void thumbnailSizes_data();
    void thumbnailSizes();
    void missingFileGivesBlackBox();
    void loaderErrorsReachTheCaller_data();
    void loaderErrorsReachTheCaller();
    void addImagesMatchesAddImage();
    void addImagesStopsAtFirstFailure();
    void goodQualityJpegLooksTheSame();
    void layout_data();
    void layout();
    void layoutDoesNothing_data();
    void layoutDoesNothing();
    void hitTesting_data();
    void hitTesting();
    void scrollMaximum_data();
    void scrollMaximum();
    void arrangeShowsScrollBarOnOverflow();
    void scrollBarFollowsStrip();
    void wheelStopsAtBothEnds();
    void wheelDoesNothingWhenPreviewsFit();
    void scrollBarMovesOffset();
    void clearingHidesScrollBarAndShowsFirstRow();
    void emptyStripLetsInputThrough();
    void paintingFrames_data();
    void paintingFrames();
    void focusFollowsMouseAndLeaves();
    void scrolledPainting();
    void clicks_data();
    void clicks();
    void boxSizeChangeRebuildsThumbnails();
    void goodQualityChangeRebuildsThumbnails();
    void frameStyleChangeRelaysOut();
    void arrangeOnAdd();
};

void TestThumbnails::defaults()
{
    TThumbnails Strip;
    QCOMPARE(Strip.property("ImageWidth").toInt(), 100);
    QCOMPARE(Strip.property("ImageHeight").toInt(), 100);
    QCOMPARE(Strip.property("GoodQuality").toBool(), false);
    QCOMPARE(Strip.property("FocusedCursor").toInt(), int(crHandPoint));
    QCOMPARE(Strip.FocusedIndex(), -1);
    QCOMPARE(Strip.ScrollOffset(), 0);
    QVERIFY(!Strip.ArrangeOnAdd());
    QVERIFY(Strip.Transparent());
    QCOMPARE(Strip.ThumbnailFrame()->Owner(), &Strip);
    QCOMPARE(Strip.ThumbnailFrame()->Color(), 0);
    QCOMPARE(Strip.ThumbnailFrame()->FocusedColor(), 0);
    QCOMPARE(int(Strip.ThumbnailFrame()->FrameStyle()), 5);
    QCOMPARE(Strip.ScrollBar()->Kind(), TScrollBar::sbVertical);
    QCOMPARE(Strip.ScrollBar()->Width(), ThumbnailScrollBarWidth);
    QVERIFY(!Strip.ScrollBar()->TabStop());
    QCOMPARE(Strip.Previews().Count(), 0);
}

void TestThumbnails::controlsFileSetsProperties()
{
    TControl Window(nullptr, u"MainF"_s);
    auto* Strip = new TThumbnails(&Window, u"ImageGallery"_s);
    TControlsPropsContainer Container;
    Container.LoadFromBytes(
        "[ImageGallery]\nImageWidth=230\nImageHeight=175\nGoodQuality=1\nFocusedCursor=-11\n"
        "ThumbnailFrame.Color=$FBEEE3\nThumbnailFrame.FocusedColor=$B66931\n"
        "ThumbnailFrame.FrameStyle=tfClose,tfFocused\n");
    const QStringList Failures = Container.ApplyToControl(&Window, true);
    QVERIFY2(Failures.isEmpty(), qPrintable(Failures.join(u'\n')));
    QCOMPARE(Strip->ImageWidth(), 230);
    QCOMPARE(Strip->ImageHeight(), 175);
    QVERIFY(Strip->GoodQuality());
    QCOMPARE(Strip->FocusedCursor(), -11);
    QCOMPARE(Strip->ThumbnailFrame()->Color(), 0xFBEEE3);
    QCOMPARE(Strip->ThumbnailFrame()->FocusedColor(), 0xB66931);
    QCOMPARE(Strip->ThumbnailFrame()->FrameStyle(),
             TThumbnailFrame::TThumbnailFrameStyle(TThumbnailFrame::tfClose | TThumbnailFrame::tfFocused));
}

void TestThumbnails::thumbnailSizes_data()
{
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<bool>("GoodQuality");
    QTest::addColumn<QSize>("Expected");
    for (bool Good : {false, true}) {
        const char* Q = Good ? "filtered" : "stretched";
        QTest::addRow("40x30 keeps its size, %s", Q) << QSize(40, 30) << Good << QSize(40, 30);
        QTest::addRow("200x100 fits the width, %s", Q) << QSize(200, 100) << Good << QSize(50, 25);
        QTest::addRow("100x200 fits the height, %s", Q) << QSize(100, 200) << Good << QSize(25, 50);
        QTest::addRow("50x50 exactly, %s", Q) << QSize(50, 50) << Good << QSize(50, 50);
    }
}

void TestThumbnails::thumbnailSizes()
{
    QFETCH(QSize, Picture);
    QFETCH(bool, GoodQuality);
    QFETCH(QSize, Expected);
    TPictureFolder Pictures;
    TThumbnails Strip;
    Strip.SetImageWidth(50);
    Strip.SetImageHeight(50);
    Strip.SetGoodQuality(GoodQuality);
    QString Error = u"not cleared"_s;
    const int Index = Strip.AddImage(Pictures.Solid(Picture.width(), Picture.height()), &Error);
    QCOMPARE(Index, 0);
    QCOMPARE(Error, QString());
    const QImage& Bitmap = Strip.Previews()[0].Bitmap;
    QCOMPARE(Bitmap.size(), Expected);
    // The filter's weights are not normalised: red may come out a shade off.
    const QRgb Middle = Bitmap.pixel(Expected.width() / 2, Expected.height() / 2);
    QVERIFY2(qRed(Middle) >= 250 && qGreen(Middle) == 0 && qBlue(Middle) == 0,
             qPrintable(QString::number(Middle, 16)));
}

void TestThumbnails::missingFileGivesBlackBox()
{
    TPictureFolder Pictures;
    TThumbnails Strip;
    Strip.SetImageWidth(60);
    Strip.SetImageHeight(40);
    QString Error;
    QCOMPARE(Strip.AddImage(Pictures.Missing(), &Error), 0);
    QCOMPARE(Error, QString());
    const TPreviewImage& Item = Strip.Previews()[0];
    QCOMPARE(Item.FileName, Pictures.Missing());
    QCOMPARE(Item.Bitmap.size(), QSize(60, 40));
    QCOMPARE(Item.Bitmap.pixel(30, 20), qRgb(0, 0, 0));
}

void TestThumbnails::loaderErrorsReachTheCaller_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<bool>("GoodQuality");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("broken png") << u"broken.png"_s << QByteArray("not a png") << false
                                << u"no PNG signature"_s;
    QTest::newRow("unknown extension")
        << u"picture.tga"_s << QByteArray("whatever") << true << u"unknown picture type \".tga\""_s;
    QTest::newRow("empty jpeg") << u"empty.jpg"_s << QByteArray() << true << u"the file is empty"_s;
}

void TestThumbnails::loaderErrorsReachTheCaller()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Bytes);
    QFETCH(bool, GoodQuality);
    QFETCH(QString, Reason);
    TPictureFolder Pictures;
    TThumbnails Strip;
    Strip.SetImageWidth(30);
    Strip.SetImageHeight(20);
    Strip.SetGoodQuality(GoodQuality);
    const QString File = Pictures.Text(Name, Bytes);
    QString Error;
    QCOMPARE(Strip.AddImage(File, &Error), 0);
    QCOMPARE(Error, u"Cannot read picture \"%1\": %2"_s.arg(File, Reason));
    // The preview stays, black at the box's size.
    QCOMPARE(Strip.Previews().Count(), 1);
    QCOMPARE(Strip.Previews()[0].Bitmap.size(), QSize(30, 20));
}

void TestThumbnails::addImagesMatchesAddImage()
{
    TPictureFolder Pictures;
    QStringList Files;
    for (int I = 0; I < 7; ++I) {
        Files << Pictures.Solid(40 + 13 * I, 90 - 7 * I, qRgb(30 * I, 200 - 20 * I, 7 * I));
    }
    Files << Pictures.Missing() << QString::fromUtf8(AUTORUN_TEST_DATA_DIR "/imaging/jpeg-large.jpg");
    TThumbnails One, Many;
    for (TThumbnails* S : {&One, &Many}) {
        S->SetImageWidth(32);
        S->SetImageHeight(24);
        S->SetGoodQuality(true);
    }
    for (const QString& F : Files) {
        One.AddImage(F);
    }
    QString Error;
    QVERIFY(Many.AddImages(Files, &Error));
    QCOMPARE(Error, QString());
    QCOMPARE(Many.Previews().Count(), One.Previews().Count());
    for (int I = 0; I < One.Previews().Count(); ++I) {
        QCOMPARE(Many.Previews()[I].FileName, One.Previews()[I].FileName);
        QCOMPARE(Many.Previews()[I].Bitmap, One.Previews()[I].Bitmap);
    }
}

void TestThumbnails::addImagesStopsAtFirstFailure()
{
    TPictureFolder Pictures;
    const QString Broken1 = Pictures.Text(u"one.png"_s, "broken");
    const QString Broken2 = Pictures.Text(u"two.gif"_s, "broken");
    const QStringList Files{
        Pictures.Solid(20, 20), Pictures.Solid(30, 10), Broken1, Pictures.Solid(10, 10), Broken2,
        Pictures.Solid(12, 12)};
    TThumbnails Strip;
    Strip.SetImageWidth(16);
    Strip.SetImageHeight(16);
    QString Error;
    QVERIFY(!Strip.AddImages(Files, &Error));
    QVERIFY2(Error.contains(Broken1), qPrintable(Error));
    // The pictures before the failure and the failing one are in, the rest is not.
    QCOMPARE(Strip.Previews().Count(), 3);
    QCOMPARE(Strip.Previews()[2].FileName, Broken1);
    QCOMPARE(Strip.Previews()[1].Bitmap.size(), QSize(16, 5));
}

void TestThumbnails::goodQualityJpegLooksTheSame()
{
    // A 640 x 480 JPEG with gradients, shapes and noise in a 60 x 60 box: decoded at a quarter
    // (still twice the 60 x 45 thumbnail) before filtering, it looks like the filtered full picture.
    TPictureFolder Pictures;
    QImage Source(640, 480, QImage::Format_RGB32);
    quint32 Seed = 12345;
    for (int Y = 0; Y < 480; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Source.scanLine(Y));
        for (int X = 0; X < 640; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            const int Noise = int(Seed >> 28) - 8;
            Line[X] = qRgb(qBound(0, X * 255 / 640 + Noise, 255), qBound(0, Y * 255 / 480 + Noise, 255),
                           qBound(0, 128 + Noise, 255));
        }
    }
    {
        QPainter Painter(&Source);
        Painter.setBrush(QColor(250, 240, 20));
        Painter.drawEllipse(100, 80, 240, 200);
        Painter.fillRect(380, 260, 180, 150, QColor(20, 40, 160));
    }
    const QString File = Pictures.Dir.filePath(u"natural.jpg"_s);
    QVERIFY(Source.save(File, "JPEG", 90));
    QImage Thumb;
    QString Error;
    QVERIFY2(MakeThumbnail(File, 60, 60, true, Thumb, &Error), qPrintable(Error));
    QCOMPARE(Thumb.size(), QSize(60, 45));
    QImage Full;
    const TGraphicLoad Load = LoadGraphic(File);
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    QVERIFY(HermiteResample(Load.Graphic->ToBitmap(), 60, 45, Full));
    qint64 Sum = 0;
    int Worst = 0;
    for (int Y = 0; Y < 45; ++Y) {
        for (int X = 0; X < 60; ++X) {
            const QRgb A = Thumb.pixel(X, Y), B = Full.pixel(X, Y);
            for (int D : {qRed(A) - qRed(B), qGreen(A) - qGreen(B), qBlue(A) - qBlue(B)}) {
                Sum += std::abs(D);
                Worst = std::max(Worst, std::abs(D));
            }
        }
    }
    const double Mean = double(Sum) / (60 * 45 * 3);
    QVERIFY2(Mean < 2.0 && Worst < 40, qPrintable(u"mean %1, worst %2"_s.arg(Mean).arg(Worst)));
}

void TestThumbnails::layout_data()
{
    QTest::addColumn<int>("Count");
    QTest::addColumn<QSize>("Bitmap");
    QTest::addColumn<QSize>("Strip");
    QTest::addColumn<bool>("Close");
    QTest::addColumn<int>("Index");
    QTest::addColumn<QRect>("ImageRect");
    QTest::addColumn<QRect>("FrameRect");
    QTest::addColumn<int>("LastBottom");
    // Ten 50 x 50 boxes in 200 x 150: cells 66 x 66, three columns of four rows overflow, so the
    // width shrinks by 17 + 4 to 179: two columns 89 wide (gap 23), rows 66 high (no gap).
    const QSize Ten(200, 150);
    QTest::newRow("overflow, first") << 10 << QSize(50, 50) << Ten << false << 0 << Edges(19, 8, 70, 58)
                                     << Edges(0, 0, 89, 66) << 330;
    QTest::newRow("overflow, second column")
        << 10 << QSize(50, 50) << Ten << false << 1 << Edges(108, 8, 159, 58) << Edges(89, 0, 178, 66) << 330;
    QTest::newRow("overflow, last") << 10 << QSize(50, 50) << Ten << false << 9 << Edges(108, 272, 159, 322)
                                    << Edges(89, 264, 178, 330) << 330;
    QTest::newRow("overflow, close frames")
        << 10 << QSize(50, 50) << Ten << true << 1 << Edges(108, 8, 159, 58) << Edges(100, 0, 167, 66) << 330;
    QTest::newRow("overflow, small bitmap centred")
        << 10 << QSize(40, 30) << Ten << false << 0 << Edges(24, 18, 65, 48) << Edges(0, 0, 89, 66) << 330;
    // Four boxes in 200 x 200 fit: three columns (no gap), two rows of 100 (gap 34).
    QTest::newRow("fits, first") << 4 << QSize(50, 50) << QSize(200, 200) << false << 0
                                 << Edges(8, 25, 58, 75) << Edges(0, 17, 66, 83) << 183;
    QTest::newRow("fits, fourth in second row") << 4 << QSize(50, 50) << QSize(200, 200) << false << 3
                                                << Edges(8, 125, 58, 175) << Edges(0, 117, 66, 183) << 183;
    // Two boxes in 70 x 50: one column, which no longer fits beside the scroll bar; it stays.
    QTest::newRow("one column beside the scroll bar")
        << 2 << QSize(50, 50) << QSize(70, 50) << false << 1 << Edges(0, 74, 49, 124) << Edges(0, 66, 49, 132)
        << 132;
}

void TestThumbnails::layout()
{
    QFETCH(int, Count);
    QFETCH(QSize, Bitmap);
    QFETCH(QSize, Strip);
    QFETCH(bool, Close);
    QFETCH(int, Index);
    QFETCH(QRect, ImageRect);
    QFETCH(QRect, FrameRect);
    QFETCH(int, LastBottom);
    TPreviewImages Previews;
    FillPreviews(Previews, Count, Bitmap);
    QVERIFY(
        CalcThumbnailLayout(Previews, Strip.width(), Strip.height(), 50, 50, ThumbnailScrollBarWidth, Close));
    QCOMPARE(Previews[Index].ImageRect, ImageRect);
    QCOMPARE(Previews[Index].FrameRect, FrameRect);
    QCOMPARE(LastFrameBottom(Previews), LastBottom);
}

void TestThumbnails::layoutDoesNothing_data()
{
    QTest::addColumn<int>("Count");
    QTest::addColumn<QSize>("Strip");
    QTest::addColumn<QSize>("Box");
    QTest::newRow("no previews") << 0 << QSize(200, 150) << QSize(50, 50);
    QTest::newRow("no height") << 3 << QSize(200, 0) << QSize(50, 50);
    QTest::newRow("no box width") << 3 << QSize(200, 150) << QSize(0, 50);
    QTest::newRow("negative box height") << 3 << QSize(200, 150) << QSize(50, -5);
    QTest::newRow("narrower than a cell") << 3 << QSize(65, 150) << QSize(50, 50);
}

void TestThumbnails::layoutDoesNothing()
{
    QFETCH(int, Count);
    QFETCH(QSize, Strip);
    QFETCH(QSize, Box);
    TPreviewImages Previews;
    FillPreviews(Previews, Count, QSize(10, 10));
    for (int I = 0; I < Count; ++I) {
        Previews[I].FrameRect = QRect(1, 2, 3, 4);
    }
    QVERIFY(!CalcThumbnailLayout(Previews, Strip.width(), Strip.height(), Box.width(), Box.height(),
                                 ThumbnailScrollBarWidth, false));
    for (int I = 0; I < Count; ++I) {
        QCOMPARE(Previews[I].FrameRect, QRect(1, 2, 3, 4));
    }
}

void TestThumbnails::hitTesting_data()
{
    QTest::addColumn<QPoint>("Point");
    QTest::addColumn<int>("ScrollOffset");
    QTest::addColumn<int>("Expected");
    // The overflow layout above: frames (0, 0, 89, 66), (89, 0, 178, 66), (0, 66, 89, 132) ...
    QTest::newRow("top-left border") << QPoint(3, 3) << 0 << 0;
    QTest::newRow("bottom-right border") << QPoint(86, 63) << 0 << 0;
    QTest::newRow("left of the border") << QPoint(2, 30) << 0 << -1;
    QTest::newRow("above the border") << QPoint(30, 2) << 0 << -1;
    QTest::newRow("between columns") << QPoint(88, 30) << 0 << -1;
    QTest::newRow("second column") << QPoint(92, 30) << 0 << 1;
    QTest::newRow("between rows") << QPoint(30, 65) << 0 << -1;
    QTest::newRow("second row") << QPoint(30, 69) << 0 << 2;
    QTest::newRow("last") << QPoint(100, 300) << 0 << 9;
    QTest::newRow("below the last") << QPoint(100, 328) << 0 << -1;
    QTest::newRow("scrolled: second row moved up") << QPoint(30, 40) << -30 << 2;
    QTest::newRow("scrolled: first row's bottom border") << QPoint(30, 33) << -30 << 0;
    QTest::newRow("right of the columns") << QPoint(180, 30) << 0 << -1;
}

void TestThumbnails::hitTesting()
{
    QFETCH(QPoint, Point);
    QFETCH(int, ScrollOffset);
    QFETCH(int, Expected);
    TPreviewImages Previews;
    FillPreviews(Previews, 10, QSize(50, 50));
    QVERIFY(CalcThumbnailLayout(Previews, 200, 150, 50, 50, ThumbnailScrollBarWidth, false));
    QCOMPARE(ThumbIndexAt(Previews, ScrollOffset, Point.x(), Point.y()), Expected);
}

void TestThumbnails::scrollMaximum_data()
{
    QTest::addColumn<int>("LastBottom");
    QTest::addColumn<int>("Height");
    QTest::addColumn<int>("Expected");
    QTest::newRow("fits") << 150 << 150 << 0;
    QTest::newRow("one pixel over") << 151 << 150 << 2;
    QTest::newRow("one step over") << 165 << 150 << 2;
    QTest::newRow("ten previews") << 330 << 150 << 13;
}

void TestThumbnails::scrollMaximum()
{
    QFETCH(int, LastBottom);
    QFETCH(int, Height);
    QFETCH(int, Expected);
    QCOMPARE(ThumbnailScrollMaximum(LastBottom, Height), Expected);
}

void TestThumbnails::arrangeShowsScrollBarOnOverflow()
{
    TStripFixture F;
    F.Fill(4);
    QVERIFY(F.Strip->ScrollBar()->isHidden());
    F.Fill(10);
    QVERIFY(!F.Strip->ScrollBar()->isHidden());
    QCOMPARE(F.Strip->ScrollBar()->Max(), 13);
    // A hidden strip hides its scroll bar; shown again, the bar comes back.
    F.Strip->SetVisible(false);
    QVERIFY(F.Strip->ScrollBar()->isHidden());
    F.Strip->SetVisible(true);
    QVERIFY(!F.Strip->ScrollBar()->isHidden());
}

void TestThumbnails::scrollBarFollowsStrip()
{
    TStripFixture F;
    QCOMPARE(F.Strip->ScrollBar()->parentWidget(), &F.Window);
    F.Strip->SetBounds(10, 20, 150, 100);
    QCOMPARE(F.Strip->ScrollBar()->geometry(),
             QRect(10 + 150 - ThumbnailScrollBarWidth, 20, ThumbnailScrollBarWidth, 100));
    TControl Other;
    F.Strip->setParent(&Other);
    QCOMPARE(F.Strip->ScrollBar()->parentWidget(), &Other);
    F.Strip->setParent(&F.Window);
    // Destroying the strip takes its scroll bar along.
    QPointer<TScrollBar> Bar = F.Strip->ScrollBar();
    delete F.Strip;
    QVERIFY(Bar.isNull());
}

void TestThumbnails::wheelStopsAtBothEnds()
{
    TStripFixture F;
    F.Fill(10);
    SendWheel(*F.Strip, 120); // up at the first row: nothing
    QCOMPARE(F.Strip->ScrollBar()->Position(), 0);
    QCOMPARE(F.Strip->ScrollOffset(), 0);
    SendWheel(*F.Strip, -120);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 1);
    QCOMPARE(F.Strip->ScrollOffset(), -15);
    for (int I = 0; I < 20; ++I) {
        SendWheel(*F.Strip, -120);
    }
    QCOMPARE(F.Strip->ScrollBar()->Position(), 13);
    QCOMPARE(F.Strip->ScrollOffset(), -13 * 15);
    SendWheel(*F.Strip, 120);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 12);
    QCOMPARE(F.Strip->ScrollOffset(), -12 * 15);
}

void TestThumbnails::wheelDoesNothingWhenPreviewsFit()
{
    TStripFixture F;
    F.Fill(10);
    F.Fill(4);
    SendWheel(*F.Strip, -120);
    QCOMPARE(F.Strip->ScrollOffset(), 0);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 0);
}

void TestThumbnails::scrollBarMovesOffset()
{
    TStripFixture F;
    F.Fill(10);
    // The user's scrolling moves the previews by 15 pixels a position.
    F.Strip->ScrollBar()->Scroll(TScrollBar::scTrack, 5);
    QCOMPARE(F.Strip->ScrollOffset(), -75);
    F.Strip->ScrollBar()->Scroll(TScrollBar::scLineUp, 4);
    F.Strip->ScrollBar()->Scroll(TScrollBar::scPageUp, 2);
    QCOMPARE(F.Strip->ScrollOffset(), -30);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 2);
    F.Strip->ScrollTo(4);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 4);
    QCOMPARE(F.Strip->ScrollOffset(), -60);
    // A taller strip holds all previews: arranged again, the maximum and the offset go back to 0.
    F.Strip->SetBounds(0, 0, 200, 300);
    F.Strip->Arrange();
    QCOMPARE(F.Strip->ScrollBar()->Max(), 0);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 0);
    QCOMPARE(F.Strip->ScrollOffset(), 0);
    QVERIFY(F.Strip->ScrollBar()->isHidden());
}

void TestThumbnails::clearingHidesScrollBarAndShowsFirstRow()
{
    TStripFixture F;
    F.Fill(10);
    F.Strip->ScrollTo(6);
    SendMouse(*F.Strip, QEvent::MouseMove, QPoint(30, 30));
    QVERIFY(F.Strip->FocusedIndex() >= 0);
    F.Strip->Previews().Clear();
    QCOMPARE(F.Strip->ScrollOffset(), 0);
    QCOMPARE(F.Strip->ScrollBar()->Position(), 0);
    QVERIFY(F.Strip->ScrollBar()->isHidden());
    QCOMPARE(F.Strip->FocusedIndex(), -1);
    F.Fill(10);
    const QImage Shot = F.Shot();
    QCOMPARE(Shot.pixel(19, 8), Red); // the first preview at the top again
    QCOMPARE(Shot.pixel(3, 3), ColorToRGB(Green).rgb());
}

void TestThumbnails::emptyStripLetsInputThrough()
{
    // A control under the strip gets the mouse exactly while the strip shows no preview.
    TStripFixture F;
    auto* Under = new TControl(&F.Window);
    Under->SetBounds(0, 0, 200, 150);
    Under->stackUnder(F.Strip);
    Under->show();
    const QPoint At(30, 30);
    QCOMPARE(F.Window.childAt(At), Under);
    F.Fill(2);
    QCOMPARE(F.Window.childAt(At), F.Strip);
    F.Strip->Previews().Clear();
    QCOMPARE(F.Window.childAt(At), Under);
    F.Strip->AddImage(F.Pictures.Solid(50, 50, Red));
    QCOMPARE(F.Window.childAt(At), F.Strip);
    F.Strip->Previews().Clear();
    QVERIFY(F.Strip->AddImages({F.Pictures.Solid(50, 50, Red)}));
    QCOMPARE(F.Window.childAt(At), F.Strip);
}

void TestThumbnails::paintingFrames_data()
{
    QTest::addColumn<int>("Style");
    QTest::addColumn<bool>("Hover");
    QTest::addColumn<QRgb>("First");  // pixel (3, 3): the first preview's frame corner
    QTest::addColumn<QRgb>("Second"); // pixel (92, 3): the second preview's frame corner
    const QRgb G = ColorToRGB(Green).rgb(), B = ColorToRGB(Blue).rgb();
    QTest::newRow("default style") << 5 << false << G << G;
    QTest::newRow("default style, mouse over the first") << 5 << true << B << G;
    QTest::newRow("only focused") << 4 << false << White << White;
    QTest::newRow("only focused, mouse over the first") << 4 << true << B << White;
    QTest::newRow("only default: no focus frame") << 1 << true << White << G;
    QTest::newRow("close frames") << 3 << false << White << White;
    QTest::newRow("no frames") << 0 << true << White << White;
}

void TestThumbnails::paintingFrames()
{
    QFETCH(int, Style);
    QFETCH(bool, Hover);
    QFETCH(QRgb, First);
    QFETCH(QRgb, Second);
    TStripFixture F;
    F.Strip->ThumbnailFrame()->SetFrameStyle(TThumbnailFrame::TThumbnailFrameStyle::fromInt(Style));
    F.Fill(10);
    if (Hover) {
        SendMouse(*F.Strip, QEvent::MouseMove, QPoint(30, 30));
        QCOMPARE(F.Strip->FocusedIndex(), 0);
    }
    const QImage Shot = F.Shot();
    QCOMPARE(Shot.pixel(3, 3), First);
    QCOMPARE(Shot.pixel(92, 3), Second);
    if (Style & TThumbnailFrame::tfClose) {
        // Close frames keep the gap of 11 pixels each side of the cell.
        QCOMPARE(Shot.pixel(14, 3), ColorToRGB(Green).rgb());
    }
    // The frame is one pixel wide, the bitmap sits inside, the parent shows between them.
    QCOMPARE(Shot.pixel(4, 4), White);
    QCOMPARE(Shot.pixel(19, 8), Red);
    QCOMPARE(Shot.pixel(68, 57), Red);
    QCOMPARE(Shot.pixel(18, 8), White);
    QCOMPARE(Shot.pixel(69, 57), White);
    if (First != White) {
        QCOMPARE(Shot.pixel(85, 62), First); // bottom-right corner of the outline
        QCOMPARE(Shot.pixel(86, 62), White);
        QCOMPARE(Shot.pixel(85, 63), White);
    }
}

void TestThumbnails::focusFollowsMouseAndLeaves()
{
    TStripFixture F;
    F.Fill(10);
    SendMouse(*F.Strip, QEvent::MouseMove, QPoint(100, 30));
    QCOMPARE(F.Strip->FocusedIndex(), 1);
    QCOMPARE(F.Strip->Cursor(), int(crHandPoint));
    SendMouse(*F.Strip, QEvent::MouseMove, QPoint(88, 30)); // between the columns
    QCOMPARE(F.Strip->FocusedIndex(), -1);
    QCOMPARE(F.Strip->Cursor(), int(crDefault));
    SendMouse(*F.Strip, QEvent::MouseMove, QPoint(30, 30));
    QCOMPARE(F.Strip->FocusedIndex(), 0);
    QCOMPARE(F.Shot().pixel(3, 3), ColorToRGB(Blue).rgb());
    // A new focused colour shows on the preview under the mouse.
    F.Strip->ThumbnailFrame()->SetFocusedColor(0x0000FF);
    QCOMPARE(F.Shot().pixel(3, 3), qRgb(255, 0, 0));
    QEvent Leave(QEvent::Leave);
    QApplication::sendEvent(F.Strip, &Leave);
    QCOMPARE(F.Strip->FocusedIndex(), -1);
    QCOMPARE(F.Shot().pixel(3, 3), ColorToRGB(Green).rgb());
}

void TestThumbnails::scrolledPainting()
{
    TStripFixture F;
    F.Fill(10);
    SendWheel(*F.Strip, -120);
    const QImage Shot = F.Shot();
    // Everything moved up by 15: the first bitmap's top row is at -7, the second row's frame at 54.
    QCOMPARE(Shot.pixel(19, 0), Red);
    QCOMPARE(Shot.pixel(19, 42), Red);
    QCOMPARE(Shot.pixel(19, 43), White);
    QCOMPARE(Shot.pixel(3, 54), ColorToRGB(Green).rgb());
    // Hit testing follows the offset.
    QCOMPARE(F.Strip->ThumbAt(30, 55), 2);
}

void TestThumbnails::clicks_data()
{
    QTest::addColumn<int>("Button");
    QTest::addColumn<QPoint>("Point");
    QTest::addColumn<int>("Expected");
    QTest::newRow("left on the first") << int(Qt::LeftButton) << QPoint(30, 30) << 0;
    QTest::newRow("left on the fourth") << int(Qt::LeftButton) << QPoint(100, 100) << 3;
    QTest::newRow("right on a preview") << int(Qt::RightButton) << QPoint(30, 30) << -1;
    QTest::newRow("middle on a preview") << int(Qt::MiddleButton) << QPoint(30, 30) << -1;
    QTest::newRow("left between previews") << int(Qt::LeftButton) << QPoint(88, 30) << -1;
    QTest::newRow("left on the partly shown third row") << int(Qt::LeftButton) << QPoint(30, 149) << 4;
}

void TestThumbnails::clicks()
{
    QFETCH(int, Button);
    QFETCH(QPoint, Point);
    QFETCH(int, Expected);
    TStripFixture F;
    F.Fill(10);
    QList<int> Reported;
    QObject* Sender = nullptr;
    F.Strip->OnThumbnailClick = [&](QObject* S, int Index) {
        Sender = S;
        Reported << Index;
    };
    SendMouse(*F.Strip, QEvent::MouseButtonPress, Point, Qt::MouseButton(Button));
    SendMouse(*F.Strip, QEvent::MouseButtonRelease, Point, Qt::MouseButton(Button));
    if (Expected < 0) {
        QVERIFY(Reported.isEmpty());
    } else {
        QCOMPARE(Reported, QList<int>{Expected});
        QCOMPARE(Sender, F.Strip);
    }
}

void TestThumbnails::boxSizeChangeRebuildsThumbnails()
{
    TStripFixture F;
    F.Strip->Previews().Clear();
    F.Strip->AddImage(F.Pictures.Solid(200, 100));
    F.Strip->Arrange();
    QCOMPARE(F.Strip->Previews()[0].Bitmap.size(), QSize(50, 25));
    F.Strip->SetImageWidth(80);
    QCOMPARE(F.Strip->Previews()[0].Bitmap.size(), QSize(80, 40));
    // One 96 x 66 cell in 200 x 150: two columns would fit but there is one preview; gap 104.
    QCOMPARE(F.Strip->Previews()[0].FrameRect, Edges(0, 42, 200, 108));
    F.Strip->SetImageHeight(20);
    QCOMPARE(F.Strip->Previews()[0].Bitmap.size(), QSize(40, 20));
}

void TestThumbnails::goodQualityChangeRebuildsThumbnails()
{
    TPictureFolder Pictures;
    // Stripes of one pixel: stretching picks single stripes, the filter mixes them.
    QImage Stripes(100, 100, QImage::Format_RGB32);
    for (int X = 0; X < 100; ++X) {
        for (int Y = 0; Y < 100; ++Y) {
            Stripes.setPixel(X, Y, X % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    const QString File = Pictures.Dir.filePath(u"stripes.bmp"_s);
    QVERIFY(Stripes.save(File, "BMP"));
    TThumbnails Strip;
    Strip.SetImageWidth(25);
    Strip.SetImageHeight(25);
    Strip.AddImage(File);
    const QRgb Stretched = Strip.Previews()[0].Bitmap.pixel(12, 12);
    QVERIFY(Stretched == qRgb(0, 0, 0) || Stretched == qRgb(255, 255, 255));
    Strip.SetGoodQuality(true);
    QImage Expected;
    QVERIFY(HermiteResample(Stripes, 25, 25, Expected));
    QCOMPARE(Strip.Previews()[0].Bitmap, Expected);
}

void TestThumbnails::frameStyleChangeRelaysOut()
{
    TStripFixture F;
    F.Fill(10);
    QCOMPARE(F.Strip->Previews()[1].FrameRect, Edges(89, 0, 178, 66));
    F.Strip->ThumbnailFrame()->SetFrameStyle(TThumbnailFrame::tfClose);
    QCOMPARE(F.Strip->Previews()[1].FrameRect, Edges(100, 0, 167, 66));
    // Resizing the strip lays it out again too.
    // 250 - 21 = 229 wide: three columns of 76 (gap 10).
    F.Strip->SetBounds(0, 0, 250, 150);
    QCOMPARE(F.Strip->Previews()[1].FrameRect, Edges(81, 0, 147, 66));
}

void TestThumbnails::arrangeOnAdd()
{
    TStripFixture F;
    F.Strip->Previews().Clear();
    F.Strip->SetArrangeOnAdd(true);
    for (int I = 0; I < 10; ++I) {
        F.Strip->AddImage(F.Pictures.Solid(50, 50));
    }
    QVERIFY(!F.Strip->ScrollBar()->isHidden());
    QCOMPARE(F.Strip->Previews()[9].FrameRect, Edges(89, 264, 178, 330));
}

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
