#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Which files of a disc may be started as programs. A document is never executed: only a file that is
// a program is started, and only when a step names its object as a program (run, install, a program
// opened by an open step or after a pre-copy). Everything else goes to the program the desktop
// registers for its type. The rule is written out in docs/platform.md.

enum TProgramKind
{
    pkDocument,       // opened by the program registered for its type, never executed
    pkNativeProgram,  // an ELF program
    pkScript,         // a script: its "#!" line (or /bin/sh for a ".sh" without one) names the interpreter
    pkWindowsProgram, // ".exe", ".msi", ".bat", ".cmd", ".com" or an "MZ" file: only a registered runner
                      // (such as wine) can start it
};

struct TProgramFile
{
    TProgramKind Kind = pkDocument;
    // For a script: the interpreter (an absolute path as written after "#!") and its one optional
    // argument.
    QString Interpreter;
    QString InterpreterArgument;
};

// The rule as a function of what a file shows: its first bytes (256 are enough), its name, whether it
// carries the execute bit, and whether its file system keeps execute bits per file at all.
// - An ELF file is a program.
// - A Windows program (by its extension or an "MZ" start) is a Windows program.
// - A script ("#!" and an interpreter) is a program when it has its execute bit on a file system that
//   keeps them; on one that does not, where every file has the same bits, a ".sh" file is a script
//   (through /bin/sh when it has no "#!" line) and nothing else is.
// - Everything else is a document.
// The first bytes the rule looks at: the kernel reads at most this much of an interpreter line.
inline constexpr qsizetype ProgramHeadSize = 256;

TProgramFile ClassifyProgramFile(QByteArrayView Head, QStringView FileName, bool ExecuteBit,
                                 bool ExecuteBitsKept);

// The rule applied to a file of the file system (a native path, as NativePath gives it). What is not
// a regular readable file (a folder, a device, a missing file) is a document.
TProgramFile ClassifyProgramFile(const QString& NativeFile);
TProgramKind ProgramKind(const QString& NativeFile);

// Whether the file system holding NativeFile keeps an execute bit per file. FAT, exFAT, NTFS and ISO
// 9660 without Rock Ridge do not: their mount options give every file the same bits.
bool ExecuteBitsKept(const QString& NativeFile);

// The decision for a file system of Type ("vfat", "iso9660", ...) mounted with the super options
// Options (comma-separated, as /proc/self/mountinfo lists them). Linux shows "norock" for an ISO 9660
// file system read without Rock Ridge, the usual case for a disc written on Windows.
bool FileSystemKeepsExecuteBits(QStringView Type, QStringView Options);
// The super options of the file system mounted last at MountPoint, read from the text of a mount
// table in the form of /proc/self/mountinfo; "" when it lists no such mount.
QString MountSuperOptions(QByteArrayView MountInfo, QByteArrayView MountPoint);
