#pragma once

#include "model/ComponentReader.h"
#include "model/Project.h"

#include <QString>

// The structure file: a 16-byte header (signature, version, reserved) and a component stream.

namespace StructureFile {
constexpr const char* Magic = "VLND_v3";
constexpr qint64 Signature = 867678689511851; // ComputeSignature(Magic)
constexpr qsizetype HeaderSize = 16;
// A structure file larger than this is refused instead of being read into memory.
constexpr qint64 MaxFileSize = qint64(1) << 30;
} // namespace StructureFile

// The decimal character codes of Magic, concatenated and read as a signed 64-bit integer;
// 0 when that number does not fit.
qint64 ComputeSignature(const QString& Magic);

// Major (bits 24-31), minor (bits 16-23) and release (bits 8-15) of a header version.
TProgramVersion SplitVersion(quint32 Version);

// Packs a version into the header's form (bits 0-7 zero).
constexpr quint32 PackVersion(quint8 Major, quint8 Minor, quint8 Release)
{
    return (quint32(Major) << 24) | (quint32(Minor) << 16) | (quint32(Release) << 8);
}

// Reads a legacy file (a bare component stream) into Root. Opened is false when the file could not
// be opened for reading; then nothing was read.
TStreamReadResult ReadLegacyFile(const QString& FileName, Legacy::TVeltrane& Root, bool* Opened = nullptr);
