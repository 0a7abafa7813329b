#pragma once
// Editing the status of every treated month of one claim: state, claim
// date, points, paid date, amount, the handover to the guardian (date and
// how, open for months 支払済 only) and note. A paid amount other than the
// usual one is marked 「金額を確認」 as it is typed. 「保存」 writes the
// claim's status file; 「キャンセル」 writes nothing.

#include "claimstatus/ClaimList.h"
#include "ui_MonthDialog.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPrinter;

namespace status {

struct ClaimPage;

class MonthDialog : public QDialog {
    Q_OBJECT
public:
    // The claim's status file is read afresh, so that what another user
    // saved meanwhile is not overwritten with an older copy. When it cannot
    // be read, the dialog says why and offers no save.
    MonthDialog(const QString& workDir, const claims::ClaimOverview& claim, QWidget* parent = nullptr);
    ~MonthDialog() override;

    const std::unique_ptr<Ui::MonthDialog> ui;

    enum Column {
        Month, State, ClaimDate, Points, PaidDate, Amount, HandedDate, PayMethod, HandedBy, CheckedBy, ReceiptDate,
        Note, Remark, ColumnCount
    };

    // The editor of a month's column (QComboBox, QDateEdit or QLineEdit).
    QWidget* Editor(int row, int column) const;
    int RowOf(claims::YearMonth month) const;

    // Event handlers.
    void SaveButtonClick();
    void CancelButtonClick();
    void PointsChange();   // points or amounts typed
    void StateChange();
    void MonthPrintButtonClick();

    // The claim's page with the months as the dialog shows them; false when
    // a note cannot be held or the claim file cannot be read (and says so).
    bool PrintTo(QPrinter& printer);

    // Runs with what was written, after a save.
    std::function<void(const claims::StatusFile&)> OnSaved;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillTable();
    void AddRow(int row, const claims::MonthStatus& status, bool marked);
    QDateEdit* NewDateEdit(QDate date);
    QLineEdit* NewDigitsEdit(const std::optional<qint64>& value);
    QComboBox* NewPayMethodBox(const QString& method);
    QComboBox* NewNameBox(const QString& name, const QString& objectName);
    claims::MonthStatus Shown(int row) const;   // as the row's editors hold it
    void ShowRemark(int row);
    bool GatherInto(claims::StatusFile& file);
    void ReadStatus();
    bool PageToPrint(ClaimPage& page);

    const QString workDir_;
    const claims::ClaimOverview claim_;
    claims::StatusFile status_;
    claims::FileStamp stamp_;   // of the status file as read
    QList<claims::YearMonth> months_;
};

} // namespace status
