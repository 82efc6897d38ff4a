#include "DiscFile.h"

#include "Paths.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool OpenDiscFile(QFile& File, const QString& FileName, QString* Error, QIODevice::OpenMode Extra)
{
    File.close();
    const auto Fail = [Error](const QString& Why) {
        if (Error) {
            *Error = Why;
        }
        return false;
    };
    if (FileName.isEmpty()) {
        return Fail(u"file not found"_s);
    }
    File.setFileName(NativePath(FileName));
    // The same test as FileExists: QFileInfo follows links, and only a regular file is a file.
    const QFileInfo Info(File.fileName());
    if (!Info.exists()) {
        return Fail(u"file not found"_s);
    }
    if (Info.isDir()) {
        return Fail(u"file to open is a directory"_s);
    }
    if (!Info.isFile()) {
        return Fail(u"not a regular file"_s);
    }
    if (!File.open(QIODevice::ReadOnly | Extra)) {
        return Fail(File.errorString());
    }
    return true;
}
