#pragma once
// What a restore from a backup would change, read off the window's thread:
// each file that differs from the data folder now, 新規, 変更 or 現在のみ
// (shown, never removed), with their counts; 「すべて戻す」 and
// 「選んだファイルを戻す」 put the backup's bytes back through the guarded
// save, with a progress bar and キャンセル between two files. A file that
// another PC changed since the preview read it is asked about, as a save is.

#include "backup/Restore.h"
#include "forms/BackgroundRead.h"
#include "ui_RestorePreview.h"

#include <QDialog>

#include <memory>

namespace backupwindow {

class RestorePreview : public QDialog {
    Q_OBJECT
public:
    RestorePreview(const QString& dataFolder, const QString& backupPath, QWidget* parent = nullptr);
    ~RestorePreview() override;

    const std::unique_ptr<Ui::RestorePreview> ui;

    bool IsBusy() const { return busy_; }
    const claims::RestorePlan& Plan() const { return plan_; }

    // Event handlers.
    void RestoreAllClick();
    void RestoreChosenClick();
    void RestoreCancelClick();

signals:
    void Finished();   // the preview is read, or a restore has ended

protected:
    void reject() override;

private:
    void ConnectHandlers();
    void StartReading();
    void TakePlan(const claims::Result<claims::RestorePlan>& plan);
    void Restore(const QList<claims::RestoreItem>& items);
    void TakeOutcome(const claims::RestoreOutcome& outcome);
    int AskAboutChanged(const QList<claims::RestoreItem>& items);
    void SetBusy(bool busy);

    const QString dataFolder_;
    const QString backupPath_;
    claims::RestorePlan plan_;
    bool busy_ = false;
    forms::BackgroundRead work_;   // last: stopped before what it works for goes
};

} // namespace backupwindow
