#include "BlockDevice.h"
#include "Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Kernel and service file systems: nothing to copy a disc's files to.
bool IsPseudoFileSystem(const QByteArray& Type)
{
    static const QSet<QByteArray> Types{
        "proc",    "sysfs",   "devtmpfs", "devpts",      "cgroup",   "cgroup2",    "securityfs",
        "debugfs", "tracefs", "pstore",   "bpf",         "mqueue",   "hugetlbfs",  "configfs",
        "fusectl", "autofs",  "nsfs",     "binfmt_misc", "efivarfs", "rpc_pipefs", "squashfs"};
    return Types.contains(Type);
}

bool IsBelow(const QString& Path, const QString& Folder)
{
    return Path == Folder || Path.startsWith(Folder + u'/');
}

// Folders holding the system's own mounts (boot partitions, runtime folders, package images).
// Removable media mounted below /run/media stay.
bool IsSystemMount(const QString& Root)
{
    if (IsBelow(Root, u"/run/media"_s)) {
        return false;
    }
    for (const QString& Folder : {u"/proc"_s, u"/sys"_s, u"/dev"_s, u"/run"_s, u"/var/run"_s, u"/var/lock"_s,
                                  u"/boot"_s, u"/snap"_s}) {
        if (IsBelow(Root, Folder)) {
            return true;
        }
    }
    return false;
}

bool IsFixedDevice(const QByteArray& Device)
{
    QString Path = QFile::decodeName(Device);
    // Names such as /dev/mapper/root and /dev/disk/by-label/x are links to the kernel's device.
    if (const QString Resolved = QFileInfo(Path).canonicalFilePath(); !Resolved.isEmpty()) {
        Path = Resolved;
    }
    return !IsRemovableDisk(DiskOfDevice(Path), u"/sys/block"_s);
}

class TLinuxVolumeProvider final : public IVolumeProvider
{
public:
    QList<TVolume> Volumes() override
    {
        // The home folder takes the place of the first fixed disk: it is where a user can write.
        TVolume Home;
        Home.RootPath = QDir::cleanPath(QDir::homePath());
        Home.Fixed = true;
        Home.IsHome = true;
        QList<TVolume> Result{Home};
        QSet<QString> Listed{Home.RootPath};

        for (const QStorageInfo& Info : QStorageInfo::mountedVolumes()) {
            if (!Info.isValid() || !Info.isReady() || Info.isReadOnly() ||
                IsPseudoFileSystem(Info.fileSystemType())) {
                continue;
            }
            const QString Root = QDir::cleanPath(Info.rootPath());
            if (Root.isEmpty() || Listed.contains(Root) || IsSystemMount(Root)) {
                continue;
            }
            // A mount that is writable in itself may still be closed to this user ("/" for anyone
            // but root), and containers mount single files.
            const QFileInfo RootInfo(Root);
            if (!RootInfo.isDir() || !RootInfo.isWritable() || !IsReady(Root)) {
                continue;
            }
            Listed.insert(Root);
            TVolume Volume;
            Volume.RootPath = Root;
            Volume.Label = Info.name();
            Volume.Fixed = IsFixedDevice(Info.device());
            Result.append(Volume);
        }
        return Result;
    }

    qint64 FreeBytes(const QString& Path) override
    {
        if (Path.isEmpty() || !QFileInfo::exists(Path)) {
            return 0;
        }
        QStorageInfo Info(Path);
        Info.refresh();
        if (!Info.isValid() || !Info.isReady()) {
            return 0;
        }
        return std::max<qint64>(Info.bytesAvailable(), 0);
    }

    bool IsReady(const QString& Path) override
    {
        const QFileInfo Info(Path);
        return !Path.isEmpty() && Info.exists() && Info.isReadable();
    }
};

} // namespace

std::unique_ptr<IVolumeProvider> CreatePlatformVolumeProvider()
{
    return std::make_unique<TLinuxVolumeProvider>();
}
