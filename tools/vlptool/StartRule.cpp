#include "StartRule.h"

#include "ShellService.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace {

// File systems that keep no execute bits of their own (every file shows the mount's mode).
bool KeepsNoExecuteBits(const QString& Folder)
{
    const QByteArray Type = QStorageInfo(Folder).fileSystemType();
    for (const char* Name : {"vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk", "udf"}) {
        if (Type == Name) {
            return true;
        }
    }
    return false;
}

} // namespace

bool IsProgramFile(const QString& NativeFile)
{
    const QFileInfo Info(NativeFile);
    if (!Info.isFile()) {
        return false;
    }
    QFile File(NativeFile);
    if (!File.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray Head = File.read(4);
    const bool Elf = Head == "\x7f"
                             "ELF";
    const bool Script = Head.startsWith("#!");
    if ((Elf || Script) && Info.isExecutable()) {
        return true;
    }
    return !Info.isExecutable() && Info.suffix().compare(u"sh"_s, Qt::CaseInsensitive) == 0 &&
           KeepsNoExecuteBits(Info.absolutePath());
}

TStartDecision DecideStart(bool ProgramStep, const QString& NativeFile, const QProcessEnvironment& Environment)
{
    TStartDecision Decision;
    const QMimeType Type = QMimeDatabase().mimeTypeForFile(NativeFile);
    Decision.Type = Type.name();
    if (ProgramStep && IsProgramFile(NativeFile)) {
        Decision.Way = TStartWay::Program;
        return Decision;
    }
    if (const auto Entry = Xdg::DefaultApplication(Xdg::MimeTypeChain(Type), Environment)) {
        Decision.Way = TStartWay::Desktop;
        Decision.Opener = Entry->Id;
    }
    return Decision;
}
