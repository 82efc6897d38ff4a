#include "Colors.h"
#include "Form.h"
#include "VeltraneBtn.h"
#include "VeltraneImage.h"

#include <QEnterEvent>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

constexpr qint32 clLime = 0x00FF00;
constexpr qint32 clBlue = 0xFF0000;

// A bitmap of Width x Height whose pixels are given row by row.
QImage MakeBitmap(int Width, int Height, const QList<QRgb>& Pixels)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y) {
        for (int X = 0; X < Width; ++X) {
            Image.setPixel(X, Y, Pixels.at(Y * Width + X));
        }
    }
    return Image;
}

TPicture PictureOf(const QImage& Bitmap)
{
    TPicture Picture;
    Picture.SetBitmap(Bitmap);
    return Picture;
}

QRgb Grey(int Level)
{
    return qRgb(Level, Level, Level);
}

QRgb ShownPixel(const TVeltraneImage& Image, int X, int Y)
{
    return Image.Picture().BitmapImage().pixel(X, Y) | 0xFF000000u;
}

const QRgb Magenta = qRgb(255, 0, 255);
const QRgb ColourA = qRgb(200, 50, 100);
const QRgb ColourC = qRgb(10, 20, 30);

} // namespace

class TestVeltraneImage : public QObject
{
    Q_OBJECT

private slots:
    void greyLevel_data();
    void greyLevel();
    void greyOfNonBitmapGraphicIsWhiteUnderTransparency();
    void disableWithoutDisabledPictureShowsGrey();
    void disableWithDisabledPictureShowsIt();
    void pictureGivenWhileDisabledIsNotShownInColour();
    void enabledSameValueFiresNothing_data();
    void enabledSameValueFiresNothing();
    void propertiesByName();
    void opacityTable_data();
    void opacityTable();
    void blendPlacement_data();
    void blendPlacement();
    void blendKeyColourLeavesBackground_data();
    void blendKeyColourLeavesBackground();
    void blendLeavesNonBitmapPictureAlone();
    void grayscaleOffRestoresLoadedPicture();
    void paintingShowsStatePicture_data();
    void paintingShowsStatePicture();
    void mouseEnterAndLeaveFireOnce();
    void buttonClick_data();
    void buttonClick();
    void closerButtonClosesShownForm();
};

void TestVeltraneImage::greyLevel_data()
{
    QTest::addColumn<QRgb>("Colour");
    QTest::addColumn<int>("Expected");
    QTest::newRow("black") << qRgb(0, 0, 0) << 0;
    QTest::newRow("white") << qRgb(255, 255, 255) << 255;
    QTest::newRow("0.3 down") << qRgb(1, 0, 0) << 0;
    QTest::newRow("0.6 up") << qRgb(2, 0, 0) << 1;
    QTest::newRow("1.5 to even 2") << qRgb(5, 0, 0) << 2;
    QTest::newRow("2.5 to even 2") << qRgb(0, 2, 12) << 2;
    QTest::newRow("3.5 to even 4") << qRgb(0, 5, 5) << 4;
    QTest::newRow("76.5 to even 76") << qRgb(255, 0, 0) << 76;
    QTest::newRow("pure green") << qRgb(0, 255, 0) << 150; // 150.45
    QTest::newRow("pure blue") << qRgb(0, 0, 255) << 28;   // 28.05
    QTest::newRow("mixed") << qRgb(200, 50, 100) << 100;   // 60 + 29.5 + 11
}

void TestVeltraneImage::greyLevel()
{
    QFETCH(QRgb, Colour);
    QFETCH(int, Expected);
    QCOMPARE(GreyLevel(qRed(Colour), qGreen(Colour), qBlue(Colour)), Expected);

    // The control writes the level into all three channels of a bitmap.
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {Colour, Magenta})));
    Image.SetGrayscale(true);
    QVERIFY(Image.Grayscale());
    QVERIFY(Image.Picture().IsBitmap());
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(Expected));
    // Every call redoes the work: grey of grey stays the same level.
    Image.SetGrayscale(true);
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(Expected));
    // The loaded picture keeps its colour.
    QCOMPARE(Image.LoadedPicture().BitmapImage().pixel(0, 0) | 0xFF000000u, Colour);
}

void TestVeltraneImage::greyOfNonBitmapGraphicIsWhiteUnderTransparency()
{
    QImage Pixels(2, 1, QImage::Format_ARGB32);
    Pixels.setPixel(0, 0, qRgba(255, 0, 0, 255));
    Pixels.setPixel(1, 0, qRgba(0, 0, 0, 0));
    TVeltraneImage Image;
    Image.AssignPicture(std::make_shared<TRasterGraphic>(gfPng, Pixels));
    QVERIFY(!Image.Picture().IsBitmap());
    Image.SetGrayscale(true);
    QVERIFY(Image.Picture().IsBitmap());
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(76));
    QCOMPARE(ShownPixel(Image, 1, 0), Grey(255));
    // Turning grey off brings the loaded graphic back, format and all.
    Image.SetGrayscale(false);
    QVERIFY(!Image.Picture().IsBitmap());
    QCOMPARE(Image.Picture().Graphic(), Image.LoadedPicture().Graphic());

    // Without a picture there is nothing to draw.
    TVeltraneImage Empty;
    Empty.SetGrayscale(true);
    QVERIFY(Empty.Grayscale());
    QVERIFY(!Empty.Picture().HasGraphic());
}

void TestVeltraneImage::disableWithoutDisabledPictureShowsGrey()
{
    TVeltraneImage Image;
    QVERIFY(Image.Enabled());
    QVERIFY(!Image.Grayscale());
    QCOMPARE(Image.Opacity(), 1.0);
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    QList<std::pair<QObject*, bool>> Calls;
    QRgb ShownInHandler = 0;
    Image.OnEnable = [&](QObject* Sender, bool Value) {
        Calls.append({Sender, Value});
        ShownInHandler = ShownPixel(Image, 0, 0);
    };

    Image.SetEnabled(false);
    QVERIFY(!Image.Enabled());
    QVERIFY(!Image.isEnabled());
    QVERIFY(Image.Grayscale());
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(100));
    QCOMPARE(ShownInHandler, Grey(100));

    Image.SetEnabled(true);
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);
    QCOMPARE(ShownInHandler, ColourA);
    // The flag stays set after the colour picture is back.
    QVERIFY(Image.Grayscale());
    QCOMPARE(Calls, (QList<std::pair<QObject*, bool>>{{&Image, false}, {&Image, true}}));
}

void TestVeltraneImage::disableWithDisabledPictureShowsIt()
{
    const QRgb DisabledColour = qRgb(1, 2, 3);
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    Image.SetDisabledPicture(PictureOf(MakeBitmap(2, 1, {DisabledColour, Magenta})));
    Image.SetEnabled(false);
    QCOMPARE(ShownPixel(Image, 0, 0), DisabledColour);
    QVERIFY(!Image.Grayscale());
    Image.SetEnabled(true);
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);
    QVERIFY(!Image.Grayscale());
    // The disabled picture is a copy: clearing the source leaves it.
    QVERIFY(Image.DisabledPicture().HasGraphic());
}

void TestVeltraneImage::pictureGivenWhileDisabledIsNotShownInColour()
{
    TVeltraneImage Image;
    Image.SetEnabled(false);
    // The skin loader's order: picture, disabled picture, then the enabled state (unchanged here).
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(100));
    QVERIFY(Image.Grayscale());
    Image.SetDisabledPicture(PictureOf(MakeBitmap(2, 1, {qRgb(1, 2, 3), Magenta})));
    QCOMPARE(ShownPixel(Image, 0, 0), qRgb(1, 2, 3));
    Image.SetEnabled(true);
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);
    // While enabled a new disabled picture waits for the next disable.
    Image.SetDisabledPicture(PictureOf(MakeBitmap(2, 1, {qRgb(4, 5, 6), Magenta})));
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);
    Image.SetEnabled(false);
    QCOMPARE(ShownPixel(Image, 0, 0), qRgb(4, 5, 6));
}

void TestVeltraneImage::enabledSameValueFiresNothing_data()
{
    QTest::addColumn<bool>("Start");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestVeltraneImage::enabledSameValueFiresNothing()
{
    QFETCH(bool, Start);
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    Image.SetEnabled(Start);
    // A composed picture would be replaced by any real change.
    QImage Background = MakeBitmap(2, 1, {qRgb(9, 9, 9), qRgb(9, 9, 9)});
    Image.SetOpacity(0.0);
    Image.BlendWithBackground(Background, 0, 0);
    const QRgb Composed = ShownPixel(Image, 0, 0);
    int Calls = 0;
    Image.OnEnable = [&](QObject*, bool) { ++Calls; };
    Image.SetEnabled(Start);
    QCOMPARE(Calls, 0);
    QCOMPARE(ShownPixel(Image, 0, 0), Composed);
}

void TestVeltraneImage::propertiesByName()
{
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    QVERIFY(Image.setProperty("Enabled", false));
    QVERIFY(Image.Grayscale());
    QCOMPARE(ShownPixel(Image, 0, 0), Grey(100));
    QVERIFY(Image.setProperty("Opacity", 0.5));
    QCOMPARE(Image.OpacityTable()[255], uchar(127));
    QVERIFY(Image.setProperty("Grayscale", false));
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);

    TVeltraneBtn Button;
    QVERIFY(Button.setProperty("ModalResult", mrOk));
    QVERIFY(Button.setProperty("FormCloser", true));
    QCOMPARE(Button.ModalResult(), mrOk);
    QVERIFY(Button.FormCloser());
}

void TestVeltraneImage::opacityTable_data()
{
    QTest::addColumn<double>("Opacity");
    QTest::addColumn<int>("Index");
    QTest::addColumn<int>("Expected");
    QTest::newRow("1.0 identity low") << 1.0 << 7 << 7;
    QTest::newRow("1.0 identity high") << 1.0 << 255 << 255;
    QTest::newRow("0.55 truncates") << 0.55 << 255 << 140;
    QTest::newRow("0.55 small") << 0.55 << 100 << 55;
    QTest::newRow("0.5 odd") << 0.5 << 3 << 1;
    QTest::newRow("0.0") << 0.0 << 200 << 0;
    QTest::newRow("2.0 low eight bits") << 2.0 << 200 << 144;
    QTest::newRow("-0.5 wraps") << -0.5 << 3 << 255;
}

void TestVeltraneImage::opacityTable()
{
    QFETCH(double, Opacity);
    QFETCH(int, Index);
    QFETCH(int, Expected);
    TVeltraneImage Image;
    QCOMPARE(Image.OpacityTable(), MakeOpacityTable(1.0));
    Image.SetOpacity(Opacity);
    QCOMPARE(Image.Opacity(), Opacity);
    QCOMPARE(int(Image.OpacityTable()[size_t(Index)]), Expected);
    // The same value again keeps the table; another one rebuilds it.
    Image.SetOpacity(Opacity);
    QCOMPARE(Image.OpacityTable(), MakeOpacityTable(Opacity));
    Image.SetOpacity(0.25);
    QCOMPARE(Image.OpacityTable(), MakeOpacityTable(0.25));
}

// The picture is 2 x 2: row 0 holds A and C, row 1 the key colour (bottom-left) and A. The background
// is 4 x 4 of grey 100.
void TestVeltraneImage::blendPlacement_data()
{
    QTest::addColumn<int>("X");
    QTest::addColumn<int>("Y");
    QTest::addColumn<double>("Opacity");
    QTest::addColumn<QList<QPoint>>("Changed");
    QTest::addColumn<QList<QRgb>>("Colours");

    const QRgb A1 = qRgb(200, 51, 100), C1 = qRgb(11, 21, 31);       // opacity 1.0
    const QRgb AHalf = qRgb(150, 76, 100), CHalf = qRgb(56, 61, 66); // opacity 0.5
    QTest::newRow("inside, opaque") << 1 << 1 << 1.0 << QList<QPoint>{{1, 1}, {2, 1}, {2, 2}}
                                    << QList<QRgb>{A1, C1, A1};
    QTest::newRow("inside, half") << 1 << 1 << 0.5 << QList<QPoint>{{1, 1}, {2, 1}, {2, 2}}
                                  << QList<QRgb>{AHalf, CHalf, AHalf};
    QTest::newRow("inside, none") << 1 << 1 << 0.0 << QList<QPoint>{} << QList<QRgb>{};
    QTest::newRow("left edge cut") << -1 << 0 << 1.0 << QList<QPoint>{{0, 0}, {0, 1}} << QList<QRgb>{C1, A1};
    QTest::newRow("top edge cut") << 0 << -1 << 1.0 << QList<QPoint>{{1, 0}} << QList<QRgb>{A1};
    QTest::newRow("bottom right cut") << 3 << 3 << 1.0 << QList<QPoint>{{3, 3}} << QList<QRgb>{A1};
    QTest::newRow("right of it") << 4 << 0 << 1.0 << QList<QPoint>{} << QList<QRgb>{};
    QTest::newRow("below it") << 0 << 4 << 1.0 << QList<QPoint>{} << QList<QRgb>{};
    QTest::newRow("left of it") << -2 << 0 << 1.0 << QList<QPoint>{} << QList<QRgb>{};
    QTest::newRow("above it") << 0 << -2 << 1.0 << QList<QPoint>{} << QList<QRgb>{};
}

void TestVeltraneImage::blendPlacement()
{
    QFETCH(int, X);
    QFETCH(int, Y);
    QFETCH(double, Opacity);
    QFETCH(QList<QPoint>, Changed);
    QFETCH(QList<QRgb>, Colours);

    const QRgb D = qRgb(100, 100, 100);
    QImage Background(4, 4, QImage::Format_RGB32);
    Background.fill(D);
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 2, {ColourA, ColourC, Magenta, ColourA})));
    Image.SetOpacity(Opacity);
    Image.BlendWithBackground(Background, X, Y);

    for (int BY = 0; BY < 4; ++BY) {
        for (int BX = 0; BX < 4; ++BX) {
            const qsizetype I = Changed.indexOf(QPoint(BX, BY));
            const QRgb Expected = I >= 0 ? Colours.at(I) : D;
            QCOMPARE(Background.pixel(BX, BY) | 0xFF000000u, Expected);
        }
    }
    // The control now shows the composed rectangle of the background.
    QCOMPARE(Image.Picture().Width(), 2);
    QCOMPARE(Image.Picture().Height(), 2);
    for (int PY = 0; PY < 2; ++PY) {
        for (int PX = 0; PX < 2; ++PX) {
            const QPoint P(X + PX, Y + PY);
            if (Background.rect().contains(P)) {
                QCOMPARE(ShownPixel(Image, PX, PY), Background.pixel(P) | 0xFF000000u);
            }
        }
    }
    // The loaded picture is untouched.
    QCOMPARE(Image.LoadedPicture().BitmapImage().pixel(0, 0) | 0xFF000000u, ColourA);
}

void TestVeltraneImage::blendKeyColourLeavesBackground_data()
{
    QTest::addColumn<QRgb>("Key");
    QTest::newRow("magenta") << Magenta;
    QTest::newRow("black") << qRgb(0, 0, 0);
    QTest::newRow("white") << qRgb(255, 255, 255);
    QTest::newRow("background colour") << qRgb(40, 80, 120);
}

void TestVeltraneImage::blendKeyColourLeavesBackground()
{
    QFETCH(QRgb, Key);
    const QRgb D = qRgb(40, 80, 120);
    QImage Background(2, 2, QImage::Format_RGB32);
    Background.fill(D);
    TVeltraneImage Image;
    // Column 0 is the key colour (bottom-left), column 1 an opaque colour.
    Image.AssignPicture(PictureOf(MakeBitmap(2, 2, {Key, ColourA, Key, ColourA})));
    Image.BlendWithBackground(Background, 0, 0);
    for (int Y = 0; Y < 2; ++Y) {
        QCOMPARE(Background.pixel(0, Y) | 0xFF000000u, D);
        QCOMPARE(Background.pixel(1, Y) | 0xFF000000u, qRgb(200, 51, 101));
        QCOMPARE(ShownPixel(Image, 0, Y), D);
    }
}

void TestVeltraneImage::blendLeavesNonBitmapPictureAlone()
{
    QImage Pixels(2, 2, QImage::Format_RGB32);
    Pixels.fill(ColourA);
    TVeltraneImage Image;
    Image.AssignPicture(std::make_shared<TRasterGraphic>(gfPng, Pixels));
    const TGraphic* Before = Image.Picture().Graphic();
    QImage Background(4, 4, QImage::Format_RGB32);
    Background.fill(qRgb(100, 100, 100));
    const QImage Copy = Background;
    Image.BlendWithBackground(Background, 0, 0);
    QCOMPARE(Image.Picture().Graphic(), Before);
    QVERIFY(Image.Picture().HasGraphic());
    QCOMPARE(Background, Copy);
}

void TestVeltraneImage::grayscaleOffRestoresLoadedPicture()
{
    TVeltraneImage Image;
    Image.AssignPicture(PictureOf(MakeBitmap(2, 1, {ColourA, Magenta})));
    QImage Background(2, 1, QImage::Format_RGB32);
    Background.fill(qRgb(0, 0, 0));
    Image.SetOpacity(0.0);
    Image.BlendWithBackground(Background, 0, 0);
    QCOMPARE(ShownPixel(Image, 0, 0), qRgb(0, 0, 0));
    Image.SetGrayscale(false);
    QCOMPARE(ShownPixel(Image, 0, 0), ColourA);
}

void TestVeltraneImage::paintingShowsStatePicture_data()
{
    QTest::addColumn<bool>("Enabled");
    QTest::addColumn<bool>("WithDisabledPicture");
    QTest::addColumn<QRgb>("Expected");
    QTest::newRow("enabled") << true << false << ColourA;
    QTest::newRow("disabled, grey") << false << false << Grey(100);
    QTest::newRow("disabled, own picture") << false << true << qRgb(1, 2, 3);
}

void TestVeltraneImage::paintingShowsStatePicture()
{
    QFETCH(bool, Enabled);
    QFETCH(bool, WithDisabledPicture);
    QFETCH(QRgb, Expected);
    TControl Parent;
    Parent.SetBounds(0, 0, 10, 10);
    Parent.SetColor(clLime);
    auto* Image = new TVeltraneImage(&Parent);
    Image->SetBounds(2, 3, 4, 4);
    // Row 0 of colour, row 1 of the key colour, which stays unpainted whatever the state.
    Image->AssignPicture(PictureOf(MakeBitmap(2, 2, {ColourA, ColourA, Magenta, Magenta})));
    if (WithDisabledPicture) {
        Image->SetDisabledPicture(
            PictureOf(MakeBitmap(2, 2, {qRgb(1, 2, 3), qRgb(1, 2, 3), Magenta, Magenta})));
    }
    Image->SetEnabled(Enabled);

    QImage Shot(10, 10, QImage::Format_RGB32);
    Shot.fill(Qt::black);
    Parent.render(&Shot);
    const QRgb ParentColour = ColorToRGB(clLime).rgb();
    QCOMPARE(Shot.pixel(2, 3), Expected);
    QCOMPARE(Shot.pixel(3, 3), Expected);
    QCOMPARE(Shot.pixel(2, 4), ParentColour);
    QCOMPARE(Shot.pixel(4, 3), ParentColour);
    QCOMPARE(Shot.pixel(1, 3), ParentColour);
}

void TestVeltraneImage::mouseEnterAndLeaveFireOnce()
{
    TVeltraneImage Image;
    QStringList Calls;
    Image.OnMouseEnter = [&](QObject* Sender) {
        QCOMPARE(Sender, &Image);
        Calls.append(QStringLiteral("enter"));
    };
    Image.OnMouseLeave = [&](QObject* Sender) {
        QCOMPARE(Sender, &Image);
        Calls.append(QStringLiteral("leave"));
    };
    QEnterEvent Enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&Image, &Enter);
    QEvent Leave(QEvent::Leave);
    QCoreApplication::sendEvent(&Image, &Leave);
    QCOMPARE(Calls, (QStringList{QStringLiteral("enter"), QStringLiteral("leave")}));
}

void TestVeltraneImage::buttonClick_data()
{
    QTest::addColumn<bool>("Closer");
    QTest::addColumn<int>("ButtonResult");
    QTest::addColumn<int>("ExpectedResult");
    QTest::addColumn<bool>("ExpectedOnClick");
    QTest::newRow("closer") << true << 0 << mrCancel << false;
    QTest::newRow("closer with a result") << true << mrOk << mrCancel << false;
    QTest::newRow("result 1") << false << mrOk << mrOk << true;
    QTest::newRow("result 7") << false << mrNo << mrNo << true;
}

void TestVeltraneImage::buttonClick()
{
    QFETCH(bool, Closer);
    QFETCH(int, ButtonResult);
    QFETCH(int, ExpectedResult);
    QFETCH(bool, ExpectedOnClick);
    TForm Form;
    auto* Panel = new TControl(&Form);
    auto* Button = new TVeltraneBtn(Panel);
    QCOMPARE(Button->ModalResult(), 0);
    QVERIFY(!Button->FormCloser());
    Button->SetFormCloser(Closer);
    Button->SetModalResult(ButtonResult);
    bool Clicked = false;
    Button->OnClick = [&](QObject* Sender) {
        QCOMPARE(Sender, Button);
        Clicked = true;
    };
    bool StillOpen = false;
    QTimer::singleShot(0, Button, [Button] { Button->Click(); });
    // Queued after the click: ends the window if the click did not.
    QTimer::singleShot(0, &Form, [&] {
        if (Form.isVisible() && Form.ModalResult() == mrNone) {
            StillOpen = true;
            Form.SetModalResult(99);
        }
    });
    const int Result = Form.ShowModal();
    QVERIFY(!StillOpen);
    QCOMPARE(Result, ExpectedResult);
    QCOMPARE(Clicked, ExpectedOnClick);
}

void TestVeltraneImage::closerButtonClosesShownForm()
{
    TForm Form;
    auto* Button = new TVeltraneBtn(&Form);
    Form.show();
    bool Clicked = false;
    Button->OnClick = [&](QObject*) { Clicked = true; };

    // Result 0 changes nothing and the click reaches OnClick.
    Form.SetModalResult(mrNone);
    Button->Click();
    QVERIFY(Clicked);
    QCOMPARE(Form.ModalResult(), mrNone);
    QVERIFY(Form.isVisible());

    Clicked = false;
    Button->SetFormCloser(true);
    Button->Click();
    QVERIFY(!Form.isVisible());
    QVERIFY(!Clicked);

    // Without a window the click only fires OnClick.
    TVeltraneBtn Lone;
    bool LoneClicked = false;
    Lone.OnClick = [&](QObject*) { LoneClicked = true; };
    Lone.SetModalResult(mrOk);
    Lone.Click();
    QVERIFY(LoneClicked);
}

QTEST_MAIN(TestVeltraneImage)
#include "tst_veltraneimage.moc"
