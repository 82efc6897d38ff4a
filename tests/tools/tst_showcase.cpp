// The showcase program draws its window into a PNG picture off screen: the window's size, its colour,
// and the disabled skin image in grey.

#include "ShowcaseForm.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestShowcase : public QObject
{
    Q_OBJECT

private slots:
    void writesThePicture();
    void refusesUnknownArguments();
};

void TestShowcase::writesThePicture()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString File = Dir.filePath(u"showcase.png"_s);
    QProcess P;
    P.start(QStringLiteral(SHOWCASE_PATH), {u"--png"_s, File});
    QVERIFY(P.waitForFinished(60000));
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 0);

    const QImage Shot(File);
    QVERIFY(!Shot.isNull());
    QCOMPARE(Shot.size(), ShowcaseSize);
    const QColor Window(ShowcaseColor & 0xFF, (ShowcaseColor >> 8) & 0xFF, (ShowcaseColor >> 16) & 0xFF);
    QCOMPARE(Shot.pixelColor(Shot.width() - 2, Shot.height() - 2), Window);
    // The third skin image is disabled without a picture of its own: its plate is grey, where the
    // first one's is not.
    const QPoint Plate(20 + 14 + 36, 56 + 16);
    const QColor Shown = Shot.pixelColor(Plate);
    const QColor Grey = Shot.pixelColor(Plate + QPoint(2 * 96, 0));
    QVERIFY(Shown.red() != Shown.blue());
    QCOMPARE(Grey.red(), Grey.green());
    QCOMPARE(Grey.green(), Grey.blue());
}

void TestShowcase::refusesUnknownArguments()
{
    QProcess P;
    P.start(QStringLiteral(SHOWCASE_PATH), {u"--jpeg"_s});
    QVERIFY(P.waitForFinished(60000));
    QCOMPARE(P.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestShowcase)
#include "tst_showcase.moc"
