#pragma once

#include "FileCopier.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtGlobal>

#include <atomic>
#include <functional>

class TCopyRules;

// The file list of the copy window: which disc files go into which folders below the folder the user
// chooses. Paths stay in the program's notation until they are handed to the copier; in every
// destination "..." stands for the chosen folder.

// One file (or, when a rule names one, a folder) and the folder it is copied into.
struct TCopyPair
{
    QString Source;      // full path on the disc
    QString Destination; // ends with a separator; normally starts with "..." until the user confirms
    bool operator==(const TCopyPair&) const = default;
};

// The pairs in the order the rules give them, with a case-insensitive index of the pairs already
// added, so that a large folder is listed in linear time.
class TCopyList
{
public:
    // Most pairs one list holds; a "*.*" rule over a larger tree lists its first ones.
    static constexpr int MaxPairs = 1000000;
    // Deepest folder a "*.*" rule descends into below its own.
    static constexpr int MaxDepth = 256;

    int Count() const { return static_cast<int>(FPairs.size()); }
    bool IsEmpty() const { return FPairs.isEmpty(); }
    const TCopyPair& operator[](int Index) const { return FPairs[Index]; }
    const QList<TCopyPair>& Pairs() const { return FPairs; }
    // The sources in list order.
    QStringList Sources() const;
    void Clear();

    // Adds a pair: nothing for an empty source or a pair already listed (source and destination
    // compared without regard to case). A source whose name part is "*.*" adds every entry of its
    // folder instead, hidden ones and names without a point included: files with Destination,
    // folders as "<folder>\*.*" with Destination joined with the folder's name, so a tree is copied
    // into same-named folders. Folders reached through a symbolic link are not entered.
    void Add(const QString& Source, const QString& Destination);

    // The chosen folder put in place: in every destination the first "..." is deleted and
    // PathJoin(Folder) is put in front (also of a destination without "...").
    void ResolveDestinations(const QString& Folder);

private:
    void AddFolder(const QString& Source, const QString& Destination, int Depth);
    void Append(const QString& Source, const QString& Destination);

    QList<TCopyPair> FPairs;
    QSet<QString> FKeys;
};

// Builds the list for Rules: each enabled rule adds (ProjectFolder + CopyingObject, Destination with
// a trailing backslash). The collection's own Enabled is not consulted.
TCopyList BuildCopyList(const TCopyRules& Rules, const QString& ProjectFolder);

// The copier's work for a resolved list: each source to its destination folder plus the source's
// file name, as file-system paths. A source that is a folder becomes every file below it, in
// same-named folders (symbolic links to folders are not followed). At most TCopyList::MaxPairs
// items.
QList<TCopyItem> CopyItemsOf(const TCopyList& List);

// Bytes of the sources that can be opened for reading (64-bit; a folder counts the files below
// it). Stops early when Stop becomes true; Progress, when given, receives the running total after
// each source.
qint64 CountBytes(const QStringList& Sources, const std::atomic<bool>* Stop = nullptr,
                  const std::function<void(qint64 Total)>& Progress = {});

// The drive part of a path: "C:" for "C:\Games", "\\server\share" for a network path; "" otherwise.
QString ExtractFileDrive(const QString& Path);

// The folder the files go to, decided once when the copy starts: the folder field's text Typed; a
// folder typed without its full path lies below Listed, the folder the list shows, and a blank field
// means Listed itself. The result is an absolute file-system path ending with a separator, the same
// one the copy writes below and a pre-copy step opens its object from.
QString ResolveChosenFolder(const QString& Typed, const QString& Listed);

// What is put below the chosen folder: DefaultFolder without its drive part and the separator after
// it; when DefaultFolder is empty, the last part of ItemFolder ("\Game" for "Disc\Game\").
QString SuggestedSuffix(const QString& DefaultFolder, const QString& ItemFolder);

// "Required: 1.5 MB" (Russian on language $0419), megabytes with one decimal.
QString RequiredSizeText(qint64 Bytes, quint16 LangId);
// "Free space: 120 MB" with the localised label, whole megabytes.
QString FreeSpaceText(qint64 FreeBytes);

// The size counter of the copy window: counts the bytes of its sources on a thread of its own and
// hands the running total to the user-interface thread (OnProgress runs there), a few times a second
// and once at the end. It frees itself when it ends; Stop makes it end after the current file.
class TGetObjectsSize : public QThread
{
    Q_OBJECT

public:
    // Milliseconds between two reports while counting.
    static constexpr int ReportInterval = 100;

    // Created suspended; Start runs it.
    explicit TGetObjectsSize(const QStringList& FileNames);
    ~TGetObjectsSize() override;

    std::function<void(qint64 Total)> OnProgress;

    void Start() { start(); }
    void Stop() { FStop = true; }

signals:
    void Counted(qint64 Total);

protected:
    void run() override;

private:
    QStringList FFileNames;
    std::atomic<bool> FStop{false};
};
