#pragma once

#include <QFile>
#include <QList>
#include "CopyTarget.h"
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// Copies a list of files from the disc to the hard disk: folders are made as needed, existing files
// are replaced only when the user agrees, each file is written to a temporary file and published
// whole, and the source's modification time is kept. Runs on whatever thread calls Run; the
// callbacks come on that thread.

struct TCopyItem
{
    QString Source; // a file on the disc, full path
    QString Target; // the full path it is copied to (folder and file name)
};

enum TOverwriteAnswer
{
    oaYes,
    oaYesToAll,
    oaNo,
    oaNoToAll,
    oaCancel
};

enum TCopyResult : int
{
    cpDone = 0,      // every file copied or deliberately skipped
    cpCancelled = 1, // the user cancelled; files copied before stay
    cpFailed = 2     // at least one file could not be read or written (see Errors)
};

struct TCopyReport
{
    int Result = cpDone;
    int Copied = 0;
    int Skipped = 0;    // existing targets the user chose to keep, and sources equal to their target
    QStringList Errors; // one line per failed file, naming it and the reason
};

// Makes the files the copier reads and writes, unopened. The copier's only contact with file contents,
// so that tests can make reads and writes fail part way (a full disk, a disc taken out).
class TCopyFileSystem
{
public:
    virtual ~TCopyFileSystem() = default;
    virtual std::unique_ptr<QFile> Source(const QString& FileName) const
    {
        return std::make_unique<QFile>(FileName);
    }
    virtual std::unique_ptr<TCopyTarget> Target(const QString& FileName) const
    {
        return std::make_unique<TCopyTarget>(FileName);
    }
    // Whether the system may copy the contents between the two open files' handles. A file system
    // whose files read and write by themselves (as a test's faulty files do) answers false.
    virtual bool SystemCopies() const { return true; }
};

class TFileCopier
{
public:
    // Where file contents are read and written; never null.
    std::shared_ptr<const TCopyFileSystem> FileSystem = std::make_shared<TCopyFileSystem>();
    // Asked for every target that exists already, unless an earlier answer was "to all".
    // Unset: existing files are kept (oaNo).
    std::function<TOverwriteAnswer(const QString& Target)> OnOverwrite;
    // After each chunk and each file: bytes done and in all (64-bit), and the file being copied.
    std::function<void(qint64 Done, qint64 Total, const QString& Current)> OnProgress;

    // Copies Items in order. Every target must lie inside Root (after cleaning the path); one that
    // does not is refused and reported in Errors, never written.
    TCopyReport Run(const QList<TCopyItem>& Items, const QString& Root);
    // Asks a running copy to stop after the current chunk (from any thread); the partly written
    // file is dropped.
    void Cancel() { FCancelled = true; }

private:
    std::atomic<bool> FCancelled{false};
};
