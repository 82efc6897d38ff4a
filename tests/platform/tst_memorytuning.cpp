#include "MemoryTuning.h"

#include <QTest>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

class TMemoryTuningTest : public QObject
{
    Q_OBJECT

private slots:
    void SmallAmountsAreLeftAlone_data()
    {
        QTest::addColumn<qint64>("Bytes");
        QTest::newRow("negative") << qint64(-1);
        QTest::newRow("zero") << qint64(0);
        QTest::newRow("one MB") << (qint64(1) << 20);
    }
    void SmallAmountsAreLeftAlone()
    {
        QFETCH(qint64, Bytes);
        QCOMPARE(ReserveHeapForLoad(Bytes), qint64(0));
    }

    // The readied heap serves a load's many small blocks: each keeps what was written to it, and
    // freeing them all leaves a heap that still works.
    void ReadiedHeapHoldsSmallBlocks()
    {
        constexpr qint64 Bytes = qint64(48) << 20;
        const qint64 Readied = ReserveHeapForLoad(Bytes);
        QVERIFY(Readied >= 0 && Readied <= Bytes);
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
        // Huge pages come in whole 2 MB units inside the heap's growth.
        QVERIFY(Readied == 0 || Readied % (2 << 20) == 0);
#endif
        constexpr int Count = 400000;
        constexpr std::size_t Size = 96;
        std::vector<unsigned char*> Blocks(Count);
        for (int I = 0; I < Count; ++I) {
            Blocks[I] = static_cast<unsigned char*>(std::malloc(Size));
            QVERIFY(Blocks[I]);
            std::memset(Blocks[I], I & 0xFF, Size);
        }
        for (int I = 0; I < Count; ++I) {
            if (Blocks[I][0] != (I & 0xFF) || Blocks[I][Size - 1] != (I & 0xFF))
                QFAIL(qPrintable(QStringLiteral("block %1 was overwritten").arg(I)));
        }
        for (unsigned char* Block : Blocks)
            std::free(Block);
        auto After = std::make_unique<char[]>(1 << 20);
        QVERIFY(After);
    }
};

QTEST_GUILESS_MAIN(TMemoryTuningTest)
#include "tst_memorytuning.moc"
