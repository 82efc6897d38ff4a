#pragma once

#include <QString>
#include <QStringView>

// Linux block devices as the kernel names them below /sys/block, for telling fixed disks from
// removable ones.

// The whole disk a device file belongs to: "/dev/sda1" and "/dev/sda" give "sda", "/dev/nvme0n1p2"
// gives "nvme0n1", "/dev/mmcblk0p1" gives "mmcblk0"; devices without partitions ("/dev/dm-0",
// "/dev/sr0") give their own name. "" for anything that is not a device file directly below /dev
// ("tmpfs", "server:/export", "/dev/mapper/root" before its link is resolved).
QString DiskOfDevice(QStringView Device);

// Whether the kernel reports Disk as removable ("1" in SysBlockDir/<disk>/removable). A disk it
// says nothing about counts as fixed.
bool IsRemovableDisk(const QString& Disk, const QString& SysBlockDir);
