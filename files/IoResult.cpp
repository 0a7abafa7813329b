#include "files/IoResult.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace claims {
namespace {

#ifdef EDQUOT
constexpr int kQuotaExceeded = EDQUOT;
#else
constexpr int kQuotaExceeded = -1;   // the system has no such error
#endif

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
    case EFBIG:
        return DiskFull;
    default:
        return err == kQuotaExceeded ? DiskFull : KeptErrorNumber(err);
    }
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

Failure IoFailure(int code)
{
    return Failed(code, IoErrorText(code));
}

Failure Failed(int code, const QString& message)
{
    IoError error;
    error.code = code;
    error.message = message;
    return Failure(std::move(error));
}

Failure Refused(Refusal refusal, const QString& message)
{
    Failure refused = Failed(0, message);
    refused.error().refusal = refusal;
    return refused;
}

int KeptErrorNumber(int err)
{
    const bool ownCode = err == FileNotFound || err == PathNotFound || err == TooManyOpenFiles
                         || err == AccessDenied || err == DiskFull;
    return ownCode ? 1000 + err : err;
}

Failure IoFailureAt(int code, const QString& path)
{
    const bool folderMissing = !path.isEmpty() && !QFileInfo(QFileInfo(path).absolutePath()).isDir();
    return IoFailure(code == FileNotFound && folderMissing ? PathNotFound : code);
}

Failure NamingFile(Failure failure, const QString& path)
{
    failure.error().message += u'\n' + QDir::toNativeSeparators(path);
    return failure;
}

Failure IoResultFromErrno(int err, const QString& path)
{
    if (err == 0)
        err = EIO;   // a failure that left no reason
    return IoFailureAt(CodeOfErrno(err), path);
}

} // namespace claims
