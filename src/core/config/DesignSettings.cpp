#include "DesignSettings.h"

#include "IniFile.h"
#include "text/Paths.h"

using namespace Qt::StringLiterals;

IniFileStruct DesignSettings;

namespace {

// Reads every key; with Keys given, also lists each key with how it is read, so that the list of
// known keys is this reader itself.
class TReader
{
public:
    TReader(const TIniFile& Ini, QList<TDesignKey>* Keys) : FIni(Ini), FKeys(Keys) {}

    void Read(QStringView Section, QStringView Key, QString& Field) const
    {
        Note(Section, Key, TDesignValueKind::Text, Field);
        Field = FIni.ReadString(Section, Key, Field);
    }
    void Read(QStringView Section, QStringView Key, qint32& Field) const
    {
        Note(Section, Key, TDesignValueKind::Integer, QString::number(Field));
        Field = FIni.ReadInteger(Section, Key, Field);
    }
    void Read(QStringView Section, QStringView Key, bool& Field) const
    {
        Note(Section, Key, TDesignValueKind::Boolean, Field ? u"1"_s : u"0"_s);
        Field = FIni.ReadBool(Section, Key, Field);
    }
    // Only the low 8 bits of the integer are kept.
    void Read(QStringView Section, QStringView Key, quint8& Field) const
    {
        Note(Section, Key, TDesignValueKind::Integer, QString::number(Field));
        Field = static_cast<quint8>(FIni.ReadInteger(Section, Key, Field) & 0xFF);
    }
    // The default is the colour text of DefaultText; a malformed value is black, not the default.
    void ReadColor(QStringView Section, QStringView Key, QStringView DefaultText, quint32& Field) const
    {
        Note(Section, Key, TDesignValueKind::Color, DefaultText.toString());
        Field = ParseColor(FIni.ReadString(Section, Key, DefaultText.toString()));
    }
    // A folder relative to the "Shell" folder: a trailing backslash is added, an empty value stays empty.
    void ReadFolder(QStringView Section, QStringView Key, QStringView Default, QString& Field) const
    {
        Note(Section, Key, TDesignValueKind::Folder, Default.toString());
        Field = PathJoin({FIni.ReadString(Section, Key, Default.toString())});
    }

private:
    void Note(QStringView Section, QStringView Key, TDesignValueKind Kind, const QString& Default) const
    {
        if (FKeys) {
            FKeys->append({Section.toString(), Key.toString(), Kind, Default});
        }
    }

    const TIniFile& FIni;
    QList<TDesignKey>* FKeys;
};

// The colour text as the number it is read as: "#RRGGBB" turned round, a "$" put in front.
QString ColorNumberText(QStringView Text)
{
    QString Number;
    if (Text.front() == u'#') {
        // Written red, green, blue; a colour value holds them the other way round. Pairs that are not
        // there are empty.
        const QStringView Digits = Text.sliced(1);
        const auto Pair = [Digits](qsizetype Start) {
            return Start < Digits.size() ? Digits.sliced(Start, std::min<qsizetype>(2, Digits.size() - Start))
                                         : QStringView();
        };
        Number = u'$' % Pair(4) % Pair(2) % Pair(0);
    } else if (Text.front() != u'$') {
        Number = u'$' % Text;
    } else {
        Number = Text.toString();
    }
    return Number;
}

IniFileStruct ReadSettings(const TIniFile& Ini, QList<TDesignKey>* Keys)
{
    IniFileStruct S;
    const TReader R(Ini, Keys);

    const QStringView Options = u"Options";
    R.Read(Options, u"ProjectName", S.Options.ProjectName);
    R.Read(Options, u"Version", S.Options.Version);
    R.Read(Options, u"IntroMusic", S.Options.IntroMusic);
    R.Read(Options, u"Volume", S.Options.Volume);
    R.Read(Options, u"AutoPlayback", S.Options.AutoPlayback);
    R.Read(Options, u"ShowStandardTitle", S.Options.ShowStandardTitle);
    R.Read(Options, u"ShowAboutSection", S.Options.ShowAboutSection);
    R.Read(Options, u"IntroIfNoSMusic", S.Options.IntroIfNoSMusic);
    R.Read(Options, u"BtnOpacity", S.Options.BtnOpacity);
    R.Read(Options, u"TransparentText", S.Options.TransparentText);
    R.Read(Options, u"TextFontName", S.Options.TextFontName);
    R.Read(Options, u"TextFontStyle", S.Options.TextFontStyle);
    R.Read(Options, u"TextFontSize", S.Options.TextFontSize);

    const QStringView Path = u"Path";
    R.ReadFolder(Path, u"Images", u"Images", S.Path.Images);
    R.ReadFolder(Path, u"BtnImg", u"Btn", S.Path.BtnImg);
    R.ReadFolder(Path, u"Cursors", u"Cursor", S.Path.Cursors);

    const QStringView Images = u"Images";
    R.Read(Images, u"Splash", S.Images.Splash);
    R.Read(Images, u"Title", S.Images.Title);
    R.Read(Images, u"AppIcon", S.Images.AppIcon);
    R.Read(Images, u"CloseBtn", S.Images.CloseBtn);
    R.Read(Images, u"CloseBtn_HighLight", S.Images.CloseBtn_HighLight);
    R.Read(Images, u"MinimizeBtn", S.Images.MinimizeBtn);
    R.Read(Images, u"MinimizeBtn_HighLight", S.Images.MinimizeBtn_HighLight);
    R.Read(Images, u"TabImage", S.Images.TabImage);
    R.Read(Images, u"FocusedTabImage", S.Images.FocusedTabImage);
    R.Read(Images, u"Wallpaper", S.Images.Wallpaper);
    R.Read(Images, u"OptionsScreen", S.Images.OptionsScreen);

    const QStringView Cursors = u"Cursors";
    R.Read(Cursors, u"crDefault", S.Cursors.crDefault);
    R.Read(Cursors, u"crPen", S.Cursors.crPen);
    R.Read(Cursors, u"crHandPoint", S.Cursors.crHandPoint);
    R.Read(Cursors, u"crHelp", S.Cursors.crHelp);
    R.Read(Cursors, u"crIBeam", S.Cursors.crIBeam);
    R.Read(Cursors, u"crBusy", S.Cursors.crBusy);

    R.Read(u"Copy", u"InsertMode", S.Copy.InsertMode);

    const QStringView Splash = u"Splash";
    R.Read(Splash, u"SplashInfo", S.Splash.SplashInfo);
    R.Read(Splash, u"Transparent", S.Splash.Transparent);
    R.Read(Splash, u"ShowName", S.Splash.ShowName);
    R.Read(Splash, u"ShowCompany", S.Splash.ShowCompany);
    R.Read(Splash, u"ShowMail", S.Splash.ShowMail);
    R.Read(Splash, u"ShowWWW", S.Splash.ShowWWW);

    const QStringView Colors = u"Colors";
    R.ReadColor(Colors, u"Windows", u"$d9a37b", S.Colors.Windows);
    R.ReadColor(Colors, u"Text", u"$fbeee3", S.Colors.Text);
    R.ReadColor(Colors, u"TextFont", u"", S.Colors.TextFont);
    R.ReadColor(Colors, u"Tree", u"$fbeee3", S.Colors.Tree);

    const QStringView Buttons = u"Buttons";
    R.Read(Buttons, u"OptionsBtn_Hint", S.Buttons.OptionsBtn_Hint);
    R.Read(Buttons, u"ExitBtn_Hint", S.Buttons.ExitBtn_Hint);
    R.ReadColor(Buttons, u"OptionsBtn_TxtColor", u"$d9a37b", S.Buttons.OptionsBtn_TxtColor);
    R.ReadColor(Buttons, u"OptionsBtn_OnFocusTxtColor", u"$ffc753", S.Buttons.OptionsBtn_OnFocusTxtColor);
    R.ReadColor(Buttons, u"ExitBtn_TxtColor", u"$d9a37b", S.Buttons.ExitBtn_TxtColor);
    R.ReadColor(Buttons, u"ExitBtn_OnFocusTxtColor", u"$ffc753", S.Buttons.ExitBtn_OnFocusTxtColor);
    R.Read(Buttons, u"OptionsBtn_Transparent", S.Buttons.OptionsBtn_Transparent);
    R.Read(Buttons, u"ExitBtn_Transparent", S.Buttons.ExitBtn_Transparent);

    return S;
}

} // namespace

bool TryParseColor(QStringView Text, quint32& Color)
{
    Color = 0;
    if (Text.isEmpty()) {
        return true;
    }
    qint32 Value = 0;
    if (!TryStrToInt(ColorNumberText(Text), Value)) {
        return false;
    }
    Color = static_cast<quint32>(Value);
    return true;
}

quint32 ParseColor(QStringView Text)
{
    quint32 Color = 0;
    TryParseColor(Text, Color);
    return Color;
}

IniFileStruct DesignSettingsFromIni(const TIniFile& Ini)
{
    return ReadSettings(Ini, nullptr);
}

QList<TDesignKey> DesignSettingKeys()
{
    QList<TDesignKey> Keys;
    ReadSettings(TIniFile(), &Keys);
    return Keys;
}

void ReadDesignSettings(const QString& FileName)
{
    TIniFile Ini;
    Ini.LoadFromFile(FileName);
    DesignSettings = DesignSettingsFromIni(Ini);
}
