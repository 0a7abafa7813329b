#pragma once
// What this PC remembers of the backups of each data folder, in the user's
// settings (backups.ini in the user's configuration folder, never in the
// data folder): where they go, after how many days the reminder at exit
// asks, and when this PC last made one. Also the reminder's question itself.

#include <QDateTime>
#include <QString>

#include <optional>

namespace backupwindow {

inline constexpr int kRemindDaysDefault = 7;

class BackupSettings {
public:
    explicit BackupSettings(const QString& dataFolder);

    QString Folder() const;   // empty until one is chosen
    void SetFolder(const QString& folder);
    int RemindDays() const;   // 0: never
    void SetRemindDays(int days);
    std::optional<QDateTime> LastMade() const;
    void SetLastMade(const QDateTime& time);

private:
    QString key_;   // the data folder's group
};

// Why backupFolder, being on the same drive or share as dataFolder, would be
// lost with it; empty when it is elsewhere (or cannot be told).
QString SameStorageWarning(const QString& dataFolder, const QString& backupFolder);

// The question the main window asks as it closes, or empty when nothing is
// due: the last backup older than the reminder's days, or none while a claim
// exists. Looks at the backup folder only when this PC's own record is due.
QString DueReminder(const QString& dataFolder, const QDateTime& now);

} // namespace backupwindow
