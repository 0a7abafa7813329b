#pragma once
// Putting a backup back: which files differ from the data folder as it is
// now, and each chosen file written back through the guarded save, so that
// the bytes it replaces go to the history and a restore can itself be
// undone there. A file only in the data folder now is shown, never removed.

#include "backup/Backup.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace claims {

enum class RestoreKind {
    New,       // in the backup, not in the data folder now
    Changed,   // in both, with other bytes
    OnlyNow,   // in the data folder now, not in the backup
};

struct RestoreItem {
    QString path;        // relative to the data folder, with "/"
    RestoreKind kind = RestoreKind::New;
    QByteArray bytes;    // the backup's; none for OnlyNow
    FileStamp now;       // the file as read for the comparison
};

struct RestorePlan {
    QList<RestoreItem> items;   // by path
    int Count(RestoreKind kind) const;
};

// The differences between the backup at backupPath (checked first: a backup
// that fails its check gives its reason) and dataFolder, reading each file
// of the data folder that the backup holds.
Result<RestorePlan> PlanRestore(const QString& dataFolder, const QString& backupPath,
                                const BackupProgress& progress = {});

// Writes item's bytes from the backup over its file, its folder made when
// gone, while the file is still as expected. The stamp of the file as
// written (see GuardedFile::Write).
Result<FileStamp> RestoreFile(const QString& dataFolder, const RestoreItem& item,
                              const std::optional<FileStamp>& expected);

// Restores items one by one, each while its file is still as it was read
// for the plan; stops between two files when progress says so. The items
// that another PC changed meanwhile are left to be asked about; any other
// failure ends the restore. What was restored and what was left.
struct RestoreOutcome {
    int restored = 0;
    QList<RestoreItem> changedElsewhere;   // as planned, to be asked about
    std::optional<IoError> failure;        // the one that ended it, or a cancel
};
RestoreOutcome RestoreFiles(const QString& dataFolder, const QList<RestoreItem>& items,
                            const BackupProgress& progress = {});

} // namespace claims
