#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <initializer_list>

// Texts start-up shows after loading a structure file, and the fixed parts of its message boxes.

// The product's name: the caption of the program's own message boxes and the name put into its texts.
inline constexpr QStringView ProductName = u"Veltrane";

// Message-box flags as the Windows API numbers them. Named with a prefix of their own, because
// <windows.h> defines the MB_ names as macros.
inline constexpr quint32 mbIconError = 0x0010;
inline constexpr quint32 mbIconExclamation = 0x0030;
inline constexpr quint32 mbIconInformation = 0x0040;
inline constexpr quint32 mbTaskModal = 0x2000;
// A failure the user must know about (0x2010) and a notice (0x2040).
inline constexpr quint32 mbErrorFlags = mbIconError | mbTaskModal;
inline constexpr quint32 mbNoticeFlags = mbIconInformation | mbTaskModal;

// Puts Args, in order, into the "%s" places of Template and turns "%%" into "%". The arguments are
// inserted literally, so a "%s" or "%1" inside one stays as it is. A "%s" without an argument left and
// any other "%" sequence are kept as written.
QString FormatS(QStringView Template, std::initializer_list<QStringView> Args);

// The message for a result of the structure loader, or "" when that result shows none (0 included).
// FileVersion is the version stored in the file: major in bits 24-31, minor 16-23, release 8-15.
QString LoadResultMessage(int Result, quint32 FileVersion);

// The message for a read error of a legacy structure file, from the localised strings 392-394
// (ReadErrorText, FormatText, VersionText) and the structure file's name.
QString LegacyReadErrorMessage(const QString& ReadErrorText, const QString& FormatText,
                               const QString& VersionText, const QString& FileName);
