// The main window's construction and skin: geometry with and without a toolbar picture, packing of
// the toolbar, the picture title bar, colours and fonts, the splash decision, the wallpaper and its
// painting, "controls.ini", button captions and opacity.

#include "MainFormFixture.h"

#include "CategoryChooser.h"
#include "Image.h"
#include "ImageList.h"
#include "Label.h"
#include "MusicPlayer.h"
#include "Picture.h"
#include "PopupMenu.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"

#include <QMenu>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

QRect BoundsOf(const TControl* C)
{
    return {C->Left(), C->Top(), C->Width(), C->Height()};
}

QColor Pixel(const TPicture& Picture, int X, int Y)
{
    QImage Image(Picture.Width(), Picture.Height(), QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    {
        QPainter P(&Image);
        Picture.Draw(P, QRectF(0, 0, Picture.Width(), Picture.Height()), false);
    }
    return Image.pixelColor(X, Y);
}

// The window's own painting, without its controls.
QImage PaintedBackground(TMainF& F)
{
    QImage Image(F.size(), QImage::Format_ARGB32);
    Image.fill(Qt::black);
    F.render(&Image, {}, {}, QWidget::DrawWindowBackground);
    return Image;
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void geometryWithoutToolbarPicture();
    void geometryWithToolbarPicture_data();
    void geometryWithToolbarPicture();
    void packingInTheWindow_data();
    void packingInTheWindow();
    void stackingOrder();
    void buttonStatesAfterLoading();
    void pictureTitleBar();
    void standardTitle();
    void colorsAndTextFont_data();
    void colorsAndTextFont();
    void transparentText_data();
    void transparentText();
    void splashDecision_data();
    void splashDecision();
    void copyItemCaption_data();
    void copyItemCaption();
    void initialContent();
    void treeImages();
    void wallpaperPainting_data();
    void wallpaperPainting();
    void sameWallpaperNotReloaded();
    void missingWallpaperRemovesIt();
    void controlsFile();
    void controlsFileKeepsShownTitle();
    void buttonCaptions();
    void captionsDrawnAfresh();
    void buttonOpacity();
    void buttonOpacityWhereNoToolbarLies();
    void titleBarDragAndHighlight();
    void animatedCursors();
    void snapshot();
};

void TestMainForm::geometryWithoutToolbarPicture()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    auto F = Fx.Create();
    QCOMPARE(BoundsOf(F->ProjectTree), QRect(8, 48, 217, 430));
    QCOMPARE(BoundsOf(F->TitleLabel), QRect(240, 48, 522, 20));
    QCOMPARE(BoundsOf(F->Tabs), QRect(236, 71, 331, 19));
    QCOMPARE(BoundsOf(F->TextField), QRect(240, 93, 522, 314));
    QCOMPARE(BoundsOf(F->ImageGallery), QRect(240, 93, 522, 314));
    QCOMPARE(BoundsOf(F->ScreenshotsGallery), QRect(240, 93, 522, 314));
    QCOMPARE(BoundsOf(F->TextBackground), QRect(236, 89, 530, 322));
    QCOMPARE(BoundsOf(F->TopImg), QRect(0, 0, 781, 21));
    QCOMPARE(BoundsOf(F->IcoImg), QRect(2, 0, 19, 20));
    QCOMPARE(BoundsOf(F->MinimizeBtn), QRect(732, 4, 18, 18));
    QCOMPARE(BoundsOf(F->CloseBtn), QRect(750, 4, 18, 18));
    // The toolbar keeps its design size and stands below the text area, where a toolbar picture of
    // that size would; the buttons sit in its cells.
    QCOMPARE(BoundsOf(F->ToolBarImg), QRect(236, 438, 433, 40));
    QCOMPARE(BoundsOf(F->Btn4), QRect(725, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn5), QRect(672, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn6), QRect(619, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn7), QRect(566, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn8), QRect(513, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn10), QRect(460, 442, 32, 32));
    QCOMPARE(BoundsOf(F->Btn9), QRect(248, 442, 32, 32));
    // The text buttons follow 15 pixels below, right-aligned to the text area.
    QCOMPARE(BoundsOf(F->Btn2), QRect(682, 493, 80, 20));
    QCOMPARE(BoundsOf(F->Btn3), QRect(702, 514, 60, 18));
    // Nothing of the toolbar or the text buttons lies under the text area.
    const QRect Text = BoundsOf(F->TextField);
    for (const TControl* C : std::initializer_list<const TControl*>{F->ToolBarImg, F->Btn2, F->Btn3, F->Btn4,
                                                                    F->Btn9, F->Btn10}) {
        QVERIFY2(!C->geometry().intersects(Text), qPrintable(C->objectName()));
    }
    QCOMPARE(F->ClientWidth(), 781);
    QCOMPARE(F->ClientHeight(), 542);
    // Preview places.
    QCOMPARE(F->PreviewImg1->Left(), 241);
    QCOMPARE(BoundsOf(F->PreviewImg2), QRect(503, 126, 258, 248));
    QCOMPARE(F->PreviewImg1->Top(), 126);
    QCOMPARE(F->PreviewImg1->Height(), 248);
    QVERIFY(!F->PreviewImg1->Visible());
    QVERIFY(!F->PreviewImg2->Visible());
    QVERIFY(!F->Btn11->Visible());
}

void TestMainForm::geometryWithToolbarPicture_data()
{
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<QRect>("ToolBar");
    QTest::addColumn<bool>("Stretch");
    QTest::newRow("fits: sizes itself") << QSize(400, 60) << QRect(236, 418, 400, 60) << false;
    QTest::newRow("too wide: stretched") << QSize(600, 40) << QRect(236, 438, 433, 40) << true;
    QTest::newRow("too high: stretched") << QSize(200, 120) << QRect(236, 438, 433, 40) << true;
}

void TestMainForm::geometryWithToolbarPicture()
{
    QFETCH(QSize, Picture);
    QFETCH(QRect, ToolBar);
    QFETCH(bool, Stretch);
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteImage(u"Shell/Images/toolbar.bmp"_s, Picture, QColor(0x40, 0x40, 0xC0));
    auto F = Fx.Create();
    QCOMPARE(BoundsOf(F->ToolBarImg), ToolBar);
    QCOMPARE(F->ToolBarImg->Stretch(), Stretch);
    QCOMPARE(F->ToolBarImg->BoundsBottom(), 478);
    const int ButtonTop = ToolBar.y() + (ToolBar.height() - 32) / 2;
    QCOMPARE(F->Btn4->Top(), ButtonTop);
    QCOMPARE(F->Btn4->Left(), 236 + 8 + 53 * 9 + 4);
    QCOMPARE(F->Btn2->Top(), 478 + 15);
    QCOMPARE(F->ClientHeight(), 478 + 15 + 20 + 1 + 18 + 10);
}

void TestMainForm::packingInTheWindow_data()
{
    QTest::addColumn<QStringList>("Missing");
    QTest::addColumn<bool>("DisabledPictureStays"); // the missing ones still have "<name>0.bmp"
    QTest::addColumn<QList<int>>("Cells");          // Btn4, Btn5, Btn6, Btn7, Btn8, Btn10; -1 hidden
    QTest::newRow("all there") << QStringList() << false << QList<int>{9, 8, 7, 6, 5, 4};
    QTest::newRow("no mail.bmp") << QStringList{u"mail"_s} << false << QList<int>{-1, 9, 8, 7, 6, 5};
    QTest::newRow("no setup.bmp") << QStringList{u"setup"_s} << false << QList<int>{9, 8, 7, 6, -1, 5};
    QTest::newRow("no write.bmp, no source.bmp")
        << QStringList{u"write"_s, u"source"_s} << false << QList<int>{9, -1, 8, -1, 7, 6};
    // A disabled picture alone is no picture of the button.
    QTest::newRow("setup0.bmp only") << QStringList{u"setup"_s} << true << QList<int>{9, 8, 7, 6, -1, 5};
    QTest::newRow("mail0.bmp only") << QStringList{u"mail"_s} << true << QList<int>{-1, 9, 8, 7, 6, 5};
}

void TestMainForm::packingInTheWindow()
{
    QFETCH(QStringList, Missing);
    QFETCH(bool, DisabledPictureStays);
    QFETCH(QList<int>, Cells);
    TMainFixture Fx;
    Fx.WriteButtons(Missing);
    if (DisabledPictureStays) {
        for (const QString& Name : Missing) {
            Fx.WriteImage(u"Shell/Btn/"_s + Name + u"0.bmp"_s, QSize(32, 32), QColor(0x80, 0x80, 0x80));
        }
    }
    auto F = Fx.Create();
    const QList<TVeltraneImage*> Buttons{F->Btn4, F->Btn5, F->Btn6, F->Btn7, F->Btn8, F->Btn10};
    for (int I = 0; I < Buttons.size(); ++I) {
        if (Cells[I] < 0) {
            QVERIFY2(!Buttons[I]->Visible(), qPrintable(Buttons[I]->Name()));
            // Never enabled showing nothing.
            QVERIFY2(!Buttons[I]->Enabled(), qPrintable(Buttons[I]->Name()));
        } else {
            QVERIFY2(Buttons[I]->Visible(), qPrintable(Buttons[I]->Name()));
            QCOMPARE(Buttons[I]->Left(), 236 + 8 + 53 * Cells[I] + 4);
        }
    }
}

void TestMainForm::stackingOrder()
{
    TMainFixture Fx;
    auto F = Fx.Create();
    const QObjectList Children = F->children();
    auto Pos = [&Children](QObject* O) { return Children.indexOf(O); };
    const QList<QObject*> Order{F->TextBackground,
                                F->ToolBarImg,
                                F->TopImg,
                                F->TitleLabel,
                                F->IcoImg,
                                F->Btn2,
                                F->Btn3,
                                F->Btn4,
                                F->Btn5,
                                F->Btn6,
                                F->Btn7,
                                F->Btn8,
                                F->Btn10,
                                F->Btn9,
                                F->Btn11,
                                F->PreviewImg1,
                                F->PreviewImg2,
                                F->MinimizeBtn,
                                F->CloseBtn,
                                F->Tabs,
                                F->TextField,
                                F->ImageGallery,
                                F->ScreenshotsGallery,
                                F->ProjectTree};
    for (int I = 1; I < Order.size(); ++I) {
        QVERIFY2(Pos(Order[I - 1]) < Pos(Order[I]), qPrintable(Order[I]->objectName()));
    }
    // The text's scroll bar, a window of its own, lies above the galleries that cover the text.
    for (QObject* Cover :
         {static_cast<QObject*>(F->ImageGallery), static_cast<QObject*>(F->ScreenshotsGallery),
          static_cast<QObject*>(F->ScreenshotsGallery->ScrollBar())}) {
        QVERIFY2(Pos(Cover) < Pos(F->TextField->ScrollBar()), qPrintable(Cover->objectName()));
    }
}

void TestMainForm::buttonStatesAfterLoading()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    auto F = Fx.Create();
    // Loaded and allowed now: letter, intro, folder, options, exit.
    for (TVeltraneImage* B : {F->Btn2, F->Btn3, F->Btn4, F->Btn5, F->Btn6}) {
        QVERIFY2(B->Enabled(), qPrintable(B->Name()));
    }
    // Loaded, enabled only by a selection: they show their disabled pictures.
    for (TVeltraneImage* B : {F->Btn7, F->Btn8, F->Btn9, F->Btn10}) {
        QVERIFY2(!B->Enabled(), qPrintable(B->Name()));
        QCOMPARE(Pixel(B->Picture(), 5, 5), QColor(0x80, 0x80, 0x80));
        QCOMPARE(Pixel(B->LoadedPicture(), 5, 5), QColor(0x20, 0x80, 0x20));
    }
    QVERIFY(!F->Btn9->Visible());
    QVERIFY(!F->Btn11->Enabled());
    QCOMPARE(F->Btn4->Hint(), strSendLetter);
    QCOMPARE(F->Btn9->Hint(), strPlayMusic);
    QCOMPARE(F->Btn10->Hint(), strCopyToDisk);
    QCOMPARE(F->Btn7->Hint(), strBrowse);
    QCOMPARE(F->Btn8->Hint(), strInstall);

    // Without any picture the text buttons stay disabled.
    TMainFixture Bare;
    auto G = Bare.Create();
    QVERIFY(!G->Btn2->Enabled());
    QVERIFY(!G->Btn3->Enabled());
    QVERIFY(!G->MinimizeBtn->Enabled());
}

void TestMainForm::pictureTitleBar()
{
    TMainFixture Fx;
    Fx.WriteImage(u"Shell/Images/title.bmp"_s, QSize(781, 21), QColor(0x30, 0x30, 0x90));
    Fx.WriteImage(u"Shell/Images/app.bmp"_s, QSize(16, 16), QColor(0x90, 0x30, 0x30));
    Fx.WriteImage(u"Shell/Btn/minbtn.bmp"_s, QSize(18, 18), QColor(0x10, 0x90, 0x10));
    DesignSettings.Images.AppIcon = u"app.bmp"_s;
    DesignSettings.Images.MinimizeBtn = u"minbtn.bmp"_s;
    auto F = Fx.Create();
    QVERIFY(F->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!F->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(F->TopImg->Visible());
    QVERIFY(F->TopImg->Picture().HasGraphic());
    QVERIFY(F->TopImg->Stretch());
    QCOMPARE(F->IcoImg->Picture().Width(), 16);
    QVERIFY(F->MinimizeBtn->Enabled());
    // No close picture: shown, but disabled.
    QVERIFY(F->CloseBtn->Visible());
    QVERIFY(!F->CloseBtn->Enabled());
}

void TestMainForm::standardTitle()
{
    TMainFixture Fx;
    Fx.WriteImage(u"Shell/Images/title.bmp"_s, QSize(781, 21), QColor(0x30, 0x30, 0x90));
    DesignSettings.Options.ShowStandardTitle = true;
    auto F = Fx.Create();
    QVERIFY(!F->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(F->windowFlags().testFlag(Qt::WindowTitleHint));
    QVERIFY(!F->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    for (TControl* C : std::initializer_list<TControl*>{F->TopImg, F->IcoImg, F->MinimizeBtn, F->CloseBtn}) {
        QVERIFY2(!C->Visible(), qPrintable(C->Name()));
    }
    // The picture title bar is not even loaded.
    QVERIFY(!F->TopImg->Picture().HasGraphic());
}

void TestMainForm::colorsAndTextFont_data()
{
    QTest::addColumn<QString>("Style");
    QTest::addColumn<int>("Expected");
    QTest::newRow("none") << QString() << 0;
    QTest::newRow("bold italic") << u"bold, italic"_s << int(TFont::fsBold | TFont::fsItalic);
    QTest::newRow("capitals are no styles") << u"Bold Italic"_s << 0;
    QTest::newRow("all four in one word")
        << u"boldunderlinestrikeoutitalic"_s
        << int(TFont::fsBold | TFont::fsItalic | TFont::fsUnderline | TFont::fsStrikeOut);
}

void TestMainForm::colorsAndTextFont()
{
    QFETCH(QString, Style);
    QFETCH(int, Expected);
    TMainFixture Fx;
    DesignSettings.Colors.Windows = 0x112233;
    DesignSettings.Colors.Text = 0x445566;
    DesignSettings.Colors.TextFont = 0x0000FF;
    DesignSettings.Colors.Tree = 0x778899;
    DesignSettings.Options.TextFontName = u"Arial"_s;
    DesignSettings.Options.TextFontSize = 12;
    DesignSettings.Options.TextFontStyle = Style;
    auto F = Fx.Create();
    QCOMPARE(F->Color(), 0x112233);
    QCOMPARE(F->TextField->Color(), 0x445566);
    QCOMPARE(F->TitleLabel->Color(), 0x445566);
    QCOMPARE(F->ProjectTree->Color(), 0x778899);
    QCOMPARE(F->TextField->Font()->Color(), 0x0000FF);
    QCOMPARE(F->TextField->Font()->Name(), u"Arial"_s);
    QCOMPARE(F->TextField->Font()->Size(), 12);
    QCOMPARE(int(F->TextField->Font()->Style()), Expected);
    QCOMPARE(F->ProjectTree->Font()->Size(), 10);
    QVERIFY(F->TitleLabel->Font()->Style().testFlag(TFont::fsBold));
}

void TestMainForm::transparentText_data()
{
    QTest::addColumn<bool>("Option");
    QTest::addColumn<bool>("Wallpaper");
    QTest::addColumn<bool>("TextGif");
    QTest::addColumn<bool>("Transparent");
    QTest::newRow("option off") << false << true << true << false;
    QTest::newRow("nothing behind: stays opaque") << true << false << false << false;
    QTest::newRow("wallpaper") << true << true << false << true;
    QTest::newRow("text background") << true << false << true << true;
}

void TestMainForm::transparentText()
{
    QFETCH(bool, Option);
    QFETCH(bool, Wallpaper);
    QFETCH(bool, TextGif);
    QFETCH(bool, Transparent);
    TMainFixture Fx;
    DesignSettings.Options.TransparentText = Option;
    DesignSettings.Images.Wallpaper = u"wall.bmp"_s;
    if (Wallpaper) {
        Fx.WriteImage(u"Shell/Images/wall.bmp"_s, QSize(100, 100), Qt::red);
    }
    if (TextGif) {
        QImage Gif(50, 50, QImage::Format_Indexed8);
        Gif.setColorTable({qRgb(200, 200, 255)});
        Gif.fill(0);
        // Written as a bitmap under the name the window looks for; the loader reads by content.
        Fx.WriteImage(u"Shell/Images/text.bmp"_s, Gif);
        QFile::rename(Fx.Path(u"Shell/Images/text.bmp"_s), Fx.Path(u"Shell/Images/text.gif"_s));
    }
    auto F = Fx.Create();
    QCOMPARE(F->TextField->Transparent(), Transparent);
    QCOMPARE(F->TextBackground->Picture().HasGraphic(), Option && TextGif);
}

void TestMainForm::splashDecision_data()
{
    QTest::addColumn<bool>("Flag");
    QTest::addColumn<int>("ShowTime");
    QTest::addColumn<bool>("Picture");
    QTest::addColumn<bool>("Result");
    QTest::addColumn<bool>("Shown");
    QTest::newRow("shown") << true << 5 << true << true << true;
    QTest::newRow("nosplash") << false << 5 << true << true << false;
    QTest::newRow("show time 0") << true << 0 << true << true << false;
    QTest::newRow("no picture") << true << 5 << false << true << false;
    QTest::newRow("picture unreadable") << true << 5 << true << false << false;
}

void TestMainForm::splashDecision()
{
    QFETCH(bool, Flag);
    QFETCH(int, ShowTime);
    QFETCH(bool, Picture);
    QFETCH(bool, Result);
    QFETCH(bool, Shown);
    TMainFixture Fx;
    TVeltraneProject Source;
    Source.SplashScreen.ShowTime = quint16(ShowTime);
    Fx.SaveProject(Source);
    if (Picture) {
        Fx.WriteFile(u"Shell/Images/logo.jpg"_s, "not decoded here");
    }
    if (!Flag) {
        StartFlags = quint8(StartFlags & ~sfShowSplash);
    }
    Fx.SplashResult = Result;
    auto F = Fx.Create();
    QCOMPARE(Fx.SplashTimes.size(), Flag && ShowTime != 0 && Picture ? 1 : 0);
    if (!Fx.SplashTimes.isEmpty()) {
        QCOMPARE(Fx.SplashTimes.first(), ShowTime);
        QCOMPARE(Fx.SplashPictures.first(), TMainF::ImagesFolder() + u"logo.jpg"_s);
    }
    QCOMPARE(HasStartFlag(sfShowSplash), Shown);
    QCOMPARE(DesignSettings.Images.Splash, u"logo.jpg"_s);
}

void TestMainForm::copyItemCaption_data()
{
    QTest::addColumn<QString>("Locale");
    QTest::addColumn<QString>("Caption");
    QTest::newRow("US English") << u"en_US.UTF-8"_s << u"&Copy"_s;
    QTest::newRow("British English") << u"en_GB.UTF-8"_s << u"&Copy"_s;
    QTest::newRow("German") << u"de_DE.UTF-8"_s << u"&Copy"_s;
    QTest::newRow("Russian") << u"ru_RU.UTF-8"_s << u"&Копировать"_s;
}

void TestMainForm::copyItemCaption()
{
    QFETCH(QString, Locale);
    QFETCH(QString, Caption);
    const QByteArray Saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", Locale.toLatin1());
    TMainFixture Fx;
    auto F = Fx.Create();
    qputenv("LC_ALL", Saved);
    QCOMPARE(F->CopyItem->Caption(), Caption);
    QCOMPARE(F->PMenu->Count(), 1);
}

void TestMainForm::initialContent()
{
    TMainFixture Fx;
    TVeltraneProject Source;
    Source.Title = u"  My disc \t"_s;
    Source.Creator.AuthorWords = u"Welcome to the disc."_s;
    Fx.SaveProject(Source);
    auto F = Fx.Create();
    QCOMPARE(F->TitleLabel->Caption(), u"Intro"_s);
    QCOMPARE(F->TextField->Caption(), u"Welcome to the disc."_s);
    QCOMPARE(Project->Title, u"My disc"_s);
    QCOMPARE(F->Caption(), u"My disc"_s);
    QCOMPARE(F->windowTitle(), u"My disc"_s);
    QVERIFY(!F->IntroShown());
    QCOMPARE(F->CurrentSection(), nullptr);
    QCOMPARE(F->ProjectTree->Selected(), nullptr);
}

void TestMainForm::treeImages()
{
    TMainFixture Fx;
    auto F = Fx.Create();
    QCOMPARE(F->ImagesList->Count(), 6);
    QCOMPARE(F->ImagesList->Width(), 16);
    // Without project pictures the tree's images are the window's six.
    QCOMPARE(F->TreeImages->Count(), 6);
    QCOMPARE(F->ProjectTree->Images(), F->TreeImages);
}

void TestMainForm::wallpaperPainting_data()
{
    QTest::addColumn<QSize>("Size");
    QTest::addColumn<QPoint>("Inside");  // a point showing the wallpaper
    QTest::addColumn<QPoint>("Outside"); // a point showing the window colour (-1: none)
    QTest::newRow("smaller: centred") << QSize(181, 36) << QPoint(300, 253) << QPoint(299, 252);
    QTest::newRow("larger: top-left part") << QSize(1000, 800) << QPoint(0, 0) << QPoint(-1, -1);
}

void TestMainForm::wallpaperPainting()
{
    QFETCH(QSize, Size);
    QFETCH(QPoint, Inside);
    QFETCH(QPoint, Outside);
    TMainFixture Fx;
    Fx.WriteButtons();
    DesignSettings.Colors.Windows = 0x00FF00; // green window
    QImage Wall(Size, QImage::Format_RGB32);
    Wall.fill(Qt::red);
    Wall.setPixelColor(0, 0, Qt::blue);
    Fx.WriteImage(u"Shell/Images/wallpaper.bmp"_s, Wall);
    DesignSettings.Images.Wallpaper = u"wallpaper.bmp"_s;
    auto F = Fx.Create();
    QCOMPARE(F->size(), QSize(781, 542));
    const QImage Painted = PaintedBackground(*F);
    QCOMPARE(Painted.pixelColor(Inside), QColor(Qt::blue));
    if (Outside.x() >= 0) {
        QCOMPARE(Painted.pixelColor(Outside), QColor(Qt::green));
        QCOMPARE(Painted.pixelColor(Inside + QPoint(5, 5)), QColor(Qt::red));
    }
}

void TestMainForm::sameWallpaperNotReloaded()
{
    TMainFixture Fx;
    Fx.WriteImage(u"Shell/Images/wallpaper.bmp"_s, QSize(10, 10), Qt::red);
    Fx.WriteImage(u"Shell/Images/other.bmp"_s, QSize(10, 10), Qt::blue);
    DesignSettings.Images.Wallpaper = u"wallpaper.bmp"_s;
    auto F = Fx.Create();
    const QString First = TMainF::ImagesFolder() + u"wallpaper.bmp"_s;
    QCOMPARE(F->WallpaperFileName(), First);
    const auto Graphic = F->WallpaperPicture().SharedGraphic();
    QVERIFY(Graphic);
    F->SetWallpaper(First.toUpper());
    QCOMPARE(F->WallpaperPicture().SharedGraphic(), Graphic);
    QCOMPARE(F->WallpaperFileName(), First);
    F->SetWallpaper(TMainF::ImagesFolder() + u"other.bmp"_s);
    QVERIFY(F->WallpaperPicture().SharedGraphic() != Graphic);
    QCOMPARE(Pixel(F->WallpaperPicture(), 1, 1), QColor(Qt::blue));
}

void TestMainForm::missingWallpaperRemovesIt()
{
    TMainFixture Fx;
    Fx.WriteImage(u"Shell/Images/wallpaper.bmp"_s, QSize(10, 10), Qt::red);
    DesignSettings.Images.Wallpaper = u"wallpaper.bmp"_s;
    auto F = Fx.Create();
    QVERIFY(F->WallpaperPicture().HasGraphic());
    F->SetWallpaper(TMainF::ImagesFolder() + u"missing.jpg"_s);
    QVERIFY(!F->WallpaperPicture().HasGraphic());
    QCOMPARE(F->WallpaperFileName(), QString());
    // A picture that exists but cannot be read is no wallpaper either.
    Fx.WriteFile(u"Shell/Images/broken.bmp"_s, "BM not a bitmap");
    F->SetWallpaper(TMainF::ImagesFolder() + u"wallpaper.bmp"_s);
    F->SetWallpaper(TMainF::ImagesFolder() + u"broken.bmp"_s);
    QVERIFY(!F->WallpaperPicture().HasGraphic());
}

void TestMainForm::controlsFile()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteFile(u"Shell/controls.ini"_s, "[TitleLabel]\nCaption=Welcome\n"
                                          "[ProjectTree]\nRoundedCornersValue=20\nColor=#FF0000\n"
                                          "[Btn2]\nCaption=settings\n"
                                          "[Btn7]\nHint=Open it\n"
                                          "[MainF]\nClientWidth=800\n");
    auto F = Fx.Create();
    QCOMPARE(F->TitleLabel->Caption(), u"Welcome"_s);
    QCOMPARE(F->ProjectTree->Color(), 0x0000FF);
    QVERIFY(!F->ProjectTree->mask().isEmpty());
    QVERIFY(!F->ProjectTree->mask().contains(QPoint(0, 0)));
    QVERIFY(F->ProjectTree->mask().contains(QPoint(100, 200)));
    QCOMPARE(strOptions, u"settings"_s);
    QCOMPARE(strBrowse, u"Open it"_s);
    QCOMPARE(F->ClientWidth(), 800);
    QVERIFY(F->ControlsProps().Active());
    // Read again: the title on screen is kept while a section is shown (no intro).
    Fx.WriteFile(u"Shell/controls.ini"_s, "[TitleLabel]\nCaption=Other\n");
    F->ControlsProps().Reload();
    QCOMPARE(F->TitleLabel->Caption(), u"Welcome"_s);
    SelectLanguage(0x0409);
}

void TestMainForm::controlsFileKeepsShownTitle()
{
    TMainFixture Fx;
    TVeltraneProject Source;
    AddSection(Source, u"Games"_s, u"All games"_s);
    Fx.SaveProject(Source);
    Fx.WriteFile(u"Shell/controls.ini"_s, "[TitleLabel]\nCaption=Hello\n");
    auto F = Fx.Create();
    QCOMPARE(F->TitleLabel->Caption(), u"Hello"_s);
    Select(*F, FindNode(*F, u"Games"_s));
    QCOMPARE(F->TitleLabel->Caption(), u"Games"_s);
    F->ControlsProps().Reload();
    QCOMPARE(F->TitleLabel->Caption(), u"Games"_s);
    // During the intro the file's caption shows.
    F->Btn5Click();
    Fx.WriteFile(u"Shell/controls.ini"_s, "[TitleLabel]\nCaption=Again\n");
    F->ControlsProps().Reload();
    QCOMPARE(F->TitleLabel->Caption(), u"Again"_s);
    // Without the file nothing applies and the default caption is used.
    TMainFixture Bare;
    auto G = Bare.Create();
    QVERIFY(!G->ControlsProps().Active());
    QCOMPARE(G->TitleLabel->Caption(), u"Intro"_s);
}

void TestMainForm::buttonCaptions()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    DesignSettings.Buttons.OptionsBtn_TxtColor = 0xFFFFFF;
    DesignSettings.Buttons.OptionsBtn_OnFocusTxtColor = 0x00FFFF;
    auto F = Fx.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    // Shown: the caption is drawn onto the button's own bitmap, over the loaded picture.
    const QImage Drawn = F->Btn2->Picture().BitmapImage();
    QCOMPARE(Drawn.size(), QSize(80, 20));
    QVERIFY(Drawn.convertToFormat(QImage::Format_RGB32) != F->Btn2->LoadedPicture().Graphic()->ToBitmap());
    // The same caption as drawn last, in the same size and colour, costs nothing. (The exit button's
    // caption was drawn last when the window was shown.)
    F->Btn2MouseLeave(F->Btn2);
    const qint64 Key = F->Btn2->Picture().BitmapImage().cacheKey();
    F->Btn2MouseLeave(F->Btn2);
    QCOMPARE(F->Btn2->Picture().BitmapImage().cacheKey(), Key);
    // The mouse over it draws again, in the focus colour.
    F->Btn2MouseEnter(F->Btn2);
    QVERIFY(F->Btn2->Picture().BitmapImage().cacheKey() != Key);
}

void TestMainForm::captionsDrawnAfresh()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteFile(u"Shell/controls.ini"_s, "[Btn2]\nCaption=WWWWWW\n");
    DesignSettings.Buttons.OptionsBtn_TxtColor = 0xFFFFFF;
    DesignSettings.Buttons.OptionsBtn_OnFocusTxtColor = 0x00FFFF;
    DesignSettings.Buttons.ExitBtn_TxtColor = 0xFFFFFF;
    DesignSettings.Buttons.ExitBtn_OnFocusTxtColor = 0x00FFFF;
    auto F = Fx.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    const auto Shown = [](const TVeltraneImage* B) {
        return B->Picture().BitmapImage().convertToFormat(QImage::Format_RGB32);
    };
    // Twelve hovers leave each text button's pixels as they were.
    const QImage Options = Shown(F->Btn2);
    const QImage Exit = Shown(F->Btn3);
    for (int I = 0; I < 12; ++I) {
        F->Btn2MouseEnter(F->Btn2);
        F->Btn2MouseLeave(F->Btn2);
        F->Btn3MouseEnter(F->Btn3);
        F->Btn3MouseLeave(F->Btn3);
    }
    QCOMPARE(Shown(F->Btn2), Options);
    QCOMPARE(Shown(F->Btn3), Exit);

    // A new caption read from "controls.ini" replaces the old one: nothing of the wide old text
    // remains beside the narrow new one in the middle.
    Fx.WriteFile(u"Shell/controls.ini"_s, "[Btn2]\nCaption=i\n");
    F->ControlsProps().Reload();
    QCOMPARE(strOptions, u"i"_s);
    const QImage Loaded =
        F->Btn2->LoadedPicture().Graphic()->ToBitmap().convertToFormat(QImage::Format_RGB32);
    const QImage Now = Shown(F->Btn2);
    QCOMPARE(Now.size(), Loaded.size());
    int Changed = 0;
    for (int Y = 0; Y < Now.height(); ++Y) {
        for (int X = 0; X < Now.width(); ++X) {
            if (Now.pixel(X, Y) != Loaded.pixel(X, Y)) {
                ++Changed;
                QVERIFY2(qAbs(X - Now.width() / 2) <= 8, qPrintable(u"(%1, %2)"_s.arg(X).arg(Y)));
            }
        }
    }
    QVERIFY(Changed > 0);
    SelectLanguage(0x0409);
}

void TestMainForm::buttonOpacity()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteImage(u"Shell/Images/toolbar.bmp"_s, QSize(534, 60), QColor(0, 0, 200));
    DesignSettings.Options.BtnOpacity = true;
    auto F = Fx.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    // The button (0x20, 0x80, 0x20) composed at 0.55 over the toolbar's blue.
    const QColor Blended = Pixel(F->Btn4->Picture(), 16, 16);
    QVERIFY(Blended != QColor(0x20, 0x80, 0x20));
    QVERIFY2(Blended.blue() > 0x20 && Blended.blue() < 200, qPrintable(Blended.name()));
    QCOMPARE(F->Btn4->Opacity(), 0.55);
    QVERIFY(!F->PaintBitmap().isNull());
    // The mouse over it shows the loaded picture; leaving composes again.
    F->Btn4MouseEnter(F->Btn4);
    QCOMPARE(Pixel(F->Btn4->Picture(), 16, 16), QColor(0x20, 0x80, 0x20));
    F->Btn4MouseLeave(F->Btn4);
    QCOMPARE(Pixel(F->Btn4->Picture(), 16, 16), Blended);
    // A disabled button is left alone.
    F->Btn4MouseEnter(F->Btn7);
    QCOMPARE(Pixel(F->Btn7->Picture(), 5, 5), QColor(0x80, 0x80, 0x80));
}

void TestMainForm::buttonOpacityWhereNoToolbarLies()
{
    // Without a toolbar picture, or beside a narrow one, a composed button keeps its own pixels where
    // no toolbar lies under it: it must not turn black, its own transparent colour.
    const QColor Own(0x20, 0x80, 0x20);
    {
        TMainFixture Fx;
        Fx.WriteButtons();
        DesignSettings.Options.BtnOpacity = true;
        auto F = Fx.Create();
        F->show();
        QVERIFY(QTest::qWaitForWindowExposed(F.get()));
        for (TVeltraneImage* B : {F->Btn4, F->Btn5, F->Btn6}) {
            QCOMPARE(Pixel(B->Picture(), 16, 16), Own);
            QCOMPARE(Pixel(B->Picture(), 0, 31), QColor(0xFF, 0x00, 0xFF));
        }
        F->Btn4MouseEnter(F->Btn4);
        F->Btn4MouseLeave(F->Btn4);
        QCOMPARE(Pixel(F->Btn4->Picture(), 16, 16), Own);
    }
    // A toolbar 400 wide from 236 ends at 636: over Btn6 (619) its first 17 columns.
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteImage(u"Shell/Images/toolbar.bmp"_s, QSize(400, 40), QColor(0, 0, 200));
    DesignSettings.Options.BtnOpacity = true;
    auto F = Fx.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    QCOMPARE(F->Btn6->Left(), 619);
    QVERIFY(Pixel(F->Btn6->Picture(), 16, 16) != Own);
    QVERIFY(Pixel(F->Btn6->Picture(), 16, 16).blue() > 0x20);
    QCOMPARE(Pixel(F->Btn6->Picture(), 17, 16), Own);
    QCOMPARE(Pixel(F->Btn4->Picture(), 16, 16), Own);
}

void TestMainForm::titleBarDragAndHighlight()
{
    TMainFixture Fx;
    Fx.WriteImage(u"Shell/Btn/minbtn.bmp"_s, QSize(18, 18), QColor(0x10, 0x90, 0x10));
    Fx.WriteImage(u"Shell/Btn/minbtn_light.bmp"_s, QSize(18, 18), QColor(0x90, 0xF0, 0x90));
    DesignSettings.Images.MinimizeBtn = u"minbtn.bmp"_s;
    DesignSettings.Images.MinimizeBtn_HighLight = u"minbtn_light.bmp"_s;
    auto F = Fx.Create();
    F->move(100, 100);
    F->TopImgMouseDown(F->TopImg, TControl::mbLeft, {}, 50, 10);
    QVERIFY(F->Dragging());
    F->TopImgMouseMove(F->TopImg, {}, 70, 5);
    QCOMPARE(F->pos(), QPoint(120, 95));
    F->TopImgMouseUp(F->TopImg, TControl::mbLeft, {}, 70, 5);
    QVERIFY(!F->Dragging());
    F->TopImgMouseMove(F->TopImg, {}, 90, 5);
    QCOMPARE(F->pos(), QPoint(120, 95));
    F->TopImgMouseDown(F->TopImg, TControl::mbRight, {}, 50, 10);
    QVERIFY(!F->Dragging());

    QCOMPARE(Pixel(F->MinimizeBtn->Picture(), 5, 5), QColor(0x10, 0x90, 0x10));
    F->MinimizeAndCloseBtnMouseEnter(F->MinimizeBtn);
    QCOMPARE(Pixel(F->MinimizeBtn->Picture(), 5, 5), QColor(0x90, 0xF0, 0x90));
    F->MinimizeAndCloseBtnMouseLeave(F->MinimizeBtn);
    QCOMPARE(Pixel(F->MinimizeBtn->Picture(), 5, 5), QColor(0x10, 0x90, 0x10));
    // Other senders are ignored.
    F->MinimizeAndCloseBtnMouseEnter(F->Btn4);

    QStringList Entries;
    for (QAction* A : F->SystemMenu()->actions()) {
        if (!A->isSeparator()) {
            Entries << A->text();
        }
    }
    QCOMPARE(Entries, QStringList({u"&Move"_s, u"Mi&nimize"_s, u"&Close"_s}));
}

void TestMainForm::animatedCursors()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    auto F = Fx.Create();
    // No cursor files: the slots hold their standard fallbacks.
    QCOMPARE(CursorHand, crHandPoint);
    QCOMPARE(CursorIBeam, crIBeam);
    SetAnimatedCursors(true);
    QCOMPARE(F->Btn4->Cursor(), int(crHandPoint));
    QCOMPARE(F->TextField->Cursor(), int(CursorPen));
    QCOMPARE(F->ImageGallery->FocusedCursor(), int(crHandPoint));
    SetAnimatedCursors(false);
    QCOMPARE(F->TextField->Cursor(), int(crDefault));
    QCOMPARE(F->Cursor(), int(crDefault));
}

void TestMainForm::snapshot()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    DesignSettings.Colors.Windows = 0x00FF00;
    auto F = Fx.Create();
    const QImage Shot = F->RenderSnapshot();
    QCOMPARE(Shot.size(), QSize(781, 542));
    // A corner outside every control shows the window colour.
    QCOMPARE(Shot.pixelColor(3, 470 - 40), QColor(Qt::green));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
