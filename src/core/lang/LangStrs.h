#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>

// The language unit: the string table, the language list it carries, and the 70 program-wide texts
// of the chosen language.
//
// The table is text with one "id<TAB>text" line per string (lang/strings.txt, compiled in as a
// resource). Ids 11-30 list the languages (entry k at id 10 + k, a language id, "$" for hexadecimal),
// ids 31-50 give each language's offset, and text n of a language has the id offset + n. A language is
// added by editing the table alone.

inline constexpr int LanguageCount = 20;

// Entry k (1-20) of the language list is held at index k - 1. A missing or unreadable id is 0, a
// missing or unreadable offset -1.
extern std::array<int, LanguageCount> LanguageIds;
extern std::array<int, LanguageCount> LanguageOffsets;
// The offset of the chosen language; -1 when the chosen entry has no offset.
extern int CurrentOffset;

// Unit initialisation: reads the language list from the string table in use.
void InitLanguageUnit();
// Unit finalisation: empties the 70 texts.
void FinalizeLanguageUnit();

// Chooses the first language of the list whose id equals LangId (primary and sub-language both) and
// loads its texts. Returns false, changing nothing, when no entry with an offset has that id.
bool SelectLanguage(quint16 LangId);
// Loads the 70 texts of list entry Entry (1-20): CurrentOffset := its offset, each text from id
// CurrentOffset + n. An entry without an offset (or out of range) leaves every text empty.
void LoadLanguageStrings(int Entry);
// Start-up's choice: the system's default language, else English ($0409). Returns false when not even
// English is in the table; then every text stays empty.
bool ChooseStartupLanguage(quint16 SystemLangId);

// The text with the given id in the table in use; "" when the table has no such id.
QString LoadResString(int Id);
// Reads a string table's text into the table in use (UTF-8, the format of lang/strings.txt); a later
// line with an id already read is ignored. InitLanguageUnit must run again for a new language list.
void SetStringTable(QByteArrayView Utf8Text);
// Goes back to the program's own table.
void UseBuiltInStringTable();
// The text of the program's own table, as compiled in.
QByteArray BuiltInStringTable();

// The texts of the chosen language, each with its text number n (English id 300 + n). Empty until a
// language is chosen, and for a number the table lacks.
extern QString strDiskAuthor;           // 1
extern QString strDescription;          // 6
extern QString strScreenshots;          // 7
extern QString strIntroTitle;           // 10
extern QString strSendLetter;           // 11
extern QString strIntro;                // 12
extern QString strBrowseSectionFolder;  // 13
extern QString strBrowse;               // 14
extern QString strInstall;              // 15
extern QString strExecute;              // 16
extern QString strCopyToDisk;           // 17
extern QString strPlayMusic;            // 18
extern QString strToolButtonHint;       // 19
extern QString strOptions;              // 20
extern QString strExit;                 // 21
extern QString strAboutSection;         // 25
extern QString strReaderClose;          // 35
extern QString strChooseAction;         // 40
extern QString strChooseOk;             // 41
extern QString strChooseClose;          // 42
extern QString strSelectFolder;         // 45
extern QString strFreeSpace;            // 46
extern QString strCopy;                 // 47
extern QString strCancel;               // 48
extern QString strSettingsCaption;      // 51
extern QString strAuthorPage;           // 52
extern QString strAboutPage;            // 53
extern QString strHistoryPage;          // 54
extern QString strSettingsPage;         // 55
extern QString strSettingsTitle;        // 56
extern QString strBackgroundMusic;      // 57
extern QString strAnimatedCursors;      // 58
extern QString strAuthorInfoTitle;      // 59
extern QString strCDAuthor;             // 60
extern QString strAuthor;               // 61
extern QString strCompany;              // 62
extern QString strEmail;                // 63
extern QString strWebPage;              // 64
extern QString strAboutTitle;           // 65
extern QString strAppDescription;       // 66
extern QString strDeveloper;            // 67
extern QString strVersion;              // 68
extern QString strHistoryTitle;         // 69
extern QString strLetterGreeting;       // 80
extern QString strLetterPostscript;     // 81
extern QString strParameters;           // 90
extern QString strAlreadyRunning;       // 91
extern QString strReadError;            // 92
extern QString strReadErrorFormat;      // 93
extern QString strReadErrorVersion;     // 94
extern QString strNoAuthorEmail;        // 95
extern QString strNoEmail;              // 96
extern QString strNoSoundDevice;        // 97
extern QString strCannotFindFile;       // 98
extern QString strErrFileNotFound;      // 99
extern QString strErrFolderNotFound;    // 100
extern QString strErrAccessDenied;      // 101
extern QString strErrOutOfMemory;       // 102
extern QString strErrDllNotFound;       // 103
extern QString strErrNoResponse;        // 104
extern QString strErrCannotExecute;     // 105
extern QString strErrDdeBusy;           // 106
extern QString strErrUnknown;           // 107
extern QString strErrNoAssociation;     // 108
extern QString strInstallQuestion;      // 109
extern QString strInstallCaption;       // 110
extern QString strCopyFolderNotFound;   // 111
extern QString strCreateFolderQuestion; // 112
extern QString strCopying;              // 113
extern QString strDriveNotReady;        // 114
