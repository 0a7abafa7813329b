#pragma once
// Backups of a data folder in another place (a USB stick, another server).
// A backup is one ZIP file, Kiboru-<data folder>-yyyyMMdd-hhmmss-<PC>.zip,
// that holds every file Kiboru keeps in the data folder (the rosters,
// seikyu/, 請求状況/ and 履歴/) under its relative path, with its time, and a
// manifest of each file's path, size and SHA-256. It is written under a
// temporary name, read back whole and checked against the manifest and
// against the bytes read from the data folder, and only then takes its
// final name. Windows opens it with no other program (Deflate, UTF-8 names).

#include "files/IoResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace claims {

inline constexpr int kBackupsKept = 10;

// Tells (done, total) on the way; false asks the work to stop, which then
// fails with kCancelledText and leaves nothing behind.
using BackupProgress = std::function<bool(int, int)>;
inline const QString kCancelledText = QStringLiteral("キャンセルしました。");

// A file as a backup holds it.
struct BackupEntry {
    QString path;        // relative to the data folder, with "/"
    qint64 size = 0;
    QByteArray sha256;   // of the bytes
    QDateTime modified;
    bool operator==(const BackupEntry&) const = default;
};

// The name of a backup of dataFolder made at time on the PC pcName.
QString BackupFileName(const QString& dataFolder, const QDateTime& time, const QString& pcName);

// Whether name is that of a backup of dataFolder (any time, any PC).
bool IsBackupOf(const QString& name, const QString& dataFolder);

// Why backups of dataFolder cannot go to backupFolder: one inside the other
// (a copy that the data folder's loss takes with it, or a backup of the
// backups); empty when they may.
QString RefusedBackupFolder(const QString& dataFolder, const QString& backupFolder);

// The relative paths of the files a backup of dataFolder takes, in order.
QStringList FilesToBackUp(const QString& dataFolder);

// Makes, verifies and names a backup of dataFolder in backupFolder, then
// removes the oldest verified backups of this data folder beyond keep.
// The path of the new backup. A failure at any step leaves no file under a
// final name and says why (a folder gone names it).
Result<QString> MakeBackup(const QString& dataFolder, const QString& backupFolder, int keep = kBackupsKept,
                           const BackupProgress& progress = {});

// The files of a backup (its bytes, as read), checked against its manifest:
// every file listed, none more, each with its size and SHA-256. A failure
// says what is wrong ("壊れています" with the reason).
Result<QList<BackupEntry>> VerifyBackupBytes(const QByteArray& zip);
Result<QList<BackupEntry>> VerifyBackup(const QString& path);

// The backups of dataFolder in backupFolder, newest first, by name.
QStringList BackupsOf(const QString& dataFolder, const QString& backupFolder);

// When and on which PC a backup was made, as its name tells.
struct BackupName {
    QDateTime time;   // invalid for a name that is no backup's
    QString pc;
};
BackupName ParseBackupName(const QString& name, const QString& dataFolder);

// A backup as the backup window lists it: its name, size, and the number of
// files it holds once checked, or why it cannot be used.
struct BackupSummary {
    QString name;
    BackupName made;
    qint64 size = 0;
    int files = 0;
    QString broken;   // empty for a backup that passed its check
};
BackupSummary SummarizeBackup(const QString& backupFolder, const QString& name, const QString& dataFolder);

// The time of the newest backup of dataFolder in backupFolder, by its name
// (only a verified backup gets one); nothing when there is none or the
// folder cannot be read.
std::optional<QDateTime> LastBackupTime(const QString& dataFolder, const QString& backupFolder);

} // namespace claims
