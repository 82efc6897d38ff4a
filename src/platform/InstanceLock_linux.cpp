#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::StringLiterals;

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
    QDir().mkpath(QFileInfo(Name).absolutePath());
    auto Lock = std::make_unique<QLockFile>(Name);
    // Only a dead holder makes the lock stale; a living one keeps it however long it runs. Qt opens
    // the file close-on-exec, so programs we start never carry the lock on.
    Lock->setStaleLockTime(0);
    if (!Lock->tryLock(0)) {
        return false;
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
    QString Folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (Folder.isEmpty()) {
        // The temporary folder is shared by every user: a folder of our own keeps the lock per user.
        Folder = QDir::tempPath() + u"/autorun-"_s + QString::number(getuid());
    }
    const QByteArray Hash = QCryptographicHash::hash(ProgramPath.toUtf8(), QCryptographicHash::Sha1).toHex();
    return Folder + u"/autorun-"_s + QString::fromLatin1(Hash) + u".lock"_s;
}
