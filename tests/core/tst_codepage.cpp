#include "text/CodePage.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TCodePage)

class TCodePageTest : public QObject
{
    Q_OBJECT

private slots:
    void DecodeKnownBytes_data();
    void DecodeKnownBytes();
    void RoundTripAllBytes_data();
    void RoundTripAllBytes();
    void DecodeText();
    void DecodeTextFile_data();
    void DecodeTextFile();
    void EncodeReportsFirstBadCharacter_data();
    void EncodeReportsFirstBadCharacter();
    void EncodeGoodTextLeavesOkTrue();
};

void TCodePageTest::DecodeKnownBytes_data()
{
    QTest::addColumn<TCodePage>("CodePage");
    QTest::addColumn<int>("Byte");
    QTest::addColumn<int>("Unicode");

    const auto Row = [](const char* Name, TCodePage Cp, int Byte, int Unicode) {
        QTest::newRow(Name) << Cp << Byte << Unicode;
    };
    Row("1251 ascii A", TCodePage::cp1251, 0x41, 0x0041);
    Row("1251 nul", TCodePage::cp1251, 0x00, 0x0000);
    Row("1251 DJE", TCodePage::cp1251, 0x80, 0x0402);
    Row("1251 euro", TCodePage::cp1251, 0x88, 0x20AC);
    Row("1251 undefined 98", TCodePage::cp1251, 0x98, 0xFFFD);
    Row("1251 nbsp", TCodePage::cp1251, 0xA0, 0x00A0);
    Row("1251 GHE upturn", TCodePage::cp1251, 0xA5, 0x0490);
    Row("1251 IO", TCodePage::cp1251, 0xA8, 0x0401);
    Row("1251 io", TCodePage::cp1251, 0xB8, 0x0451);
    Row("1251 numero", TCodePage::cp1251, 0xB9, 0x2116);
    Row("1251 A", TCodePage::cp1251, 0xC0, 0x0410);
    Row("1251 YA", TCodePage::cp1251, 0xDF, 0x042F);
    Row("1251 a", TCodePage::cp1251, 0xE0, 0x0430);
    Row("1251 ya", TCodePage::cp1251, 0xFF, 0x044F);
    Row("1252 euro", TCodePage::cp1252, 0x80, 0x20AC);
    Row("1252 undefined 81", TCodePage::cp1252, 0x81, 0xFFFD);
    Row("1252 undefined 8D", TCodePage::cp1252, 0x8D, 0xFFFD);
    Row("1252 undefined 8F", TCodePage::cp1252, 0x8F, 0xFFFD);
    Row("1252 undefined 90", TCodePage::cp1252, 0x90, 0xFFFD);
    Row("1252 undefined 9D", TCodePage::cp1252, 0x9D, 0xFFFD);
    Row("1252 f hook", TCodePage::cp1252, 0x83, 0x0192);
    Row("1252 small tilde", TCodePage::cp1252, 0x98, 0x02DC);
    Row("1252 Y diaeresis", TCodePage::cp1252, 0x9F, 0x0178);
    Row("1252 superscript one", TCodePage::cp1252, 0xB9, 0x00B9);
    Row("1252 y diaeresis", TCodePage::cp1252, 0xFF, 0x00FF);
}

void TCodePageTest::DecodeKnownBytes()
{
    QFETCH(TCodePage, CodePage);
    QFETCH(int, Byte);
    QFETCH(int, Unicode);

    const char B = static_cast<char>(Byte);
    const QString Text = DecodeAnsi(QByteArrayView(&B, 1), CodePage);
    QCOMPARE(Text.size(), 1);
    QCOMPARE(Text.at(0).unicode(), Unicode);
}

void TCodePageTest::RoundTripAllBytes_data()
{
    QTest::addColumn<TCodePage>("CodePage");
    QTest::addColumn<QByteArray>("Undefined");
    QTest::newRow("1251") << TCodePage::cp1251 << QByteArray("\x98");
    QTest::newRow("1252") << TCodePage::cp1252 << QByteArray("\x81\x8D\x8F\x90\x9D");
}

// Every defined byte decodes to a character of its own that encodes back to that byte; an undefined
// byte decodes to U+FFFD, which has no byte.
void TCodePageTest::RoundTripAllBytes()
{
    QFETCH(TCodePage, CodePage);
    QFETCH(QByteArray, Undefined);

    QByteArray All;
    for (int B = 0; B < 256; ++B) {
        All.append(static_cast<char>(B));
    }
    const QString Text = DecodeAnsi(All, CodePage);
    QCOMPARE(Text.size(), 256);

    QSet<char16_t> Seen;
    for (int B = 0; B < 256; ++B) {
        const char16_t C = Text.at(B).unicode();
        if (Undefined.contains(static_cast<char>(B))) {
            QCOMPARE(C, char16_t(0xFFFD));
            QVERIFY(!CanEncodeAnsi(Text.sliced(B, 1), CodePage));
            continue;
        }
        QVERIFY2(!Seen.contains(C), qPrintable(u"byte %1 repeats a character"_s.arg(B, 2, 16)));
        Seen.insert(C);
        bool Ok = false;
        const QByteArray Back = EncodeAnsi(Text.sliced(B, 1), CodePage, &Ok);
        QVERIFY2(Ok, qPrintable(u"byte %1"_s.arg(B, 2, 16)));
        QCOMPARE(Back, QByteArray(1, static_cast<char>(B)));
    }
}

void TCodePageTest::DecodeText()
{
    // "Привет, Ёж!" in 1251, and the empty input.
    const QByteArray Bytes("\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6!");
    QCOMPARE(DecodeAnsi(Bytes), u"\u041F\u0440\u0438\u0432\u0435\u0442, \u0401\u0436!"_s);
    QCOMPARE(EncodeAnsi(DecodeAnsi(Bytes)), Bytes);
    QVERIFY(DecodeAnsi(QByteArrayView()).isEmpty());
    QVERIFY(EncodeAnsi(QStringView()).isEmpty());
}

void TCodePageTest::DecodeTextFile_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<bool>("Cut");
    QTest::addColumn<QString>("Text");
    const QString Privet = QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442");
    QTest::newRow("UTF-8 without a mark") << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82") << false << Privet;
    QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82")
                                        << false << Privet;
    QTest::newRow("ANSI Cyrillic") << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2") << false << Privet;
    QTest::newRow("ASCII") << QByteArray("plain") << false << QStringLiteral("plain");
    QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE\x1F\x04\x40\x04", 6) << false << QStringLiteral("\u041F\u0440");
    QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\x04\x1F\x04\x40", 6) << false << QStringLiteral("\u041F\u0440");
    // A file read up to a size limit may end inside a character: still UTF-8.
    QTest::newRow("UTF-8 cut inside a character") << QByteArray("\xD0\x9F\xD1\x80\xD0") << true << QStringLiteral("\u041F\u0440");
    // In a whole file a lead byte at the end is an ANSI letter.
    QTest::newRow("ANSI letter at the end") << QByteArray("{x}\r\n\xE0") << false << QStringLiteral("{x}\r\n\u0430");
}

void TCodePageTest::DecodeTextFile()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(bool, Cut);
    QFETCH(QString, Text);
    QCOMPARE(::DecodeTextFile(Bytes, Cut), Text);
}

void TCodePageTest::EncodeReportsFirstBadCharacter_data()
{
    QTest::addColumn<TCodePage>("CodePage");
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QByteArray>("Expected");
    QTest::addColumn<qsizetype>("BadIndex");

    QTest::newRow("1251 latin e acute")
        << TCodePage::cp1251 << u"ab\u00E9\u0416\u00E8"_s << QByteArray("ab?\xC6?") << qsizetype(2);
    QTest::newRow("1252 cyrillic") << TCodePage::cp1252 << u"caf\u00E9 \u0416"_s << QByteArray("caf\xE9 ?")
                                   << qsizetype(5);
    QTest::newRow("replacement char")
        << TCodePage::cp1251 << u"x\uFFFD"_s << QByteArray("x?") << qsizetype(1);
    // A character outside the BMP becomes one '?', not one per surrogate.
    QTest::newRow("surrogate pair") << TCodePage::cp1251 << u"a\U0001F600b"_s << QByteArray("a?b")
                                    << qsizetype(1);
    QTest::newRow("lone surrogate") << TCodePage::cp1251 << QString(QChar(0xD800)) << QByteArray("?")
                                    << qsizetype(0);
}

void TCodePageTest::EncodeReportsFirstBadCharacter()
{
    QFETCH(TCodePage, CodePage);
    QFETCH(QString, Text);
    QFETCH(QByteArray, Expected);
    QFETCH(qsizetype, BadIndex);

    bool Ok = true;
    qsizetype Index = -1;
    QCOMPARE(EncodeAnsi(Text, CodePage, &Ok, &Index), Expected);
    QVERIFY(!Ok);
    QCOMPARE(Index, BadIndex);
    QVERIFY(!CanEncodeAnsi(Text, CodePage));
    // The out-parameters are optional.
    QCOMPARE(EncodeAnsi(Text, CodePage), Expected);
}

void TCodePageTest::EncodeGoodTextLeavesOkTrue()
{
    bool Ok = false;
    qsizetype Index = 7;
    const QString Text = u"\u20AC\u2116 \u0451"_s;
    QCOMPARE(EncodeAnsi(Text, TCodePage::cp1251, &Ok, &Index), QByteArray("\x88\xB9 \xB8"));
    QVERIFY(Ok);
    QCOMPARE(Index, qsizetype(-1));
    QVERIFY(CanEncodeAnsi(Text, TCodePage::cp1251));
    QVERIFY(!CanEncodeAnsi(Text, TCodePage::cp1252));
}

QTEST_GUILESS_MAIN(TCodePageTest)
#include "tst_codepage.moc"
