#include "ControlsTestControls.h"
#include "config/ControlsProps.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using TSetResult = TControlsPropsContainer::TSetResult;
using TPropKind = TControlsPropsContainer::TPropKind;
Q_DECLARE_METATYPE(TControlsPropsContainer::TSetResult)
Q_DECLARE_METATYPE(TControlsPropsContainer::TPropKind)

namespace {

// A property value read back by a dotted path; enumerations and sets as their integer.
QVariant ReadBack(QObject* Control, const QString& Path)
{
    QObject* Object = Control;
    const QStringList Parts = Path.split(u'.');
    for (qsizetype I = 0; Object && I < Parts.size(); ++I) {
        const QMetaObject* Meta = Object->metaObject();
        const int Index = Meta->indexOfProperty(Parts[I].toLatin1().constData());
        if (Index < 0) {
            return {};
        }
        const QMetaProperty Property = Meta->property(Index);
        const QVariant Value = Property.read(Object);
        if (I + 1 < Parts.size()) {
            Object = (Value.metaType().flags() & QMetaType::PointerToQObject)
                         ? *static_cast<QObject* const*>(Value.constData())
                         : nullptr;
            continue;
        }
        if (Property.isEnumType()) {
            return *static_cast<const int*>(Value.constData());
        }
        return Value;
    }
    return {};
}

QStringList Lines(const QList<TControlsPropsContainer::TValueLine>& Values)
{
    QStringList Result;
    for (const auto& Line : Values) {
        Result.append(Line.Path + u'=' + Line.Value);
    }
    return Result;
}

bool WriteFile(const QString& Name, const QByteArray& Content)
{
    QFile F(Name);
    return F.open(QIODevice::WriteOnly | QIODevice::Truncate) && F.write(Content) == Content.size();
}

constexpr int RGB(int R, int G, int B)
{
    return R | (G << 8) | (B << 16);
}

constexpr int SysColor(int Index)
{
    return static_cast<int>(0x80000000u | static_cast<unsigned>(Index));
}

// A window as the tests build it: a form with a label and an edit.
struct TWindow
{
    TTestForm Form{u"MainF"_s};
    TTestLabel* Lbl = new TTestLabel(u"Lbl"_s, &Form);
    TTestEdit* Edt = new TTestEdit(u"Edt"_s, &Form);
    QObject* Control(const QString& Name)
    {
        if (Name == u"Lbl") {
            return Lbl;
        }
        return Name == u"Edt" ? static_cast<QObject*>(Edt) : &Form;
    }
};

} // namespace

// Stands in for the folder watcher: reports its start and stop, and can fire.
class TFakeWatcher : public QObject
{
    Q_OBJECT
public:
    TFakeWatcher(const QString& FileName, QStringList& Log) : FileName(FileName), Log(Log)
    {
        Log.append(u"start "_s + FileName);
    }
    ~TFakeWatcher() override { Log.append(u"stop "_s + FileName); }
    void Fire() { emit Changed(); }
signals:
    void Changed();

private:
    QString FileName;
    QStringList& Log;
};

class TControlsPropsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ExampleLines_data();
    void ExampleLines();
    void SetPropertyValues_data();
    void SetPropertyValues();
    void NormalizeValueResults_data();
    void NormalizeValueResults();
    void HtmlColorToHexResults_data();
    void HtmlColorToHexResults();
    void IsValueAcceptableResults_data();
    void IsValueAcceptableResults();
    void ColorNameTable();
    void FileFormat_data();
    void FileFormat();
    void Encodings_data();
    void Encodings();
    void OversizedFileKeepsItsBeginning();
    void NamesIgnoreCase();
    void ApplyWalksTheWindow();
    void SameNameOnTwoWindows();
    void FailedLineLeavesOthersApplied();
    void SetterThatRemovesASibling();
    void QtOwnPropertiesAreNotPublished();
    void PathThroughMissingFont();
    void ValueOrDefault_data();
    void ValueOrDefault();
    void ReloadAppliesNewValues();
    void MissingFileIsEmpty();
    void UnreadableFileKeepsContent();
    void WatchStartsAndStopsTheWatcher();
    void HandlerMayReplaceItselfOrFreeTheContainer();
    void InactiveGivesNothing();

private:
    QTemporaryDir Root;
};

void TControlsPropsTest::initTestCase()
{
    QVERIFY(Root.isValid());
    QCOMPARE(QLatin1StringView(ControlClassInfoName), "AutorunControl"_L1);
}

void TControlsPropsTest::ExampleLines_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QVariant>("Expected");

    const auto Row = [](const QString& Line, const QString& Path, const QVariant& Expected) {
        QTest::addRow("%s", qPrintable(Line)) << Line << Path << Expected;
    };
    // The documented lines; the label starts with Width 100, Tag 0, Caption "before", Visible.
    Row(u"Color=ff8000"_s, u"Color"_s, RGB(0xFF, 0x80, 0));
    Row(u"Color=#ff8000"_s, u"Color"_s, RGB(0xFF, 0x80, 0));
    Row(u"Color=$0080FF"_s, u"Color"_s, RGB(0xFF, 0x80, 0));
    Row(u"Color=red"_s, u"Color"_s, RGB(0xFF, 0, 0));
    Row(u"Color=clRed"_s, u"Color"_s, RGB(0xFF, 0, 0));
    Row(u"Font.Color=#000080"_s, u"Font.Color"_s, RGB(0, 0, 0x80));
    Row(u"Anchors=akLeft,akTop"_s, u"Anchors"_s, int(TTestControl::akLeft | TTestControl::akTop));
    Row(u"Visible=0"_s, u"Visible"_s, false);
    Row(u"Caption="_s, u"Caption"_s, QString());
    Row(u"Width="_s, u"Width"_s, 100);
    Row(u"Tag=5"_s, u"Tag"_s, 0);
    // Edge cases.
    Row(u"Font.Style=fsBold"_s, u"Font.Style"_s, int(TTestFont::fsBold));
    Row(u"Font.Style="_s, u"Font.Style"_s, 0);
    Row(u"ShowHint=TRUE"_s, u"ShowHint"_s, true);
    Row(u"Visible=yes"_s, u"Visible"_s, false);
    Row(u"Color=255"_s, u"Color"_s, 0x525);
    Row(u"Left=255"_s, u"Left"_s, 255);
    Row(u"Caption=#FF0000"_s, u"Caption"_s, u"#FF0000"_s);
    Row(u"Align=alClient"_s, u"Align"_s, int(TTestControl::alClient));
    Row(u"Alignment=taCenter"_s, u"Alignment"_s, int(TTestLabel::taCenter));
    Row(u"WordWrap=1"_s, u"WordWrap"_s, true);
}

void TControlsPropsTest::ExampleLines()
{
    QFETCH(QString, Line);
    QFETCH(QString, Path);
    QFETCH(QVariant, Expected);

    TWindow W;
    W.Lbl->Anchors = TTestControl::akRight;
    W.Lbl->Font()->Style = TTestFont::fsItalic;
    TControlsPropsContainer C;
    C.LoadFromBytes(QByteArray(QByteArray("[Lbl]\r\n") + Line.toUtf8() + "\r\n"));
    QCOMPARE(C.ApplyToControl(&W.Form, true), QStringList());
    QCOMPARE(ReadBack(W.Lbl, Path), Expected);
}

void TControlsPropsTest::SetPropertyValues_data()
{
    QTest::addColumn<QString>("Control");
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QString>("Raw");
    QTest::addColumn<TSetResult>("Result");
    QTest::addColumn<QVariant>("Expected");
    QTest::addColumn<QString>("Check");

    const auto Set = [](const char* Name, const QString& Control, const QString& Path, const QString& Raw,
                        const QVariant& Expected, const QString& Check = {}) {
        QTest::newRow(Name) << Control << Path << Raw << TSetResult::Assigned << Expected
                            << (Check.isEmpty() ? Path : Check);
    };
    // Skipped and failed lines leave the property as it was (Check names it; "" checks nothing).
    const auto Not = [](const char* Name, const QString& Control, const QString& Path, const QString& Raw,
                        TSetResult Result, const QString& Check) {
        QTest::newRow(Name) << Control << Path << Raw << Result << QVariant() << Check;
    };
    const QString Lbl = u"Lbl"_s;
    const QString Edt = u"Edt"_s;
    constexpr TSetResult Skipped = TSetResult::Skipped;
    constexpr TSetResult Failed = TSetResult::Failed;

    // Integers.
    Set("decimal", Lbl, u"Left"_s, u"42"_s, 42);
    Set("negative", Lbl, u"Left"_s, u"-7"_s, -7);
    Set("plus sign", Lbl, u"Left"_s, u"+5"_s, 5);
    Set("dollar hex", Lbl, u"Left"_s, u"$1F"_s, 31);
    Set("0x hex", Lbl, u"Left"_s, u"0x1F"_s, 31);
    Set("all 32 bits of hex", Lbl, u"Left"_s, u"$FFFFFFFF"_s, -1);
    Set("html form for a number", Lbl, u"Left"_s, u"#FF"_s, 255);
    Set("cursor", Lbl, u"Cursor"_s, u"-21"_s, -21);
    Not("text for an integer", Lbl, u"Left"_s, u"abc"_s, Skipped, u"Left"_s);
    Not("trailing text", Lbl, u"Left"_s, u"12px"_s, Skipped, u"Left"_s);
    Not("decimal overflow", Lbl, u"Left"_s, u"2147483648"_s, Skipped, u"Left"_s);
    Not("hex overflow", Lbl, u"Left"_s, u"$100000000"_s, Skipped, u"Left"_s);
    Not("empty integer", Lbl, u"Width"_s, QString(), Skipped, u"Width"_s);
    Set("short in range", Edt, u"MaxLength"_s, u"300"_s, QVariant::fromValue<short>(300));
    Not("short out of range", Edt, u"MaxLength"_s, u"40000"_s, Failed, u"MaxLength"_s);
    Set("byte in range", Lbl, u"Font.Charset"_s, u"204"_s, QVariant::fromValue<uchar>(204));
    Not("byte out of range", Lbl, u"Font.Charset"_s, u"300"_s, Failed, u"Font.Charset"_s);
    Not("negative byte", Lbl, u"Font.Charset"_s, u"-1"_s, Failed, u"Font.Charset"_s);
    Set("unsigned takes all 32 bits", Edt, u"BorderColor"_s, u"$80000005"_s,
        QVariant::fromValue(0x80000005u));

    // Colours.
    Set("system colour name", Lbl, u"Color"_s, u"clBtnFace"_s, SysColor(15));
    Set("name without prefix", Lbl, u"Color"_s, u"btnface"_s, SysColor(15));
    Set("name in capitals", Lbl, u"Color"_s, u"CLWINDOW"_s, SysColor(5));
    Set("clNone", Lbl, u"Color"_s, u"clNone"_s, 0x1FFFFFFF);
    Set("Default", Lbl, u"Color"_s, u"Default"_s, 0x20000000);
    Set("clMoneyGreen", Lbl, u"Color"_s, u"clMoneyGreen"_s, 0xC0DCC0);
    Set("system colour as hex", Lbl, u"Color"_s, u"$80000005"_s, SysColor(5));
    Set("0x form is a number", Lbl, u"Color"_s, u"0x0000ff"_s, 0xFF);
    Set("negative colour", Lbl, u"Color"_s, u"-1"_s, -1);
    Set("decimal digits read as RRGGBB", Lbl, u"Color"_s, u"16777215"_s, 0x727716);
    Set("short html colour", Lbl, u"Color"_s, u"#F"_s, 0xF);
    Set("four html digits", Lbl, u"Color"_s, u"#FF80"_s, RGB(0xFF, 0x80, 0));
    Set("html colour in capitals", Lbl, u"Color"_s, u"#00FF00"_s, RGB(0, 0xFF, 0));
    Not("unknown colour name", Lbl, u"Color"_s, u"clTomato"_s, Skipped, u"Color"_s);
    Not("bare hash", Lbl, u"Color"_s, u"#"_s, Skipped, u"Color"_s);
    Set("font colour name", Lbl, u"Font.Color"_s, u"navy"_s, RGB(0, 0, 0x80));
    Not("names only for Color", Lbl, u"HighlightColor"_s, u"clRed"_s, Skipped, u"HighlightColor"_s);
    Set("html form for another colour", Lbl, u"HighlightColor"_s, u"#0000FF"_s, RGB(0, 0, 0xFF));

    // Booleans.
    Set("1", Lbl, u"ShowHint"_s, u"1"_s, true);
    Set("true", Lbl, u"ShowHint"_s, u"true"_s, true);
    Set("True", Lbl, u"ShowHint"_s, u"True"_s, true);
    Set("0", Lbl, u"Visible"_s, u"0"_s, false);
    Set("False", Lbl, u"Visible"_s, u"False"_s, false);
    Set("any other text is false", Lbl, u"Enabled"_s, u"on"_s, false);
    Not("empty Boolean", Lbl, u"Visible"_s, QString(), Skipped, u"Visible"_s);

    // Enumerations.
    Set("element name", Lbl, u"Align"_s, u"alClient"_s, int(TTestControl::alClient));
    Set("element name in capitals", Lbl, u"Align"_s, u"ALBOTTOM"_s, int(TTestControl::alBottom));
    Set("ordinal", Lbl, u"Align"_s, u"3"_s, int(TTestControl::alLeft));
    Set("label alignment", Lbl, u"Alignment"_s, u"taRightJustify"_s, int(TTestLabel::taRightJustify));
    Not("unknown element", Lbl, u"Align"_s, u"alMiddle"_s, Failed, u"Align"_s);
    Not("ordinal out of range", Lbl, u"Align"_s, u"9"_s, Failed, u"Align"_s);
    Not("negative ordinal", Lbl, u"Align"_s, u"-1"_s, Failed, u"Align"_s);
    Not("empty enumeration", Lbl, u"Align"_s, QString(), Skipped, u"Align"_s);

    // Sets.
    const int RightBottom = TTestControl::akRight | TTestControl::akBottom;
    Set("bracketed set", Lbl, u"Anchors"_s, u"[akRight,akBottom]"_s, RightBottom);
    Set("bare set", Lbl, u"Anchors"_s, u"akRight,akBottom"_s, RightBottom);
    Set("blanks in a set", Lbl, u"Anchors"_s, u"[ akRight , akBottom ]"_s, RightBottom);
    Set("closing bracket added", Lbl, u"Anchors"_s, u"[akRight"_s, int(TTestControl::akRight));
    Set("set element in capitals", Lbl, u"Anchors"_s, u"AKBOTTOM"_s, int(TTestControl::akBottom));
    Set("empty brackets", Lbl, u"Anchors"_s, u"[]"_s, 0);
    Set("empty set", Lbl, u"Anchors"_s, QString(), 0);
    Set("font styles", Lbl, u"Font.Style"_s, u"fsBold,fsStrikeOut"_s,
        int(TTestFont::fsBold | TTestFont::fsStrikeOut));
    Not("unknown set element", Lbl, u"Anchors"_s, u"akLeft,akMiddle"_s, Failed, u"Anchors"_s);

    // Text.
    Set("text with =", Lbl, u"Caption"_s, u"a=b"_s, u"a=b"_s);
    Set("leading zeros kept", Lbl, u"Caption"_s, u"007"_s, u"007"_s);
    Set("dollar text kept", Lbl, u"Caption"_s, u"$10"_s, u"$10"_s);
    Set("Cyrillic text", Lbl, u"Caption"_s, u"Привет"_s, u"Привет"_s);
    Set("empty text", Lbl, u"Hint"_s, QString(), QString());
    Set("font name", Lbl, u"Font.Name"_s, u"Arial"_s, u"Arial"_s);

    // Floating point and characters.
    Set("decimal fraction", Edt, u"Opacity"_s, u"0.5"_s, 0.5);
    Set("integer for a fraction", Edt, u"Opacity"_s, u"2"_s, 2.0);
    Not("comma fraction", Edt, u"Opacity"_s, u"0,5"_s, Failed, u"Opacity"_s);
    Set("one character", Edt, u"PasswordChar"_s, u"*"_s, QChar(u'*'));
    Set("character code", Edt, u"PasswordChar"_s, u"42"_s, QChar(u'*'));
    Not("two characters", Edt, u"PasswordChar"_s, u"ab"_s, Failed, u"PasswordChar"_s);
    Not("no character", Edt, u"PasswordChar"_s, QString(), Skipped, u"PasswordChar"_s);

    // What is never set.
    Not("Tag", Lbl, u"Tag"_s, u"5"_s, Skipped, u"Tag"_s);
    Not("tag in lower case", Lbl, u"tag"_s, u"5"_s, Skipped, u"Tag"_s);
    Not("object property", Lbl, u"Font"_s, u"Arial"_s, Skipped, QString());
    Not("list property", Edt, u"Lines"_s, u"one"_s, Skipped, u"Lines"_s);
    Not("read-only property", Lbl, u"ComponentCount"_s, u"5"_s, Skipped, u"ComponentCount"_s);
    Not("unknown property", Lbl, u"NoSuch"_s, u"1"_s, Skipped, QString());
    Not("unknown font property", Lbl, u"Font.NoSuch"_s, u"1"_s, Skipped, QString());
    Not("path ending in a dot", Lbl, u"Font."_s, u"1"_s, Skipped, QString());
    Not("empty path", Lbl, QString(), u"1"_s, Skipped, QString());

    // Paths.
    Set("second sub-object", Lbl, u"Constraints.MinWidth"_s, u"10"_s, 10);
    Set("rest of a path after a plain property is ignored", Lbl, u"Left.Whatever"_s, u"5"_s, 5, u"Left"_s);
    Set("path in any case", Lbl, u"FONT.STYLE"_s, u"FSITALIC"_s, int(TTestFont::fsItalic), u"Font.Style"_s);
    Set("derived declaration hides the base's", Edt, u"hint"_s, u"own"_s, u"own"_s, u"HINT"_s);
}

void TControlsPropsTest::SetPropertyValues()
{
    QFETCH(QString, Control);
    QFETCH(QString, Path);
    QFETCH(QString, Raw);
    QFETCH(TSetResult, Result);
    QFETCH(QVariant, Expected);
    QFETCH(QString, Check);

    TWindow W;
    QObject* Target = W.Control(Control);
    const QVariant Before = Check.isEmpty() ? QVariant() : ReadBack(Target, Check);
    TControlsPropsContainer C;
    QString Message;
    QCOMPARE(C.SetProperty(Target, Path, Raw, &Message), Result);
    if (Result == TSetResult::Assigned) {
        QVERIFY2(Message.isEmpty(), qPrintable(Message));
        QCOMPARE(ReadBack(Target, Check), Expected);
    } else {
        QVERIFY(!Message.isEmpty());
        if (!Check.isEmpty()) {
            QCOMPARE(ReadBack(Target, Check), Before);
        }
    }
    // Assigning never adds a dynamic property.
    QVERIFY(Target->dynamicPropertyNames().isEmpty());
}

void TControlsPropsTest::NormalizeValueResults_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Raw");
    QTest::addColumn<QVariant>("Expected");

    const auto Row = [](const char* Tag, const QString& Name, const QString& Raw, const QVariant& Expected) {
        QTest::newRow(Tag) << Name << Raw << Expected;
    };
    // A colour becomes decimal text; a colour name the table lacks stays as written.
    Row("colour digits", u"Color"_s, u"ff8000"_s, u"33023"_s);
    Row("colour name", u"Color"_s, u"red"_s, u"255"_s);
    Row("colour decimal read as RRGGBB", u"Color"_s, u"255"_s, u"1317"_s);
    Row("unknown colour name", u"Color"_s, u"clTomato"_s, u"clTomato"_s);
    Row("empty colour", u"Color"_s, QString(), QString());
    Row("empty set", u"Anchors"_s, QString(), u"[]"_s);
    Row("bare set", u"Anchors"_s, u"akLeft"_s, u"[akLeft]"_s);
    Row("set without closing bracket", u"Anchors"_s, u"[akLeft"_s, u"[akLeft]"_s);
    Row("set without opening bracket", u"Anchors"_s, u"akLeft]"_s, u"[akLeft]"_s);
    Row("lone bracket", u"Anchors"_s, u"["_s, u"["_s);
    Row("Boolean 1", u"Visible"_s, u"1"_s, u"True"_s);
    Row("Boolean 0", u"Visible"_s, u"0"_s, u"False"_s);
    Row("Boolean true kept", u"Visible"_s, u"TrUe"_s, u"TrUe"_s);
    Row("Boolean other", u"Visible"_s, u"yes"_s, u"False"_s);
    Row("empty Boolean", u"Visible"_s, QString(), QString());
    Row("integer", u"Left"_s, u"12"_s, 12);
    Row("html form of an integer", u"Left"_s, u"#10"_s, 16);
    Row("no integer", u"Left"_s, u"x"_s, u"x"_s);
    Row("text as written", u"Caption"_s, u"#FF0000"_s, u"#FF0000"_s);
    Row("number text stays text", u"Caption"_s, u"12"_s, u"12"_s);
    Row("ordinal", u"Align"_s, u"2"_s, 2);
    Row("element name", u"Align"_s, u"alTop"_s, u"alTop"_s);
}

void TControlsPropsTest::NormalizeValueResults()
{
    QFETCH(QString, Name);
    QFETCH(QString, Raw);
    QFETCH(QVariant, Expected);

    TTestLabel Label;
    const QMetaProperty Property = TControlsPropsContainer::FindPublishedProperty(Label.metaObject(), Name);
    QVERIFY(Property.isValid());
    const QVariant Value = TControlsPropsContainer::NormalizeValue(Property, Raw);
    QCOMPARE(Value.typeId(), Expected.typeId());
    QCOMPARE(Value, Expected);
}

void TControlsPropsTest::HtmlColorToHexResults_data()
{
    QTest::addColumn<QString>("Html");
    QTest::addColumn<QString>("Hex");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("six digits") << u"#FF8000"_s << u"$0080FF"_s;
    QTest::newRow("case kept") << u"#ff8000"_s << u"$0080ff"_s;
    QTest::newRow("four digits") << u"#FF80"_s << u"$80FF"_s;
    QTest::newRow("three digits") << u"#255"_s << u"$525"_s;
    QTest::newRow("one digit") << u"#F"_s << u"$F"_s;
    QTest::newRow("hash alone") << u"#"_s << u"$"_s;
    QTest::newRow("eight digits") << u"#FF8000AA"_s << u"$0080FF"_s;
    QTest::newRow("any first character") << u"x123456"_s << u"$563412"_s;
}

void TControlsPropsTest::HtmlColorToHexResults()
{
    QFETCH(QString, Html);
    QFETCH(QString, Hex);
    QCOMPARE(TControlsPropsContainer::HtmlColorToHex(Html), Hex);
}

void TControlsPropsTest::IsValueAcceptableResults_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<TPropKind>("Kind");
    QTest::addColumn<QVariant>("Value");
    QTest::addColumn<bool>("Accepted");

    const auto Row = [](const char* Tag, const QString& Name, TPropKind Kind, const QVariant& Value,
                        bool Accepted) { QTest::newRow(Tag) << Name << Kind << Value << Accepted; };
    Row("Tag", u"Tag"_s, TPropKind::Integer, 5, false);
    Row("TAG", u"TAG"_s, TPropKind::Integer, 5, false);
    Row("ComponentIndex", u"ComponentIndex"_s, TPropKind::Integer, 1, false);
    Row("DesignInfo", u"designinfo"_s, TPropKind::Integer, 1, false);
    Row("integer value", u"Left"_s, TPropKind::Integer, 5, true);
    Row("integer text", u"Left"_s, TPropKind::Integer, u"-5"_s, true);
    Row("hex text", u"Left"_s, TPropKind::Integer, u"$A"_s, true);
    Row("no integer", u"Left"_s, TPropKind::Integer, u"five"_s, false);
    Row("empty integer", u"Left"_s, TPropKind::Integer, QString(), false);
    Row("empty text", u"Caption"_s, TPropKind::String, QString(), true);
    Row("empty Boolean", u"Visible"_s, TPropKind::Boolean, QString(), false);
    Row("empty enumeration", u"Align"_s, TPropKind::Enumeration, QString(), false);
    Row("empty character", u"PasswordChar"_s, TPropKind::Char, QString(), false);
    Row("empty brackets", u"Anchors"_s, TPropKind::Set, u"[]"_s, true);
    Row("any text for a float", u"Opacity"_s, TPropKind::Float, u"x"_s, true);
    Row("any text for an enumeration", u"Align"_s, TPropKind::Enumeration, u"alNowhere"_s, true);
}

void TControlsPropsTest::IsValueAcceptableResults()
{
    QFETCH(QString, Name);
    QFETCH(TPropKind, Kind);
    QFETCH(QVariant, Value);
    QFETCH(bool, Accepted);
    QCOMPARE(TControlsPropsContainer::IsValueAcceptable(Name, Kind, Value), Accepted);
}

void TControlsPropsTest::ColorNameTable()
{
    const QList<std::pair<QString, int>> Expected = {
        {u"clBlack"_s, 0x000000},
        {u"clMaroon"_s, 0x000080},
        {u"clGreen"_s, 0x008000},
        {u"clOlive"_s, 0x008080},
        {u"clNavy"_s, 0x800000},
        {u"clPurple"_s, 0x800080},
        {u"clTeal"_s, 0x808000},
        {u"clGray"_s, 0x808080},
        {u"clSilver"_s, 0xC0C0C0},
        {u"clRed"_s, 0x0000FF},
        {u"clLime"_s, 0x00FF00},
        {u"clYellow"_s, 0x00FFFF},
        {u"clBlue"_s, 0xFF0000},
        {u"clFuchsia"_s, 0xFF00FF},
        {u"clAqua"_s, 0xFFFF00},
        {u"clWhite"_s, 0xFFFFFF},
        {u"clMoneyGreen"_s, 0xC0DCC0},
        {u"clSkyBlue"_s, 0xF0CAA6},
        {u"clCream"_s, 0xF0FBFF},
        {u"clMedGray"_s, 0xA4A0A0},
        {u"clNone"_s, 0x1FFFFFFF},
        {u"clDefault"_s, 0x20000000},
        {u"clScrollBar"_s, SysColor(0)},
        {u"clBackground"_s, SysColor(1)},
        {u"clActiveCaption"_s, SysColor(2)},
        {u"clInactiveCaption"_s, SysColor(3)},
        {u"clMenu"_s, SysColor(4)},
        {u"clWindow"_s, SysColor(5)},
        {u"clWindowFrame"_s, SysColor(6)},
        {u"clMenuText"_s, SysColor(7)},
        {u"clWindowText"_s, SysColor(8)},
        {u"clCaptionText"_s, SysColor(9)},
        {u"clActiveBorder"_s, SysColor(10)},
        {u"clInactiveBorder"_s, SysColor(11)},
        {u"clAppWorkSpace"_s, SysColor(12)},
        {u"clHighlight"_s, SysColor(13)},
        {u"clHighlightText"_s, SysColor(14)},
        {u"clBtnFace"_s, SysColor(15)},
        {u"clBtnShadow"_s, SysColor(16)},
        {u"clGrayText"_s, SysColor(17)},
        {u"clBtnText"_s, SysColor(18)},
        {u"clInactiveCaptionText"_s, SysColor(19)},
        {u"clBtnHighlight"_s, SysColor(20)},
        {u"cl3DDkShadow"_s, SysColor(21)},
        {u"cl3DLight"_s, SysColor(22)},
        {u"clInfoText"_s, SysColor(23)},
        {u"clInfoBk"_s, SysColor(24)},
        {u"clHotLight"_s, SysColor(26)},
        {u"clGradientActiveCaption"_s, SysColor(27)},
        {u"clGradientInactiveCaption"_s, SysColor(28)},
        {u"clMenuHighlight"_s, SysColor(29)},
        {u"clMenuBar"_s, SysColor(30)},
    };
    QCOMPARE(ColorIdents().size(), Expected.size());
    for (qsizetype I = 0; I < Expected.size(); ++I) {
        const auto& [Name, Value] = Expected[I];
        QCOMPARE(QLatin1StringView(ColorIdents()[I].Name), Name);
        QCOMPARE(ColorIdents()[I].Value, Value);
        qint32 Found = 0;
        QVERIFY2(IdentToColor(Name.toUpper(), Found), qPrintable(Name));
        QCOMPARE(Found, Value);
        QCOMPARE(ColorToIdent(Value), Name);
    }
    qint32 Unchanged = 7;
    QVERIFY(!IdentToColor(u"Red"_s, Unchanged));
    QVERIFY(!IdentToColor(u"clLtGray"_s, Unchanged));
    QCOMPARE(Unchanged, 7);
    QCOMPARE(ColorToIdent(0x123456), QString());
}

void TControlsPropsTest::FileFormat_data()
{
    QTest::addColumn<QByteArray>("Content");
    QTest::addColumn<QString>("Section");
    QTest::addColumn<QStringList>("Expected");

    const auto Row = [](const char* Tag, const QByteArray& Content, const QString& Section,
                        const QStringList& Expected) {
        QTest::newRow(Tag) << Content << Section << Expected;
    };
    Row("comments and empty lines", "; note\n\n[A]\n; Left=1\n   ;Top=1\nWidth=2\n", u"A"_s, {u"Width=2"_s});
    Row("lines before the first section", "Left=1\n[A]\nTop=2\n", u"A"_s, {u"Top=2"_s});
    Row("blanks around the section name", "[  A  ]\nLeft=1\n", u"A"_s, {u"Left=1"_s});
    Row("section name in any case", "[btn2]\nLeft=1\n", u"BTN2"_s, {u"Left=1"_s});
    Row("value keeps its =", "[A]\nCaption=a=b=c\n", u"A"_s, {u"Caption=a=b=c"_s});
    Row("blanks around path and value", "[A]\n\t Caption \t=\t x  y \t\n", u"A"_s, {u"Caption=x  y"_s});
    Row("empty value", "[A]\nCaption=\n", u"A"_s, {u"Caption="_s});
    Row("line without =", "[A]\nLeft\nTop=1\n", u"A"_s, {u"Top=1"_s});
    Row("empty path", "[A]\n=5\nTop=1\n", u"A"_s, {u"Top=1"_s});
    Row("CR line ends", "[A]\rLeft=1\rTop=2", u"A"_s, {u"Left=1"_s, u"Top=2"_s});
    Row("CR LF line ends", "[A]\r\nLeft=1\r\nTop=2\r\n", u"A"_s, {u"Left=1"_s, u"Top=2"_s});
    Row("blank lines in CR LF", "[A]\r\n\r\n\r\nLeft=1", u"A"_s, {u"Left=1"_s});
    Row("repeated section adds its lines", "[A]\nLeft=1\n[B]\nTop=2\n[a]\nWidth=3\n", u"A"_s,
        {u"Left=1"_s, u"Width=3"_s});
    Row("another section's lines", "[A]\nLeft=1\n[B]\nTop=2\n[a]\nWidth=3\n", u"B"_s, {u"Top=2"_s});
    Row("unclosed bracket starts no section", "[A]\nLeft=1\n[B\nTop=2\n", u"A"_s, {u"Left=1"_s, u"Top=2"_s});
    Row("text after the bracket starts no section", "[A]\nLeft=1\n[B] ; note\nTop=2\n", u"A"_s,
        {u"Left=1"_s, u"Top=2"_s});
    Row("missing section", "[A]\nLeft=1\n", u"B"_s, {});
    Row("repeated key kept twice", "[A]\nLeft=1\nleft=2\n", u"A"_s, {u"Left=1"_s, u"left=2"_s});
    Row("empty file", "", u"A"_s, {});
}

void TControlsPropsTest::FileFormat()
{
    QFETCH(QByteArray, Content);
    QFETCH(QString, Section);
    QFETCH(QStringList, Expected);

    TControlsPropsContainer C;
    C.LoadFromBytes(Content);
    QCOMPARE(Lines(C.SectionValues(Section)), Expected);
}

void TControlsPropsTest::Encodings_data()
{
    QTest::addColumn<QByteArray>("Content");
    QTest::addColumn<QString>("Caption");

    const QString Hello = u"Привет"_s;
    QTest::newRow("Windows-1251") << QByteArray("[Lbl]\r\nCaption=\xCF\xF0\xE8\xE2\xE5\xF2\r\n") << Hello;
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Lbl]\nCaption=") + Hello.toUtf8() << Hello;
    // Without the mark the bytes are Windows-1251: "П" (D0 9F) reads as "Рџ".
    QTest::newRow("UTF-8 without byte-order mark") << QByteArray("[Lbl]\nCaption=\xD0\x9F") << u"Рџ"_s;
    QByteArray Utf16("\xFF\xFE");
    const QString Text = u"[Lbl]\r\nCaption="_s + Hello;
    Utf16.append(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
    QTest::newRow("UTF-16LE with byte-order mark") << Utf16 << Hello;
}

void TControlsPropsTest::Encodings()
{
    QFETCH(QByteArray, Content);
    QFETCH(QString, Caption);

    TWindow W;
    TControlsPropsContainer C;
    C.LoadFromBytes(Content);
    C.ApplyToControl(&W.Form, true);
    QCOMPARE(W.Lbl->Caption, Caption);
}

void TControlsPropsTest::OversizedFileKeepsItsBeginning()
{
    const QByteArray Head = "[Lbl]\nLeft=1\n";
    QByteArray Content = Head + ';' + QByteArray(MaxControlsFileSize - Head.size() - 20, 'x') + '\n';
    Content += "Caption=" + QByteArray(100, 'y') + "\nTop=2\n";
    QVERIFY(Content.size() > MaxControlsFileSize);
    const QString Name = Root.filePath(u"big.ini"_s);
    QVERIFY(WriteFile(Name, Content));

    TControlsPropsContainer C;
    C.LoadFromFile(Name);
    QVERIFY(!C.LoadError().isEmpty());
    // The line cut by the limit and everything after it are left out.
    QCOMPARE(Lines(C.SectionValues(u"Lbl"_s)), QStringList{u"Left=1"_s});
}

void TControlsPropsTest::NamesIgnoreCase()
{
    TWindow W;
    W.Lbl->setObjectName(u"LBL"_s);
    TControlsPropsContainer C;
    C.LoadFromBytes("[lbl]\nfont.color=clred\nCAPTION=x\nalign=ALCLIENT\n");
    QCOMPARE(C.ApplyToControl(&W.Form, true), QStringList());
    QCOMPARE(W.Lbl->Font()->Color, 0xFF);
    QCOMPARE(W.Lbl->Caption, u"x"_s);
    QCOMPARE(W.Lbl->Align, TTestControl::alClient);
}

void TControlsPropsTest::ApplyWalksTheWindow()
{
    TTestForm Form(u"MainF"_s);
    auto* Title = new TTestLabel(u"TitleLabel"_s, &Form);
    auto* Panel = new TTestControl(QString(), &Form); // unnamed
    auto* NameL = new TTestLabel(u"NameL"_s, Panel);
    auto* Timer = new TTestComponent(u"Timer1"_s, &Form);
    auto* Hidden = new TTestLabel(u"Hidden"_s, Timer);
    auto* Plain = new QObject(&Form);
    auto* UnderPlain = new TTestLabel(u"UnderPlain"_s, Plain);

    TControlsPropsContainer C;
    C.LoadFromBytes("[MainF]\nCaption=Main\nKeyPreview=1\n"
                    "[TitleLabel]\nCaption=Title\n"
                    "[NameL]\nCaption=Name\n"
                    "[Timer1]\nEnabled=0\nInterval=5\n"
                    "[Hidden]\nCaption=hidden\n"
                    "[UnderPlain]\nCaption=under\n"
                    "[Absent]\nCaption=absent\n"
                    "[]\nCaption=unnamed\n");

    // Without Recursive only the window itself.
    QCOMPARE(C.ApplyToControl(&Form, false), QStringList());
    QCOMPARE(Form.Caption, u"Main"_s);
    QVERIFY(Form.KeyPreview);
    QCOMPARE(Title->Caption, u"before"_s);

    QCOMPARE(C.ApplyToControl(&Form, true), QStringList());
    QCOMPARE(Title->Caption, u"Title"_s);
    QCOMPARE(NameL->Caption, u"Name"_s);   // on an unnamed panel
    QCOMPARE(Panel->Caption, u"before"_s); // an unnamed control takes no section
    QVERIFY(Timer->Enabled);               // not a control
    QCOMPARE(Timer->Interval, 1000);
    QCOMPARE(Hidden->Caption, u"before"_s); // held by something that is not a control
    QCOMPARE(UnderPlain->Caption, u"before"_s);

    // Something that is not a control is skipped with everything below it.
    QObject Holder;
    auto* Stray = new TTestLabel(u"TitleLabel"_s, &Holder);
    C.ApplyToControl(&Holder, true);
    QCOMPARE(Stray->Caption, u"before"_s);
}

void TControlsPropsTest::SameNameOnTwoWindows()
{
    TTestForm Main(u"MainF"_s);
    TTestForm Splash(u"SplashF"_s);
    auto* MailMain = new TTestLabel(u"MailL"_s, &Main);
    auto* MailSplash = new TTestLabel(u"MailL"_s, &Splash);
    TControlsPropsContainer C;
    C.LoadFromBytes("[SplashF]\nColor=clBlack\n[MailL]\nFont.Style=fsUnderline\n");
    C.ApplyToControl(&Splash, true);
    C.ApplyToControl(&Main, true);
    QCOMPARE(Splash.Color, 0);
    QCOMPARE(Main.Color, SysColor(15));
    QCOMPARE(MailSplash->Font()->Style, TTestFont::TFontStyles(TTestFont::fsUnderline));
    QCOMPARE(MailMain->Font()->Style, TTestFont::TFontStyles(TTestFont::fsUnderline));
}

void TControlsPropsTest::FailedLineLeavesOthersApplied()
{
    TWindow W;
    TControlsPropsContainer C;
    C.LoadFromFile(Root.filePath(u"absent.ini"_s)); // names the file in the messages
    C.LoadFromBytes("[Lbl]\n"
                    "Left=10\n"
                    "Align=alMiddle\n"
                    "Font.Style=fsBold,fsBlink\n"
                    "Tag=5\n"
                    "NoSuch=1\n"
                    "Caption=ok\n"
                    "Font.Charset=999\n"
                    "Top=20\n");
    const QStringList Failures = C.ApplyToControl(&W.Form, true);
    QCOMPARE(Failures.size(), 3);
    QVERIFY2(Failures[0].startsWith(u"absent.ini (line 3), [Lbl] Align=alMiddle: "_s),
             qPrintable(Failures[0]));
    QVERIFY2(Failures[0].contains(u"alMiddle"_s), qPrintable(Failures[0]));
    QVERIFY2(Failures[1].contains(u"(line 4)"_s) && Failures[1].contains(u"fsBlink"_s),
             qPrintable(Failures[1]));
    QVERIFY2(Failures[2].contains(u"(line 8)"_s) && Failures[2].contains(u"Font.Charset=999"_s),
             qPrintable(Failures[2]));
    QCOMPARE(W.Lbl->Left, 10);
    QCOMPARE(W.Lbl->Caption, u"ok"_s);
    QCOMPARE(W.Lbl->Top, 20);
    QCOMPARE(W.Lbl->Align, TTestControl::alNone);
    QCOMPARE(W.Lbl->Font()->Style, TTestFont::TFontStyles());
    QCOMPARE(W.Lbl->Font()->Charset, uchar(1));
}

void TControlsPropsTest::SetterThatRemovesASibling()
{
    TTestForm Form(u"MainF"_s);
    new TTestPanel(u"Panel"_s, &Form);
    QPointer<TTestLabel> Other = new TTestLabel(u"Other"_s, &Form);
    auto* Last = new TTestLabel(u"Last"_s, &Form);
    TControlsPropsContainer C;
    C.LoadFromBytes("[Panel]\nRemove=Other\n[Other]\nCaption=x\n[Last]\nCaption=last\n");
    QCOMPARE(C.ApplyToControl(&Form, true), QStringList());
    QVERIFY(Other.isNull());
    QCOMPARE(Last->Caption, u"last"_s);
}

void TControlsPropsTest::QtOwnPropertiesAreNotPublished()
{
    TWindow W;
    TControlsPropsContainer C;
    C.LoadFromBytes("[Lbl]\nobjectName=Renamed\nCaption=x\n");
    C.ApplyToControl(&W.Form, true);
    QCOMPARE(W.Lbl->objectName(), u"Lbl"_s);
    QCOMPARE(W.Lbl->Caption, u"x"_s);
    QVERIFY(!TControlsPropsContainer::FindPublishedProperty(W.Lbl->metaObject(), u"objectName").isValid());
    // The derived class's property of the same name wins; the base's stays as it was.
    QCOMPARE(C.SetProperty(W.Edt, u"Hint"_s, u"derived"_s), TSetResult::Assigned);
    QCOMPARE(W.Edt->OwnHint, u"derived"_s);
    QCOMPARE(W.Edt->Hint, QString());
}

void TControlsPropsTest::PathThroughMissingFont()
{
    TWindow W;
    W.Lbl->DropFont();
    TControlsPropsContainer C;
    QCOMPARE(C.SetProperty(W.Lbl, u"Font.Color"_s, u"clRed"_s), TSetResult::Skipped);
    QCOMPARE(W.Lbl->Color, SysColor(15));
    // Neither a component without a name nor an object that is no control takes values.
    TTestLabel Unnamed;
    QCOMPARE(C.SetProperty(&Unnamed, u"Caption"_s, u"x"_s), TSetResult::Skipped);
    TTestComponent Timer(u"Timer1"_s);
    QCOMPARE(C.SetProperty(&Timer, u"Interval"_s, u"5"_s), TSetResult::Skipped);
    QCOMPARE(C.SetProperty(nullptr, u"Interval"_s, u"5"_s), TSetResult::Skipped);
    QCOMPARE(Unnamed.Caption, u"before"_s);
    QCOMPARE(Timer.Interval, 1000);
}

void TControlsPropsTest::ValueOrDefault_data()
{
    QTest::addColumn<QString>("Control");
    QTest::addColumn<QString>("Key");
    QTest::addColumn<QString>("Default");
    QTest::addColumn<QString>("Read");
    QTest::addColumn<TSetResult>("Result");
    QTest::addColumn<QVariant>("Value");

    const auto Row = [](const char* Tag, const QString& Control, const QString& Key, const QString& Default,
                        const QString& Read, TSetResult Result, const QVariant& Value) {
        QTest::newRow(Tag) << Control << Key << Default << Read << Result << Value;
    };
    const QString Title = u"TitleLabel"_s;
    const QString Intro = u"Intro"_s;
    Row("key in the file, last line wins", Title, u"Caption"_s, Intro, u"Second"_s, TSetResult::Assigned,
        u"Second"_s);
    Row("key in any case", Title, u"CAPTION"_s, Intro, u"Second"_s, TSetResult::Assigned, u"Second"_s);
    Row("empty value in the file", u"Btn2"_s, u"Caption"_s, Intro, QString(), TSetResult::Assigned,
        QString());
    Row("key missing", Title, u"Hint"_s, u"tip"_s, QString(), TSetResult::Assigned, u"tip"_s);
    Row("section missing", u"Btn3"_s, u"Caption"_s, Intro, QString(), TSetResult::Assigned, Intro);
    Row("key that is no property", Title, u"RoundedCornersValue"_s, u"0"_s, u"12"_s, TSetResult::Skipped,
        QVariant());
}

void TControlsPropsTest::ValueOrDefault()
{
    QFETCH(QString, Control);
    QFETCH(QString, Key);
    QFETCH(QString, Default);
    QFETCH(QString, Read);
    QFETCH(TSetResult, Result);
    QFETCH(QVariant, Value);

    TTestForm Form(u"MainF"_s);
    auto* Target = new TTestLabel(Control, &Form);
    TControlsPropsContainer C;
    C.LoadFromBytes("[TitleLabel]\nCaption=From file\nRoundedCornersValue=12\ncaption=Second\n"
                    "[Btn2]\nCaption=\n");
    QCOMPARE(C.ReadControlValue(Target, Key), Read);
    QCOMPARE(C.ApplyValueOrDefault(Target, Key, Default), Result);
    if (Value.isValid()) {
        QCOMPARE(ReadBack(Target, Key.toLower() == u"caption" ? u"Caption"_s : Key), Value);
    }
}

void TControlsPropsTest::ReloadAppliesNewValues()
{
    QVERIFY(QDir(Root.path()).mkpath(u"reload/Shell"_s));
    const QString File = Root.filePath(u"reload/Shell/controls.ini"_s);
    QVERIFY(WriteFile(File, "[Lbl]\nCaption=one\nLeft=1\n"));

    TWindow W;
    TControlsPropsContainer C;
    int Loads = 0;
    C.OnChange = [&](TControlsPropsContainer& Sender) {
        QCOMPARE(&Sender, &C);
        ++Loads;
        Sender.ApplyToControl(&W.Form, true);
    };
    // The program's notation: backslashes, and a name in another case than on the disc.
    const QString Written = Root.path() + u"\\reload\\SHELL\\Controls.INI"_s;
    C.LoadFromFile(Written);
    QCOMPARE(C.FileName(), Written);
    QCOMPARE(Loads, 1);
    QCOMPARE(W.Lbl->Caption, u"one"_s);
    QCOMPARE(W.Lbl->Left, 1);

    QVERIFY(WriteFile(File, "[Lbl]\nCaption=two\n[Edt]\nOpacity=0.25\n"));
    C.Reload();
    QCOMPARE(Loads, 2);
    QCOMPARE(W.Lbl->Caption, u"two"_s);
    QCOMPARE(W.Lbl->Left, 1); // a value the file no longer gives stays as it was
    QCOMPARE(W.Edt->Opacity, 0.25);
    QCOMPARE(C.LoadError(), QString());

    // A file removed while the program runs leaves the container empty.
    QVERIFY(QFile::remove(File));
    C.Reload();
    QCOMPARE(Loads, 3);
    QCOMPARE(C.Sections(), QStringList());
    QCOMPARE(C.LoadError(), QString());
}

void TControlsPropsTest::MissingFileIsEmpty()
{
    TWindow W;
    TControlsPropsContainer C;
    int Loads = 0;
    C.OnChange = [&Loads](TControlsPropsContainer&) { ++Loads; };
    C.LoadFromFile(Root.filePath(u"nowhere/controls.ini"_s));
    QCOMPARE(Loads, 1);
    QCOMPARE(C.LoadError(), QString());
    QCOMPARE(C.Sections(), QStringList());
    QCOMPARE(C.ApplyToControl(&W.Form, true), QStringList());
    QCOMPARE(C.ReadControlValue(W.Lbl, u"Caption"_s), QString());
    QCOMPARE(C.ApplyValueOrDefault(W.Lbl, u"Caption"_s, u"Intro"_s), TSetResult::Assigned);
    QCOMPARE(W.Lbl->Caption, u"Intro"_s);

    // A folder of that name is no file either.
    QVERIFY(QDir(Root.path()).mkpath(u"folder/controls.ini"_s));
    C.LoadFromFile(Root.filePath(u"folder/controls.ini"_s));
    QCOMPARE(C.Sections(), QStringList());
    QCOMPARE(C.LoadError(), QString());
}

void TControlsPropsTest::UnreadableFileKeepsContent()
{
    const QString File = Root.filePath(u"locked.ini"_s);
    QVERIFY(WriteFile(File, "[Lbl]\nCaption=kept\n"));
    TControlsPropsContainer C;
    C.LoadFromFile(File);
    QCOMPARE(C.Sections(), QStringList{u"Lbl"_s});

    QVERIFY(QFile::setPermissions(File, QFileDevice::Permissions()));
    const auto Restore = qScopeGuard(
        [&File] { QFile::setPermissions(File, QFileDevice::ReadOwner | QFileDevice::WriteOwner); });
    if (QFile Probe(File); Probe.open(QIODevice::ReadOnly)) {
        QSKIP("this user reads files without read permission");
    }
    C.Reload();
    QVERIFY(!C.LoadError().isEmpty());
    QCOMPARE(Lines(C.SectionValues(u"Lbl"_s)), QStringList{u"Caption=kept"_s});
}

void TControlsPropsTest::WatchStartsAndStopsTheWatcher()
{
    const QString First = Root.filePath(u"w1.ini"_s);
    const QString Second = Root.filePath(u"w2.ini"_s);
    QVERIFY(WriteFile(First, "[Lbl]\nCaption=first\n"));
    QVERIFY(WriteFile(Second, "[Lbl]\nCaption=second\n"));

    QStringList Log;
    QPointer<TFakeWatcher> Current;
    int Loads = 0;
    auto C = std::make_unique<TControlsPropsContainer>();
    C->SetWatcherFactory([&](const QString& FileName, TControlsPropsContainer& Container) {
        auto Watcher = std::make_unique<TFakeWatcher>(FileName, Log);
        connect(Watcher.get(), &TFakeWatcher::Changed, &Container, &TControlsPropsContainer::Reload);
        Current = Watcher.get();
        return Watcher;
    });
    C->OnChange = [&Loads](TControlsPropsContainer&) { ++Loads; };

    C->SetWatch(true); // no file yet: nothing to watch
    QCOMPARE(Log, QStringList());
    C->LoadFromFile(First);
    QCOMPARE(Log, QStringList{u"start "_s + First});
    QVERIFY(C->Watching());
    C->LoadFromFile(Second);
    QCOMPARE(Log, (QStringList{u"start "_s + First, u"stop "_s + First, u"start "_s + Second}));
    Log.clear();
    C->SetWatch(true); // unchanged: no restart
    QCOMPARE(Log, QStringList());

    // A notification re-reads the file and fires OnChange.
    QVERIFY(WriteFile(Second, "[Lbl]\nCaption=changed\n"));
    Loads = 0;
    Current->Fire();
    QCOMPARE(Loads, 1);
    const TTestLabel Probe(u"Lbl"_s);
    QCOMPARE(C->ReadControlValue(&Probe, u"Caption"_s), u"changed"_s);

    C->SetWatch(false);
    QCOMPARE(Log, QStringList{u"stop "_s + Second});
    QVERIFY(!C->Watching());
    Log.clear();

    // Switched off from inside the watcher's own notification: the watcher goes once it has returned.
    C->SetWatch(true);
    C->OnChange = [](TControlsPropsContainer& Sender) { Sender.SetWatch(false); };
    QPointer<TFakeWatcher> Firing = Current;
    Firing->Fire();
    QVERIFY(!C->Watching());
    QVERIFY(!Firing.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Firing.isNull());
    QCOMPARE(Log, (QStringList{u"start "_s + Second, u"stop "_s + Second}));
    Log.clear();

    // Destroying the container stops its watcher.
    C->OnChange = nullptr;
    C->SetWatch(true);
    C.reset();
    QCOMPARE(Log, (QStringList{u"start "_s + Second, u"stop "_s + Second}));
}

void TControlsPropsTest::HandlerMayReplaceItselfOrFreeTheContainer()
{
    auto* C = new TControlsPropsContainer;
    int Calls = 0;
    C->OnChange = [&Calls](TControlsPropsContainer& Sender) {
        ++Calls;
        Sender.OnChange = [&Calls](TControlsPropsContainer&) { Calls += 10; };
    };
    C->Reload();
    C->Reload();
    QCOMPARE(Calls, 11);
    const QPointer<TControlsPropsContainer> Guard(C);
    C->OnChange = [](TControlsPropsContainer& Sender) { delete &Sender; };
    C->Reload();
    QVERIFY(Guard.isNull());
}

void TControlsPropsTest::InactiveGivesNothing()
{
    TWindow W;
    TControlsPropsContainer C;
    C.LoadFromBytes("[Lbl]\nCaption=file\n");
    C.SetActive(false);
    QCOMPARE(C.ApplyToControl(&W.Form, true), QStringList());
    QCOMPARE(W.Lbl->Caption, u"before"_s);
    QCOMPARE(C.ReadControlValue(W.Lbl, u"Caption"_s), QString());
    QCOMPARE(C.ApplyValueOrDefault(W.Lbl, u"Caption"_s, u"Intro"_s), TSetResult::Assigned);
    QCOMPARE(W.Lbl->Caption, u"Intro"_s);
}

QTEST_GUILESS_MAIN(TControlsPropsTest)
#include "moc_ControlsTestControls.cpp"
#include "tst_controlsprops.moc"
