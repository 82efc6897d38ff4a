#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// The one-line description of the operating system and the size of the physical memory, shown in the
// about window.

// The running system's description. On Linux: the distribution's name from os-release and the
// kernel's version, e.g. "Debian GNU/Linux 12 (bookworm), kernel 6.1.0".
QString GetOSDescription();

// Total physical memory in KB (1024 bytes), the full amount on any machine; 0 when unknown.
quint64 GetTotalPhysicalMemoryKB();

// The distribution's name from the text of an os-release file: PRETTY_NAME, else NAME and VERSION,
// else NAME; "" when none is given.
QString OsReleaseName(QStringView OsReleaseText);

// The version numbers at the start of a kernel release ("6.1.0-18-amd64" gives "6.1.0"); the whole
// release when it does not start with a number.
QString KernelVersion(QStringView KernelRelease);

// The description line from an os-release text and a kernel release. Without a distribution name the
// line starts with "Linux"; without a kernel release the kernel part is left out.
QString LinuxOSDescription(QStringView OsReleaseText, QStringView KernelRelease);

// KB with the locale's digit grouping, then " KB"; 0 gives " KB" alone, as the number pattern
// "#,###" shows no digit for zero.
QString FormatMemoryKB(quint64 KB, const QLocale& Locale);

// The about window's memory label: "Memory:  " (two blanks) and FormatMemoryKB.
QString MemoryText(quint64 KB, const QLocale& Locale);
