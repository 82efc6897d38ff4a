// controls.ini re-read while the program runs: the container with the platform's folder watcher.

#include "ControlsWatcher.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestControlsWatcher : public QObject
{
    Q_OBJECT

private slots:
    void rereadsAfterEachKindOfWrite();
};

namespace {

bool WriteFile(const QString& Path, const QByteArray& Bytes)
{
    QFile F(Path);
    return F.open(QIODevice::WriteOnly | QIODevice::Truncate) && F.write(Bytes) == Bytes.size();
}

} // namespace

void TestControlsWatcher::rereadsAfterEachKindOfWrite()
{
    QTemporaryDir Dir;
    const QString Ini = Dir.filePath(u"controls.ini"_s);
    QVERIFY(WriteFile(Ini, "[Form]\r\nCaption=one\r\n"));

    QObject Form;
    Form.setObjectName(u"Form"_s);
    TControlsPropsContainer Container;
    int Changes = 0;
    Container.OnChange = [&](TControlsPropsContainer&) { ++Changes; };
    Container.SetWatcherFactory(PlatformControlsWatcherFactory());
    Container.SetWatch(true);
    Container.LoadFromFile(Ini);
    QVERIFY(Container.Watching());
    auto Caption = [&] {
        const auto Lines = Container.SectionValues(u"Form");
        return Lines.isEmpty() ? QString() : Lines.first().Value;
    };
    QCOMPARE(Caption(), u"one"_s);

    // In place.
    int Before = Changes;
    QVERIFY(WriteFile(Ini, "[Form]\r\nCaption=two\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(Changes > Before && Caption() == u"two"_s, 20000);

    // Written elsewhere and renamed over the file.
    Before = Changes;
    QVERIFY(WriteFile(Dir.filePath(u"controls.tmp"_s), "[Form]\r\nCaption=three\r\n"));
    QVERIFY(QFile::remove(Ini));
    QVERIFY(QFile::rename(Dir.filePath(u"controls.tmp"_s), Ini));
    QTRY_VERIFY_WITH_TIMEOUT(Changes > Before && Caption() == u"three"_s, 20000);

    // Removed, then made anew.
    QVERIFY(QFile::remove(Ini));
    Before = Changes;
    QVERIFY(WriteFile(Ini, "[Form]\r\nCaption=four\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(Changes > Before && Caption() == u"four"_s, 20000);
}

QTEST_GUILESS_MAIN(TestControlsWatcher)
#include "tst_controlswatcher.moc"
