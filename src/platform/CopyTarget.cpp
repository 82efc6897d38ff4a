#include "CopyTarget.h"

#include "KernelCopy.h"

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

int TCopyTarget::OpenUnnamed(const QString& Folder) const
{
    return OpenUnnamedFile(Folder);
}

bool TCopyTarget::open(OpenMode Mode)
{
    if (isOpen() || FCreated || (Mode & ~(WriteOnly | Unbuffered)) != 0 || !(Mode & WriteOnly)) {
        setErrorString(u"the copy target can only be opened once, for writing"_s);
        return false;
    }
    const int Handle = OpenUnnamed(QFileInfo(FTargetName).absolutePath());
    if (Handle >= 0) {
        // Owns the handle from here: closing the file closes it, and drops the file while unnamed.
        if (QFile::open(Handle, Mode, AutoCloseHandle)) {
            FUnnamed = true;
            return true;
        }
        CloseUnnamedFile(Handle);
    }
    return OpenNamed(Mode);
}

bool TCopyTarget::OpenNamed(OpenMode Mode)
{
    for (int Try = 0; Try < MaxNameTries; ++Try) {
        const QString Name = TemporaryNameFor(FTargetName);
        setFileName(Name);
        // NewOnly: never takes over a file that is there already, a link included.
        if (QFile::open(Mode | NewOnly)) {
            FTemporaryName = Name;
            FCreated = true;
            return true;
        }
        if (!QFileInfo::exists(Name) && !QFileInfo(Name).isSymLink()) {
            return false;
        }
    }
    return false;
}

bool TCopyTarget::NameUnnamed(bool& Published)
{
    QString Reason;
    // A new target takes its name at once, which publishes it whole; an existing one is replaced by
    // renaming, so then the file is named beside it first.
    for (int Try = 0; Try <= MaxNameTries; ++Try) {
        const QString Name = Try == 0 ? FTargetName : TemporaryNameFor(FTargetName);
        switch (NameUnnamedFile(handle(), Name, Reason)) {
        case nrNamed:
            FUnnamed = false;
            Published = Try == 0;
            if (!Published) {
                FTemporaryName = Name;
                FCreated = true;
            }
            return true;
        case nrFailed:
            setErrorString(Reason);
            return false;
        case nrExists:
            break;
        }
    }
    setErrorString(u"no temporary name beside the target is free"_s);
    return false;
}

bool TCopyTarget::Commit()
{
    if (!isOpen() || (!FCreated && !FUnnamed)) {
        setErrorString(u"the file is not open"_s);
        return false;
    }
    const bool Flushed = flush();
    bool Published = false;
    if (!Flushed || (FUnnamed && !NameUnnamed(Published))) {
        const QString Reason = errorString();
        RemoveTemporary();
        setErrorString(Reason);
        return false;
    }
    close();
    // A file system may report a full disk only when the file is closed.
    if (error() != NoError) {
        const QString Reason = errorString();
        if (Published) {
            // Named by this copy a moment ago: nothing else was under the name.
            QFile::remove(FTargetName);
        }
        RemoveTemporary();
        setErrorString(Reason);
        return false;
    }
    if (Published) {
        return true;
    }
    std::error_code Error;
    std::filesystem::rename(FileSystemPath(FTemporaryName), FileSystemPath(FTargetName), Error);
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
    // An unnamed file is gone once closed.
    if (isOpen()) {
        close();
    }
    FUnnamed = false;
    if (FCreated) {
        QFile::remove(FTemporaryName);
        FCreated = false;
    }
}
