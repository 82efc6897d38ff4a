#include "model/StructureFile.h"

#include "model/LegacyModel.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QFile>
#include <QtEndian>

using namespace Qt::StringLiterals;

qint64 ComputeSignature(const QString& Magic)
{
    QString Digits;
    for (QChar C : Magic)
        Digits += QString::number(C.unicode());
    bool Ok = false;
    const qint64 Value = Digits.toLongLong(&Ok);
    return Ok ? Value : 0;
}

TProgramVersion SplitVersion(quint32 Version)
{
    return {quint8(Version >> 24), quint8(Version >> 16), quint8(Version >> 8)};
}

namespace {

// Reads the rest of an open file, refusing sizes the reader would never accept.
bool ReadRest(QFile& File, QByteArray& Data)
{
    const qint64 Remaining = File.size() - File.pos();
    if (Remaining > StructureFile::MaxFileSize)
        return false;
    Data = File.read(qMax<qint64>(Remaining, 0));
    return File.error() == QFile::NoError;
}

bool NewerThanProgram(const TProgramVersion& File, const TProgramVersion& Program)
{
    if (Program.Major != File.Major)
        return Program.Major < File.Major;
    if (Program.Minor != File.Minor)
        return Program.Minor < File.Minor;
    return Program.Release < File.Release;
}

} // namespace

int TVeltraneProject::LoadFromFile(const QString& FileName)
{
    LastError.clear();
    {
        QFile Probe;
        if (!OpenDiscFile(Probe, FileName, &LastError)) {
            return lrNoAccess;
        }
    }

    Signature = ComputeSignature(QString::fromLatin1(StructureFile::Magic));

    int Result = lrLoaded;
    QFile File;
    // The stream is read in chunks straight from the file.
    if (!OpenDiscFile(File, FileName, &LastError, QIODevice::Unbuffered)) {
        // Gone between the two opens.
        Result = lrNoAccess;
    } else {
        uchar Sig[8] = {};
        if (File.read(reinterpret_cast<char*>(Sig), 8) != 8 || qFromLittleEndian<qint64>(Sig) != Signature) {
            LastError = u"Wrong signature"_s;
            Result = lrWrongSignature;
        } else {
            // A short version field keeps zeros in the bytes it lacks.
            uchar Ver[4] = {};
            File.read(reinterpret_cast<char*>(Ver), 4);
            FileVersion = qFromLittleEndian<quint32>(Ver);
            if (NewerThanProgram(SplitVersion(FileVersion), ProgramVersion)) {
                LastError = u"The file's version is newer than the program's"_s;
                Result = lrNewerVersion;
            } else {
                File.seek(StructureFile::HeaderSize);
                const qint64 Remaining = File.size() - File.pos();
                if (File.pos() != StructureFile::HeaderSize || Remaining > StructureFile::MaxFileSize) {
                    LastError = u"Stream read error"_s;
                    Result = lrReadError;
                } else {
                    const TStreamReadResult R = ReadComponent(File, Remaining, *this);
                    if (!R.Ok) {
                        LastError = R.Error;
                        Result = lrReadError;
                    }
                }
            }
        }
        File.close();
    }
    LegacyFlag = false;
    return Result;
}

TStreamReadResult ReadLegacyFile(const QString& FileName, Legacy::TVeltrane& Root, bool* Opened)
{
    QFile File;
    QString Why;
    const bool Open = OpenDiscFile(File, FileName, &Why);
    if (Opened)
        *Opened = Open;
    if (!Open) {
        TStreamReadResult R;
        R.Ok = false;
        R.Error = Why;
        return R;
    }
    QByteArray Data;
    if (!ReadRest(File, Data)) {
        TStreamReadResult R;
        R.Ok = false;
        R.Error = u"Stream read error"_s;
        return R;
    }
    return ReadComponent(Data, Root);
}
