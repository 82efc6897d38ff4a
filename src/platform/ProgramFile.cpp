#include "ProgramFile.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

bool HasExtension(QStringView FileName, std::initializer_list<QStringView> Extensions)
{
    for (const QStringView Extension : Extensions) {
        if (FileName.endsWith(Extension, Qt::CaseInsensitive) && FileName.size() > Extension.size()) {
            return true;
        }
    }
    return false;
}

// The interpreter and its one optional argument from a "#!" line; the interpreter is empty when the
// head is no such line.
void ReadInterpreterLine(QByteArrayView Head, TProgramFile& File)
{
    if (!Head.startsWith("#!")) {
        return;
    }
    qsizetype End = Head.indexOf('\n');
    if (End < 0) {
        End = Head.size();
    }
    // Names of programs are file names: the local 8-bit encoding is the file system's.
    const QString Line = QString::fromLocal8Bit(Head.sliced(2, End - 2)).trimmed();
    qsizetype Blank = 0;
    while (Blank < Line.size() && Line[Blank] != u' ' && Line[Blank] != u'\t') {
        ++Blank;
    }
    File.Interpreter = Line.first(Blank);
    File.InterpreterArgument = Line.sliced(Blank).trimmed();
}

// A field of /proc/self/mountinfo: blanks, tabs, line breaks and backslashes are written as three
// octal digits after a backslash.
QByteArray UnescapeMountField(QByteArrayView Field)
{
    auto IsOctal = [](char C) { return C >= '0' && C <= '7'; };
    QByteArray Result;
    for (qsizetype I = 0; I < Field.size(); ++I) {
        if (Field[I] == '\\' && I + 3 < Field.size() && Field[I + 1] >= '0' && Field[I + 1] <= '3' &&
            IsOctal(Field[I + 2]) && IsOctal(Field[I + 3])) {
            Result += char(((Field[I + 1] - '0') << 6) | ((Field[I + 2] - '0') << 3) | (Field[I + 3] - '0'));
            I += 3;
        } else {
            Result += Field[I];
        }
    }
    return Result;
}

} // namespace

QString MountSuperOptions(QByteArrayView MountInfo, QByteArrayView MountPoint)
{
    QByteArray Options;
    // Lines: id parent major:minor root mount-point options [optional fields] - type source super-options
    for (const QByteArray& Line : MountInfo.toByteArray().split('\n')) {
        const QList<QByteArray> Fields = Line.split(' ');
        const qsizetype Separator = Fields.indexOf("-");
        if (Separator < 6 || Separator + 3 >= Fields.size()) {
            continue;
        }
        if (UnescapeMountField(Fields[4]) == MountPoint) {
            Options = Fields[Separator + 3];
        }
    }
    // The options are ASCII words.
    return QString::fromLatin1(Options);
}

TProgramFile ClassifyProgramFile(QByteArrayView Head, QStringView FileName, bool ExecuteBit,
                                 bool ExecuteBitsKept)
{
    TProgramFile File;
    if (Head.startsWith("\x7f"
                        "ELF")) {
        File.Kind = pkNativeProgram;
        return File;
    }
    if (Head.startsWith("MZ") || HasExtension(FileName, {u".exe", u".msi", u".bat", u".cmd", u".com"})) {
        File.Kind = pkWindowsProgram;
        return File;
    }
    const bool ShellScriptName = HasExtension(FileName, {u".sh"});
    // Where every file carries the same bits they say nothing: only the name can mark a script.
    const bool Runnable = ExecuteBitsKept ? ExecuteBit : ShellScriptName;
    if (!Runnable) {
        return File;
    }
    ReadInterpreterLine(Head, File);
    if (File.Interpreter.isEmpty() && ShellScriptName && !Head.startsWith("#!")) {
        File.Interpreter = u"/bin/sh"_s;
    }
    if (!File.Interpreter.isEmpty()) {
        File.Kind = pkScript;
    }
    return File;
}

TProgramFile ClassifyProgramFile(const QString& NativeFile)
{
    const QFileInfo Info(NativeFile);
    if (!Info.isFile()) {
        return {};
    }
    QFile File(NativeFile);
    if (!File.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray Head = File.read(ProgramHeadSize);
    return ClassifyProgramFile(Head, Info.fileName(), Info.isExecutable(), ExecuteBitsKept(NativeFile));
}

TProgramKind ProgramKind(const QString& NativeFile)
{
    return ClassifyProgramFile(NativeFile).Kind;
}

bool FileSystemKeepsExecuteBits(QStringView Type, QStringView Options)
{
    // NTFS and exFAT read through FUSE are listed as "fuseblk".
    for (const QStringView Uniform : {u"vfat", u"msdos", u"fat", u"exfat", u"ntfs", u"ntfs3", u"fuseblk"}) {
        if (Type.compare(Uniform, Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    if (Type.compare(u"iso9660", Qt::CaseInsensitive) == 0) {
        for (const QStringView Option : Options.split(u',')) {
            if (Option == u"norock") {
                return false;
            }
        }
    }
    return true;
}
