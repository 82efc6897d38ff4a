#include "lang/LangStrs.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The globals the exact-text rows look at, by text number.
QString* GlobalFor(int N)
{
    switch (N) {
    case 1:
        return &strDiskAuthor;
    case 16:
        return &strExecute;
    case 19:
        return &strToolButtonHint;
    case 63:
        return &strEmail;
    case 80:
        return &strLetterGreeting;
    case 90:
        return &strParameters;
    case 91:
        return &strAlreadyRunning;
    case 92:
        return &strReadError;
    case 93:
        return &strReadErrorFormat;
    case 94:
        return &strReadErrorVersion;
    case 102:
        return &strErrOutOfMemory;
    case 108:
        return &strErrNoAssociation;
    case 114:
        return &strDriveNotReady;
    default:
        return nullptr;
    }
}

} // namespace

class TLangStrsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void LanguageListFromTable();
    void ExactTexts_data();
    void ExactTexts();
    void StartupChoice_data();
    void StartupChoice();
    void UnknownLanguageChangesNothing();
    void AbsentIdsAreEmpty_data();
    void AbsentIdsAreEmpty();
    void ThirdLanguageFromTableAlone();
    void TableWithoutEnglishLeavesTextsEmpty();
    void EntryWithoutOffsetIsPassedOver();
    void TableLinesReadStrictly();
    void FinalizationEmptiesTexts();
};

void TLangStrsTest::init()
{
    UseBuiltInStringTable();
    InitLanguageUnit();
    FinalizeLanguageUnit();
}

void TLangStrsTest::cleanup()
{
    UseBuiltInStringTable();
    InitLanguageUnit();
    FinalizeLanguageUnit();
}

void TLangStrsTest::LanguageListFromTable()
{
    QCOMPARE(LanguageIds[0], 0x0419);
    QCOMPARE(LanguageIds[1], 0x0409);
    QCOMPARE(LanguageOffsets[0], 100);
    QCOMPARE(LanguageOffsets[1], 300);
    for (int K = 3; K <= LanguageCount; ++K) {
        QCOMPARE(LanguageIds[K - 1], 0);
        QCOMPARE(LanguageOffsets[K - 1], -1);
    }
    QCOMPARE(LoadResString(300), u"English"_s);
    QCOMPARE(LoadResString(100), u"Russian"_s);
}

void TLangStrsTest::ExactTexts_data()
{
    QTest::addColumn<int>("N");
    QTest::addColumn<QString>("English");
    QTest::addColumn<QString>("Russian");

    QTest::newRow("1 disk author") << 1 << u"Disk author:"_s << u"Создатель диска:"_s;
    QTest::newRow("16 execute") << 16 << u"Execute %s"_s << u"Запустить %s"_s;
    QTest::newRow("19 absent") << 19 << QString() << QString();
    QTest::newRow("63 same in both") << 63 << u"E-mail:"_s << u"E-mail:"_s;
    QTest::newRow("80 greeting") << 80 << u"Hello, %s developer.%sI'm using %s version %s..."_s
                                 << u"Здравствуйте, уважаемый разработчик %s.%sЯ пользуюсь %s версии %s..."_s;
    QTest::newRow("90 parameters") << 90 << u"%s parameters:"_s << u"Параметры загрузки программы %s:"_s;
    QTest::newRow("91 already running")
        << 91 << u"Application is already running"_s << u"Копия приложения уже запущена"_s;
    QTest::newRow("92 read error") << 92 << u"An error occured while reading the file.%sPossible reasons:"_s
                                   << u"Попытка прочитать файл проекта вызвала ошибку.%sВозможные причины:"_s;
    QTest::newRow("93 format") << 93 << u"- file %s is not a %s project or have invalid format;"_s
                               << u"- файл %s не является файлом проекта программы %s или поврежден;"_s;
    QTest::newRow("94 version") << 94
                                << u"- this project is created for the newer Veltrane version than yours;"_s
                                << u"- проект создан в более новой версии программы и не поддерживается;"_s;
    QTest::newRow("102 memory") << 102 << u"Not enought memory for this operation"_s
                                << u"Недостаточно памяти для выполнения операции"_s;
    QTest::newRow("108 association")
        << 108
        << u"There is no application associated with the given filename extension. There is an application "
           u"on CD for files like that."_s
        << u"С данным типом файлов не сопосталено ни одно приложение, которое необходимо для его открытия. "
           u"На диске содержится программа, предназначенная для работы с файлами данного типа."_s;
    QTest::newRow("114 drive") << 114 << u"Drive %s is not enabled"_s << u"Диск %s недоступен"_s;
}

void TLangStrsTest::ExactTexts()
{
    QFETCH(int, N);
    QFETCH(QString, English);
    QFETCH(QString, Russian);
    QString* Global = GlobalFor(N);
    QVERIFY(Global != nullptr);

    QVERIFY(SelectLanguage(0x0409));
    QCOMPARE(*Global, English);
    QCOMPARE(LoadResString(300 + N), English);
    QVERIFY(SelectLanguage(0x0419));
    QCOMPARE(*Global, Russian);
    QCOMPARE(LoadResString(100 + N), Russian);
}

void TLangStrsTest::StartupChoice_data()
{
    QTest::addColumn<int>("SystemLangId");
    QTest::addColumn<int>("Offset");
    QTest::addColumn<QString>("DiskAuthor");

    QTest::newRow("Russian") << 0x0419 << 100 << u"Создатель диска:"_s;
    QTest::newRow("English US") << 0x0409 << 300 << u"Disk author:"_s;
    // Only the full id matches: English (United Kingdom) reaches English through the fallback.
    QTest::newRow("English UK") << 0x0809 << 300 << u"Disk author:"_s;
    QTest::newRow("Russian Moldova") << 0x0819 << 300 << u"Disk author:"_s;
    QTest::newRow("Ukrainian") << 0x0422 << 300 << u"Disk author:"_s;
    QTest::newRow("German") << 0x0407 << 300 << u"Disk author:"_s;
    QTest::newRow("zero") << 0x0000 << 300 << u"Disk author:"_s;
}

void TLangStrsTest::StartupChoice()
{
    QFETCH(int, SystemLangId);
    QFETCH(int, Offset);
    QFETCH(QString, DiskAuthor);

    QVERIFY(ChooseStartupLanguage(static_cast<quint16>(SystemLangId)));
    QCOMPARE(CurrentOffset, Offset);
    QCOMPARE(strDiskAuthor, DiskAuthor);
}

void TLangStrsTest::UnknownLanguageChangesNothing()
{
    QVERIFY(SelectLanguage(0x0419));
    QVERIFY(!SelectLanguage(0x0809));
    QCOMPARE(CurrentOffset, 100);
    QCOMPARE(strDiskAuthor, u"Создатель диска:"_s);
}

void TLangStrsTest::AbsentIdsAreEmpty_data()
{
    QTest::addColumn<int>("Id");
    QTest::newRow("reserved 0") << 0;
    QTest::newRow("reserved 10") << 10;
    QTest::newRow("list entry 3") << 13;
    QTest::newRow("offset entry 3") << 33;
    QTest::newRow("Russian text 2") << 102;
    QTest::newRow("English text 19") << 319;
    QTest::newRow("past the English texts") << 415;
    QTest::newRow("negative") << -1;
    QTest::newRow("beyond 16 bits") << 0x10000 + 300;
}

void TLangStrsTest::AbsentIdsAreEmpty()
{
    QFETCH(int, Id);
    QVERIFY(LoadResString(Id).isEmpty());
}

void TLangStrsTest::ThirdLanguageFromTableAlone()
{
    const QByteArray Table =
        BuiltInStringTable() + QByteArrayView("\n13\t$0407\n33\t500\n500\tGerman\n501\tAutor der Disk:\n"
                                              "591\tAnwendung l\xC3\xA4uft bereits\n");
    SetStringTable(Table);
    InitLanguageUnit();
    QCOMPARE(LanguageIds[2], 0x0407);
    QCOMPARE(LanguageOffsets[2], 500);

    QVERIFY(ChooseStartupLanguage(0x0407));
    QCOMPARE(CurrentOffset, 500);
    QCOMPARE(strDiskAuthor, u"Autor der Disk:"_s);
    QCOMPARE(strAlreadyRunning, u"Anwendung läuft bereits"_s);
    // Texts the new language does not give are empty, not English.
    QVERIFY(strDescription.isEmpty());

    // The languages already there are unchanged.
    QVERIFY(SelectLanguage(0x0419));
    QCOMPARE(strDiskAuthor, u"Создатель диска:"_s);
}

void TLangStrsTest::TableWithoutEnglishLeavesTextsEmpty()
{
    SetStringTable("11\t$0419\n31\t100\n101\tRussian author\n");
    InitLanguageUnit();
    QVERIFY(!ChooseStartupLanguage(0x0409));
    QVERIFY(strDiskAuthor.isEmpty());
    QVERIFY(ChooseStartupLanguage(0x0419));
    QCOMPARE(strDiskAuthor, u"Russian author"_s);
}

void TLangStrsTest::EntryWithoutOffsetIsPassedOver()
{
    // Russian is listed without an offset: choosing it would fill the texts from ids n - 1, the
    // language list itself. Start-up gets English instead.
    SetStringTable("11\t$0419\n12\t$0409\n32\t300\n301\tDisk author:\n312\t$0409\n");
    InitLanguageUnit();
    QCOMPARE(LanguageOffsets[0], -1);
    QVERIFY(!SelectLanguage(0x0419));
    QVERIFY(ChooseStartupLanguage(0x0419));
    QCOMPARE(CurrentOffset, 300);
    QCOMPARE(strDiskAuthor, u"Disk author:"_s);

    // Asked for directly, such an entry loads nothing.
    LoadLanguageStrings(1);
    QCOMPARE(CurrentOffset, -1);
    QVERIFY(strDiskAuthor.isEmpty());
    QVERIFY(strBrowseSectionFolder.isEmpty());
    LoadLanguageStrings(0);
    LoadLanguageStrings(LanguageCount + 1);
    QVERIFY(strDiskAuthor.isEmpty());
}

void TLangStrsTest::TableLinesReadStrictly()
{
    SetStringTable("\xEF\xBB\xBF"
                   "# comment\r\n"
                   "11\t1049\r\n"    // decimal ids are read too
                   "12\t 0x409\r\n"  // leading blanks and 0x
                   "13\tRussian\r\n" // no number: 0
                   "31\t100\r\n"
                   "32\t300\n"
                   "101\tfirst\n"
                   "101\tsecond\n"    // the first of two equal ids wins
                   "102\n"            // no tab: skipped
                   "x03\tnot an id\n" // skipped
                   "106\t  kept as written \t\n"
                   "301\tlast line without a break");
    InitLanguageUnit();
    QCOMPARE(LanguageIds[0], 1049);
    QCOMPARE(LanguageIds[1], 0x0409);
    QCOMPARE(LanguageIds[2], 0);
    QVERIFY(SelectLanguage(0x0419));
    QCOMPARE(strDiskAuthor, u"first"_s);
    QCOMPARE(strDescription, u"  kept as written \t"_s);
    QVERIFY(LoadResString(102).isEmpty());
    QVERIFY(SelectLanguage(0x0409));
    QCOMPARE(strDiskAuthor, u"last line without a break"_s);
}

void TLangStrsTest::FinalizationEmptiesTexts()
{
    QVERIFY(SelectLanguage(0x0409));
    QVERIFY(!strDiskAuthor.isEmpty());
    QVERIFY(!strDriveNotReady.isEmpty());
    FinalizeLanguageUnit();
    QVERIFY(strDiskAuthor.isEmpty());
    QVERIFY(strDriveNotReady.isEmpty());
    QVERIFY(strAlreadyRunning.isEmpty());
}

QTEST_GUILESS_MAIN(TLangStrsTest)
#include "tst_langstrs.moc"
