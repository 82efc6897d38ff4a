#pragma once

#include <QFile>
#include <QString>

// A copied file as it is written: under a hidden temporary name beside its target, published whole
// by Commit. A cancel, a failure or a crash leaves no partial file under the target's name, and an
// existing target stays intact until the new one is complete. Unlike QSaveFile, it does not force
// each file to the disk before publishing it: a copy of thousands of small files would wait for the
// disk thousands of times, where the system writes them out in one go anyway.
class TCopyTarget : public QFile
{
public:
    explicit TCopyTarget(const QString& TargetName);
    ~TCopyTarget() override;

    // Creates the temporary file; only for writing.
    bool open(OpenMode Mode) override;
    // Writes out what is buffered and puts the file in the target's place, replacing what is there.
    // False, with the reason in errorString(), when that fails; the temporary file is gone then.
    bool Commit();
    // Drops what was written.
    void CancelWriting();

    const QString& TargetName() const { return FTargetName; }

private:
    void RemoveTemporary();

    QString FTargetName;
    bool FCreated = false; // the temporary file exists and is ours to remove
};
