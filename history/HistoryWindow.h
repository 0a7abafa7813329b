#pragma once
// The history: every kept version of every claim and status file, newest
// first, narrowed by ID or name; the chosen version beside the list with
// what differs from the file as it is now, and 「この版に戻す」, which puts
// it back through the guarded save. The history is read off the window's
// thread; a progress bar shows within half a second when that takes longer.

#include "store/GuardedFile.h"
#include "claimstatus/HistoryList.h"
#include "forms/BackgroundRead.h"
#include "history/HistoryModel.h"
#include "ui_HistoryWindow.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace history {

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the history of a working folder, telling (done, total) on the
    // way; stops early when told false. Without one: claims::ReadHistory
    // with this PC's cache (claims::UserCacheFolder()).
    using HistoryReader =
        std::function<claims::HistoryListing(const QString&, const std::function<bool(int, int)>&)>;

    explicit HistoryWindow(const QString& workDir, QWidget* parent = nullptr,
                           HistoryReader read = {});
    ~HistoryWindow() override;

    const std::unique_ptr<Ui::HistoryWindow> ui;

    bool IsLoaded() const { return loaded_; }
    HistoryModel& Model() { return model_; }

    // Event handlers.
    void HistoryFindChange();
    void HistoryTableRowChange();
    void HistoryRestoreClick();

signals:
    void Loaded();

private:
    void ConnectHandlers();
    void StartLoading();
    void TakeListing(const std::shared_ptr<claims::HistoryListing>& listing);
    void RefreshLines();
    void ShowVersion(int version);
    int ChosenVersion() const;
    bool Restore(int version, const QByteArray& bytes);

    const QString workDir_;
    const HistoryReader read_;
    claims::HistoryListing listing_;
    HistoryModel model_;
    claims::FileStamp currentStamp_;   // the chosen version's current file, as read to show it
    bool loaded_ = false;
    forms::BackgroundRead reading_;   // last: stopped before what it reads for goes
};

} // namespace history
