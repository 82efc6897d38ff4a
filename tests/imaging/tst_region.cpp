// The shaped splash window's region: every pixel whose colour differs from the top-left one, built
// row by row. Pictures are drawn as text: '.' the key colour, '#' another colour, 'o' a colour that
// differs from the key in one byte only.

#include "Region.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using TRects = QList<QRect>;

QImage Picture(const QStringList& Rows, QImage::Format Format = QImage::Format_RGB32)
{
    const int W = Rows.isEmpty() ? 0 : int(Rows[0].size());
    QImage Img(W, int(Rows.size()), Format);
    for (int Y = 0; Y < Rows.size(); ++Y)
        for (int X = 0; X < W; ++X) {
            const QChar C = Rows[Y][X];
            Img.setPixel(X, Y, C == u'.' ? qRgb(10, 20, 30) : C == u'o' ? qRgb(10, 20, 31) : qRgb(200, 0, 0));
        }
    return Img;
}

// The region by its definition: one rectangle per run of each row, united.
QRegion ByDefinition(const QImage& Img)
{
    QRegion R;
    const QRgb Key = Img.pixel(0, 0) & 0xFFFFFF;
    for (int Y = 0; Y < Img.height(); ++Y)
        for (int X = 0; X < Img.width(); ++X)
            if ((Img.pixel(X, Y) & 0xFFFFFF) != Key)
                R += QRect(X, Y, 1, 1);
    return R;
}

} // namespace

class TestRegion : public QObject
{
    Q_OBJECT

private slots:
    void region_data();
    void region();
    void emptyBitmap();
    void alphaIsIgnored();
};

void TestRegion::region_data()
{
    QTest::addColumn<QStringList>("Rows");
    QTest::addColumn<TRects>("Expected"); // the rectangles the region is made of, in order
    QTest::newRow("all key colour") << QStringList{u"..."_s, u"..."_s} << TRects{};
    QTest::newRow("one pixel") << QStringList{u"..."_s, u".#."_s} << TRects{QRect(1, 1, 1, 1)};
    QTest::newRow("run to the right edge belongs to its row")
        << QStringList{u"..##"_s, u"...."_s} << TRects{QRect(2, 0, 2, 1)};
    QTest::newRow("two runs in a row")
        << QStringList{u".#.##."_s} << TRects{QRect(1, 0, 1, 1), QRect(3, 0, 2, 1)};
    QTest::newRow("equal rows share a rectangle")
        << QStringList{u"....."_s, u".##.#"_s, u".##.#"_s, u".##.#"_s, u"....."_s}
        << TRects{QRect(1, 1, 2, 3), QRect(4, 1, 1, 3)};
    QTest::newRow("rows that differ are bands of their own")
        << QStringList{u"...."_s, u".##."_s, u".###"_s} << TRects{QRect(1, 1, 2, 1), QRect(1, 2, 3, 1)};
    QTest::newRow("key colour inside the logo is a hole")
        << QStringList{u"....."_s, u".###."_s, u".#.#."_s, u".###."_s}
        << TRects{QRect(1, 1, 3, 1), QRect(1, 2, 1, 1), QRect(3, 2, 1, 1), QRect(1, 3, 3, 1)};
    QTest::newRow("one byte different is different") << QStringList{u".o"_s} << TRects{QRect(1, 0, 1, 1)};
    QTest::newRow("top-left decides: a dark key")
        << QStringList{u"#.."_s, u"##."_s} << TRects{QRect(1, 0, 2, 1), QRect(2, 1, 1, 1)};
}

void TestRegion::region()
{
    QFETCH(QStringList, Rows);
    QFETCH(TRects, Expected);
    const QImage Img = Picture(Rows);
    const QRegion R = RegionFromBitmap(Img);
    TRects Actual(R.begin(), R.end());
    QCOMPARE(Actual, Expected);
    // The same pixels as uniting every pixel, and a region that QRegion's own operations accept.
    const QRegion Defined = ByDefinition(Img);
    QVERIFY(R.xored(Defined).isEmpty());
    QCOMPARE(R.boundingRect(), Defined.boundingRect());
    QCOMPARE(R.united(Defined).subtracted(R), QRegion());
    for (int Y = 0; Y < Img.height(); ++Y)
        for (int X = 0; X < Img.width(); ++X)
            QCOMPARE(R.contains(QPoint(X, Y)), Defined.contains(QPoint(X, Y)));
}

void TestRegion::emptyBitmap()
{
    QVERIFY(RegionFromBitmap(QImage()).isEmpty());
    QVERIFY(RegionFromBitmap(QImage(0, 5, QImage::Format_RGB32)).isEmpty());
}

void TestRegion::alphaIsIgnored()
{
    // Only the colour counts, as in a 24-bit bitmap; other formats are read the same way.
    QImage Img = Picture({u".#"_s}, QImage::Format_ARGB32);
    Img.setPixel(0, 0, qRgba(10, 20, 30, 255));
    const QRegion From24 = RegionFromBitmap(Picture({u".#"_s}).convertToFormat(QImage::Format_RGB888));
    QCOMPARE(RegionFromBitmap(Img), QRegion(1, 0, 1, 1));
    QCOMPARE(From24, QRegion(1, 0, 1, 1));
}

QTEST_GUILESS_MAIN(TestRegion)
#include "tst_region.moc"
