#include "config/DesignSettings.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

// Changes the defaults into what a row expects.
using TExpect = std::function<void(IniFileStruct&)>;
Q_DECLARE_METATYPE(TExpect)

namespace {

IniFileStruct FromText(const QByteArray& Content)
{
    TIniFile Ini;
    Ini.LoadFromBytes(Content);
    return DesignSettingsFromIni(Ini);
}

// Names the section that differs, so that a failing row says where.
QString FirstDifference(const IniFileStruct& A, const IniFileStruct& B)
{
    if (!(A.Options == B.Options)) {
        return u"Options"_s;
    }
    if (!(A.Path == B.Path)) {
        return u"Path"_s;
    }
    if (!(A.Images == B.Images)) {
        return u"Images"_s;
    }
    if (!(A.Cursors == B.Cursors)) {
        return u"Cursors"_s;
    }
    if (!(A.Copy == B.Copy)) {
        return u"Copy"_s;
    }
    if (!(A.Splash == B.Splash)) {
        return u"Splash"_s;
    }
    if (!(A.Colors == B.Colors)) {
        return u"Colors"_s;
    }
    if (!(A.Buttons == B.Buttons)) {
        return u"Buttons"_s;
    }
    return {};
}

} // namespace

class TDesignSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void EmptyFileGivesEveryDefault();
    void MissingFileGivesEveryDefault();
    void Values_data();
    void Values();
    void ParseColorText_data();
    void ParseColorText();
    void ReadsTheFileNamed();
};

void TDesignSettingsTest::EmptyFileGivesEveryDefault()
{
    const IniFileStruct Read = FromText({});
    QCOMPARE(FirstDifference(Read, IniFileStruct()), QString());
    QVERIFY(Read == IniFileStruct());

    // The defaults themselves, as a missing key gives them.
    QCOMPARE(Read.Options.ProjectName, u"veltrane.vlp"_s);
    QCOMPARE(Read.Options.Volume, -1);
    QCOMPARE(Read.Options.ShowAboutSection, true);
    QCOMPARE(Read.Options.TextFontName, u"MS Sans Serif"_s);
    QCOMPARE(Read.Options.TextFontSize, 8);
    QCOMPARE(Read.Path.Images, u"Images\\"_s);
    QCOMPARE(Read.Path.BtnImg, u"Btn\\"_s);
    QCOMPARE(Read.Path.Cursors, u"Cursor\\"_s);
    QCOMPARE(Read.Images.CloseBtn_HighLight, u"closebtn_light.gif"_s);
    QCOMPARE(Read.Cursors.crHelp, u"arrow.ani"_s);
    QCOMPARE(Read.Copy.InsertMode, quint8(2));
    QCOMPARE(Read.Colors.Windows, ParseColor(u"$d9a37b"));
    QCOMPARE(Read.Colors.Text, ParseColor(u"$fbeee3"));
    QCOMPARE(Read.Colors.TextFont, 0u);
    QCOMPARE(Read.Buttons.OptionsBtn_OnFocusTxtColor, ParseColor(u"$ffc753"));
}

void TDesignSettingsTest::MissingFileGivesEveryDefault()
{
    DesignSettings.Options.Volume = 77;
    DesignSettings.Path.Images.clear();
    ReadDesignSettings(u"/nonexistent/Shell/shell.ini"_s);
    QVERIFY(DesignSettings == IniFileStruct());
}

void TDesignSettingsTest::Values_data()
{
    QTest::addColumn<QByteArray>("Content");
    QTest::addColumn<TExpect>("Expect");

    const auto Row = [](const char* Name, const QByteArray& Content, TExpect Expect) {
        QTest::newRow(Name) << Content << Expect;
    };

    // Folders.
    Row("images folder empty", "[Path]\nImages=\n", [](IniFileStruct& S) { S.Path.Images.clear(); });
    Row("images folder gets a backslash", "[Path]\nImages=Skin\n",
        [](IniFileStruct& S) { S.Path.Images = u"Skin\\"_s; });
    Row("backslash not doubled", "[Path]\nImages=Skin\\\n",
        [](IniFileStruct& S) { S.Path.Images = u"Skin\\"_s; });
    Row("nested folder", "[path]\ncursors=Res\\Cur\n",
        [](IniFileStruct& S) { S.Path.Cursors = u"Res\\Cur\\"_s; });
    Row("button folder blank is empty", "[Path]\nBtnImg=   \n",
        [](IniFileStruct& S) { S.Path.BtnImg.clear(); });

    // Booleans.
    Row("AutoPlayback yes gives the default", "[Options]\nAutoPlayback=yes\n", [](IniFileStruct&) {});
    Row("AutoPlayback 2 is true", "[Options]\nAutoPlayback=2\n",
        [](IniFileStruct& S) { S.Options.AutoPlayback = true; });
    Row("AutoPlayback -1 is true", "[Options]\nAutoPlayback=-1\n",
        [](IniFileStruct& S) { S.Options.AutoPlayback = true; });
    Row("ShowAboutSection 0", "[Options]\nShowAboutSection=0\n",
        [](IniFileStruct& S) { S.Options.ShowAboutSection = false; });
    Row("ShowAboutSection true gives the default", "[Options]\nShowAboutSection=true\n",
        [](IniFileStruct&) {});
    Row("ShowAboutSection empty gives the default", "[Options]\nShowAboutSection=\n", [](IniFileStruct&) {});
    Row("splash switches", "[SPLASH]\nShowWWW=1\nShowName=0\nTransparent=$1\n", [](IniFileStruct& S) {
        S.Splash.ShowWWW = true;
        S.Splash.ShowName = false;
        S.Splash.Transparent = true;
    });
    Row("button transparency", "[Buttons]\nExitBtn_Transparent=1\n",
        [](IniFileStruct& S) { S.Buttons.ExitBtn_Transparent = true; });

    // Integers.
    Row("volume hex", "[Options]\nVolume=0x10\n", [](IniFileStruct& S) { S.Options.Volume = 16; });
    Row("volume text gives the default", "[Options]\nVolume=loud\n", [](IniFileStruct&) {});
    Row("font size", "[Options]\nTextFontSize=12\n", [](IniFileStruct& S) { S.Options.TextFontSize = 12; });
    Row("font size with unit gives the default", "[Options]\nTextFontSize=12pt\n", [](IniFileStruct&) {});
    Row("insert mode low byte", "[Copy]\nInsertMode=258\n", [](IniFileStruct& S) { S.Copy.InsertMode = 2; });
    Row("insert mode 255", "[Copy]\nInsertMode=$FF\n", [](IniFileStruct& S) { S.Copy.InsertMode = 255; });
    Row("insert mode -1", "[Copy]\nInsertMode=-1\n", [](IniFileStruct& S) { S.Copy.InsertMode = 255; });
    Row("insert mode 0", "[Copy]\nInsertMode=0\n", [](IniFileStruct& S) { S.Copy.InsertMode = 0; });
    Row("insert mode text gives the default", "[Copy]\nInsertMode=copy\n", [](IniFileStruct&) {});

    // Colours.
    Row("windows #FF0000 is red", "[Colors]\nWindows=#FF0000\n",
        [](IniFileStruct& S) { S.Colors.Windows = 0x0000FF; });
    Row("windows clRed is black", "[Colors]\nWindows=clRed\n",
        [](IniFileStruct& S) { S.Colors.Windows = 0; });
    Row("empty colour is black", "[Colors]\nTree=\n", [](IniFileStruct& S) { S.Colors.Tree = 0; });
    Row("text font colour", "[Colors]\nTextFont=$0000ff\n",
        [](IniFileStruct& S) { S.Colors.TextFont = 0xFF; });
    Row("button colours", "[Buttons]\nOptionsBtn_TxtColor=#102030\nExitBtn_OnFocusTxtColor=abc\n",
        [](IniFileStruct& S) {
            S.Buttons.OptionsBtn_TxtColor = 0x302010;
            S.Buttons.ExitBtn_OnFocusTxtColor = 0xABC;
        });

    // Texts.
    Row("texts trimmed", "[Options]\nTextFontName=  Arial  \nTextFontStyle=bold italic\n",
        [](IniFileStruct& S) {
            S.Options.TextFontName = u"Arial"_s;
            S.Options.TextFontStyle = u"bold italic"_s;
        });
    Row("blank font name kept blank", "[Options]\nTextFontName=\n",
        [](IniFileStruct& S) { S.Options.TextFontName.clear(); });
    Row("images", "[Images]\nSplash=intro.png\nCloseBtn_HighLight=x.gif\nAppIcon=app.ico\n",
        [](IniFileStruct& S) {
            S.Images.Splash = u"intro.png"_s;
            S.Images.CloseBtn_HighLight = u"x.gif"_s;
            S.Images.AppIcon = u"app.ico"_s;
        });
    Row("cursor files", "[Cursors]\ncrBusy=wait.ani\nCRHANDPOINT=hand.cur\n", [](IniFileStruct& S) {
        S.Cursors.crBusy = u"wait.ani"_s;
        S.Cursors.crHandPoint = u"hand.cur"_s;
    });
    Row("Cyrillic hint", "[Buttons]\nOptionsBtn_Hint=\xCF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xFB\n",
        [](IniFileStruct& S) { S.Buttons.OptionsBtn_Hint = u"Параметры"_s; });
    Row("project name", "[Options]\nProjectName=disc.vlp\nVersion=changes.txt\nIntroMusic=\n",
        [](IniFileStruct& S) {
            S.Options.ProjectName = u"disc.vlp"_s;
            S.Options.Version = u"changes.txt"_s;
            S.Options.IntroMusic.clear();
        });

    // File shape.
    Row("first of two keys", "[Options]\nVolume=5\nvolume=6\n",
        [](IniFileStruct& S) { S.Options.Volume = 5; });
    Row("key in another section ignored", "[Option]\nAutoPlayback=1\n[Colours]\nWindows=#000000\n",
        [](IniFileStruct&) {});
    Row("commented key ignored", "[Options]\n;AutoPlayback=1\n", [](IniFileStruct&) {});
}

void TDesignSettingsTest::Values()
{
    QFETCH(QByteArray, Content);
    QFETCH(TExpect, Expect);

    IniFileStruct Expected;
    Expect(Expected);
    const IniFileStruct Read = FromText(Content);
    QCOMPARE(FirstDifference(Read, Expected), QString());
}

void TDesignSettingsTest::ParseColorText_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<uint>("Color");
    // Whether the text is a colour at all (an empty one is black); tools report the others.
    QTest::addColumn<bool>("Valid");

    QTest::newRow("# red green blue") << u"#7BA3D9"_s << 0xD9A37Bu << true;
    QTest::newRow("$ blue green red") << u"$d9a37b"_s << 0xD9A37Bu << true;
    QTest::newRow("bare digits") << u"d9a37b"_s << 0xD9A37Bu << true;
    QTest::newRow("decimal-looking is hex") << u"255"_s << 0x255u << true;
    QTest::newRow("#FF0000 red") << u"#FF0000"_s << 0x0000FFu << true;
    QTest::newRow("#00FF00 green") << u"#00FF00"_s << 0x00FF00u << true;
    QTest::newRow("#0000ff blue") << u"#0000ff"_s << 0xFF0000u << true;
    QTest::newRow("short # takes the pairs there") << u"#abc"_s << 0xCABu << true;
    QTest::newRow("# alone") << u"#"_s << 0u << false;
    QTest::newRow("# longer than six") << u"#1234567"_s << 0x563412u << true;
    QTest::newRow("name") << u"clRed"_s << 0u << false;
    QTest::newRow("empty") << QString() << 0u << true;
    QTest::newRow("$ alone") << u"$"_s << 0u << false;
    QTest::newRow("0x prefix") << u"0x10"_s << 0u << false;
    QTest::newRow("not hex") << u"$zz0000"_s << 0u << false;
    QTest::newRow("# not hex") << u"#GG0000"_s << 0u << false;
    QTest::newRow("eight digits kept") << u"$80000005"_s << 0x80000005u << true;
}

void TDesignSettingsTest::ParseColorText()
{
    QFETCH(QString, Text);
    QFETCH(uint, Color);
    QFETCH(bool, Valid);
    QCOMPARE(ParseColor(Text), quint32(Color));
    quint32 Parsed = 1;
    QCOMPARE(TryParseColor(Text, Parsed), Valid);
    QCOMPARE(Parsed, quint32(Color));
}

void TDesignSettingsTest::ReadsTheFileNamed()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    QVERIFY(QDir(Dir.path()).mkpath(u"Shell"_s));
    QFile File(Dir.filePath(u"Shell/shell.ini"_s));
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write("; written by the design tool\r\n[Options]\r\nAutoPlayback=1\r\n[Path]\r\nImages=\r\n"
               "[Colors]\r\nWindows=#FF0000\r\n");
    File.close();

    ReadDesignSettings(Dir.path() + u"\\Shell\\shell.ini"_s);
    QCOMPARE(DesignSettings.Options.AutoPlayback, true);
    QCOMPARE(DesignSettings.Path.Images, QString());
    QCOMPARE(DesignSettings.Colors.Windows, 0x0000FFu);
    QCOMPARE(DesignSettings.Colors.Text, 0xFBEEE3u);

    // Reading again starts from the defaults.
    ReadDesignSettings(Dir.path() + u"\\Shell\\missing.ini"_s);
    QVERIFY(DesignSettings == IniFileStruct());
}

QTEST_GUILESS_MAIN(TDesignSettingsTest)
#include "tst_designsettings.moc"
