#include "claims/IoResult.h"

#include <QFileInfo>

#include <cerrno>

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

} // namespace claims
