#include "Paths.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

template <typename TList> QString JoinParts(const TList& Parts)
{
    QString Result;
    qsizetype Index = 0;
    for (const QString& Part : Parts) {
        const bool IsFirst = Index++ == 0;
        QStringView P(Part);
        if (P.isEmpty()) {
            continue;
        }
        if (!IsFirst && IsPathDelimiter(P.front())) {
            P = P.sliced(1);
            if (P.isEmpty()) {
                continue;
            }
        }
        Result += P;
        if (!IsPathDelimiter(P.back())) {
            Result += u'\\';
        }
    }
    return Result;
}

bool IsNameDelimiter(QChar C)
{
    return IsPathDelimiter(C) || C == u':';
}

// Index of the last separator or drive colon, or -1.
qsizetype LastNameDelimiter(const QString& FileName)
{
    for (qsizetype I = FileName.size() - 1; I >= 0; --I) {
        if (IsNameDelimiter(FileName[I])) {
            return I;
        }
    }
    return -1;
}

// Length of the part that names a root: an optional drive ("C:") and the leading slashes. It is kept as
// written, so a drive letter is never matched against a folder listing and a "//" prefix stays whole.
qsizetype RootLength(QStringView Path)
{
    qsizetype Len = 0;
    if (Path.size() >= 2 && Path[1] == u':' && Path[0].isLetter() && Path[0].unicode() < 0x80) {
        Len = 2;
    }
    while (Len < Path.size() && Path[Len] == u'/') {
        ++Len;
    }
    return Len;
}

// The entry of Folder whose name equals Name without regard to case ("" when none). Entries are
// listed in a fixed order so that the choice among several such entries does not vary.
QString FindEntry(const QString& Folder, QStringView Name, bool WantFolder)
{
    QDir::Filters Filters = QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    Filters |= WantFolder ? QDir::Dirs : QDir::AllEntries;
    const QStringList Entries = QDir(Folder.isEmpty() ? u"."_s : Folder).entryList(Filters, QDir::Name);
    for (const QString& Entry : Entries) {
        if (QStringView(Entry).compare(Name, Qt::CaseInsensitive) == 0) {
            return Entry;
        }
    }
    return {};
}

} // namespace

QString PathJoin(std::initializer_list<QString> Parts)
{
    return JoinParts(Parts);
}

QString PathJoin(const QStringList& Parts)
{
    return JoinParts(Parts);
}

bool IsBlank(QStringView S)
{
    for (const QChar C : S) {
        if (C != u' ' && C != u'\r') {
            return false;
        }
    }
    return true;
}

bool IsPathDelimiter(QChar C)
{
#ifdef Q_OS_WIN
    return C == u'\\';
#else
    return C == u'\\' || C == u'/';
#endif
}

QString ExtractFilePath(const QString& FileName)
{
    return FileName.left(LastNameDelimiter(FileName) + 1);
}

QString ExtractFileName(const QString& FileName)
{
    return FileName.mid(LastNameDelimiter(FileName) + 1);
}

QString ExtractFileExt(const QString& FileName)
{
    for (qsizetype I = FileName.size() - 1; I >= 0; --I) {
        const QChar C = FileName[I];
        if (C == u'.') {
            return FileName.mid(I);
        }
        if (IsNameDelimiter(C)) {
            break;
        }
    }
    return {};
}

QString NativePath(const QString& Path)
{
    QString Written = Path;
    Written.replace(u'\\', u'/');
    // The common case: the path exists as written, which costs one stat.
    if (Written.isEmpty() || QFileInfo::exists(Written)) {
        return Written;
    }

    const qsizetype Root = RootLength(Written);
    QString Result = Written.left(Root);
    qsizetype Pos = Root;
    while (Pos < Written.size()) {
        qsizetype End = Written.indexOf(u'/', Pos);
        if (End < 0) {
            End = Written.size();
        }
        const QStringView Name = QStringView(Written).sliced(Pos, End - Pos);
        const bool IsLast = End == Written.size();
        if (!Name.isEmpty() && Name != u"." && Name != u".." && !QFileInfo::exists(Result + Name)) {
            // Only a folder can hold the components that follow, so those are matched against folders.
            const QString Found = FindEntry(Result, Name, !IsLast);
            if (Found.isEmpty()) {
                // Nothing further down can exist: the rest names what would be created.
                return Result + QStringView(Written).sliced(Pos);
            }
            Result += Found;
        } else {
            Result += Name;
        }
        if (!IsLast) {
            Result += u'/';
        }
        Pos = End + 1;
    }
    return Result;
}

QString SystemPath(const QString& Path)
{
    QString Native = NativePath(Path);
    if (Native.isEmpty()) {
        return Native;
    }
    // A started program runs in another folder, where a relative path would name another file.
    if (QDir::isRelativePath(Native)) {
        Native = QDir::currentPath() + u'/' + Native;
    }
    return QDir::toNativeSeparators(Native);
}

bool FileExists(const QString& FileName)
{
    return !FileName.isEmpty() && QFileInfo(NativePath(FileName)).isFile();
}
