#pragma once
// A failing device in place of the file calls of a save: the n-th call of
// one kind (write, flush, rename or the history copy) fails with a chosen
// error, reported as the system reports it; every other call is the
// system's. A write that fails has written half of its data first, as a
// disk that fills up does. Qt Core only, for every platform.

#include "files/FileAccessPlatform.h"

namespace testsupport {

enum class FileCall { Write, Flush, Rename, HistoryCopy };
// TargetLost: the move is refused after it removed its target, as a file
// server's client may do (Wine's through a FUSE mount); access denied.
// FlippedByte: a write that reports success but stored one byte changed, as
// a failing stick does; only a read back finds it.
enum class DiskFault { DiskFull, AccessDenied, SharingViolation, TargetLost, FlippedByte };

// The failure as the system gives it: on Windows ERROR_DISK_FULL,
// ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION (ERROR_ACCESS_DENIED again
// for a lost target) through IoResultFromSystemError; elsewhere ENOSPC,
// EACCES, EBUSY (EACCES) through
// IoResultFromErrno.
claims::IoResult SystemFailure(DiskFault fault, const QString& path);

// Saves make their calls through it while it lives.
class FailingDisk {
public:
    FailingDisk(FileCall call, int n, DiskFault fault);
    ~FailingDisk();
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    bool Failed() const { return failed_; }   // whether the fault came

    // Whether this call is the one to fail; counts it.
    bool Fails(FileCall call);
    DiskFault Fault() const { return fault_; }

private:
    FileCall call_;
    int n_;
    DiskFault fault_;
    int count_ = 0;
    bool failed_ = false;
};

} // namespace testsupport
