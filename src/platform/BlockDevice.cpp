#include "BlockDevice.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

QString DiskOfDevice(QStringView Device)
{
    constexpr QStringView Prefix = u"/dev/";
    if (!Device.startsWith(Prefix)) {
        return {};
    }
    const QString Name = Device.sliced(Prefix.size()).toString();
    if (Name.isEmpty() || Name.contains(u'/')) {
        return {};
    }
    // A name ending in a digit takes "p" before its partition number: nvme0n1p2, mmcblk0p1, loop0p1.
    static const QRegularExpression NumberedDisk(u"^(.*[0-9])p[0-9]+$"_s);
    // Letter-named disks put the partition number right after the letters: sda1, vdb2, xvda1.
    static const QRegularExpression LetteredDisk(u"^((?:sd|hd|vd|xvd)[a-z]+)[0-9]+$"_s);
    for (const QRegularExpression* Pattern : {&NumberedDisk, &LetteredDisk}) {
        const QRegularExpressionMatch Match = Pattern->match(Name);
        if (Match.hasMatch()) {
            return Match.captured(1);
        }
    }
    return Name;
}

bool IsRemovableDisk(const QString& Disk, const QString& SysBlockDir)
{
    if (Disk.isEmpty() || Disk.contains(u'/') || Disk == u".."_s) {
        return false;
    }
    QFile File(SysBlockDir + u'/' + Disk + u"/removable"_s);
    if (!File.open(QIODevice::ReadOnly)) {
        return false;
    }
    return File.read(16).trimmed() == "1";
}
