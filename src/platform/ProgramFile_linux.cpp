#include "ProgramFile.h"

#include <QFile>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

bool ExecuteBitsKept(const QString& NativeFile)
{
    const QStorageInfo Storage(NativeFile);
    if (!Storage.isValid()) {
        return true;
    }
    const QString Type = QString::fromLatin1(Storage.fileSystemType());
    QString Options;
    // Only ISO 9660 needs its options: whether Rock Ridge was read.
    if (Type == u"iso9660") {
        QFile Table(u"/proc/self/mountinfo"_s);
        if (Table.open(QIODevice::ReadOnly)) {
            Options = MountSuperOptions(Table.readAll(), QFile::encodeName(Storage.rootPath()));
        }
    }
    return FileSystemKeepsExecuteBits(Type, Options);
}
