// The real program on a small fixture disc with a generated skin. Its snapshot option writes the
// window as a PNG picture with the skin's colours where the layout puts them. Inside a private X
// server the test clicks and types at the real window with xdotool and watches the screen: choosing
// a section shows its wallpaper and its name, moving between the items of a section keeps the
// wallpaper, and "exit" ends the program.

#include "AutorunProcess.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The skin's colours, each one used once so that a pixel tells which part it belongs to.
const QColor WindowColor(0x2A, 0x5C, 0x8A);
const QColor TreeColor(0xE8, 0xF0, 0xD8);
const QColor TextColor(0xFF, 0xF4, 0xE0);
const QColor TitleBarColor(0x7A, 0x3E, 0x9D);
const QColor ToolBarColor(0x3C, 0x8C, 0x5A);
const QColor OptionsColor(0xC8, 0xA0, 0x40);
const QColor ExitColor(0xB0, 0x40, 0x30);
const QColor AlphaWallpaper(0xD0, 0x40, 0x40);
const QColor BetaWallpaper(0x40, 0xB0, 0x60);
// Left in the bottom-left corner of the transparent pictures: that colour is not painted.
const QColor SeeThrough(0xFF, 0x00, 0xFF);

// The window as the layout computes it: 781 wide; the 40-pixel toolbar ends with the tree at 478, the
// 24-pixel "options" and "exit" buttons follow 15 pixels lower, one pixel apart, and 10 pixels more
// end the window.
const QSize WindowSize(781, 478 + 15 + 24 + 1 + 24 + 10);

// Places in client pixels and what shows there right after start-up.
const QPoint InTitleBar(400, 10);
const QPoint LeftOfTree(4, 300);
const QPoint BetweenTreeAndText(230, 200);
const QPoint BelowTree(100, 520);
const QPoint InTreeBelowRows(100, 470);
const QPoint InTextBelowText(700, 390);
const QPoint InToolBarAboveButtons(300, 439);
// Near the buttons' left edges, clear of their centred captions.
const QPoint InOptions(675, 496);
const QPoint InExit(675, 521);
// The title line over the text area; it shows the chosen node's name.
const QRect TitleLine(240, 48, 522, 20);
// The middle of the tree's first row.
const QPoint FirstTreeRow(8 + 60, 48 + 8);

QImage Solid(QSize Size, const QColor& Color, bool Transparent = false)
{
    QImage Image(Size, QImage::Format_RGB32);
    Image.fill(Color);
    if (Transparent)
        Image.setPixelColor(0, Size.height() - 1, SeeThrough);
    return Image;
}

// The title's lettering: where it differs from the background behind it. A title is compared with
// the lettering shown before, so that a new wallpaper behind the same name is no new title.
QImage Lettering(const QImage& Image, const QColor& Background)
{
    QImage Mask(Image.size(), QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Mask.setPixel(X, Y, Image.pixelColor(X, Y) == Background ? 0xFF000000 : 0xFFFFFFFF);
    return Mask;
}

} // namespace

class TestBrowse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void snapshotShowsTheSkin();
    void browseTheTree();

private:
    QProcessEnvironment Env() const;
    bool XDo(const QStringList& Arguments, QString* Output = nullptr) const;
    QImage Grab(const QRect& ClientRect) const;
    QColor PixelAt(const QPoint& ClientPoint) const
    {
        return Grab(QRect(ClientPoint, QSize(1, 1))).pixelColor(0, 0);
    }

    QTemporaryDir FDir;
    QString FDisc;
    QPoint FOrigin; // the browsed window's client origin on the screen
};

void TestBrowse::initTestCase()
{
    QVERIFY(FDir.isValid());
    FDisc = FDir.filePath(u"disc"_s);
    const QDir Disc(FDisc);
    for (const QString& Folder : {u"Shell/Images"_s, u"Shell/Btn"_s, u"Shell/Wallpapers"_s})
        QVERIFY(Disc.mkpath(Folder));
    QVERIFY(QFile::copy(QStringLiteral(AUTORUN_BROWSE_PROJECT), Disc.filePath(u"Shell/veltrane.vlp"_s)));

    QFile Ini(Disc.filePath(u"Shell/shell.ini"_s));
    QVERIFY(Ini.open(QIODevice::WriteOnly));
    Ini.write("[Options]\r\n"
              "TextFontName=DejaVu Sans\r\n"
              "[Images]\r\n"
              "Title=title.bmp\r\n"
              "Wallpaper=none.png\r\n"
              "[Colors]\r\n"
              "Windows=#2A5C8A\r\n"
              "Tree=#E8F0D8\r\n"
              "Text=#FFF4E0\r\n"
              "TextFont=#202020\r\n");
    Ini.close();

    QVERIFY(Solid({781, 21}, TitleBarColor, true).save(Disc.filePath(u"Shell/Images/title.bmp"_s), "BMP"));
    QVERIFY(Solid({433, 40}, ToolBarColor, true).save(Disc.filePath(u"Shell/Images/toolbar.bmp"_s), "BMP"));
    QVERIFY(Solid({90, 24}, OptionsColor).save(Disc.filePath(u"Shell/Btn/settings.bmp"_s), "BMP"));
    QVERIFY(Solid({90, 24}, ExitColor).save(Disc.filePath(u"Shell/Btn/close.bmp"_s), "BMP"));
    QVERIFY(Solid(WindowSize, AlphaWallpaper).save(Disc.filePath(u"Shell/Wallpapers/alpha.png"_s), "PNG"));
    QVERIFY(Solid(WindowSize, BetaWallpaper).save(Disc.filePath(u"Shell/Wallpapers/beta.png"_s), "PNG"));
}

QProcessEnvironment TestBrowse::Env() const
{
    return AutorunEnvironment(QDir(FDir.path()));
}

bool TestBrowse::XDo(const QStringList& Arguments, QString* Output) const
{
    QProcess P;
    P.start(u"xdotool"_s, Arguments);
    if (!P.waitForFinished(10000))
        return false;
    if (Output)
        *Output = QString::fromLocal8Bit(P.readAllStandardOutput());
    return P.exitStatus() == QProcess::NormalExit && P.exitCode() == 0;
}

QImage TestBrowse::Grab(const QRect& ClientRect) const
{
    QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen)
        return {};
    const QRect R = ClientRect.translated(FOrigin);
    return Screen->grabWindow(0, R.x(), R.y(), R.width(), R.height()).toImage();
}

void TestBrowse::snapshotShowsTheSkin()
{
    QFile::remove(FDir.filePath(u"messages.log"_s));
    // A blank in the value is written "?".
    const QString File = FDir.filePath(u"snapshot.png"_s);
    QProcess P;
    P.setProcessEnvironment(Env());
    P.start(QStringLiteral(AUTORUN_PATH), {FDisc, u"snapshot="_s + QString(File).replace(u' ', u'?')});
    QVERIFY(P.waitForFinished(30000));
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 0);
    QVERIFY2(!QFile::exists(FDir.filePath(u"messages.log"_s)), "the program reported a message");

    const QImage Shot(File);
    QVERIFY(!Shot.isNull());
    QCOMPARE(Shot.size(), WindowSize);
    const struct
    {
        QPoint At;
        QColor Color;
        const char* What;
    } Expected[] = {
        {InTitleBar, TitleBarColor, "title bar picture"},
        {LeftOfTree, WindowColor, "window colour left of the tree"},
        {BetweenTreeAndText, WindowColor, "window colour between tree and text"},
        {BelowTree, WindowColor, "window colour under the tree"},
        {InTreeBelowRows, TreeColor, "tree colour"},
        {InTextBelowText, TextColor, "text area colour"},
        {InToolBarAboveButtons, ToolBarColor, "toolbar picture"},
        {InOptions, OptionsColor, "options button"},
        {InExit, ExitColor, "exit button"},
    };
    for (const auto& E : Expected)
        QVERIFY2(Shot.pixelColor(E.At) == E.Color,
                 qPrintable(u"%1 at (%2,%3): %4"_s.arg(QLatin1String(E.What))
                                .arg(E.At.x())
                                .arg(E.At.y())
                                .arg(Shot.pixelColor(E.At).name())));
}

void TestBrowse::browseTheTree()
{
    if (qEnvironmentVariable("AUTORUN_E2E_PLATFORM") != u"xcb"_s ||
        QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs the private X server of app_tst_browse_xvfb");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("xdotool is not installed");

    QFile::remove(FDir.filePath(u"messages.log"_s));
    QProcess P;
    P.setProcessEnvironment(Env());
    P.start(QStringLiteral(AUTORUN_PATH), {FDisc, u"nosplash"_s, u"nobackmusic"_s, u"noanimcur"_s});
    QVERIFY(P.waitForStarted());
    auto Stop = qScopeGuard([&P] {
        if (P.state() != QProcess::NotRunning) {
            P.kill();
            P.waitForFinished(10000);
        }
    });

    // The program's one visible window, its place and size.
    const QString Pid = QString::number(P.processId());
    QString Found;
    QTRY_VERIFY_WITH_TIMEOUT(XDo({u"search"_s, u"--onlyvisible"_s, u"--pid"_s, Pid}, &Found) ||
                                 P.state() == QProcess::NotRunning,
                             30000);
    QCOMPARE(P.state(), QProcess::Running);
    const QStringList Windows = Found.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(Windows.size(), 1);
    const QString Window = Windows.first();
    QString Geometry;
    QVERIFY(XDo({u"getwindowgeometry"_s, u"--shell"_s, Window}, &Geometry));
    QHash<QString, int> G;
    for (const QString& Line : Geometry.split(u'\n', Qt::SkipEmptyParts))
        G.insert(Line.section(u'=', 0, 0), Line.section(u'=', 1).toInt());
    QCOMPARE(QSize(G.value(u"WIDTH"_s), G.value(u"HEIGHT"_s)), WindowSize);
    FOrigin = QPoint(G.value(u"X"_s), G.value(u"Y"_s));

    // Up and painted: the tree, the text area and the window colour where the layout puts them.
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(InTreeBelowRows), TreeColor, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(InTextBelowText), TextColor, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(BetweenTreeAndText), WindowColor, 10000);
    QCOMPARE(PixelAt(InTitleBar), TitleBarColor);
    QImage Title = Lettering(Grab(TitleLine), WindowColor);
    QImage NoLettering(Title.size(), QImage::Format_RGB32);
    NoLettering.fill(Qt::black);
    QVERIFY(Title != NoLettering);

    // A click on the first row chooses the first section: its wallpaper and its name.
    QVERIFY(XDo({u"mousemove"_s, u"--sync"_s, QString::number(FOrigin.x() + FirstTreeRow.x()),
                 QString::number(FOrigin.y() + FirstTreeRow.y()), u"click"_s, u"1"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(BetweenTreeAndText), AlphaWallpaper, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(Lettering(Grab(TitleLine), AlphaWallpaper) != Title, 10000);
    QCOMPARE(PixelAt(LeftOfTree), AlphaWallpaper);
    QCOMPARE(PixelAt(InTreeBelowRows), TreeColor);

    // The keys go to the tree: down to the section's two items, then past the last one to the next
    // section. Each step shows the node's name; the items keep their section's wallpaper, the next
    // section brings its own. Each step changes the title once, and that change is seen before the
    // next key.
    QVERIFY(XDo({u"windowfocus"_s, u"--sync"_s, Window}));
    QColor Background = AlphaWallpaper;
    for (const QColor& Wallpaper : {AlphaWallpaper, AlphaWallpaper, BetaWallpaper}) {
        Title = Lettering(Grab(TitleLine), Background);
        QVERIFY(XDo({u"key"_s, u"Down"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(PixelAt(BetweenTreeAndText), Wallpaper, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(Lettering(Grab(TitleLine), Wallpaper) != Title, 10000);
        QCOMPARE(PixelAt(InTextBelowText), TextColor);
        Background = Wallpaper;
    }
    QVERIFY2(!QFile::exists(FDir.filePath(u"messages.log"_s)), "the program reported a message");

    // "exit" ends the program.
    QVERIFY(XDo({u"mousemove"_s, u"--sync"_s, QString::number(FOrigin.x() + InExit.x()),
                 QString::number(FOrigin.y() + InExit.y()), u"click"_s, u"1"_s}));
    QVERIFY(P.waitForFinished(10000));
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 0);
}

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
