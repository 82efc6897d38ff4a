#include "BlockDevice.h"
#include "FakeVolumeProvider.h"
#include "Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TVolumesTest : public QObject
{
    Q_OBJECT

private slots:
    void DiskOfDevice_data();
    void DiskOfDevice();
    void RemovableFromSysfs_data();
    void RemovableFromSysfs();
    void HomeComesFirst();
    void FreeBytesAndReadiness();
    void FakeReplacesSystemProvider();
};

void TVolumesTest::DiskOfDevice_data()
{
    QTest::addColumn<QString>("Device");
    QTest::addColumn<QString>("Disk");

    QTest::newRow("sata partition") << u"/dev/sda1"_s << u"sda"_s;
    QTest::newRow("sata disk") << u"/dev/sda"_s << u"sda"_s;
    QTest::newRow("many disks") << u"/dev/sdab12"_s << u"sdab"_s;
    QTest::newRow("virtio partition") << u"/dev/vda3"_s << u"vda"_s;
    QTest::newRow("virtio disk") << u"/dev/vda"_s << u"vda"_s;
    QTest::newRow("xen partition") << u"/dev/xvdb1"_s << u"xvdb"_s;
    QTest::newRow("ide partition") << u"/dev/hda2"_s << u"hda"_s;
    QTest::newRow("nvme partition") << u"/dev/nvme0n1p2"_s << u"nvme0n1"_s;
    QTest::newRow("nvme disk") << u"/dev/nvme0n1"_s << u"nvme0n1"_s;
    QTest::newRow("nvme high numbers") << u"/dev/nvme10n12p15"_s << u"nvme10n12"_s;
    QTest::newRow("sd card partition") << u"/dev/mmcblk0p1"_s << u"mmcblk0"_s;
    QTest::newRow("sd card") << u"/dev/mmcblk0"_s << u"mmcblk0"_s;
    QTest::newRow("loop partition") << u"/dev/loop0p1"_s << u"loop0"_s;
    QTest::newRow("loop device") << u"/dev/loop3"_s << u"loop3"_s;
    QTest::newRow("device mapper") << u"/dev/dm-0"_s << u"dm-0"_s;
    QTest::newRow("optical drive") << u"/dev/sr0"_s << u"sr0"_s;
    QTest::newRow("raid") << u"/dev/md127"_s << u"md127"_s;
    QTest::newRow("mapper link") << u"/dev/mapper/vg-root"_s << QString();
    QTest::newRow("label link") << u"/dev/disk/by-label/USB"_s << QString();
    QTest::newRow("tmpfs") << u"tmpfs"_s << QString();
    QTest::newRow("network share") << u"server:/export"_s << QString();
    QTest::newRow("bare dev") << u"/dev/"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TVolumesTest::DiskOfDevice()
{
    QFETCH(QString, Device);
    QFETCH(QString, Disk);
    QCOMPARE(::DiskOfDevice(Device), Disk);
}

void TVolumesTest::RemovableFromSysfs_data()
{
    QTest::addColumn<QString>("Disk");
    QTest::addColumn<bool>("Removable");

    QTest::newRow("removable") << u"sdb"_s << true;
    QTest::newRow("fixed") << u"sda"_s << false;
    QTest::newRow("optical") << u"sr0"_s << true;
    QTest::newRow("unreadable value") << u"odd"_s << false;
    QTest::newRow("not in the tree") << u"sdz"_s << false;
    QTest::newRow("no disk") << QString() << false;
    QTest::newRow("climbing out") << u".."_s << false;
}

void TVolumesTest::RemovableFromSysfs()
{
    QFETCH(QString, Disk);
    QFETCH(bool, Removable);

    QTemporaryDir Temp;
    QVERIFY(Temp.isValid());
    // A "removable" file above the tree must not be read through "..".
    const QString Tree = Temp.filePath(u"block"_s);
    const QList<std::pair<QString, QByteArray>> Files{{u"block/sda/removable"_s, "0\n"},
                                                      {u"block/sdb/removable"_s, "1\n"},
                                                      {u"block/sr0/removable"_s, "1"},
                                                      {u"block/odd/removable"_s, "yes\n"},
                                                      {u"removable"_s, "1\n"}};
    for (const auto& [Name, Bytes] : Files) {
        QVERIFY(QDir().mkpath(QFileInfo(Temp.filePath(Name)).absolutePath()));
        QFile File(Temp.filePath(Name));
        QVERIFY(File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size());
    }
    QCOMPARE(IsRemovableDisk(Disk, Tree), Removable);
}

void TVolumesTest::HomeComesFirst()
{
    const auto Provider = CreatePlatformVolumeProvider();
    const QList<TVolume> Volumes = Provider->Volumes();
    QVERIFY(!Volumes.isEmpty());
    QCOMPARE(Volumes[0].RootPath, QDir::cleanPath(QDir::homePath()));
    QVERIFY(Volumes[0].IsHome);
    QVERIFY(Volumes[0].Fixed);

    QSet<QString> Roots;
    for (const TVolume& Volume : Volumes) {
        QVERIFY2(QFileInfo(Volume.RootPath).isDir(), qPrintable(Volume.RootPath));
        QVERIFY2(!Roots.contains(Volume.RootPath), qPrintable(Volume.RootPath));
        QVERIFY2(Volume.RootPath == u"/"_s || !Volume.RootPath.endsWith(u'/'), qPrintable(Volume.RootPath));
        QVERIFY(Provider->IsReady(Volume.RootPath));
        Roots.insert(Volume.RootPath);
        if (&Volume != &Volumes[0]) {
            QVERIFY(!Volume.IsHome);
            // Kernel file systems are never offered.
            QVERIFY2(!Volume.RootPath.startsWith(u"/proc"_s) && !Volume.RootPath.startsWith(u"/sys"_s),
                     qPrintable(Volume.RootPath));
        }
    }
}

void TVolumesTest::FreeBytesAndReadiness()
{
    const auto Provider = CreatePlatformVolumeProvider();
    const QString Home = QDir::homePath();
    QVERIFY(Provider->FreeBytes(Home) > 0);
    QVERIFY(Provider->IsReady(Home));

    QTemporaryDir Temp;
    QVERIFY(Temp.isValid());
    const QString Missing = Temp.filePath(u"missing/deeper"_s);
    QCOMPARE(Provider->FreeBytes(Missing), qint64(0));
    QVERIFY(!Provider->IsReady(Missing));
    QCOMPARE(Provider->FreeBytes(QString()), qint64(0));
    QVERIFY(!Provider->IsReady(QString()));
}

void TVolumesTest::FakeReplacesSystemProvider()
{
    IVolumeProvider* const System = &VolumeProvider();
    const auto Restore = qScopeGuard([] { SetVolumeProvider(nullptr); });

    TFakeVolumeProvider Fake;
    TVolume Home;
    Home.RootPath = u"/home/ann"_s;
    Home.IsHome = true;
    TVolume Stick;
    Stick.RootPath = u"/media/ann/STICK"_s;
    Stick.Label = u"STICK"_s;
    Stick.Fixed = false;
    Fake.List = {Home, Stick};
    Fake.Free.insert(u"/home/ann"_s, 5'000'000'000);
    Fake.NotReady.insert(u"/media/ann/STICK"_s);

    SetVolumeProvider(&Fake);
    QCOMPARE(&VolumeProvider(), static_cast<IVolumeProvider*>(&Fake));
    const QList<TVolume> Volumes = VolumeProvider().Volumes();
    QCOMPARE(Volumes.size(), 2);
    QCOMPARE(Volumes[1].RootPath, u"/media/ann/STICK"_s);
    QCOMPARE(Volumes[1].Label, u"STICK"_s);
    QVERIFY(!Volumes[1].Fixed);
    QCOMPARE(VolumeProvider().FreeBytes(u"/home/ann"_s), qint64(5'000'000'000));
    QCOMPARE(VolumeProvider().FreeBytes(u"/media/ann/STICK"_s), qint64(0));
    QVERIFY(VolumeProvider().IsReady(u"/home/ann"_s));
    QVERIFY(!VolumeProvider().IsReady(u"/media/ann/STICK"_s));

    SetVolumeProvider(nullptr);
    QCOMPARE(&VolumeProvider(), System);
    QVERIFY(VolumeProvider().Volumes()[0].IsHome);
}

QTEST_GUILESS_MAIN(TVolumesTest)
#include "tst_volumes.moc"
