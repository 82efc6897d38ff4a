#include "KernelCopy.h"

#include <cerrno>
#include <cstring>

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
