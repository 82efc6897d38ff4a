#include "KernelCopy.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

TKernelCopyResult KernelCopyChunk(int InHandle, int OutHandle, qint64 MaxBytes)
{
    TKernelCopyResult Result;
    if (InHandle < 0 || OutHandle < 0 || MaxBytes <= 0) {
        return Result;
    }
    ssize_t Copied = -1;
    do {
        Copied = copy_file_range(InHandle, nullptr, OutHandle, nullptr, size_t(MaxBytes), 0);
    } while (Copied < 0 && errno == EINTR);
    if (Copied >= 0) {
        Result.Kind = TKernelCopyResult::kcCopied;
        Result.Bytes = Copied;
        return Result;
    }
    const int Error = errno;
    switch (Error) {
    // Not between these files or file systems, or not by this kernel.
    case EXDEV:
    case ENOSYS:
    case EINVAL:
    case EOPNOTSUPP:
    case EPERM:
    case EBADF:
        return Result;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EROFS:
        Result.Kind = TKernelCopyResult::kcWriteError;
        break;
    default:
        Result.Kind = TKernelCopyResult::kcReadError;
        break;
    }
    Result.Reason = QString::fromLocal8Bit(std::strerror(Error));
    return Result;
}

int OpenUnnamedFile(const QString& Folder)
{
    // Naming the file later goes through its entry under /proc; without /proc it could not be named.
    static const bool CanName = access("/proc/self/fd", X_OK) == 0;
    if (!CanName) {
        return -1;
    }
    const QByteArray Path = QFile::encodeName(Folder);
    int Handle = -1;
    do {
        // Mode as a new named file gets it: the umask decides.
        Handle = open(Path.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    } while (Handle < 0 && errno == EINTR);
    return Handle;
}

void CloseUnnamedFile(int Handle)
{
    if (Handle >= 0) {
        close(Handle);
    }
}

TNameResult NameUnnamedFile(int Handle, const QString& FileName, QString& Reason)
{
    // The handle's entry under /proc links the file itself; naming by the handle directly
    // (AT_EMPTY_PATH) needs a privilege that users lack.
    const QByteArray Entry = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(Handle);
    const QByteArray Name = QFile::encodeName(FileName);
    if (linkat(AT_FDCWD, Entry.constData(), AT_FDCWD, Name.constData(), AT_SYMLINK_FOLLOW) == 0) {
        return nrNamed;
    }
    const int Error = errno;
    if (Error == EEXIST) {
        return nrExists;
    }
    Reason = QString::fromLocal8Bit(std::strerror(Error));
    return nrFailed;
}
