#include "files/FileStamp.h"

#include "files/FileAccess.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>

namespace claims {
namespace {

// A save holds the lock for the milliseconds of one small write. Lock files
// are dated by the file server's clock, and PCs' clocks may differ from it
// by seconds: age alone takes a lock for stale only after this long.
constexpr int kStaleLockMs = 30'000;
constexpr int kLockWaitMs = 4'000;
constexpr int kStaleCheckAfterMs = 100;

// Takes the lock, trying again every few milliseconds so that a save never
// waits much longer than the one before it. A lock still there after a
// while may have been left by a save that was killed or lost its PC: it is
// removed when no running process holds it (the system's own lock on the
// file, or its sharing mode on Windows, tells). A lock file that cannot be
// made at all (no right to write in the folder, disk full) leaves the save
// to fail on its own file with the system's reason.
IoResult TakeLock(QLockFile& lock)
{
    lock.setStaleLockTime(kStaleLockMs);
    QDeadlineTimer deadline(kLockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError)
            return IoResult();
        if (deadline.hasExpired())
            return IoFailure(AccessDenied);
        if (deadline.remainingTime() < kLockWaitMs - kStaleCheckAfterMs)
            lock.removeStaleLockFile();
        QThread::msleep(2 + QRandomGenerator::global()->bounded(8));
    }
    return IoResult();
}

// Removing a stale lock takes a lock of its own, the lock's name with
// ".rmlock" added; one left by a save killed right then goes with the next
// save, once no process holds it. It is removed as a stale lock, not taken
// and given back: a save killed before it wrote its process number into the
// file leaves one that no one can take until it is old.
void RemoveLeftRemovalLock(const QString& lockPath)
{
    const QString name = lockPath + QStringLiteral(".rmlock");
    if (EntryExists(name))
        QLockFile(name).removeStaleLockFile();
}

} // namespace

FileStamp StampOfRead(const QString& path, QByteArrayView bytes)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = bytes.size();
    stamp.modified = QFileInfo(path).lastModified().toMSecsSinceEpoch();
    stamp.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return stamp;
}

StampRead ReadStamp(const QString& path)
{
    StampRead now;
    if (!EntryExists(path))
        return now;
    const FileBytes file = ReadWholeFile(path);
    now.result = file.result;
    if (file.result.ok())
        now.stamp = StampOfRead(path, file.bytes);
    return now;
}

GuardedWrite ReplaceUnlessChanged(const QString& path, const QString& lockPath, QByteArrayView data,
                                  const std::optional<FileStamp>& expected)
{
    GuardedWrite result;
    QLockFile lock(lockPath);
    result.io = TakeLock(lock);
    if (!result.io.ok())
        return result;
    RemoveLeftRemovalLock(lockPath);
    const auto unchanged = [&]() -> IoResult {
        if (!expected)
            return IoResult();
        const StampRead now = ReadStamp(path);
        if (!now.result.ok() || now.stamp == *expected)
            return now.result;
        result.onDisk = now.stamp;
        return IoResult{kChangedElsewhere, QString()};
    };
    result.io = ReplaceFileContents(path, data, unchanged);
    if (result.io.ok())
        result.onDisk = StampOfRead(path, data);
    return result;
}

} // namespace claims
