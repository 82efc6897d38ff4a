// Loads a large structure file and reports the reading speed in MB/s.
//
// Without an argument it first makes the file: a project of 200 sections with 100 items each, long
// descriptions and 500 icons (about 50 MB), written as JSON and compiled with "vlptool build".
// Usage: bench_loadproject [FILE.vlp] [--runs N]

#include "model/ComponentReader.h"
#include "model/StructureFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// An icon file image with a 32x32 and a 48x48 32-bit entry; Seed varies the pixels.
QByteArray MakeIcon(int Seed)
{
    const int Sizes[] = {32, 48};
    QByteArray Out;
    auto Put16 = [&](quint16 V) { char B[2]; qToLittleEndian(V, B); Out.append(B, 2); };
    auto Put32 = [&](quint32 V) { char B[4]; qToLittleEndian(V, B); Out.append(B, 4); };
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

QString LongText(int Seed, int Chars)
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

QJsonObject MakeProject()
{
    QJsonObject P;
    P[u"Title"_s] = u"Большой диск"_s;
    P[u"Folder"_s] = u"Disc\\"_s;
    QJsonArray Pictures;
    for (int I = 0; I < 500; ++I) {
        QJsonObject Pic;
        Pic[u"Name"_s] = u"icon%1"_s.arg(I);
        Pic[u"Icon"_s] = QJsonObject{{u"Base64"_s, QString::fromLatin1(MakeIcon(I).toBase64())}};
        Pictures.append(Pic);
    }
    P[u"Pictures"_s] = Pictures;
    QJsonArray Sections;
    for (int S = 0; S < 200; ++S) {
        QJsonArray Items;
        for (int I = 0; I < 100; ++I) {
            QJsonObject Step{{u"ShellActionType"_s, u"atOpenObject"_s},
                             {u"ObjectType"_s, u"otExecutable"_s},
                             {u"OpenObject"_s, u"Soft\\Программа %1\\setup.exe"_s.arg(I)}};
            QJsonObject Action{{u"Description"_s, u"Установить"_s}, {u"ImageIndex"_s, I % 500},
                               {u"ShellActions"_s, QJsonArray{Step}}};
            QJsonObject Item{{u"Name"_s, u"Программа %1.%2"_s.arg(S).arg(I)},
                             {u"Folder"_s, u"Soft\\%1"_s.arg(I)},
                             {u"ImageDefault"_s, (S * 100 + I) % 500},
                             {u"Description"_s, LongText(S * 100 + I, 1000)},
                             {u"ItemActions"_s, QJsonArray{Action}},
                             {u"Screenshots"_s, QJsonArray{QJsonObject{{u"FileName"_s, u"Shots\\a.jpg"_s}}}}};
            Items.append(Item);
        }
        Sections.append(QJsonObject{{u"Name"_s, u"Раздел %1"_s.arg(S)},
                                    {u"Description"_s, LongText(S, 3000)},
                                    {u"SItems"_s, Items}});
    }
    P[u"Sections"_s] = Sections;
    return P;
}

bool MakeFile(const QString& Dir, QString& OutFile)
{
    const QString Json = Dir + u"/large.json"_s;
    OutFile = Dir + u"/large.vlp"_s;
    QFile F(Json);
    if (!F.open(QIODevice::WriteOnly))
        return false;
    F.write(QJsonDocument(MakeProject()).toJson(QJsonDocument::Compact));
    F.close();
    QProcess Tool;
    Tool.start(QString::fromUtf8(VLPTOOL_PATH), {u"build"_s, Json, OutFile});
    if (!Tool.waitForFinished(-1) || Tool.exitCode() != 0) {
        std::fprintf(stderr, "vlptool build failed: %s\n", Tool.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    QStringList Args = App.arguments().mid(1);
    int Runs = 7;
    if (const qsizetype I = Args.indexOf(u"--runs"_s); I >= 0 && I + 1 < Args.size()) {
        Runs = std::max(1, Args[I + 1].toInt());
        Args.remove(I, 2);
    }
    QTemporaryDir Tmp;
    QString File = Args.value(0);
    if (File.isEmpty()) {
        std::printf("making the large project with vlptool build...\n");
        if (!MakeFile(Tmp.path(), File))
            return 1;
    }
    QFile In(File);
    if (!In.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray Bytes = In.readAll();
    const double MB = double(Bytes.size()) / 1e6;
    std::printf("file: %.1f MB\n", MB);

    auto Measure = [&](auto&& Body) {
        std::vector<double> Ms;
        for (int R = 0; R < Runs; ++R) {
            QElapsedTimer T;
            T.start();
            Body();
            Ms.push_back(double(T.nsecsElapsed()) / 1e6);
        }
        std::sort(Ms.begin(), Ms.end());
        return std::pair{Ms.front(), Ms[Ms.size() / 2]};
    };

    int Result = -1;
    const auto [FileBest, FileMedian] = Measure([&] {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        Result = P.LoadFromFile(File);
    });
    if (Result != 0) {
        std::fprintf(stderr, "LoadFromFile gave %d\n", Result);
        return 1;
    }
    const QByteArrayView Stream = QByteArrayView(Bytes).sliced(StructureFile::HeaderSize);
    const auto [MemBest, MemMedian] = Measure([&] {
        TVeltraneProject P;
        ReadComponent(Stream, P);
    });
    std::printf("LoadFromFile  : best %7.1f ms (%6.1f MB/s), median %7.1f ms (%6.1f MB/s)\n", FileBest,
                MB / FileBest * 1e3, FileMedian, MB / FileMedian * 1e3);
    std::printf("ReadComponent : best %7.1f ms (%6.1f MB/s), median %7.1f ms (%6.1f MB/s)\n", MemBest,
                MB / MemBest * 1e3, MemMedian, MB / MemMedian * 1e3);
    return 0;
}
