#include "LangStrs.h"

#include "config/IniFile.h"

#include <QFile>
#include <QHash>

using namespace Qt::StringLiterals;

// A static library's resources are registered by hand; this has to stand outside any namespace.
static void InitLangStrsResource()
{
    Q_INIT_RESOURCE(LangStrs);
}

std::array<int, LanguageCount> LanguageIds{};
std::array<int, LanguageCount> LanguageOffsets{};
int CurrentOffset = 0;

QString strDiskAuthor;
QString strDescription;
QString strScreenshots;
QString strIntroTitle;
QString strSendLetter;
QString strIntro;
QString strBrowseSectionFolder;
QString strBrowse;
QString strInstall;
QString strExecute;
QString strCopyToDisk;
QString strPlayMusic;
QString strToolButtonHint;
QString strOptions;
QString strExit;
QString strAboutSection;
QString strReaderClose;
QString strChooseAction;
QString strChooseOk;
QString strChooseClose;
QString strSelectFolder;
QString strFreeSpace;
QString strCopy;
QString strCancel;
QString strSettingsCaption;
QString strAuthorPage;
QString strAboutPage;
QString strHistoryPage;
QString strSettingsPage;
QString strSettingsTitle;
QString strBackgroundMusic;
QString strAnimatedCursors;
QString strAuthorInfoTitle;
QString strCDAuthor;
QString strAuthor;
QString strCompany;
QString strEmail;
QString strWebPage;
QString strAboutTitle;
QString strAppDescription;
QString strDeveloper;
QString strVersion;
QString strHistoryTitle;
QString strLetterGreeting;
QString strLetterPostscript;
QString strParameters;
QString strAlreadyRunning;
QString strReadError;
QString strReadErrorFormat;
QString strReadErrorVersion;
QString strNoAuthorEmail;
QString strNoEmail;
QString strNoSoundDevice;
QString strCannotFindFile;
QString strErrFileNotFound;
QString strErrFolderNotFound;
QString strErrAccessDenied;
QString strErrOutOfMemory;
QString strErrDllNotFound;
QString strErrNoResponse;
QString strErrCannotExecute;
QString strErrDdeBusy;
QString strErrUnknown;
QString strErrNoAssociation;
QString strInstallQuestion;
QString strInstallCaption;
QString strCopyFolderNotFound;
QString strCreateFolderQuestion;
QString strCopying;
QString strDriveNotReady;

namespace {

// Entry k of the language list has the id LanguageIdBase + k, its offset LanguageOffsetBase + k.
constexpr int LanguageIdBase = 10;
constexpr int LanguageOffsetBase = 30;
// String resource ids are 16-bit.
constexpr int MaxStringId = 0xFFFF;

struct TTextSlot
{
    int N;
    QString* Text;
};

const TTextSlot TextSlots[] = {
    {1, &strDiskAuthor},
    {6, &strDescription},
    {7, &strScreenshots},
    {10, &strIntroTitle},
    {11, &strSendLetter},
    {12, &strIntro},
    {13, &strBrowseSectionFolder},
    {14, &strBrowse},
    {15, &strInstall},
    {16, &strExecute},
    {17, &strCopyToDisk},
    {18, &strPlayMusic},
    {19, &strToolButtonHint},
    {20, &strOptions},
    {21, &strExit},
    {25, &strAboutSection},
    {35, &strReaderClose},
    {40, &strChooseAction},
    {41, &strChooseOk},
    {42, &strChooseClose},
    {45, &strSelectFolder},
    {46, &strFreeSpace},
    {47, &strCopy},
    {48, &strCancel},
    {51, &strSettingsCaption},
    {52, &strAuthorPage},
    {53, &strAboutPage},
    {54, &strHistoryPage},
    {55, &strSettingsPage},
    {56, &strSettingsTitle},
    {57, &strBackgroundMusic},
    {58, &strAnimatedCursors},
    {59, &strAuthorInfoTitle},
    {60, &strCDAuthor},
    {61, &strAuthor},
    {62, &strCompany},
    {63, &strEmail},
    {64, &strWebPage},
    {65, &strAboutTitle},
    {66, &strAppDescription},
    {67, &strDeveloper},
    {68, &strVersion},
    {69, &strHistoryTitle},
    {80, &strLetterGreeting},
    {81, &strLetterPostscript},
    {90, &strParameters},
    {91, &strAlreadyRunning},
    {92, &strReadError},
    {93, &strReadErrorFormat},
    {94, &strReadErrorVersion},
    {95, &strNoAuthorEmail},
    {96, &strNoEmail},
    {97, &strNoSoundDevice},
    {98, &strCannotFindFile},
    {99, &strErrFileNotFound},
    {100, &strErrFolderNotFound},
    {101, &strErrAccessDenied},
    {102, &strErrOutOfMemory},
    {103, &strErrDllNotFound},
    {104, &strErrNoResponse},
    {105, &strErrCannotExecute},
    {106, &strErrDdeBusy},
    {107, &strErrUnknown},
    {108, &strErrNoAssociation},
    {109, &strInstallQuestion},
    {110, &strInstallCaption},
    {111, &strCopyFolderNotFound},
    {112, &strCreateFolderQuestion},
    {113, &strCopying},
    {114, &strDriveNotReady},
};

QHash<int, QString> StringTable;
bool TableReady = false;

void ParseTable(QByteArrayView Utf8Text)
{
    StringTable.clear();
    const QString Text = QString::fromUtf8(Utf8Text);
    const QStringView All(Text);
    qsizetype Pos = 0;
    while (Pos < All.size()) {
        qsizetype End = All.indexOf(u'\n', Pos);
        if (End < 0) {
            End = All.size();
        }
        QStringView Line = All.sliced(Pos, End - Pos);
        Pos = End + 1;
        if (Line.endsWith(u'\r')) {
            Line.chop(1);
        }
        if (Line.startsWith(u'\uFEFF')) {
            Line = Line.sliced(1);
        }
        const qsizetype Tab = Line.indexOf(u'\t');
        if (Line.isEmpty() || Line.front() == u'#' || Tab <= 0) {
            continue;
        }
        bool Ok = false;
        const int Id = Line.first(Tab).toInt(&Ok, 10);
        if (!Ok || Id < 0 || Id > MaxStringId || StringTable.contains(Id)) {
            continue;
        }
        StringTable.insert(Id, Line.sliced(Tab + 1).toString());
    }
    TableReady = true;
}

void EnsureTable()
{
    if (!TableReady) {
        ParseTable(BuiltInStringTable());
    }
}

} // namespace

QByteArray BuiltInStringTable()
{
    static const bool Registered = [] {
        InitLangStrsResource();
        return true;
    }();
    Q_UNUSED(Registered);
    QFile File(u":/lang/strings.txt"_s);
    if (!File.open(QIODevice::ReadOnly)) {
        return {};
    }
    return File.readAll();
}

void SetStringTable(QByteArrayView Utf8Text)
{
    ParseTable(Utf8Text);
}

void UseBuiltInStringTable()
{
    TableReady = false;
    EnsureTable();
}

QString LoadResString(int Id)
{
    EnsureTable();
    return StringTable.value(Id);
}

void InitLanguageUnit()
{
    for (int K = 1; K <= LanguageCount; ++K) {
        LanguageIds[K - 1] = StrToIntDef(LoadResString(LanguageIdBase + K), 0);
        LanguageOffsets[K - 1] = StrToIntDef(LoadResString(LanguageOffsetBase + K), -1);
    }
}

void FinalizeLanguageUnit()
{
    for (const TTextSlot& Slot : TextSlots) {
        Slot.Text->clear();
    }
}

bool SelectLanguage(quint16 LangId)
{
    for (int K = 1; K <= LanguageCount; ++K) {
        // An entry without an offset would fill the texts from the list ids themselves; it is passed
        // over so that start-up falls back to English instead.
        if (LanguageIds[K - 1] == LangId && LanguageOffsets[K - 1] >= 0) {
            LoadLanguageStrings(K);
            return true;
        }
    }
    return false;
}

void LoadLanguageStrings(int Entry)
{
    const bool HasOffset = Entry >= 1 && Entry <= LanguageCount && LanguageOffsets[Entry - 1] >= 0;
    CurrentOffset = HasOffset ? LanguageOffsets[Entry - 1] : -1;
    for (const TTextSlot& Slot : TextSlots) {
        *Slot.Text = HasOffset ? LoadResString(CurrentOffset + Slot.N) : QString();
    }
}

bool ChooseStartupLanguage(quint16 SystemLangId)
{
    return SelectLanguage(SystemLangId) || SelectLanguage(0x0409);
}
