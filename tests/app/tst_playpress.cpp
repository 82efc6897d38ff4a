// The real program on a disc that plays music items by itself ("AutoPlayback=1"), inside a private X
// server: a music item with two actions plays nothing by itself, and the first click on the play
// button opens the action chooser, a second window of the program. The play button is found on the
// screen by its picture's colour, so that the test does not depend on where the layout puts it.

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

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QColor PlayColor(0x12, 0x9C, 0xE4);
const QColor TreeColor(0xE8, 0xF0, 0xD8);

bool XDo(const QStringList& Arguments, QString* Output = nullptr)
{
    QProcess P;
    P.start(u"xdotool"_s, Arguments);
    if (!P.waitForFinished(10000)) {
        return false;
    }
    if (Output) {
        *Output = QString::fromLocal8Bit(P.readAllStandardOutput());
    }
    return P.exitStatus() == QProcess::NormalExit && P.exitCode() == 0;
}

// The program's visible windows.
QStringList VisibleWindows(const QProcess& Program)
{
    QString Found;
    XDo({u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(Program.processId())}, &Found);
    return Found.split(u'\n', Qt::SkipEmptyParts);
}

QImage Grab(const QRect& ScreenRect)
{
    QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->grabWindow(0, ScreenRect.x(), ScreenRect.y(), ScreenRect.width(),
                                       ScreenRect.height())
                        .toImage()
                  : QImage();
}

// A point 8 pixels right of and below the first pixel of Color in the window's picture, in screen
// pixels.
std::optional<QPoint> Find(const QRect& Window, const QColor& Color)
{
    const QImage Shot = Grab(Window);
    for (int Y = 0; Y < Shot.height(); ++Y) {
        for (int X = 0; X < Shot.width(); ++X) {
            if (Shot.pixelColor(X, Y) == Color) {
                return Window.topLeft() + QPoint(X + 8, Y + 8);
            }
        }
    }
    return std::nullopt;
}

bool Click(QPoint ScreenPoint)
{
    return XDo({u"mousemove"_s, u"--sync"_s, QString::number(ScreenPoint.x()), QString::number(ScreenPoint.y()),
                u"click"_s, u"1"_s});
}

} // namespace

class TestPlayPress : public QObject
{
    Q_OBJECT

private slots:
    void firstPressOpensTheChooser();
};

void TestPlayPress::firstPressOpensTheChooser()
{
    if (qEnvironmentVariable("AUTORUN_E2E_PLATFORM") != u"xcb"_s ||
        QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs the private X server of app_tst_playpress_xvfb");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("xdotool is not installed");

    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QDir Disc(Dir.filePath(u"disc"_s));
    QVERIFY(Disc.mkpath(u"Shell/Btn"_s));
    QVERIFY(Disc.mkpath(u"Shell/Images"_s));
    QVERIFY(QFile::copy(QStringLiteral(AUTORUN_PLAYPRESS_PROJECT), Disc.filePath(u"Shell/veltrane.vlp"_s)));
    QFile Ini(Disc.filePath(u"Shell/shell.ini"_s));
    QVERIFY(Ini.open(QIODevice::WriteOnly));
    Ini.write("[Options]\r\nAutoPlayback=1\r\nTextFontName=DejaVu Sans\r\n[Colors]\r\nTree=#E8F0D8\r\n");
    Ini.close();
    QImage Toolbar(433, 40, QImage::Format_RGB32);
    Toolbar.fill(QColor(0x3C, 0x8C, 0x5A));
    QVERIFY(Toolbar.save(Disc.filePath(u"Shell/Images/toolbar.bmp"_s), "BMP"));
    QImage Play(32, 32, QImage::Format_RGB32);
    Play.fill(PlayColor);
    // The bottom-left pixel is the picture's transparent colour.
    Play.setPixelColor(0, 31, QColor(0xFF, 0x00, 0xFF));
    QVERIFY(Play.save(Disc.filePath(u"Shell/Btn/play.bmp"_s), "BMP"));

    QProcessEnvironment Env = AutorunEnvironment(QDir(Dir.path()));
    // A sound device that is always there.
    Env.insert(u"SDL_AUDIODRIVER"_s, u"dummy"_s);
    QProcess P;
    P.setProcessEnvironment(Env);
    P.start(QStringLiteral(AUTORUN_PATH), {Disc.path(), u"nosplash"_s, u"nobackmusic"_s, u"noanimcur"_s});
    QVERIFY(P.waitForStarted());
    auto Stop = qScopeGuard([&P] {
        if (P.state() != QProcess::NotRunning) {
            P.kill();
            P.waitForFinished(10000);
        }
    });

    QTRY_VERIFY_WITH_TIMEOUT(VisibleWindows(P).size() == 1 || P.state() == QProcess::NotRunning, 30000);
    QCOMPARE(P.state(), QProcess::Running);
    const QString Window = VisibleWindows(P).first();
    QString Geometry;
    QVERIFY(XDo({u"getwindowgeometry"_s, u"--shell"_s, Window}, &Geometry));
    QHash<QString, int> G;
    for (const QString& Line : Geometry.split(u'\n', Qt::SkipEmptyParts))
        G.insert(Line.section(u'=', 0, 0), Line.section(u'=', 1).toInt());
    const QRect Frame(G.value(u"X"_s), G.value(u"Y"_s), G.value(u"WIDTH"_s), G.value(u"HEIGHT"_s));
    // Up and painted; no music item chosen yet, so no play button.
    std::optional<QPoint> Tree;
    QTRY_VERIFY_WITH_TIMEOUT((Tree = Find(Frame, TreeColor)).has_value(), 10000);
    QVERIFY(!Find(Frame, PlayColor));

    // The music item is the tree's only node (its section has no name): a click on the first row.
    QVERIFY(Click(*Tree + QPoint(50, 0)));
    std::optional<QPoint> PlayButton;
    QTRY_VERIFY_WITH_TIMEOUT((PlayButton = Find(Frame, PlayColor)).has_value(), 10000);
    QCOMPARE(VisibleWindows(P).size(), 1);

    // One click: the action chooser.
    QVERIFY(Click(*PlayButton));
    QTRY_COMPARE_WITH_TIMEOUT(VisibleWindows(P).size(), 2, 10000);
    QVERIFY2(!QFile::exists(Dir.filePath(u"messages.log"_s)), "the program reported a message");
}

QTEST_MAIN(TestPlayPress)
#include "tst_playpress.moc"
