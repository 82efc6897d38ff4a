// controls.ini re-read while the program runs: the container with the platform's folder watcher.

#include "ControlsWatcher.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestControlsWatcher : public QObject
{
    Q_OBJECT

private slots:
    void rereadsAfterEachKindOfWrite();
    void writeStormEndsWithLastContent_data();
    void writeStormEndsWithLastContent();
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

void TestControlsWatcher::writeStormEndsWithLastContent_data()
{
    QTest::addColumn<bool>("InPlace");
    QTest::addColumn<bool>("Renamed");
    QTest::newRow("in place") << true << false;
    QTest::newRow("saved and renamed") << false << true;
    QTest::newRow("both, alternating") << true << true;
}

// A design tool saving as fast as it can: the watcher may see any number of the writes, read a file
// half written or gone for a moment, but must neither crash nor stall, and must end on the last one.
void TestControlsWatcher::writeStormEndsWithLastContent()
{
    QFETCH(bool, InPlace);
    QFETCH(bool, Renamed);
    QTemporaryDir Dir;
    const QString Ini = Dir.filePath(u"controls.ini"_s);
    QVERIFY(WriteFile(Ini, "[Form]\r\nCaption=start\r\n"));

    TControlsPropsContainer Container;
    Container.SetWatcherFactory(PlatformControlsWatcherFactory());
    Container.SetWatch(true);
    Container.LoadFromFile(Ini);
    QVERIFY(Container.Watching());
    auto Caption = [&] {
        const auto Lines = Container.SectionValues(u"Form");
        return Lines.size() != 2 ? QString() : Lines.first().Value.trimmed() + u'/' + Lines.last().Value;
    };

    constexpr int Writes = 1000;
    for (int I = 0; I < Writes; ++I) {
        // Longer and shorter contents in turn, so that a half-written file reads differently.
        const QByteArray Content = "[Form]\r\nCaption=" + QByteArray::number(I) + QByteArray(I % 7 * 50, ' ') +
                                   "\r\nColor=" + QByteArray::number(I) + "\r\n";
        const bool ThisInPlace = InPlace && (!Renamed || I % 2 == 0);
        if (ThisInPlace) {
            QVERIFY(WriteFile(Ini, Content));
        } else {
            QSaveFile Save(Ini);
            QVERIFY(Save.open(QIODevice::WriteOnly));
            QCOMPARE(Save.write(Content), Content.size());
            QVERIFY(Save.commit());
        }
        // Now and then the window gets to run, so that re-reads overlap the writes.
        if (I % 50 == 0) {
            QCoreApplication::processEvents();
        }
    }
    const QString Last = QString::number(Writes - 1);
    QTRY_COMPARE_WITH_TIMEOUT(Caption(), Last + u'/' + Last, 20000);
    QVERIFY(Container.Watching());
}

QTEST_GUILESS_MAIN(TestControlsWatcher)
#include "tst_controlswatcher.moc"
