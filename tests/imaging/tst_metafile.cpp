// Metafiles: sizes, and what playing them draws, checked by probing pixels well inside each shape
// (edges are left to the painter's rasterisation), and thin shapes against a golden picture. Text is checked
// only for ink, never for glyph shapes. Runs with a QGuiApplication on the offscreen platform for the fonts.

#include "ImageCompare.h"
#include "Metafile.h"

#include "TestBytes.h"
#include <QGuiApplication>
#include <QPainter>

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QByteArray Record(quint16 Function, const QList<qint32>& Words, const QByteArray& Raw = {})
{
    QByteArray Params;
    for (qint32 W : Words)
        Params += LE16(W);
    Params += Raw;
    if (Params.size() % 2)
        Params += '\0';
    return LE32(quint32(3 + Params.size() / 2)) + LE16(Function) + Params;
}

// A placeable WMF of Width x Height units, Inch units an inch (by default one unit a pixel).
QByteArray PlaceableWmf(int Width, int Height, const QByteArray& Records, int Inch = 96)
{
    const QByteArray Header = LE32(0x9AC6CDD7) + LE16(0) + LE16(0) + LE16(0) + LE16(Width) + LE16(Height) +
                              LE16(Inch) + LE32(0) + LE16(0);
    return Header + LE16(1) + LE16(9) + LE16(0x300) + LE32(0) + LE16(8) + LE32(0) + LE16(0) + Records +
           Record(0, {});
}

QByteArray Emr(quint32 Type, QByteArray Payload)
{
    while (Payload.size() % 4)
        Payload += '\0';
    return LE32(Type) + LE32(quint32(8 + Payload.size())) + Payload;
}

QByteArray I32s(const QList<qint32>& Values)
{
    QByteArray Out;
    for (qint32 V : Values)
        Out += LE32(quint32(V));
    return Out;
}

// An EMF of Px x Px pixels on a reference device of 96 pixels an inch, one logical unit a pixel.
QByteArray Emf(int Px, const QByteArray& Records)
{
    const qint32 Frame = Px * 2540 / 96;
    const QByteArray Header = I32s({0, 0, Px - 1, Px - 1, 0, 0, Frame, Frame}) + LE32(0x464D4520) +
                              LE32(0x10000) + LE32(0) + LE32(0) + LE16(8) + LE16(0) + LE32(0) + LE32(0) +
                              LE32(0) + I32s({960, 960, 254, 254});
    return Emr(1, Header) + Records + Emr(14, I32s({0, 0, 20}));
}

std::unique_ptr<TGraphic> Load(const QString& Name)
{
    TGraphicLoad L = LoadGraphic(ImagingData(Name));
    return std::move(L.Graphic);
}

using TProbe = QPair<QPoint, QRgb>;
using TProbes = QList<TProbe>;

const QRgb White = qRgb(255, 255, 255);

} // namespace

Q_DECLARE_METATYPE(TProbe)

class TestMetafile : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void probes_data();
    void probes();
    void scaled();
    void text();
    void nothingOutsideTarget();
    void hatchedBrushAndDashedPen();
    void recordsTooShortAreSkipped();
    void clipPath();
    void thinShapesAreSmoothAndWhole();
};

void TestMetafile::sizes_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<QSize>("Size");
    QTest::addColumn<int>("Records");
    // 1500 x 1200 units at 1440 an inch is 100 x 80 pixels at 96 an inch.
    QTest::newRow("placeable wmf") << u"metafiles/shapes.wmf"_s << QSize(100, 80) << 21;
    QTest::newRow("wmf sized by its window") << u"metafiles/no-placeable.wmf"_s << QSize(100, 80) << 21;
    // A frame of 2540 hundredths of a millimetre is one inch: 96 pixels.
    QTest::newRow("emf") << u"metafiles/shapes.emf"_s << QSize(96, 96) << 27;
}

void TestMetafile::sizes()
{
    QFETCH(QString, File);
    QFETCH(QSize, Size);
    QFETCH(int, Records);
    const auto G = Load(File);
    QVERIFY(G);
    QCOMPARE(G->Size(), Size);
    QCOMPARE(dynamic_cast<const TMetafileGraphic*>(G.get())->Records().size(), Records);
}

void TestMetafile::probes_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<TProbes>("Probes");
    const TProbes Wmf{
        {{30, 25}, qRgb(255, 0, 0)},   // rectangle with a null pen
        {{75, 60}, qRgb(0, 0, 255)},   // ellipse, second brush
        {{90, 10}, qRgb(0, 160, 0)},   // polygon with a brush made in the slot freed by a deletion
        {{25, 75}, qRgb(255, 255, 0)}, // a three-unit line
        {{24, 51}, qRgb(255, 0, 255)}, // DIB blit, top half
        {{24, 57}, qRgb(0, 255, 255)}, // DIB blit, bottom half
        {{5, 5}, White},
        {{55, 45}, White},
    };
    QTest::newRow("wmf shapes") << u"metafiles/shapes.wmf"_s << Wmf;
    QTest::newRow("wmf without placeable header") << u"metafiles/no-placeable.wmf"_s << Wmf;
    QTest::newRow("emf shapes") << u"metafiles/shapes.emf"_s
                                << TProbes{
                                       {{25, 20}, qRgb(0, 255, 0)}, // rectangle, anisotropic mapping
                                       {{70, 25},
                                        qRgb(0, 0, 255)}, // ellipse after the first brush's deletion
                                       {{25, 60}, qRgb(255, 0, 0)},   // filled path
                                       {{60, 60}, qRgb(0, 0, 0)},     // inside the clip rectangle
                                       {{47, 47}, White},             // outside it
                                       {{75, 55}, White},             // outside it
                                       {{86, 70}, qRgb(255, 128, 0)}, // StretchDIBits after RestoreDC
                                       {{5, 90}, White},
                                   };
    QTest::newRow("emf world transform") << u"metafiles/world.emf"_s
                                         << TProbes{{{50, 30}, qRgb(255, 0, 0)},
                                                    {{45, 45}, qRgb(255, 0, 0)},
                                                    {{30, 15}, White},
                                                    {{50, 55}, White},
                                                    {{20, 5}, White}};
}

void TestMetafile::probes()
{
    QFETCH(QString, File);
    QFETCH(TProbes, Probes);
    const auto G = Load(File);
    QVERIFY(G);
    const QImage Img = G->ToBitmap({}, Qt::white);
    for (const TProbe& P : Probes)
        QVERIFY2(Img.pixel(P.first) == P.second,
                 qPrintable(
                     u"(%1, %2) is #%3"_s.arg(P.first.x()).arg(P.first.y()).arg(Img.pixel(P.first), 8, 16)));
}

void TestMetafile::scaled()
{
    // Drawn at twice the size into a target that does not start at the origin.
    const auto G = Load(u"metafiles/shapes.wmf"_s);
    QImage Img(260, 200, QImage::Format_RGB32);
    Img.fill(Qt::white);
    {
        QPainter P(&Img);
        G->Draw(P, QRectF(30, 20, 200, 160));
    }
    QCOMPARE(Img.pixel(30 + 60, 20 + 50), qRgb(255, 0, 0));
    QCOMPARE(Img.pixel(30 + 150, 20 + 120), qRgb(0, 0, 255));
    QCOMPARE(Img.pixel(30 + 50, 20 + 150), qRgb(255, 255, 0));
    QCOMPARE(Img.pixel(10, 10), White);
}

void TestMetafile::text()
{
    // Bold 20-pixel text from (5, 5): ink near there, none far to the right.
    const auto G = Load(u"metafiles/text.wmf"_s);
    QVERIFY(G);
    QCOMPARE(G->Size(), QSize(120, 40));
    const QImage Img = G->ToBitmap({}, Qt::white);
    int Near = 0, Far = 0;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 120; ++X)
            if (qGray(Img.pixel(X, Y)) < 128)
                (X < 90 ? Near : Far)++;
    QVERIFY2(Near > 30, qPrintable(u"%1 dark pixels"_s.arg(Near)));
    QCOMPARE(Far, 0);
}

void TestMetafile::nothingOutsideTarget()
{
    // A 10 x 10 picture whose black rectangle reaches far beyond its frame.
    const QByteArray Wmf = PlaceableWmf(10, 10,
                                        Record(0x02FC, {0}, LE32(0) + LE16(0)) + Record(0x012D, {0}) +
                                            Record(0x041B, {40, 40, -30, -30}));
    const TGraphicLoad L = LoadGraphicFromData(Wmf, u"a.wmf"_s);
    QVERIFY2(L.Ok(), qPrintable(L.Error));
    QImage Img(30, 30, QImage::Format_RGB32);
    Img.fill(Qt::white);
    {
        QPainter P(&Img);
        L.Graphic->Draw(P, QRectF(10, 10, 10, 10));
    }
    QCOMPARE(Img.pixel(15, 15), qRgb(0, 0, 0));
    QCOMPARE(Img.pixel(5, 5), White);
    QCOMPARE(Img.pixel(25, 25), White);
}

void TestMetafile::hatchedBrushAndDashedPen()
{
    // A hatched brush on an opaque background fills the gaps with the background colour.
    const QByteArray Wmf =
        PlaceableWmf(40, 40,
                     Record(0x0201, {}, LE32(0x0000FF00)) +                // background colour green
                         Record(0x02FC, {2}, LE32(0x000000FF) + LE16(0)) + // red horizontal hatch
                         Record(0x012D, {0}) + Record(0x02FA, {5, 0, 0}, LE32(0)) + Record(0x012D, {1}) +
                         Record(0x041B, {40, 40, 0, 0}));
    const TGraphicLoad L = LoadGraphicFromData(Wmf, u"a.wmf"_s);
    QVERIFY2(L.Ok(), qPrintable(L.Error));
    const QImage Img = L.Graphic->ToBitmap({}, Qt::white);
    int Red = 0, Green = 0;
    for (int Y = 5; Y < 35; ++Y) {
        const QRgb C = Img.pixel(20, Y);
        Red += C == qRgb(255, 0, 0);
        Green += C == qRgb(0, 255, 0);
    }
    QVERIFY(Red > 0);
    QVERIFY(Green > Red);
}

void TestMetafile::recordsTooShortAreSkipped()
{
    // A rectangle record without its parameters and an unknown record are skipped; the next one draws.
    const QByteArray Wmf = PlaceableWmf(10, 10,
                                        Record(0x041B, {1}) + Record(0x1234, {}) +
                                            Record(0x02FC, {0}, LE32(0x00FF0000) + LE16(0)) +
                                            Record(0x012D, {0}) + Record(0x041B, {10, 10, 0, 0}));
    const TGraphicLoad L = LoadGraphicFromData(Wmf, u"a.wmf"_s);
    QVERIFY2(L.Ok(), qPrintable(L.Error));
    QCOMPARE(L.Graphic->ToBitmap({}, Qt::white).pixel(5, 5), qRgb(0, 0, 255));
}

void TestMetafile::clipPath()
{
    // A triangle path becomes the clip; a black rectangle over everything shows only inside it.
    const QByteArray Data =
        Emf(96, Emr(59, {}) + Emr(27, I32s({10, 10})) + Emr(54, I32s({80, 10})) + Emr(54, I32s({10, 80})) +
                    Emr(61, {}) + Emr(60, {}) + Emr(67, LE32(5)) + Emr(37, LE32(0x80000004)) +
                    Emr(37, LE32(0x80000008)) + Emr(43, I32s({0, 0, 96, 96})));
    const TGraphicLoad L = LoadGraphicFromData(Data, u"a.emf"_s);
    QVERIFY2(L.Ok(), qPrintable(L.Error));
    const QImage Img = L.Graphic->ToBitmap({}, Qt::white);
    QCOMPARE(Img.pixel(15, 15), qRgb(0, 0, 0));
    QCOMPARE(Img.pixel(60, 15), qRgb(0, 0, 0));
    QCOMPARE(Img.pixel(50, 50), White);
    QCOMPARE(Img.pixel(5, 5), White);
    QCOMPARE(Img.pixel(90, 90), White);
}

void TestMetafile::thinShapesAreSmoothAndWhole()
{
    // Ten logical units a pixel (960 an inch), a 64 x 64 picture: shapes far thinner than a pixel,
    // as outlines exported as polygons are. A null pen and a black brush.
    QByteArray Records = Record(0x02FA, {5, 0, 0}, LE32(0)) + Record(0x012D, {0}) +
                         Record(0x02FC, {0}, LE32(0) + LE16(0)) + Record(0x012D, {1});
    // A strip half a pixel thick, at a shallow slope.
    Records += Record(0x0324, {4, 20, 20, 620, 320, 620, 325, 20, 25});
    // A fan of strips 0.3 pixel wide, as the strokes of a letter.
    for (int I = 0; I < 5; ++I)
        Records += Record(0x0324, {4, 450, 380, 300 + 70 * I, 620, 303 + 70 * I, 620, 453, 380});
    // A hairline: a pen 0.3 pixel wide.
    Records += Record(0x02FA, {0, 3, 0}, LE32(0)) + Record(0x012D, {2}) + Record(0x0214, {360, 40}) +
               Record(0x0213, {620, 200});
    const TGraphicLoad L = LoadGraphicFromData(PlaceableWmf(640, 640, Records, 960), u"a.wmf"_s);
    QVERIFY2(L.Ok(), qPrintable(L.Error));
    QCOMPARE(L.Graphic->Size(), QSize(64, 64));
    const QImage Img = L.Graphic->ToBitmap({}, Qt::white).convertToFormat(QImage::Format_RGB32);
    const auto Ink = [&](int X, int Y) { return (255 - qGray(Img.pixel(X, Y))) / 255.0; };
    // The strip leaves no column of its run empty (drawn without smoothing, it falls apart).
    for (int X = 3; X < 61; ++X) {
        double Column = 0;
        for (int Y = 0; Y < 40; ++Y)
            Column += Ink(X, Y);
        QVERIFY2(Column > 0.2, qPrintable(u"column %1 of the strip holds %2"_s.arg(X).arg(Column)));
    }
    // The hairline has a whole pixel of ink in every row it crosses.
    for (int Y = 38; Y < 61; ++Y) {
        double Row = 0;
        for (int X = 0; X < 26; ++X)
            Row += Ink(X, Y);
        QVERIFY2(Row > 0.8, qPrintable(u"row %1 of the hairline holds %2"_s.arg(Y).arg(Row)));
    }
    // And the whole picture as drawn with smoothing.
    QString Why;
    QVERIFY2(SameImage(Img, QImage(ImagingData(u"golden/wmf-thin-shapes.png"_s)), 24, &Why), qPrintable(Why));
}

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"
