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
