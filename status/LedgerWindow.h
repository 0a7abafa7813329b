#pragma once
// 「給付金台帳」: every month paid to the school in a 年度, grouped by the
// board's payment day with a subtotal each, the total of the board's
// payment notice typed beside it and checked, and at the foot what came
// in, what went on to guardians, what the school still holds and the
// receipts not yet back. Prints on A4 landscape with a 決裁 box.

#include "claimstatus/ClaimList.h"
#include "claimstatus/Ledger.h"
#include "claimstatus/SchoolInfo.h"
#include "ui_LedgerWindow.h"

#include <QDate>
#include <QDialog>

#include <functional>
#include <memory>

class QLineEdit;
class QPrinter;

namespace status {

// What the table, the printed pages and the CSV file show: a line a paid
// month, and after each group its subtotal with the notice's total.
struct LedgerLine {
    QStringList texts;        // the twelve columns
    int group = -1;           // a subtotal: the group's index; -1 for a month
    int claim = -1;           // a month: the claim's index
    bool checkedAlone = false;   // a month handed over with no second person's check
};
QStringList LedgerColumns();
QList<LedgerLine> LedgerLines(const claims::Ledger& ledger, const QList<claims::ClaimOverview>& claims);
// 通知書と一致, 差額 －20円（通知書 20,325円）, 通知書の額 未入力; brief: without the notice's total.
QString NoticeCheckText(const claims::LedgerGroup& group, bool brief = false);
QString LedgerTotalsText(const claims::LedgerTotals& totals);

// The ledger on A4 landscape, going on over pages under its header row;
// the first page has the title, the school and the 決裁 box.
void PrintLedger(QPrinter& printer, const claims::Ledger& ledger, const QList<claims::ClaimOverview>& claims,
                 const claims::SchoolInfo& school);

class LedgerWindow : public QDialog {
    Q_OBJECT
public:
    // claims: the listing as the deadline list holds it; the year shown
    // first is the 年度 of today.
    LedgerWindow(const QString& workDir, const QList<claims::ClaimOverview>& claims, QDate today,
                 QWidget* parent = nullptr);
    ~LedgerWindow() override;

    const std::unique_ptr<Ui::LedgerWindow> ui;
    const claims::Ledger& Shown() const { return ledger_; }

    // Event handlers.
    void LedgerYearChange();
    void NoticeTotalEdited(int group);
    void LedgerPrintClick();
    void LedgerCsvClick();

    void PrintTo(QPrinter& printer) const;
    QList<QStringList> ShownLines() const;   // the column names first

    // Asks where to write the CSV file; empty when the user cancels.
    std::function<QString()> AskCsvPath;

private:
    void ReadNotices();
    void Rebuild();
    void FillTable();
    void ShowGroupRow(int row, int group);
    QLineEdit* NoticeEdit(int group) const;

    const QString workDir_;
    const QList<claims::ClaimOverview> claims_;
    claims::PaymentNotices notices_;
    claims::FileStamp noticesStamp_;
    QString noticesProblem_;     // why the notices file could not be read; no typing then
    claims::Ledger ledger_;
    QList<LedgerLine> lines_;
};

} // namespace status
