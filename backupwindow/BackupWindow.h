#pragma once
// 「バックアップ」: where the backups of the data folder go (remembered on
// this PC), a backup now, the backups found there with their check, the
// reminder's days, and a restore from the chosen backup (RestorePreview).
// Backups and checks run off the window's thread with a progress bar and
// キャンセル; a cancelled backup leaves nothing behind.

#include "backup/Backup.h"
#include "backupwindow/BackupSettings.h"
#include "forms/BackgroundRead.h"
#include "ui_BackupWindow.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace backupwindow {

class BackupWindow : public QDialog {
    Q_OBJECT
public:
    explicit BackupWindow(const QString& dataFolder, QWidget* parent = nullptr);
    ~BackupWindow() override;

    const std::unique_ptr<Ui::BackupWindow> ui;

    // The folder 参照 asks for; a file dialog, replaced by tests.
    std::function<QString()> AskFolder;

    // Makes a backup at once and closes the window once it verified (the
    // reminder at exit); a failure stays on screen with its reason.
    void BackUpThenClose();
    bool IsBusy() const { return busy_; }
    const QList<claims::BackupSummary>& Backups() const { return backups_; }

    // Event handlers.
    void BackupFolderChange();
    void BackupBrowseClick();
    void BackupNowClick();
    void BackupCancelClick();
    void BackupRemindDaysChange();
    void BackupRestoreClick();
    void BackupCloseClick();

signals:
    void Finished();   // a backup or the list's check has ended

protected:
    void reject() override;

private:
    void ConnectHandlers();
    QString Folder() const;
    void TakeFolder(const QString& folder);
    void RefreshList();
    void ShowList(const QList<claims::BackupSummary>& backups);
    void TakeBackup(const claims::Result<QString>& made, bool thenClose);
    void SetBusy(bool busy);

    const QString dataFolder_;
    BackupSettings settings_;
    QList<claims::BackupSummary> backups_;
    bool busy_ = false;
    bool thenClose_ = false;
    forms::BackgroundRead work_;   // last: stopped before what it works for goes
};

} // namespace backupwindow
