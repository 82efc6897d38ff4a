#pragma once

#include <QString>
#include <QtGlobal>

// Copies file contents inside the system, without passing them through the program's memory:
// on one disk the system can copy far faster than reading and writing in chunks.
struct TKernelCopyResult
{
    enum TKind
    {
        kcCopied,      // Bytes were copied; 0 at the end of the source
        kcUnsupported, // the system cannot copy between these two files: read and write instead
        kcReadError,   // the source failed; Reason says why
        kcWriteError   // the target failed (a full disk); Reason says why
    };
    TKind Kind = kcUnsupported;
    qint64 Bytes = 0;
    QString Reason;
};

// Copies up to MaxBytes from the current position of the open file InHandle to that of OutHandle,
// advancing both.
TKernelCopyResult KernelCopyChunk(int InHandle, int OutHandle, qint64 MaxBytes);

// A new file in Folder that has no name yet, open for writing: if the program ends before the file
// is named (a crash, a kill, the power gone), the system drops it and nothing is left behind.
// -1 where the system or the folder's file system cannot make one; the caller makes a named file then.
int OpenUnnamedFile(const QString& Folder);

// Closes a handle of OpenUnnamedFile that is not handed to a file object; the file is dropped.
void CloseUnnamedFile(int Handle);

enum TNameResult
{
    nrNamed,  // the file now has the name
    nrExists, // something has that name already; nothing changed
    nrFailed  // Reason says why
};

// Gives the open unnamed file Handle the name FileName, which must not exist yet.
TNameResult NameUnnamedFile(int Handle, const QString& FileName, QString& Reason);
