#include "ControlStrings.h"

#include "config/IniFile.h"
#include "text/CodePage.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QFile>

#include <algorithm>

QString TControlStrings::Strings(int Index) const
{
    return Index >= 0 && Index < Count() ? FStrings[Index] : QString();
}

void TControlStrings::SetStrings(int Index, const QString& Value)
{
    if (Index < 0 || Index >= Count()) {
        return;
    }
    FStrings[Index] = Value;
    if (OnStringChanged) {
        OnStringChanged(Index);
    }
    Changed();
}

void* TControlStrings::Objects(int Index) const
{
    return Index >= 0 && Index < Count() ? FObjects[Index] : nullptr;
}

void TControlStrings::SetObjects(int Index, void* Object)
{
    if (Index >= 0 && Index < Count()) {
        FObjects[Index] = Object;
    }
}

int TControlStrings::AddObject(const QString& S, void* Object)
{
    const int Index = Count();
    InsertObject(Index, S, Object);
    return Index;
}

void TControlStrings::AddStrings(const QStringList& Lines)
{
    BeginUpdate();
    for (const QString& Line : Lines) {
        Add(Line);
    }
    EndUpdate();
}

void TControlStrings::InsertObject(int Index, const QString& S, void* Object)
{
    Index = std::clamp(Index, 0, Count());
    FStrings.insert(Index, S);
    FObjects.insert(Index, Object);
    if (OnInserted) {
        OnInserted(Index);
    }
    Changed();
}

void TControlStrings::Delete(int Index)
{
    if (Index < 0 || Index >= Count()) {
        return;
    }
    FStrings.removeAt(Index);
    FObjects.removeAt(Index);
    if (OnDeleted) {
        OnDeleted(Index);
    }
    Changed();
}

void TControlStrings::Clear()
{
    if (FStrings.isEmpty()) {
        return;
    }
    FStrings.clear();
    FObjects.clear();
    if (OnCleared) {
        OnCleared();
    }
    Changed();
}

int TControlStrings::IndexOf(const QString& S) const
{
    for (int I = 0; I < Count(); ++I) {
        if (FStrings[I].compare(S, Qt::CaseInsensitive) == 0) {
            return I;
        }
    }
    return -1;
}

int TControlStrings::IndexOfObject(const void* Object) const
{
    return static_cast<int>(FObjects.indexOf(const_cast<void*>(Object)));
}

void TControlStrings::Assign(const QStringList& Lines)
{
    ReplaceAll(Lines);
}

QString TControlStrings::Text() const
{
    QString Result;
    for (const QString& Line : FStrings) {
        Result += Line + u"\r\n";
    }
    return Result;
}

void TControlStrings::SetText(const QString& Value)
{
    ReplaceAll(SplitLines(Value));
}

void TControlStrings::ReplaceAll(const QStringList& Lines)
{
    BeginUpdate();
    Clear();
    FStrings.reserve(Lines.size());
    FObjects.reserve(Lines.size());
    for (const QString& Line : Lines) {
        Add(Line);
    }
    FChangedInUpdate = true;
    EndUpdate();
}

void TControlStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedInUpdate) {
        FChangedInUpdate = false;
        if (OnChange) {
            OnChange();
        }
    }
}

void TControlStrings::Changed()
{
    if (FUpdateCount > 0) {
        FChangedInUpdate = true;
        return;
    }
    if (OnChange) {
        OnChange();
    }
}

bool TControlStrings::LoadFromFile(const QString& FileName, QString* Error)
{
    FTruncated = false;
    QFile File;
    if (!OpenDiscFile(File, FileName, Error)) {
        return false;
    }
    const QByteArray Bytes = File.read(MaxFileSize);
    if (File.error() != QFileDevice::NoError) {
        if (Error) {
            *Error = File.errorString();
        }
        return false;
    }
    const bool Whole = File.atEnd();
    LoadFromBytes(Bytes);
    const bool LinesCut = FTruncated;
    FTruncated = LinesCut || !Whole;
    if (Error) {
        Error->clear();
        if (!Whole) {
            *Error = QStringLiteral("The file is larger than %1 bytes; only its beginning was read.")
                         .arg(MaxFileSize);
        } else if (LinesCut) {
            *Error =
                QStringLiteral("The file has more than %1 lines; only the first were read.").arg(MaxLines);
        }
    }
    return !FTruncated;
}

void TControlStrings::LoadFromBytes(QByteArrayView Bytes)
{
    bool Cut = false;
    const QStringList Lines = SplitLines(DecodeTextFile(Bytes), &Cut);
    FTruncated = Cut;
    ReplaceAll(Lines);
}

QStringList TControlStrings::SplitLines(const QString& Text, bool* Truncated)
{
    QStringList Result;
    if (Truncated) {
        *Truncated = false;
    }
    qsizetype Start = 0;
    const qsizetype Length = Text.size();
    for (qsizetype I = 0; I <= Length; ++I) {
        const bool End = I == Length;
        const QChar C = End ? QChar() : Text[I];
        const bool Break =
            !End && (C == u'\r' || C == u'\n' || C == QChar::LineSeparator || C == QChar::ParagraphSeparator);
        if (!Break && !End) {
            continue;
        }
        if (End && Start == Length) {
            break; // a final line break (or an empty text) starts no further line
        }
        if (Result.size() >= MaxLines) {
            if (Truncated) {
                *Truncated = true;
            }
            break;
        }
        Result.append(Text.mid(Start, I - Start));
        if (C == u'\r' && I + 1 < Length && Text[I + 1] == u'\n') {
            ++I;
        }
        Start = I + 1;
    }
    return Result;
}
