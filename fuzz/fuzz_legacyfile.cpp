// Fuzzes the legacy structure file as the program opens it: from a file, whatever its length.

#include "model/LegacyModel.h"
#include "model/StructureFile.h"

#include <QTemporaryDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static QTemporaryDir Dir;
    const QString FileName = Dir.filePath(QStringLiteral("fuzz.apr"));
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        File.write(reinterpret_cast<const char*>(Data), qint64(Size)) != qint64(Size))
        __builtin_trap();
    File.close();
    Legacy::TVeltrane Root;
    ReadLegacyFile(FileName, Root);
    return 0;
}
