#pragma once
// 統計: injuries of a span of school years counted by a category (場合,
// 場所, 部位, 傷病, 部活動, month, weekday, grade, sex), as a table and a
// bar chart, optionally crossed with a second category and compared with
// the year before; printed, written as CSV or copied for a spreadsheet.
// The claims are read off the window's thread through this PC's listing
// cache, the students' grade and sex from the rosters.

#include "claimstatus/ClaimList.h"
#include "forms/BackgroundRead.h"
#include "stats/Stats.h"
#include "statswindow/StatsPrint.h"
#include "ui_StatsWindow.h"

#include <QDate>
#include <QDialog>

#include <functional>
#include <memory>

class QPrinter;

namespace statswindow {

class StatsWindow : public QDialog {
    Q_OBJECT
public:
    // Reads every claim of a working folder, telling (done, total) on the
    // way; stops early when told false. Without one: through this PC's
    // cache (claims::ReadAllClaimsThroughCache in claims::UserCacheFolder()).
    using ClaimReader = std::function<claims::ClaimListing(const QString&, const std::function<bool(int, int)>&)>;

    // today sets the school year the span starts at.
    explicit StatsWindow(const QString& workDir, QWidget* parent = nullptr, QDate today = QDate::currentDate(),
                         ClaimReader read = {});
    ~StatsWindow() override;

    const std::unique_ptr<Ui::StatsWindow> ui;

    bool IsLoaded() const { return loaded_; }
    stats::StatsQuery Query() const;
    const stats::StatsTable& Table() const { return table_; }
    // The table as shown: the column names first, 合計 last.
    QList<QStringList> ShownLines() const;
    // The pages printed: the table shown, or (all) one page for each
    // category over the same span and measure, without a cross.
    QList<StatsPage> PagesToPrint(bool all) const;
    void PrintTo(QPrinter& printer, bool all) const;

    // Event handlers.
    void ChoiceChange();
    void StatsPrintClick();
    void StatsPrintAllClick();
    void StatsCsvClick();
    void StatsCopyClick();

    // Asks where to write the CSV file; empty when the user cancels.
    std::function<QString()> AskCsvPath;

signals:
    void Loaded();

private:
    void FillChoices(QDate today);
    void ConnectHandlers();
    void StartLoading();
    void TakeFacts(const std::shared_ptr<QList<stats::InjuryFacts>>& facts, int problems);
    void ShowTable();
    StatsPage PageOf(const stats::StatsQuery& query, const QString& school) const;

    const QString workDir_;
    const ClaimReader read_;
    QList<stats::InjuryFacts> facts_;
    stats::StatsTable table_;
    int problems_ = 0;   // files and lines that could not be read
    bool loaded_ = false;
    forms::BackgroundRead reading_;   // last: stopped before what it reads for goes
};

} // namespace statswindow
