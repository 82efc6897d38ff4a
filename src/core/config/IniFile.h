#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <utility>

// The INI files of a disc ("shell.ini", "controls.ini"), read the way the platform's INI functions
// read them:
// - bytes are Windows-1251 text; a UTF-8 or UTF-16LE byte-order mark selects that encoding;
// - lines end in CR LF, LF or CR; leading and trailing blanks of a line are dropped;
// - "[Name]" starts a section; "Key=Value" lines inside a section hold the values, anything else is
//   skipped (a line starting with ";" is a comment, lines before the first section are ignored);
// - section and key names are matched without regard to case, keys and values are trimmed, and the
//   first occurrence of a section or key wins (a later section of the same name adds only the keys
//   the earlier one lacks);
// - at most MaxIniFileSize bytes are read; a line cut by that limit is dropped.

inline constexpr qsizetype MaxIniFileSize = 1024 * 1024;

// One key and its value, as written in the file.
using TIniValue = std::pair<QString, QString>;

class TIniFile
{
public:
    // Reads FileName (project notation: it goes through NativePath). Returns false when the file
    // cannot be opened; the object is then empty and every read gives its default.
    bool LoadFromFile(const QString& FileName);
    // Reads the content of a file.
    void LoadFromBytes(QByteArrayView Bytes);
    // Reads already decoded text.
    void LoadFromText(QStringView Text);

    // The value, or Default when the section or key is missing. A key written with an empty value
    // gives "".
    QString ReadString(QStringView Section, QStringView Key, const QString& Default) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else (an empty value included) gives Default.
    qint32 ReadInteger(QStringView Section, QStringView Key, qint32 Default) const;
    // An integer: 0 is false, any other is true; a value that is no integer gives Default.
    bool ReadBool(QStringView Section, QStringView Key, bool Default) const;

    bool SectionExists(QStringView Section) const;
    bool ValueExists(QStringView Section, QStringView Key) const;
    // Section names as first written, in file order.
    QStringList ReadSections() const;
    // The keys of a section, as first written, in file order.
    QStringList ReadSection(QStringView Section) const;
    // The keys of a section with their values, in file order.
    QList<TIniValue> ReadSectionValues(QStringView Section) const;

private:
    struct TSection
    {
        QString Name;
        QList<TIniValue> Values;
        QHash<QString, qsizetype> KeyIndex; // case-folded key -> index into Values
    };
    const TSection* FindSection(QStringView Section) const;
    const QString* FindValue(QStringView Section, QStringView Key) const;

    QList<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex; // case-folded name -> index into FSections
};

// Reads an integer as the program reads every number written as text (INI values, the string
// table's language list): optional leading blanks and sign, then decimal digits, or hexadecimal
// digits after "$" or "0x", and nothing else. Decimal must fit a signed 32-bit integer; hexadecimal
// may use all 32 bits ("$FFFFFFFF" is -1).
bool TryStrToInt(QStringView S, qint32& Value);
qint32 StrToIntDef(QStringView S, qint32 Default);
