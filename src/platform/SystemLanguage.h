#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// The system's default language as a Windows language id ((sub-language << 10) | primary language),
// the form the string table's language list and the language-dependent texts compare against.

inline constexpr quint16 LangEnglishUS = 0x0409;
inline constexpr quint16 LangRussian = 0x0419;

// A text the code chooses by language, by the string table's own rule: the Russian text for the
// Russian id, the English one for every other language (the table's fallback), so that a German or
// British system does not get Russian menu items.
inline QString TextForLanguage(quint16 LangId, const QString& English, const QString& Russian)
{
    return LangId == LangRussian ? Russian : English;
}

// The system's default language id. On Linux it comes from the locale the environment names.
quint16 GetSystemDefaultLangID();

// The locale name that decides the language: the first non-empty of LC_ALL, LC_MESSAGES and LANG
// (LANGUAGE is not consulted: it lists translations to try, not the system's language).
QString LocaleNameFromEnvironment(const QProcessEnvironment& Environment);

// Maps a POSIX locale name ("ru_RU.UTF-8", "de_DE@euro", "sr_RS@latin", "en") to a language id.
// A known language with an unknown or missing territory gives that language's main id (ru_UA gives
// Russian, $0419); "C", "POSIX", an empty name and unknown languages give English (United States).
quint16 LangIdFromLocaleName(QStringView LocaleName);

// LangIdFromLocaleName of LocaleNameFromEnvironment.
quint16 LangIdFromEnvironment(const QProcessEnvironment& Environment);
