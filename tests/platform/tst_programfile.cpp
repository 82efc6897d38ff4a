// Which files are programs: the rule by what a file shows, the file systems whose execute bits say
// nothing, and the rule applied to real files.

#include "ProgramFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TProgramKind)

class TProgramFileTest : public QObject
{
    Q_OBJECT

private slots:
    void ClassifiesByWhatTheFileShows_data();
    void ClassifiesByWhatTheFileShows();
    void ScriptsNameTheirInterpreter();
    void FileSystemsWithoutExecuteBits_data();
    void FileSystemsWithoutExecuteBits();
    void ReadsTheMountTable();
    void ClassifiesRealFiles();
};

void TProgramFileTest::ClassifiesByWhatTheFileShows_data()
{
    QTest::addColumn<QByteArray>("Head");
    QTest::addColumn<QString>("Name");
    QTest::addColumn<bool>("ExecuteBit");
    QTest::addColumn<bool>("BitsKept");
    QTest::addColumn<TProgramKind>("Kind");

    const QByteArray Elf("\x7f"
                         "ELF\x02\x01\x01",
                         7);
    const QByteArray Script("#!/bin/sh\necho hi\n");
    // Programs.
    QTest::newRow("ELF") << Elf << u"tool"_s << true << true << pkNativeProgram;
    // It is still a program; starting it fails for want of the bit.
    QTest::newRow("ELF without execute bit") << Elf << u"tool"_s << false << true << pkNativeProgram;
    QTest::newRow("script with execute bit") << Script << u"install"_s << true << true << pkScript;
    QTest::newRow("script with execute bit, any name") << Script << u"readme.txt"_s << true << true << pkScript;
    QTest::newRow(".sh where bits are not kept") << Script << u"SETUP.SH"_s << true << false << pkScript;
    QTest::newRow(".sh without #! where bits are not kept")
        << QByteArray("echo hi\n") << u"setup.sh"_s << true << false << pkScript;
    QTest::newRow(".sh without #!, execute bit") << QByteArray("echo hi\n") << u"setup.sh"_s << true << true
                                                << pkScript;
    // Windows programs, by their start or their name.
    QTest::newRow("MZ") << QByteArray("MZ\x90\0", 4) << u"setup.bin"_s << false << true << pkWindowsProgram;
    QTest::newRow(".exe") << QByteArray() << u"Setup.EXE"_s << false << true << pkWindowsProgram;
    QTest::newRow(".msi") << QByteArray("\xd0\xcf\x11\xe0") << u"setup.msi"_s << false << true
                          << pkWindowsProgram;
    QTest::newRow(".bat") << QByteArray("@echo off\r\n") << u"run.bat"_s << true << false << pkWindowsProgram;
    // Documents, whatever their first line or execute bit.
    QTest::newRow("script without execute bit") << Script << u"install"_s << false << true << pkDocument;
    QTest::newRow(".sh without execute bit") << Script << u"setup.sh"_s << false << true << pkDocument;
    QTest::newRow("#! text where bits are not kept") << Script << u"readme.txt"_s << true << false << pkDocument;
    QTest::newRow("#! without a name where bits are not kept")
        << Script << u"install"_s << true << false << pkDocument;
    QTest::newRow("text with execute bit") << QByteArray("plain\n") << u"notes"_s << true << true << pkDocument;
    QTest::newRow("PDF on FAT") << QByteArray("%PDF-1.4") << u"a.pdf"_s << true << false << pkDocument;
    QTest::newRow("#! with no interpreter") << QByteArray("#!\n") << u"x"_s << true << true << pkDocument;
    QTest::newRow("a name that is only the extension") << QByteArray() << u".exe"_s << false << true
                                                       << pkDocument;
    QTest::newRow("empty") << QByteArray() << u"empty"_s << true << true << pkDocument;
}

void TProgramFileTest::ClassifiesByWhatTheFileShows()
{
    QFETCH(QByteArray, Head);
    QFETCH(QString, Name);
    QFETCH(bool, ExecuteBit);
    QFETCH(bool, BitsKept);
    QFETCH(TProgramKind, Kind);
    QCOMPARE(ClassifyProgramFile(Head, Name, ExecuteBit, BitsKept).Kind, Kind);
}

void TProgramFileTest::ScriptsNameTheirInterpreter()
{
    const TProgramFile Env = ClassifyProgramFile("#! /usr/bin/env  python3 \nprint()\n", u"run", true, true);
    QCOMPARE(Env.Interpreter, u"/usr/bin/env"_s);
    QCOMPARE(Env.InterpreterArgument, u"python3"_s);
    const TProgramFile Bare = ClassifyProgramFile("echo hi\n", u"go.sh", true, false);
    QCOMPARE(Bare.Interpreter, u"/bin/sh"_s);
    QVERIFY(Bare.InterpreterArgument.isEmpty());
}

void TProgramFileTest::FileSystemsWithoutExecuteBits_data()
{
    QTest::addColumn<QString>("Type");
    QTest::addColumn<QString>("Options");
    QTest::addColumn<bool>("Kept");

    QTest::newRow("ext4") << u"ext4"_s << u"rw"_s << true;
    QTest::newRow("tmpfs") << u"tmpfs"_s << u"rw,size=100k"_s << true;
    QTest::newRow("FAT") << u"vfat"_s << u"rw,fmask=0022,dmask=0022"_s << false;
    QTest::newRow("exFAT") << u"exfat"_s << u"rw"_s << false;
    QTest::newRow("NTFS through FUSE") << u"fuseblk"_s << u"rw,user_id=0"_s << false;
    QTest::newRow("ISO 9660 read without Rock Ridge") << u"iso9660"_s << u"ro,norock,check=r"_s << false;
    QTest::newRow("ISO 9660 with Rock Ridge") << u"iso9660"_s << u"ro,nojoliet,check=s,map=n"_s << true;
    QTest::newRow("an option that only begins like it") << u"iso9660"_s << u"ro,norockridge"_s << true;
}

void TProgramFileTest::FileSystemsWithoutExecuteBits()
{
    QFETCH(QString, Type);
    QFETCH(QString, Options);
    QFETCH(bool, Kept);
    QCOMPARE(FileSystemKeepsExecuteBits(Type, Options), Kept);
}

void TProgramFileTest::ReadsTheMountTable()
{
    const QByteArray Table = "21 27 0:20 / /proc rw,relatime - proc proc rw\n"
                             "40 27 7:0 / /media/My\\040Disc ro,relatime shared:7 - iso9660 /dev/loop0 "
                             "ro,norock,check=r,map=n,blocksize=2048\n"
                             "41 27 7:1 / /media/cd ro - iso9660 /dev/sr0 ro,nojoliet\n"
                             "42 27 7:2 / /media/cd ro - iso9660 /dev/sr1 ro,norock\n"
                             "broken line - x\n";
    // Blanks in a mount point are escaped; optional fields come before the separator.
    QCOMPARE(MountSuperOptions(Table, "/media/My Disc"), u"ro,norock,check=r,map=n,blocksize=2048"_s);
    // Mounted over: the last mount counts.
    QCOMPARE(MountSuperOptions(Table, "/media/cd"), u"ro,norock"_s);
    QCOMPARE(MountSuperOptions(Table, "/media"), QString());
}

void TProgramFileTest::ClassifiesRealFiles()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    // The temporary folder keeps execute bits: the bit decides for a script.
    QVERIFY(ExecuteBitsKept(Dir.path()));
    const auto Write = [&](const QString& Name, const QByteArray& Bytes, bool Executable) {
        QFile File(Dir.filePath(Name));
        QVERIFY(File.open(QIODevice::WriteOnly));
        QCOMPARE(File.write(Bytes), Bytes.size());
        File.close();
        QFile::Permissions Mode = QFile::ReadOwner | QFile::WriteOwner;
        if (Executable) {
            Mode |= QFile::ExeOwner;
        }
        QVERIFY(File.setPermissions(Mode));
    };
    Write(u"run.sh"_s, "#!/bin/sh\n", true);
    Write(u"readme.txt"_s, "#!/bin/sh\n", false);
    QVERIFY(QFile::copy(u"/bin/sh"_s, Dir.filePath(u"tool"_s)));

    QCOMPARE(ProgramKind(Dir.filePath(u"run.sh"_s)), pkScript);
    QCOMPARE(ClassifyProgramFile(Dir.filePath(u"run.sh"_s)).Interpreter, u"/bin/sh"_s);
    QCOMPARE(ProgramKind(Dir.filePath(u"readme.txt"_s)), pkDocument);
    QCOMPARE(ProgramKind(Dir.filePath(u"tool"_s)), pkNativeProgram);
    QCOMPARE(ProgramKind(Dir.path()), pkDocument);
    QCOMPARE(ProgramKind(Dir.filePath(u"missing"_s)), pkDocument);
}

QTEST_GUILESS_MAIN(TProgramFileTest)
#include "tst_programfile.moc"
