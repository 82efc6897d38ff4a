#pragma once

#include <QFile>
#include <QString>

// A copied file as it is written: without a name where the system allows (a crash leaves nothing
// behind), otherwise under a hidden temporary name beside its target, and published whole by Commit.
// A cancel, a failure or a crash leaves no partial file under the target's name, and an existing
// target stays intact until the new one is complete. Unlike QSaveFile, it does not force each file to
// the disk before publishing it: a copy of thousands of small files would wait for the disk thousands
// of times, where the system writes them out in one go anyway.
class TCopyTarget : public QFile
{
public:
    explicit TCopyTarget(const QString& TargetName);
    ~TCopyTarget() override;

    // Creates the file being written; only for writing.
    bool open(OpenMode Mode) override;
    // Writes out what is buffered and puts the file in the target's place, replacing what is there.
    // False, with the reason in errorString(), when that fails; the file being written is gone then.
    bool Commit();
    // Drops what was written.
    void CancelWriting();

    const QString& TargetName() const { return FTargetName; }

protected:
    // A new unnamed file in Folder, or -1 (see OpenUnnamedFile); tests make it fail.
    virtual int OpenUnnamed(const QString& Folder) const;

private:
    bool OpenNamed(OpenMode Mode);
    // Names the unnamed file: the target's name when nothing has it, otherwise a temporary one.
    bool NameUnnamed(bool& Published);
    void RemoveTemporary();

    QString FTargetName;
    QString FTemporaryName; // the hidden name the file has while it is not published
    bool FUnnamed = false;  // the file has no name yet
    bool FCreated = false;  // the file under FTemporaryName exists and is ours to remove
};
