#include "store/GuardedFile.h"

#include "files/FileAccess.h"
#include "store/FileNames.h"
#include "store/History.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSysInfo>
#include <QThread>

namespace claims {
namespace {

// A save holds the lock for the milliseconds of one small write. Lock files
// are dated by the file server's clock, and PCs' clocks may differ from it
// by seconds: age alone takes a lock for stale only after this long.
constexpr int kStaleLockMs = 30'000;
constexpr int kLockWaitMs = 4'000;
// The same lock file held this long may be left by a save of another PC.
constexpr int kStaleCheckAfterMs = 1'000;

// Another save kept the lock too long: shown as a refused access, as the
// system would show a file it keeps open.
Failure Locked()
{
    IoError error = IoFailure(AccessDenied).error();
    error.refusal = Refusal::Locked;
    return Failure(std::move(error));
}

// Whether the lock file names a save of this PC that still runs.
bool HeldByRunningSave(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    return lock.getLockInfo(&pid, &host, nullptr) && host == QSysInfo::machineHostName()
           && ProcessRunning(pid);
}

// Whether the lock file names a save of this PC whose process has ended.
bool LeftByEndedSave(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    return lock.getLockInfo(&pid, &host, nullptr) && host == QSysInfo::machineHostName()
           && !ProcessRunning(pid);
}

// One lock file as seen: what it says (process, PC) and its time. Entry ids
// do not tell one lock file from the next on a file server, which may give
// a name a new id at each look.
struct LockSeen {
    QByteArray bytes;
    qint64 modified = 0;
    bool operator==(const LockSeen&) const = default;
};

std::optional<LockSeen> SeeLock(const QString& lockPath)
{
    const Result<QByteArray> bytes = ReadWholeFile(lockPath);
    if (!bytes)
        return std::nullopt;
    return LockSeen{*bytes, QFileInfo(lockPath).lastModified().toMSecsSinceEpoch()};
}

// Removes a lock file taken for stale. Qt removes it while holding it open,
// to be sure that no process takes it meanwhile; a file server refuses to
// remove an open file, and then it is removed closed, if it is still the
// one that was seen.
void RemoveStaleLock(QLockFile& lock, const QString& lockPath, const LockSeen& seen)
{
    if (lock.removeStaleLockFile() || SeeLock(lockPath) != seen)
        return;
    QFile::remove(lockPath);
}

// Takes the lock, trying again every few milliseconds so that a save never
// waits much longer than the one before it. A lock file that stays the same
// for a while, and is no running save's of this PC, may have been left by a
// save that was killed or lost its PC: it is removed when no running
// process holds it (the system's own lock on the file, or its sharing mode
// on Windows, tells). Such a removal is never tried on a lock that comes and
// goes: a save that gives its lock back removes the file by name, and would
// remove the next save's lock file if this one had just removed its own. A
// lock file that cannot be made at all (no right to write in the folder,
// disk full) leaves the save to fail on its own file with the system's
// reason.
IoResult TakeLock(QLockFile& lock, const QString& lockPath)
{
    lock.setStaleLockTime(kStaleLockMs);
    QDeadlineTimer deadline(kLockWaitMs);
    std::optional<LockSeen> held;
    QElapsedTimer heldFor;
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError)
            return {};
        if (deadline.hasExpired())
            return Locked();
        const std::optional<LockSeen> now = SeeLock(lockPath);
        if (now && LeftByEndedSave(lock)) {
            RemoveStaleLock(lock, lockPath, *now);   // Qt's own removal failed on a file server
        } else if (!now || !held || *now != *held) {
            held = now;
            heldFor.start();
        } else if (heldFor.elapsed() >= kStaleCheckAfterMs && !HeldByRunningSave(lock)) {
            RemoveStaleLock(lock, lockPath, *now);
            heldFor.start();
        }
        QThread::msleep(2 + QRandomGenerator::global()->bounded(8));
    }
    return {};
}

// Whether the lock file there now is this process's own: the next save's,
// of another process, may have taken its place the moment it was removed.
bool OwnLockStays(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    return lock.getLockInfo(&pid, &host, nullptr) && pid == QCoreApplication::applicationPid()
           && host == QSysInfo::machineHostName();
}

// Gives the lock back. A file server refuses to remove the lock file while
// another PC reads who holds it: then the removal is tried again for a
// moment, as long as the file there is still this process's.
void GiveBack(QLockFile& lock, const QString& lockPath)
{
    lock.unlock();
    for (int waited = 0; OwnLockStays(lock);) {
        if (QFile::remove(lockPath) || !WaitBeforeTryingAgain(waited))
            return;
    }
}

// Removing a stale lock takes a lock of its own, the lock's name with
// ".rmlock" added; one left by a save killed right then goes with the next
// save, once no process holds it. It is removed as a stale lock, not taken
// and given back: a save killed before it wrote its process number into the
// file leaves one that no one can take until it is old.
void RemoveLeftRemovalLock(const QString& lockPath)
{
    const QString name = lockPath + QStringLiteral(".rmlock");
    if (!EntryExists(name))
        return;
    QLockFile left(name);
    // Qt removes it open, which a file server refuses: then it goes closed,
    // when the save that left it has ended.
    if (!left.removeStaleLockFile() && LeftByEndedSave(left))
        QFile::remove(name);
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

namespace {

// What the file at path holds now: nothing when there is no entry.
struct OnDisk {
    bool exists = false;
    QByteArray bytes;
};

Result<OnDisk> ReadOnDisk(const QString& path)
{
    if (!EntryExists(path))
        return OnDisk();
    Result<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return Failure(bytes.error());
    return OnDisk{true, std::move(*bytes)};
}

// The file as the save's last look found it, to be put back should the
// move lose it, and the version of it kept in the history.
struct Replaced {
    bool read = false;
    QByteArray bytes;
    QDateTime modified;
    KeptVersion kept;
};

// The save's last look before its data take the file's place, with the
// lock held: the file must still be as expected, and the bytes it holds are
// kept in its history unless the save writes the same.
IoResult LastLook(const QString& path, QByteArrayView data, const std::optional<FileStamp>& expected,
                  const QString& history, Replaced& replaced)
{
    if (!expected && history.isEmpty())
        return {};
    const Result<OnDisk> now = ReadOnDisk(path);
    if (!now)
        return Failure(now.error());
    if (now->exists)
        replaced = {true, now->bytes, QFileInfo(path).lastModified(), {}};
    if (expected) {
        const FileStamp stamp = now->exists ? StampOfRead(path, now->bytes) : FileStamp();
        if (stamp != *expected) {
            Failure changed = Refused(Refusal::ChangedElsewhere, QString());
            changed.error().found = stamp;
            return changed;
        }
    }
    if (history.isEmpty() || !now->exists || now->bytes == data)
        return {};
    Result<KeptVersion> kept = KeepVersion(history, now->bytes);
    if (!kept)
        return Failure(kept.error());
    replaced.kept = *kept;
    return {};
}

// Puts back, bytes and time, the file that a failed move lost (a file
// server may remove the target of a move it then refuses), and says so in
// the failure's text; where that fails too, says where its bytes are kept.
void PutBack(const QString& path, const Replaced& replaced, IoError& failure)
{
    const IoResult written = WriteNewFile(path, replaced.bytes);
    if (written) {
        QFile file(path);
        if (file.open(QIODevice::Append))
            file.setFileTime(replaced.modified, QFileDevice::FileModificationTime);
        failure.message += QStringLiteral("\n保存できなかったため、ファイルを保存前の内容に戻しました。");
    } else if (!replaced.kept.path.isEmpty()) {
        failure.message += QStringLiteral("\n保存前の内容は %1 にあります。").arg(QDir::toNativeSeparators(replaced.kept.path));
    } else {
        failure.message += QStringLiteral("\nファイルを保存前の内容に戻せませんでした（%1）。").arg(written.error().message);
    }
}

// The lock path of the file at path (see GuardedFile::LockPath).
QString LockPathOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (const auto claim = ClaimName::Parse(QStringView(path).sliced(slash + 1)))
        return path.left(slash + 1) + claim->FileName() + QStringLiteral(".lock");
    return path + QStringLiteral(".lock");
}

} // namespace

GuardedFile::GuardedFile(const QString& path)
    : path_(path), lockPath_(LockPathOf(path)), historyFolder_(HistoryFolderFor(path))
{
}

Result<StampedBytes> GuardedFile::Read() const
{
    Result<OnDisk> now = ReadOnDisk(path_);
    if (!now)
        return Failure(now.error());
    if (!now->exists)
        return StampedBytes();
    const FileStamp stamp = StampOfRead(path_, now->bytes);
    return StampedBytes{std::move(now->bytes), stamp};
}

Result<FileStamp> GuardedFile::Stamp() const
{
    const Result<StampedBytes> read = Read();
    if (!read)
        return Failure(read.error());
    return read->stamp;
}

Result<FileStamp> GuardedFile::Write(QByteArrayView data, const std::optional<FileStamp>& expected) const
{
    QLockFile lock(lockPath_);
    if (const IoResult taken = TakeLock(lock, lockPath_); !taken)
        return Failure(taken.error());
    const auto giveBack = qScopeGuard([&] { GiveBack(lock, lockPath_); });
    RemoveLeftRemovalLock(lockPath_);
    Replaced replaced;
    const IoResult written = ReplaceFileContents(path_, data, [&] {
        return LastLook(path_, data, expected, historyFolder_, replaced);
    });
    if (written) {
        if (!replaced.kept.path.isEmpty())
            PruneVersions(historyFolder_);
        return StampOfRead(path_, data);
    }
    IoError failure = written.error();
    if (replaced.read && !EntryExists(path_))
        PutBack(path_, replaced, failure);
    if (!replaced.kept.path.isEmpty() && EntryExists(path_))
        DropVersion(replaced.kept);   // the file stays as it was: so does its history
    return Failure(std::move(failure));
}

} // namespace claims
