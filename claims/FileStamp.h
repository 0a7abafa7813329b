#pragma once
// What was read of a claim file: whether it existed, its size, its time of
// last change and a hash of its bytes. A save compares the file on disk with
// it, so that a claim that another PC changed after it was read is never
// overwritten unseen. Several PCs may save into one folder on a file server:
// their saves of one file take turns through a lock file beside it.

#include "claims/History.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace claims {

struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;   // milliseconds since 1970 (UTC)
    QByteArray hash;       // SHA-256 of the bytes
    bool operator==(const FileStamp&) const = default;
};

// The stamp of bytes just read from path: their size and hash, and the
// file's time of last change as it is now.
FileStamp StampOfRead(const QString& path, QByteArrayView bytes);

struct StampRead {
    FileStamp stamp;   // not existing when there is no entry at path
    IoResult result;   // why an entry that is there could not be read
};

// What the file at path holds now.
StampRead ReadStamp(const QString& path);

// IoResult code of a save that found the file changed since it was read.
inline constexpr int kChangedElsewhere = -1;

struct GuardedWrite {
    IoResult io;
    FileStamp onDisk;   // the file as written, or with kChangedElsewhere as found
    bool ok() const { return io.ok(); }
    bool changedElsewhere() const { return io.code == kChangedElsewhere; }
};

// ReplaceFileContents while holding the lock file lockPath, which every
// save of this file takes. With an expected stamp, the file is compared with
// it once the new data are on disk, right before they take its place; when
// it differs nothing is written and io.code is kChangedElsewhere. Then, for
// a file that has a history (HistoryFolderFor), the bytes being replaced
// are kept there as a new version, unless they are the new data; when that
// fails nothing is written and io.code is kHistoryNotKept. A lock that
// another save holds for longer than a few seconds fails the save with
// AccessDenied.
GuardedWrite ReplaceUnlessChanged(const QString& path, const QString& lockPath, QByteArrayView data,
                                  const std::optional<FileStamp>& expected);

} // namespace claims
