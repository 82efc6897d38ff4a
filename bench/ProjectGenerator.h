#pragma once

// Generated projects for the benchmarks: sections of items with long Cyrillic descriptions, one
// action per item and 32-bit icons, written as JSON and compiled into a structure file by
// "vlptool build".

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QtEndian>

#include <cstdio>

namespace ProjectGenerator {

using namespace Qt::StringLiterals;

struct TShape
{
    int Sections = 200;
    int ItemsPerSection = 100;
    int Icons = 500;
    int ItemDescription = 1000;    // characters
    int SectionDescription = 3000; // characters
    bool SectionIcons = false;     // sections show an icon of their own
};

// An icon file image with a 32x32 and a 48x48 32-bit entry; Seed varies the pixels.
inline QByteArray MakeIcon(int Seed)
{
    const int Sizes[] = {32, 48};
    QByteArray Out;
    auto Put16 = [&](quint16 V) {
        char B[2];
        qToLittleEndian(V, B);
        Out.append(B, 2);
    };
    auto Put32 = [&](quint32 V) {
        char B[4];
        qToLittleEndian(V, B);
        Out.append(B, 4);
    };
    Put16(0);
    Put16(1);
    Put16(2);
    quint32 Offset = 6 + 2 * 16;
    for (int S : Sizes) {
        const quint32 Bytes = 40 + S * S * 4 + S * ((S + 31) / 32 * 4);
        Out.append(char(S)).append(char(S)).append('\0').append('\0');
        Put16(1);
        Put16(32);
        Put32(Bytes);
        Put32(Offset);
        Offset += Bytes;
    }
    for (int S : Sizes) {
        Put32(40);
        Put32(quint32(S));
        Put32(quint32(2 * S));
        Put16(1);
        Put16(32);
        for (int I = 0; I < 6; ++I)
            Put32(0);
        for (int P = 0; P < S * S; ++P)
            Put32(0xFF000000u | quint32((P * 2654435761u + quint32(Seed) * 40503u) & 0xFFFFFF));
        Out.append(QByteArray(S * ((S + 31) / 32 * 4), '\0'));
    }
    return Out;
}

inline QString LongText(int Seed, int Chars)
{
    static const QString Words[] = {u"программа"_s, u"установка"_s, u"диск"_s, u"документация"_s,
                                    u"игра"_s,      u"описание"_s,  u"файл"_s, u"раздел"_s};
    QString T;
    T.reserve(Chars + 16);
    int I = Seed;
    while (T.size() < Chars) {
        T += Words[(I = I * 1103515245 + 12345) >> 16 & 7];
        T += (I & 0x300) ? u' ' : u'\n';
    }
    return T;
}

inline QJsonObject MakeProject(const TShape& Shape)
{
    QJsonObject P;
    P[u"Title"_s] = u"Большой диск"_s;
    P[u"Folder"_s] = u"Disc\\"_s;
    QJsonArray Pictures;
    for (int I = 0; I < Shape.Icons; ++I) {
        QJsonObject Pic;
        Pic[u"Name"_s] = u"icon%1"_s.arg(I);
        Pic[u"Icon"_s] = QJsonObject{{u"Base64"_s, QString::fromLatin1(MakeIcon(I).toBase64())}};
        Pictures.append(Pic);
    }
    P[u"Pictures"_s] = Pictures;
    QJsonArray Sections;
    for (int S = 0; S < Shape.Sections; ++S) {
        QJsonArray Items;
        for (int I = 0; I < Shape.ItemsPerSection; ++I) {
            const int Serial = S * Shape.ItemsPerSection + I;
            QJsonObject Step{{u"ShellActionType"_s, u"atOpenObject"_s},
                             {u"ObjectType"_s, u"otExecutable"_s},
                             {u"OpenObject"_s, u"Soft\\Программа %1\\setup.exe"_s.arg(I)}};
            QJsonObject Action{{u"Description"_s, u"Установить"_s},
                               {u"ImageIndex"_s, I % Shape.Icons},
                               {u"ShellActions"_s, QJsonArray{Step}}};
            QJsonObject Item{{u"Name"_s, u"Программа %1.%2"_s.arg(S).arg(I)},
                             {u"Folder"_s, u"Soft\\%1"_s.arg(I)},
                             {u"ImageDefault"_s, Serial % Shape.Icons},
                             {u"Description"_s, LongText(Serial, Shape.ItemDescription)},
                             {u"ItemActions"_s, QJsonArray{Action}},
                             {u"Screenshots"_s, QJsonArray{QJsonObject{{u"FileName"_s, u"Shots\\a.jpg"_s}}}}};
            Items.append(Item);
        }
        QJsonObject Section{{u"Name"_s, u"Раздел %1"_s.arg(S)},
                            {u"Description"_s, LongText(S, Shape.SectionDescription)},
                            {u"SItems"_s, Items}};
        if (Shape.SectionIcons)
            Section[u"ImageDefault"_s] = S % Shape.Icons;
        Sections.append(Section);
    }
    P[u"Sections"_s] = Sections;
    return P;
}

// Writes the project as JSON to JsonFile and compiles it into OutFile with the project tool.
inline bool MakeFile(const QString& ToolPath, const TShape& Shape, const QString& JsonFile,
                     const QString& OutFile)
{
    QFile F(JsonFile);
    if (!F.open(QIODevice::WriteOnly))
        return false;
    F.write(QJsonDocument(MakeProject(Shape)).toJson(QJsonDocument::Compact));
    F.close();
    QProcess Tool;
    Tool.start(ToolPath, {u"build"_s, JsonFile, OutFile});
    if (!Tool.waitForFinished(-1) || Tool.exitCode() != 0) {
        std::fprintf(stderr, "vlptool build failed: %s\n", Tool.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace ProjectGenerator
