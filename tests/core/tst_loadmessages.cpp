#include "text/LoadMessages.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TLoadMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void ResultMessages_data();
    void ResultMessages();
    void LegacyReadError_data();
    void LegacyReadError();
    void FormatPlaceholders_data();
    void FormatPlaceholders();
};

void TLoadMessagesTest::ResultMessages_data()
{
    QTest::addColumn<int>("Result");
    QTest::addColumn<quint32>("FileVersion");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("newer version") << 256 << quint32(0x02070500) << u"This project demands Veltrane 2.7.5"_s;
    QTest::newRow("version bytes at their limits")
        << 256 << quint32(0xFF0A00FF) << u"This project demands Veltrane 255.10.0"_s;
    QTest::newRow("structure") << 768 << quint32(0) << u"Incorrect project structure"_s;
    QTest::newRow("wrong file") << 1024 << quint32(0) << u"Wrong project file"_s;
    QTest::newRow("no access") << 1280 << quint32(0)
                               << u"Veltrane can not get access to the project's file"_s;
    QTest::newRow("success") << 0 << quint32(0x02070500) << QString();
    QTest::newRow("other failure") << 512 << quint32(0) << QString();
    QTest::newRow("negative") << -1 << quint32(0) << QString();
}

void TLoadMessagesTest::ResultMessages()
{
    QFETCH(int, Result);
    QFETCH(quint32, FileVersion);
    QFETCH(QString, Expected);

    QCOMPARE(LoadResultMessage(Result, FileVersion), Expected);
}

void TLoadMessagesTest::LegacyReadError_data()
{
    QTest::addColumn<QString>("FileName");
    QTest::addColumn<QString>("ShownName");

    QTest::newRow("windows path") << u"D:\\disc\\Shell\\veltrane.apr"_s << u"veltrane.apr"_s;
    QTest::newRow("bare name") << u"veltrane.apr"_s << u"veltrane.apr"_s;
#ifndef Q_OS_WIN
    QTest::newRow("posix path") << u"/media/disc/Shell/old.apr"_s << u"old.apr"_s;
#endif
    // Placeholders inside the name are text, not places to fill.
    QTest::newRow("name with %s") << u"D:\\x\\%s%1.apr"_s << u"%s%1.apr"_s;
}

void TLoadMessagesTest::LegacyReadError()
{
    QFETCH(QString, FileName);
    QFETCH(QString, ShownName);

    const QString Text =
        LegacyReadErrorMessage(u"An error occured while reading the file.%sPossible reasons:"_s,
                               u"- file %s is not a %s project or have invalid format;"_s,
                               u"- file was created by newer version of program."_s, FileName);
    const QString Expected = u"An error occured while reading the file.\rPossible reasons:\r- file "_s +
                             ShownName +
                             u" is not a Veltrane project or have invalid format;\r"
                             u"- file was created by newer version of program.";
    QCOMPARE(Text, Expected);
}

void TLoadMessagesTest::FormatPlaceholders_data()
{
    QTest::addColumn<QString>("Template");
    QTest::addColumn<QStringList>("Args");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("in order") << u"%s and %s"_s << QStringList{u"a"_s, u"b"_s} << u"a and b"_s;
    QTest::newRow("argument holding %s") << u"[%s|%s]"_s << QStringList{u"%s"_s, u"x"_s} << u"[%s|x]"_s;
    QTest::newRow("too few arguments") << u"%s, %s"_s << QStringList{u"a"_s} << u"a, %s"_s;
    QTest::newRow("extra arguments ignored") << u"%s"_s << QStringList{u"a"_s, u"b"_s} << u"a"_s;
    QTest::newRow("percent escape") << u"100%% %s"_s << QStringList{u"done"_s} << u"100% done"_s;
    QTest::newRow("other placeholders kept") << u"%d %1 %"_s << QStringList{u"a"_s} << u"%d %1 %"_s;
    QTest::newRow("empty argument") << u"<%s>"_s << QStringList{QString()} << u"<>"_s;
}

void TLoadMessagesTest::FormatPlaceholders()
{
    QFETCH(QString, Template);
    QFETCH(QStringList, Args);
    QFETCH(QString, Expected);

    QString Result;
    switch (Args.size()) {
    case 1:
        Result = FormatS(Template, {Args[0]});
        break;
    case 2:
        Result = FormatS(Template, {Args[0], Args[1]});
        break;
    default:
        QFAIL("unexpected argument count");
    }
    QCOMPARE(Result, Expected);
}

QTEST_GUILESS_MAIN(TLoadMessagesTest)
#include "tst_loadmessages.moc"
