#include "SystemInfo.h"

#include <QFile>

#include <sys/sysinfo.h>
#include <sys/utsname.h>

using namespace Qt::StringLiterals;

namespace {

// os-release files are a few hundred bytes; more is not read.
constexpr qint64 MaxOsReleaseSize = 64 * 1024;

QString ReadOsRelease()
{
    // The location the file's own standard names first, then its fallback.
    for (const QString& Name : {u"/etc/os-release"_s, u"/usr/lib/os-release"_s}) {
        QFile File(Name);
        if (File.open(QIODevice::ReadOnly)) {
            return QString::fromUtf8(File.read(MaxOsReleaseSize));
        }
    }
    return {};
}

} // namespace

QString GetOSDescription()
{
    utsname Uname{};
    const QString Release = uname(&Uname) == 0 ? QString::fromUtf8(Uname.release) : QString();
    return LinuxOSDescription(ReadOsRelease(), Release);
}

quint64 GetTotalPhysicalMemoryKB()
{
    struct sysinfo Info
    {
    };
    if (sysinfo(&Info) != 0) {
        return 0;
    }
    const quint64 Unit = Info.mem_unit == 0 ? 1 : Info.mem_unit;
    return static_cast<quint64>(Info.totalram) * Unit / 1024;
}
