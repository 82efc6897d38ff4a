#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

class TIniFile;

// The design settings of "shell.ini": pictures, cursors, colours, the text font and a few behaviour
// switches, read once at start-up. A setting [Section] Key is DesignSettings.Section.Key. Every field
// starts with the value a missing key gives.
//
// Colours are 0x00BBGGRR (red in the lowest byte). The [Path] folders end with a backslash unless
// empty; they are relative to the "Shell" folder.

struct IniFileStruct
{
    struct TOptions
    {
        QString ProjectName = QStringLiteral("veltrane.vlp");
        QString Version = QStringLiteral("history.txt");
        QString IntroMusic = QStringLiteral("intro.mp3");
        qint32 Volume = -1;
        bool AutoPlayback = false;
        bool ShowStandardTitle = false;
        bool ShowAboutSection = true;
        bool IntroIfNoSMusic = true;
        bool BtnOpacity = false;
        bool TransparentText = false;
        QString TextFontName = QStringLiteral("MS Sans Serif");
        QString TextFontStyle;
        qint32 TextFontSize = 8;
        bool operator==(const TOptions&) const = default;
    };

    struct TPath
    {
        QString Images = QStringLiteral("Images\\");
        QString BtnImg = QStringLiteral("Btn\\");
        QString Cursors = QStringLiteral("Cursor\\");
        bool operator==(const TPath&) const = default;
    };

    struct TImages
    {
        QString Splash = QStringLiteral("logo.jpg");
        QString Title = QStringLiteral("title.bmp");
        QString AppIcon;
        QString CloseBtn = QStringLiteral("closebtn.gif");
        QString CloseBtn_HighLight = QStringLiteral("closebtn_light.gif");
        QString MinimizeBtn = QStringLiteral("minbtn.gif");
        QString MinimizeBtn_HighLight = QStringLiteral("minbtn_light.gif");
        QString TabImage;
        QString FocusedTabImage;
        QString Wallpaper = QStringLiteral("wallpaper.jpg");
        QString OptionsScreen = QStringLiteral("back.gif");
        bool operator==(const TImages&) const = default;
    };

    struct TCursors
    {
        QString crDefault = QStringLiteral("arrow.ani");
        QString crPen = QStringLiteral("pen.ani");
        QString crHandPoint = QStringLiteral("hpoint.ani");
        QString crHelp = QStringLiteral("arrow.ani");
        QString crIBeam = QStringLiteral("ibeam.ani");
        QString crBusy = QStringLiteral("busy.ani");
        bool operator==(const TCursors&) const = default;
    };

    struct TCopy
    {
        quint8 InsertMode = 2;
        bool operator==(const TCopy&) const = default;
    };

    struct TSplash
    {
        bool SplashInfo = true;
        bool Transparent = false;
        bool ShowName = true;
        bool ShowCompany = true;
        bool ShowMail = false;
        bool ShowWWW = false;
        bool operator==(const TSplash&) const = default;
    };

    struct TColors
    {
        quint32 Windows = 0xD9A37B;
        quint32 Text = 0xFBEEE3;
        quint32 TextFont = 0;
        quint32 Tree = 0xFBEEE3;
        bool operator==(const TColors&) const = default;
    };

    struct TButtons
    {
        QString OptionsBtn_Hint;
        QString ExitBtn_Hint;
        quint32 OptionsBtn_TxtColor = 0xD9A37B;
        quint32 OptionsBtn_OnFocusTxtColor = 0xFFC753;
        quint32 ExitBtn_TxtColor = 0xD9A37B;
        quint32 ExitBtn_OnFocusTxtColor = 0xFFC753;
        bool OptionsBtn_Transparent = false;
        bool ExitBtn_Transparent = false;
        bool operator==(const TButtons&) const = default;
    };

    TOptions Options;
    TPath Path;
    TImages Images;
    TCursors Cursors;
    TCopy Copy;
    TSplash Splash;
    TColors Colors;
    TButtons Buttons;
    bool operator==(const IniFileStruct&) const = default;
};

// The design settings of the run; read-only after start-up.
extern IniFileStruct DesignSettings;

// Fills DesignSettings from FileName (project notation). A missing or unreadable file gives every
// default.
void ReadDesignSettings(const QString& FileName);
// The settings an INI file gives, every missing or malformed value taking its default.
IniFileStruct DesignSettingsFromIni(const TIniFile& Ini);

// A colour value of "shell.ini": "#RRGGBB", or "$BBGGRR" / "BBGGRR" in hexadecimal. Empty or
// malformed text gives 0 (black). "#" with fewer than six digits takes the pairs that are there
// ("#abc" is 0xCAB).
quint32 ParseColor(QStringView Text);
// The same, false for malformed text (Color is then 0). Empty text is black, not malformed.
bool TryParseColor(QStringView Text, quint32& Color);

// How a key of "shell.ini" is read.
enum class TDesignValueKind
{
    Text,    // taken as written
    Integer, // decimal, or hexadecimal after "$" or "0x"; other text gives the default
    Boolean, // an integer, 0 false; other text gives the default
    Color,   // see ParseColor
    Folder   // a folder below the "Shell" folder
};

struct TDesignKey
{
    QString Section;
    QString Key;
    TDesignValueKind Kind;
    QString Default; // as text
};

// Every key ReadDesignSettings reads, in the order it reads them: the list of keys "shell.ini" can
// hold, for tools that check such a file.
QList<TDesignKey> DesignSettingKeys();
