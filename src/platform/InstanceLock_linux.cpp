#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// True when Folder is a folder of this user's that no other user can write to; it is made with mode
// 0700 when missing. A link is refused too: whoever made it chose where it leads. In a folder others
// may write to, anyone could plant a lock that keeps every start out.
bool IsPrivateFolder(const QString& Folder)
{
    const QByteArray Path = QFile::encodeName(Folder);
    if (::mkdir(Path.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat Info = {};
    if (::lstat(Path.constData(), &Info) != 0) {
        return false;
    }
    return S_ISDIR(Info.st_mode) && Info.st_uid == ::geteuid() && (Info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder for lock files: the user's runtime folder (Qt checks its owner and mode), else a folder
// of our own in the shared temporary folder, else one in the user's own cache; "" when none will do.
QString LockFolder()
{
    const QString Runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!Runtime.isEmpty()) {
        return Runtime;
    }
    // The temporary folder is shared by every user: a folder of our own keeps the lock per user.
    const QString Shared = QDir::tempPath() + u"/autorun-"_s + QString::number(getuid());
    if (IsPrivateFolder(Shared)) {
        return Shared;
    }
    const QString Cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!Cache.isEmpty() && QDir().mkpath(Cache) && IsPrivateFolder(Cache + u"/autorun"_s)) {
        return Cache + u"/autorun"_s;
    }
    return {};
}

} // namespace

struct TInstanceLock::TImpl
{
    std::unique_ptr<QLockFile> Lock;
};

TInstanceLock::TInstanceLock() : FImpl(std::make_unique<TImpl>()) {}

TInstanceLock::~TInstanceLock()
{
    Release();
}

bool TInstanceLock::Acquire(const QString& ProgramPath)
{
    Release();
    const QString Name = LockName(ProgramPath);
    if (Name.isEmpty()) {
        // Nowhere to keep a lock: the program runs, as it does when a mutex cannot be created.
        return true;
    }
    QDir().mkpath(QFileInfo(Name).absolutePath());
    auto Lock = std::make_unique<QLockFile>(Name);
    // Only a dead holder makes the lock stale; a living one keeps it however long it runs. Qt opens
    // the file close-on-exec, so programs we start never carry the lock on.
    Lock->setStaleLockTime(0);
    if (!Lock->tryLock(0)) {
        // Only a living holder keeps a start out; a lock file that cannot be made does not.
        return Lock->error() != QLockFile::LockFailedError;
    }
    FImpl->Lock = std::move(Lock);
    return true;
}

void TInstanceLock::Release()
{
    if (FImpl->Lock) {
        FImpl->Lock->unlock();
        FImpl->Lock.reset();
    }
}

bool TInstanceLock::IsHeld() const
{
    return FImpl->Lock != nullptr;
}

QString TInstanceLock::LockName(const QString& ProgramPath)
{
    const QString Folder = LockFolder();
    if (Folder.isEmpty()) {
        return {};
    }
    const QByteArray Hash = QCryptographicHash::hash(ProgramPath.toUtf8(), QCryptographicHash::Sha1).toHex();
    return Folder + u"/autorun-"_s + QString::fromLatin1(Hash) + u".lock"_s;
}
