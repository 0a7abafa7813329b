#include "tests/support/FailingDisk.h"

#include <QFile>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#endif

namespace testsupport {
namespace {

using claims::IoResult;
using claims::platform::SystemCalls;
using claims::platform::TempFile;

FailingDisk* active = nullptr;

IoResult Write(const TempFile& temp, QByteArrayView data, const QString& target)
{
    if (!active->Fails(FileCall::Write))
        return SystemCalls().write(temp, data, target);
    if (active->Fault() == DiskFault::FlippedByte) {
        QByteArray flipped = data.toByteArray();
        flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x20);
        return SystemCalls().write(temp, flipped, target);
    }
    SystemCalls().write(temp, data.first(data.size() / 2), target);
    return SystemFailure(active->Fault(), target);
}

IoResult Flush(const TempFile& temp, const QString& target)
{
    return active->Fails(FileCall::Flush) ? SystemFailure(active->Fault(), target)
                                          : SystemCalls().flush(temp, target);
}

IoResult Move(TempFile& temp, const QString& target)
{
    if (!active->Fails(FileCall::Rename))
        return SystemCalls().moveIntoPlace(temp, target);
    if (active->Fault() == DiskFault::TargetLost)
        QFile::remove(target);
    return SystemFailure(active->Fault(), target);
}

IoResult KeepVersion(const QString& versionPath, QByteArrayView bytes)
{
    return active->Fails(FileCall::HistoryCopy) ? SystemFailure(active->Fault(), versionPath)
                                                : SystemCalls().keepVersion(versionPath, bytes);
}

const claims::platform::SaveCalls kFailingCalls{SystemCalls().createTemp, Write, Flush, Move, KeepVersion};

} // namespace

IoResult SystemFailure(DiskFault fault, const QString& path)
{
#ifdef Q_OS_WIN
    const DWORD codes[] = {ERROR_DISK_FULL, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED, ERROR_CRC};
    return claims::IoResultFromSystemError(codes[int(fault)], path);
#else
    const int codes[] = {ENOSPC, EACCES, EBUSY, EACCES, EIO};
    return claims::IoResultFromErrno(codes[int(fault)], path);
#endif
}

FailingDisk::FailingDisk(FileCall call, int n, DiskFault fault) : call_(call), n_(n), fault_(fault)
{
    active = this;
    claims::platform::UseCalls(&kFailingCalls);
}

FailingDisk::~FailingDisk()
{
    claims::platform::UseCalls(nullptr);
    active = nullptr;
}

bool FailingDisk::Fails(FileCall call)
{
    if (call != call_ || ++count_ != n_)
        return false;
    failed_ = true;
    return true;
}

} // namespace testsupport
