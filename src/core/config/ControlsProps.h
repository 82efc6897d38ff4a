#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <QtGlobal>

#include <functional>
#include <memory>

// "controls.ini": the disc author's way to change any published property of any named control of a
// window without a new program. One section per control name, one "Path=Value" line per property.
//
// A control is a QObject whose class, or one of its base classes, declares
//     Q_CLASSINFO("AutorunControl", "")
// (the framework's control base and every window base do); its name is its objectName. Published
// properties are the Q_PROPERTYs declared by the program's own classes: Qt's own classes (QObject,
// QWidget, ...) publish nothing here. Enumerations and sets are Q_ENUM and Q_FLAG types named with
// the framework's element names (alClient, [fsBold,fsItalic]); colours are integers 0x00BBGGRR.

// The class-info name that makes a class and its descendants controls.
inline constexpr char ControlClassInfoName[] = "AutorunControl";

// Largest "controls.ini" that is read; a line cut by the limit is dropped.
inline constexpr qsizetype MaxControlsFileSize = 1024 * 1024;

// The framework's colour names with their values, in the framework's order: the 16 basic colours,
// clMoneyGreen, clSkyBlue, clCream, clMedGray, clNone, clDefault and the system colours
// (0x80000000 + the system colour index).
struct TColorIdent
{
    const char* Name;
    qint32 Value;
};
const QList<TColorIdent>& ColorIdents();
// The colour of a name such as "clBtnFace", without regard to case; false when the table lacks it.
bool IdentToColor(QStringView Name, qint32& Color);
// The name of a colour that has one ("" otherwise).
QString ColorToIdent(qint32 Color);

// The parsed control properties file and the assignment of its values to controls. Lives on the
// user-interface thread; every property assignment happens there.
class TControlsPropsContainer : public QObject
{
    Q_OBJECT

public:
    // The kinds of property values the conversions distinguish.
    enum class TPropKind
    {
        Integer,     // every integer type; colours and cursors are integers
        Char,        // one character
        Enumeration, // a Q_ENUM type
        Boolean,     // bool
        Float,       // double, float
        String,      // QString
        Set,         // a Q_FLAG type
        Object,      // a QObject pointer (a sub-object such as Font): never set, only walked through
        Array,       // lists and maps: never set
        Other        // anything else Qt can convert text into
    };

    enum class TSetResult
    {
        Assigned, // the property took the value
        Skipped,  // the line does not apply (no such control or property, read-only, refused value)
        Failed    // the value passed every check but the property cannot take it
    };

    // Called after every load with the container as sender.
    using TNotifyEvent = std::function<void(TControlsPropsContainer& Sender)>;
    // Starts a watcher on FileName's folder whose change notification calls Container.Reload() on the
    // user-interface thread. The container owns the returned object and deletes it to stop it.
    using TWatcherFactory =
        std::function<std::unique_ptr<QObject>(const QString& FileName, TControlsPropsContainer& Container)>;

    // One "Path=Value" line of a section, trimmed, with its line number in the file.
    struct TValueLine
    {
        QString Path;
        QString Value;
        int Line = 0;
    };

    explicit TControlsPropsContainer(QObject* Parent = nullptr);
    ~TControlsPropsContainer() override;
    Q_DISABLE_COPY_MOVE(TControlsPropsContainer)

    // FileName := FileName, Reload, and with Watch set the watcher restarts on the new file.
    // FileName is in the program's notation (ShellFolder + "controls.ini").
    void LoadFromFile(const QString& FileName);
    // The file last given to LoadFromFile.
    QString FileName() const { return FFileName; }
    // Replaces the content with the given file bytes: UTF-8 or UTF-16LE after their byte-order mark,
    // Windows-1251 otherwise. Fires no OnChange and leaves FileName alone.
    void LoadFromBytes(QByteArrayView Bytes);

    // Why the last read of the file was incomplete or did not happen ("" when it went well). A
    // missing file is no problem: it just leaves the container empty.
    QString LoadError() const { return FLoadError; }

    // Keep a watcher on the file's folder that re-reads the file after every write there. Changing
    // the value restarts the watcher. Watching needs a factory; without one nothing is watched.
    bool Watch() const { return FWatch; }
    void SetWatch(bool Value);
    void SetWatcherFactory(TWatcherFactory Factory);
    bool Watching() const { return FWatcher != nullptr; }

    // False makes the container give nothing: nothing is applied, ReadControlValue gives "" and
    // ApplyValueOrDefault always takes its default. The main window clears it when there is no file.
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }

    TNotifyEvent OnChange;

    // Assigns the file's values to Component and, if Recursive, to every control below it in the
    // object tree. Returns one message per line whose value a property could not take; such a line
    // changes nothing and the remaining lines still apply.
    QStringList ApplyToControl(QObject* Component, bool Recursive);
    // Assigns one value given as text. Message (if given) receives why a line was skipped or failed.
    TSetResult SetProperty(QObject* Component, const QString& Path, const QString& Raw,
                           QString* Message = nullptr);
    // The value of Key in Control's section, "" if none (the last line wins when a key repeats).
    QString ReadControlValue(const QObject* Control, const QString& Key) const;
    // SetProperty with the section's value of Key if the section has that key, even an empty one;
    // otherwise with Default.
    TSetResult ApplyValueOrDefault(QObject* Control, const QString& Key, const QString& Default,
                                   QString* Message = nullptr);

    // The lines of the section Name (matched without regard to case), in file order; repeated
    // sections of one name count as one.
    QList<TValueLine> SectionValues(QStringView Name) const;
    // Section names as first written, in file order.
    QStringList Sections() const;

    // True for a control: a QObject whose class declares the control class info.
    static bool IsControl(const QObject* Object);
    // The published property of Meta named Name without regard to case; a derived class's property
    // hides a base class's of the same name. Invalid when there is none.
    static QMetaProperty FindPublishedProperty(const QMetaObject* Meta, QStringView Name);
    static TPropKind KindOf(const QMetaProperty& Property);

    // The conversions of a raw text to the value a property is set from: a QString or an int.
    static QVariant NormalizeValue(const QMetaProperty& Property, const QString& Raw);
    // "#RRGGBB" -> "$BBGGRR"; "" stays "".
    static QString HtmlColorToHex(const QString& S);
    static bool IsValueAcceptable(const QString& Name, TPropKind Kind, const QVariant& Value);

public slots:
    // Re-reads FileName (replacing the previous content), then fires OnChange. A missing file
    // leaves the container empty; a file that cannot be read keeps the previous content.
    void Reload();

private:
    struct TSection
    {
        QString Name;
        QList<TValueLine> Lines;
    };
    const TSection* FindSection(QStringView Name) const;
    void ReadFile();
    void LoadFromText(QStringView Text);
    void StopWatcher();
    void RestartWatcher();
    void ApplyTree(QObject* Component, bool Recursive, QStringList& Failures);

    QString FFileName;
    bool FWatch = false;
    bool FActive = true;
    bool FReloading = false;
    QString FLoadError;
    QList<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex; // case-folded name -> index into FSections
    TWatcherFactory FWatcherFactory;
    std::unique_ptr<QObject> FWatcher;
};
