#pragma once
// A guarded file: a file of the data folder that several PCs may save, on a
// file server as well. It is read with its stamp (files/IoResult.h) and
// written in one piece, through a lock file beside it that every save of the
// file takes, only while it is still as read: a file that another PC
// changed after it was read is never overwritten unseen. The bytes a save
// replaces are kept in the history (History.h) first, for the files that
// have one. The lock's path and the history folder follow from the file's.

#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace claims {

// The stamp of bytes just read from path: their size and hash, and the
// file's time of last change as it is now.
FileStamp StampOfRead(const QString& path, QByteArrayView bytes);

// A file's bytes with the stamp of what was read.
struct StampedBytes {
    QByteArray bytes;
    FileStamp stamp;   // not existing for a missing file, which reads as no bytes
};

// A value read from a guarded file, with the stamp a save of it compares.
template <class T>
struct Stamped {
    T value;
    FileStamp stamp;
};

class GuardedFile {
public:
    explicit GuardedFile(const QString& path);

    const QString& Path() const { return path_; }
    // The lock file: the file's name with ".lock" added (a claim file's by
    // its canonical name, so that every spelling of its ".CSV" takes one
    // lock), which no search for "*.CSV" finds.
    const QString& LockPath() const { return lockPath_; }
    // Where the bytes a save replaces are kept; empty for a file without history.
    const QString& HistoryFolder() const { return historyFolder_; }

    // What the file holds now; a missing file reads as no bytes.
    Result<StampedBytes> Read() const;
    // The stamp alone.
    Result<FileStamp> Stamp() const;
    // What parse makes of the bytes, with their stamp; a missing file reads
    // as T's empty value.
    template <class T>
    Result<Stamped<T>> ReadAs(const std::function<T(QByteArrayView)>& parse) const
    {
        const Result<StampedBytes> read = Read();
        if (!read)
            return Failure(read.error());
        if (!read->stamp.exists)
            return Stamped<T>();
        return Stamped<T>{parse(read->bytes), read->stamp};
    }

    // Replaces the file by bytes, or creates it, while holding the lock.
    // With an expected stamp, the file is compared with it once the new
    // bytes are on disk, right before they take its place; when it differs
    // nothing is written: Refusal::ChangedElsewhere, and the error's found
    // is the file as it is now, to be passed as the expected stamp once the
    // user agreed to overwrite it. Then the bytes being replaced are kept
    // in the history, unless they are the new bytes; when that fails
    // nothing is written (Refusal::HistoryNotKept, the message naming the
    // folder). A lock that another save holds for longer than a few seconds
    // fails with Refusal::Locked. The stamp of the file as written.
    Result<FileStamp> Write(QByteArrayView bytes, const std::optional<FileStamp>& expected) const;

private:
    QString path_;
    QString lockPath_;
    QString historyFolder_;
};

} // namespace claims
