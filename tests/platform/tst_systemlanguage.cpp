#include "SystemLanguage.h"

#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

class TSystemLanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void FromLocaleName_data();
    void FromLocaleName();
    void FromEnvironment_data();
    void FromEnvironment();
    void ProcessEnvironment();
};

void TSystemLanguageTest::FromLocaleName_data()
{
    QTest::addColumn<QString>("Locale");
    QTest::addColumn<int>("LangId");

    const auto Row = [](const QString& Locale, int LangId) {
        QTest::newRow(qPrintable(Locale.isEmpty() ? u"(empty)"_s : Locale)) << Locale << LangId;
    };
    // Codeset and modifier do not matter unless the table knows the modifier.
    Row(u"ru_RU.UTF-8"_s, 0x0419);
    Row(u"ru_RU.KOI8-R"_s, 0x0419);
    Row(u"ru_RU"_s, 0x0419);
    Row(u"en_US"_s, 0x0409);
    Row(u"en_US.UTF-8"_s, 0x0409);
    Row(u"en_GB"_s, 0x0809);
    Row(u"en_GB.utf8"_s, 0x0809);
    Row(u"en_AU"_s, 0x0C09);
    Row(u"en_CA"_s, 0x1009);
    Row(u"en_IE"_s, 0x1809);
    Row(u"de_DE@euro"_s, 0x0407);
    Row(u"de_DE.ISO-8859-15@euro"_s, 0x0407);
    Row(u"de_AT"_s, 0x0C07);
    Row(u"de_CH.UTF-8"_s, 0x0807);
    Row(u"fr_FR"_s, 0x040C);
    Row(u"fr_CA"_s, 0x0C0C);
    Row(u"it_IT"_s, 0x0410);
    Row(u"es_ES"_s, 0x0C0A);
    Row(u"es_MX"_s, 0x080A);
    Row(u"pt_BR"_s, 0x0416);
    Row(u"pt_PT"_s, 0x0816);
    Row(u"nl_BE"_s, 0x0813);
    Row(u"pl_PL"_s, 0x0415);
    Row(u"cs_CZ"_s, 0x0405);
    Row(u"uk_UA"_s, 0x0422);
    Row(u"uk_UA.UTF-8"_s, 0x0422);
    Row(u"be_BY"_s, 0x0423);
    Row(u"ru_MD"_s, 0x0819);
    Row(u"kk_KZ"_s, 0x043F);
    Row(u"sv_FI"_s, 0x081D);
    Row(u"nb_NO"_s, 0x0414);
    Row(u"ca_ES@valencia"_s, 0x0803);
    Row(u"sr_RS"_s, 0x281A);
    Row(u"sr_RS@latin"_s, 0x241A);
    Row(u"uz_UZ@cyrillic"_s, 0x0843);
    Row(u"ja_JP.eucJP"_s, 0x0411);
    Row(u"ko_KR"_s, 0x0412);
    Row(u"zh_CN.GB2312"_s, 0x0804);
    Row(u"zh_TW"_s, 0x0404);
    Row(u"zh_HK"_s, 0x0C04);
    Row(u"th_TH"_s, 0x041E);
    Row(u"vi_VN"_s, 0x042A);
    Row(u"hi_IN"_s, 0x0439);
    Row(u"tr_TR"_s, 0x041F);
    // A language without a territory, or with one the table lacks, takes the language's main id.
    Row(u"ru"_s, 0x0419);
    Row(u"ru_UA.UTF-8"_s, 0x0419);
    Row(u"de"_s, 0x0407);
    Row(u"en"_s, 0x0409);
    Row(u"en_XX"_s, 0x0409);
    Row(u"zh"_s, 0x0804);
    Row(u"sr@latin"_s, 0x081A);
    // Spelling variants.
    Row(u"RU_ru"_s, 0x0419);
    Row(u"en-GB"_s, 0x0809);
    Row(u" de_DE "_s, 0x0407);
    // No language: English (United States).
    Row(u"C"_s, 0x0409);
    Row(u"C.UTF-8"_s, 0x0409);
    Row(u"POSIX"_s, 0x0409);
    Row(QString(), 0x0409);
    Row(u"eo"_s, 0x0409);
    Row(u"tlh_XX"_s, 0x0409);
    Row(u"_RU"_s, 0x0409);
    Row(u".UTF-8"_s, 0x0409);
    Row(u"@euro"_s, 0x0409);
}

void TSystemLanguageTest::FromLocaleName()
{
    QFETCH(QString, Locale);
    QFETCH(int, LangId);
    QCOMPARE(int(LangIdFromLocaleName(Locale)), LangId);
}

void TSystemLanguageTest::FromEnvironment_data()
{
    QTest::addColumn<QString>("LcAll");
    QTest::addColumn<QString>("LcMessages");
    QTest::addColumn<QString>("Lang");
    QTest::addColumn<QString>("Language");
    QTest::addColumn<int>("LangId");

    QTest::newRow("LANG alone") << QString() << QString() << u"ru_RU.UTF-8"_s << QString() << 0x0419;
    QTest::newRow("LC_MESSAGES before LANG")
        << QString() << u"en_GB.UTF-8"_s << u"ru_RU.UTF-8"_s << QString() << 0x0809;
    QTest::newRow("LC_ALL before all")
        << u"de_DE.UTF-8"_s << u"en_GB.UTF-8"_s << u"ru_RU.UTF-8"_s << QString() << 0x0407;
    QTest::newRow("empty LC_ALL is passed over")
        << QString() << QString() << u"uk_UA"_s << QString() << 0x0422;
    QTest::newRow("C in LC_ALL wins") << u"C"_s << QString() << u"ru_RU.UTF-8"_s << QString() << 0x0409;
    // LANGUAGE names translations to try, not the system's language.
    QTest::newRow("LANGUAGE ignored") << QString() << QString() << u"en_US.UTF-8"_s << u"ru"_s << 0x0409;
    QTest::newRow("nothing set") << QString() << QString() << QString() << u"ru"_s << 0x0409;
}

void TSystemLanguageTest::FromEnvironment()
{
    QFETCH(QString, LcAll);
    QFETCH(QString, LcMessages);
    QFETCH(QString, Lang);
    QFETCH(QString, Language);
    QFETCH(int, LangId);

    QProcessEnvironment Env;
    const auto Set = [&Env](const QString& Name, const QString& Value) {
        // An empty value is set as empty, as a shell's "LC_ALL=" does.
        Env.insert(Name, Value);
    };
    Set(u"LC_ALL"_s, LcAll);
    Set(u"LC_MESSAGES"_s, LcMessages);
    Set(u"LANG"_s, Lang);
    if (!Language.isEmpty()) {
        Set(u"LANGUAGE"_s, Language);
    }
    QCOMPARE(int(LangIdFromEnvironment(Env)), LangId);
}

void TSystemLanguageTest::ProcessEnvironment()
{
    // The real query reads this process's environment; it is set for the call and put back.
    const QByteArray Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    struct TSaved
    {
        QByteArray Name;
        bool Was;
        QByteArray Value;
    };
    QList<TSaved> Saved;
    for (const QByteArray& Name : Names) {
        Saved.append({Name, qEnvironmentVariableIsSet(Name.constData()), qgetenv(Name.constData())});
    }
    const auto Restore = qScopeGuard([&Saved] {
        for (const TSaved& S : Saved) {
            if (S.Was) {
                qputenv(S.Name.constData(), S.Value);
            } else {
                qunsetenv(S.Name.constData());
            }
        }
    });

    qunsetenv("LC_ALL");
    qputenv("LC_MESSAGES", QByteArray());
    qputenv("LANG", "ru_RU.UTF-8");
    QCOMPARE(int(GetSystemDefaultLangID()), 0x0419);
    qputenv("LC_MESSAGES", "en_GB.UTF-8");
    QCOMPARE(int(GetSystemDefaultLangID()), 0x0809);
}

QTEST_GUILESS_MAIN(TSystemLanguageTest)
#include "tst_systemlanguage.moc"
