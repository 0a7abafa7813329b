#pragma once
// The deadline list: every treated month of every claim in seikyu that is
// still to be claimed, soonest deadline first, on a reference date the
// user chose. The claims are read off the window's thread; a progress bar
// shows within half a second when that takes longer.

#include "claimstatus/ClaimList.h"
#include "claimstatus/ListingCache.h"
#include "forms/BackgroundRead.h"
#include "status/Letters.h"
#include "status/StatusModel.h"
#include "ui_StatusWindow.h"

#include <QDate>
#include <QSet>
#include <QDialog>

#include <functional>
#include <memory>

class QPrinter;

namespace status {

class StatusWindow : public QDialog {
    Q_OBJECT
public:
    // Reads every claim of a working folder, telling (done, total) on the
    // way; stops early when told false. Without one: through this PC's
    // cache (claims::ReadAllClaimsThroughCache in claims::UserCacheFolder()).
    using ClaimReader = std::function<claims::ClaimListing(const QString&, const std::function<bool(int, int)>&)>;

    StatusWindow(const QString& workDir, QDate reference, QWidget* parent = nullptr,
                 ClaimReader read = {});
    ~StatusWindow() override;

    const std::unique_ptr<Ui::StatusWindow> ui;

    bool IsLoaded() const { return loaded_; }
    StatusModel& Model() { return model_; }

    // Event handlers.
    void StatusFilterChange();
    void StatusFindChange();
    void ThisMonthButtonClick();
    void PrintButtonClick();
    void CsvButtonClick();
    void LettersButtonClick();
    void ReceiptButtonClick();
    void LedgerButtonClick();
    void SchoolButtonClick();
    void StatusTableActivate(const QModelIndex& index);   // double click or Enter

    // What the window shows, as printed pages and as Shift-JIS CSV.
    void PrintTo(QPrinter& printer) const;
    QList<QStringList> ShownLines() const;   // the column names first
    QString PrintTitle() const;
    // The students of the selected lines, or of every line shown when none is selected.
    QSet<QByteArray> LetterStudents() const;
    LetterBatch LettersToPrint() const;   // of those students, on the reference date

    // Asks where to write the CSV file; empty when the user cancels.
    std::function<QString()> AskCsvPath;

signals:
    void Loaded();

private:
    void ConnectHandlers();
    void StartLoading();
    void TakeListing(const std::shared_ptr<claims::ClaimListing>& listing);
    void RefreshLines();
    void ShowSummary();
    void EditClaim(int claimIndex);
    claims::StatusView CurrentView() const;
    bool MatchesFind(const claims::ClaimOverview& claim) const;

    const QString workDir_;
    const QDate reference_;
    const ClaimReader read_;
    claims::ClaimListing listing_;
    claims::StatusCounts counts_;   // of listing_, for the summary line
    StatusModel model_;
    bool loaded_ = false;
    forms::BackgroundRead reading_;   // last: stopped before what it reads for goes
};

} // namespace status
