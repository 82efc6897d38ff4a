#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The lines of a list control or a text control (a list box's Items, a memo's Lines): texts with an
// optional object pointer each, which the list carries but never owns. The control that owns the
// list follows every change through the On* hooks.
class TControlStrings
{
public:
    // Largest file LoadFromFile reads, and most lines it keeps.
    static constexpr qsizetype MaxFileSize = 16 * 1024 * 1024;
    static constexpr int MaxLines = 500000;

    TControlStrings() = default;
    virtual ~TControlStrings() = default;
    TControlStrings(const TControlStrings&) = delete;
    TControlStrings& operator=(const TControlStrings&) = delete;

    int Count() const { return static_cast<int>(FStrings.size()); }
    // The text of line Index ("" outside the list).
    QString Strings(int Index) const;
    QString operator[](int Index) const { return Strings(Index); }
    void SetStrings(int Index, const QString& Value);
    // The object of line Index (nullptr outside the list).
    void* Objects(int Index) const;
    template <class T> T* ObjectAs(int Index) const { return static_cast<T*>(Objects(Index)); }
    void SetObjects(int Index, void* Object);

    int Add(const QString& S) { return AddObject(S, nullptr); }
    int AddObject(const QString& S, void* Object);
    void AddStrings(const QStringList& Lines);
    // Index is kept within 0..Count.
    void Insert(int Index, const QString& S) { InsertObject(Index, S, nullptr); }
    void InsertObject(int Index, const QString& S, void* Object);
    void Delete(int Index);
    void Clear();
    // The first line equal to S without regard to case, -1 when none.
    int IndexOf(const QString& S) const;
    int IndexOfObject(const void* Object) const;

    QStringList ToStringList() const { return FStrings; }
    // Replaces every line (objects are dropped).
    void Assign(const QStringList& Lines);
    // The lines, each followed by a line break (CR LF).
    QString Text() const;
    // Replaces the lines with the lines of Value, broken at CR LF, LF or CR.
    void SetText(const QString& Value);

    // Groups changes: OnChange fires once, at the outermost EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    // Replaces the lines with a file's text (in the program's notation). A file larger than
    // MaxFileSize or with more than MaxLines lines loads its beginning and reports an error.
    bool LoadFromFile(const QString& FileName, QString* Error = nullptr);
    // Replaces the lines with the text of Bytes: UTF-8 or UTF-16LE after their byte-order mark,
    // Windows-1251 otherwise. Text controls override it to read formatted text.
    virtual void LoadFromBytes(QByteArrayView Bytes);
    // True when the last load kept only the beginning: the file was larger than MaxFileSize or the
    // text had more than MaxLines lines. False after a load that could not read the file at all.
    bool Truncated() const { return FTruncated; }

    // Hooks of the owning control, called after each change.
    std::function<void(int Index)> OnInserted;
    std::function<void(int Index)> OnDeleted;
    std::function<void(int Index)> OnStringChanged;
    std::function<void()> OnCleared;
    // After every change (once per outermost BeginUpdate/EndUpdate pair).
    std::function<void()> OnChange;

    // The lines of a text, broken at CR LF, LF, CR and the Unicode line and paragraph separators, at
    // most MaxLines of them (Truncated set when there were more). A final line break ends the last
    // line rather than starting an empty one.
    static QStringList SplitLines(const QString& Text, bool* Truncated = nullptr);

protected:
    // Replaces all lines at once (one OnCleared, one OnInserted per line, one OnChange).
    void ReplaceAll(const QStringList& Lines);
    void SetTruncated(bool Value) { FTruncated = Value; }
    void Changed();

private:
    QStringList FStrings;
    QList<void*> FObjects;
    int FUpdateCount = 0;
    bool FChangedInUpdate = false;
    bool FTruncated = false;
};
