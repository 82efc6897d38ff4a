#include "CopyTarget.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

// Names tried before giving up; a clash needs another writer using the same hidden names.
constexpr int MaxNameTries = 64;

QString TemporaryNameFor(const QString& TargetName)
{
    const QFileInfo Info(TargetName);
    QString Suffix;
    for (int I = 0; I < 6; ++I) {
        Suffix += QChar(u"abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)]);
    }
    return Info.absolutePath() + u"/."_s + Info.fileName() + u'.' + Suffix + u".part"_s;
}

std::filesystem::path FileSystemPath(const QString& Name)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(Name.toStdU16String());
#else
    return std::filesystem::path(QFile::encodeName(Name).toStdString());
#endif
}

} // namespace

TCopyTarget::TCopyTarget(const QString& TargetName) : FTargetName(TargetName) {}

TCopyTarget::~TCopyTarget()
{
    RemoveTemporary();
}

bool TCopyTarget::open(OpenMode Mode)
{
    if (isOpen() || FCreated || (Mode & ~(WriteOnly | Unbuffered)) != 0 || !(Mode & WriteOnly)) {
        setErrorString(u"the copy target can only be opened once, for writing"_s);
        return false;
    }
    for (int Try = 0; Try < MaxNameTries; ++Try) {
        const QString Name = TemporaryNameFor(FTargetName);
        setFileName(Name);
        // NewOnly: never takes over a file that is there already, a link included.
        if (QFile::open(Mode | NewOnly)) {
            FCreated = true;
            return true;
        }
        if (!QFileInfo::exists(Name) && !QFileInfo(Name).isSymLink()) {
            return false;
        }
    }
    return false;
}

bool TCopyTarget::Commit()
{
    if (!isOpen() || !FCreated) {
        setErrorString(u"the file is not open"_s);
        return false;
    }
    const bool Flushed = flush();
    const QString FlushError = errorString();
    close();
    // A file system may report a full disk only when the file is closed.
    if (!Flushed || error() != NoError) {
        const QString Reason = Flushed ? errorString() : FlushError;
        RemoveTemporary();
        setErrorString(Reason);
        return false;
    }
    std::error_code Error;
    std::filesystem::rename(FileSystemPath(fileName()), FileSystemPath(FTargetName), Error);
    if (Error) {
        const QString Reason = QString::fromLocal8Bit(Error.message());
        RemoveTemporary();
        setErrorString(Reason);
        return false;
    }
    FCreated = false;
    return true;
}

void TCopyTarget::CancelWriting()
{
    RemoveTemporary();
}

void TCopyTarget::RemoveTemporary()
{
    if (isOpen()) {
        close();
    }
    if (FCreated) {
        QFile::remove(fileName());
        FCreated = false;
    }
}
