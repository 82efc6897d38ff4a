#include "SystemInfo.h"

#include <QStringTokenizer>

using namespace Qt::StringLiterals;

namespace {

// The value part of an os-release line: quoted in double or single quotes, or bare; a backslash takes
// the next character literally except inside single quotes.
QString OsReleaseValue(QStringView Raw)
{
    QString Value;
    QChar Quote;
    qsizetype I = 0;
    if (!Raw.isEmpty() && (Raw.front() == u'"' || Raw.front() == u'\'')) {
        Quote = Raw.front();
        I = 1;
    }
    for (; I < Raw.size(); ++I) {
        const QChar C = Raw[I];
        if (!Quote.isNull() && C == Quote) {
            break;
        }
        if (C == u'\\' && Quote != u'\'' && I + 1 < Raw.size()) {
            Value += Raw[++I];
            continue;
        }
        Value += C;
    }
    return Value;
}

} // namespace

QString OsReleaseName(QStringView OsReleaseText)
{
    QString PrettyName;
    QString Name;
    QString Version;
    for (const QStringView Line : QStringTokenizer(OsReleaseText, u'\n')) {
        const QStringView L = Line.trimmed();
        const qsizetype Equals = L.indexOf(u'=');
        if (L.isEmpty() || L.front() == u'#' || Equals <= 0) {
            continue;
        }
        const QStringView Key = L.first(Equals);
        const QString Value = OsReleaseValue(L.sliced(Equals + 1).trimmed()).trimmed();
        if (Key == u"PRETTY_NAME") {
            PrettyName = Value;
        } else if (Key == u"NAME") {
            Name = Value;
        } else if (Key == u"VERSION") {
            Version = Value;
        }
    }
    if (!PrettyName.isEmpty()) {
        return PrettyName;
    }
    if (!Name.isEmpty() && !Version.isEmpty()) {
        return Name % u' ' % Version;
    }
    return Name;
}

QString KernelVersion(QStringView KernelRelease)
{
    const QStringView Release = KernelRelease.trimmed();
    qsizetype End = 0;
    while (End < Release.size() && (Release[End].isDigit() || Release[End] == u'.')) {
        ++End;
    }
    while (End > 0 && Release[End - 1] == u'.') {
        --End;
    }
    return End > 0 ? Release.first(End).toString() : Release.toString();
}

QString LinuxOSDescription(QStringView OsReleaseText, QStringView KernelRelease)
{
    QString Line = OsReleaseName(OsReleaseText);
    if (Line.isEmpty()) {
        Line = u"Linux"_s;
    }
    const QString Kernel = KernelVersion(KernelRelease);
    if (!Kernel.isEmpty()) {
        Line += u", kernel "_s % Kernel;
    }
    return Line;
}

QString FormatMemoryKB(quint64 KB, const QLocale& Locale)
{
    if (KB == 0) {
        return u" KB"_s;
    }
    // The pattern always groups, also in locales that leave grouping out by default (C).
    QLocale Grouping = Locale;
    Grouping.setNumberOptions(Locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return Grouping.toString(static_cast<qulonglong>(KB)) % u" KB";
}

QString MemoryText(quint64 KB, const QLocale& Locale)
{
    return u"Memory:  "_s % FormatMemoryKB(KB, Locale);
}
