#include "files/IoResult.h"

#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>   // after the Qt headers, whose min and max it would spoil
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L   // in the Windows SDK, missing from some other headers
#endif
#endif

namespace claims {
namespace {

bool IsOwnCode(int code)
{
    return code == FileNotFound || code == PathNotFound || code == TooManyOpenFiles
           || code == AccessDenied || code == DiskFull;
}

int CodeOfErrno(int err)
{
    switch (err) {
    case ENOENT:
        return FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EILSEQ:
        return PathNotFound;
    case EMFILE:
    case ENFILE:
        return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return AccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return DiskFull;
    default:
        return IsOwnCode(err) ? 1000 + err : err;
    }
}

#ifdef Q_OS_WIN
int CodeOfSystemError(DWORD err)
{
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        return FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
        return PathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
        return TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED:
        return DiskFull;
    default:
        return IsOwnCode(int(err)) ? 1000 + int(err) : int(err);
    }
}
#endif

bool FolderIsMissing(const QString& path)
{
    return !path.isEmpty() && !QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

} // namespace

QString IoErrorText(int code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("ﾌｧｲﾙが見つかりません");
    case PathNotFound:
        return QStringLiteral("不正なﾌｧｲﾙ名です");
    case TooManyOpenFiles:
        return QStringLiteral("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます");
    case AccessDenied:
        return QStringLiteral("ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    case DiskFull:
        return QStringLiteral("ﾃﾞｨｽｸがいっぱいです");
    default:
        return QStringLiteral("I/O ｴﾗｰ (%1)").arg(code);
    }
}

IoResult IoFailure(int code)
{
    return IoResult{code, IoErrorText(code)};
}

IoResult IoResultFromErrno(int err, const QString& path)
{
    if (err == 0)
        err = EIO;   // a failure that left no reason
    int code = CodeOfErrno(err);
    if (code == FileNotFound && FolderIsMissing(path))
        code = PathNotFound;
    return IoFailure(code);
}

#ifdef Q_OS_WIN
IoResult IoResultFromSystemError(unsigned long err, const QString& path)
{
    if (err == ERROR_SUCCESS)
        err = ERROR_GEN_FAILURE;   // a failure that left no reason
    int code = CodeOfSystemError(err);
    if (code == FileNotFound && FolderIsMissing(path))
        code = PathNotFound;
    return IoFailure(code);
}
#endif

} // namespace claims
