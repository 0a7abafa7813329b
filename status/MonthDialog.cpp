#include "status/MonthDialog.h"

#include "claimstatus/AmountCheck.h"
#include "files/ShiftJis.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/SaveGuarded.h"
#include "forms/Modal.h"
#include "status/ClaimPage.h"
#include "output/PagePrint.h"
#include "status/StatusModel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <tuple>

using namespace claims;
using namespace output;

namespace status {
namespace {

// The earliest date stands for "no date" and shows empty.
const QDate kNoDate(2000, 1, 1);

QDate DateOf(const QWidget* editor)
{
    const QDate date = static_cast<const QDateEdit*>(editor)->date();
    return date == kNoDate ? QDate() : date;
}

std::optional<qint64> NumberOf(const QWidget* editor)
{
    return ReadAmount(static_cast<const QLineEdit*>(editor)->text());
}

QString TextOf(const QWidget* editor)
{
    return static_cast<const QComboBox*>(editor)->currentText().trimmed();
}

// The names of who handed over and who checked, as typed before on this PC
// (not in the data folder: another PC has its own), newest first.
constexpr int kNamesKept = 30;

QSettings NameSettings()
{
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/names.ini"),
                     QSettings::IniFormat);
}

QStringList NamesTypedBefore()
{
    return NameSettings().value(QStringLiteral("handover/names")).toStringList();
}

void RememberNames(const QStringList& typed)
{
    QStringList names = NamesTypedBefore();
    for (const QString& name : typed) {
        if (name.isEmpty())
            continue;
        names.removeAll(name);
        names.prepend(name);
    }
    NameSettings().setValue(QStringLiteral("handover/names"), names.mid(0, kNamesKept));
}

} // namespace

MonthDialog::MonthDialog(const QString& workDir, const ClaimOverview& claim, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::MonthDialog>()), workDir_(workDir), claim_(claim)
{
    ui->setupUi(this);
    ReadStatus();
    ui->MonthClaim->setText(QStringLiteral("ID番号 %1　%2　%3回目　受傷日 %4　%5")
                                .arg(FromShiftJis(claim_.id), claim_.name)
                                .arg(claim_.occurrence)
                                .arg(claim_.injuryDate, claim_.injury));
    FillTable();
    forms::OnEvent(ui->SaveButton, &QPushButton::clicked, this, &MonthDialog::SaveButtonClick);
    forms::OnEvent(ui->CancelButton, &QPushButton::clicked, this, &MonthDialog::CancelButtonClick);
    forms::OnEvent(ui->MonthPrintButton, &QPushButton::clicked, this, &MonthDialog::MonthPrintButtonClick);
}

MonthDialog::~MonthDialog() = default;

// A file that cannot be read is shown as the list read it, for looking
// only: a save would replace what it holds unseen.
void MonthDialog::ReadStatus()
{
    const QString path = StatusFilePath(workDir_, claim_.id, claim_.occurrence);
    const Result<Stamped<StatusFile>> read = ReadStatusFile(path);
    status_ = read ? read->value : claim_.status;
    stamp_ = read ? read->stamp : FileStamp();
    if (read)
        return;
    ui->MonthProblem->setText(QStringLiteral("請求状況ファイル %1 を読み込めません：%2")
                                  .arg(QFileInfo(path).fileName(), read.error().message));
    ui->MonthProblem->setVisible(true);
    ui->MonthTable->setEnabled(false);
    ui->SaveButton->setEnabled(false);
}

void MonthDialog::FillTable()
{
    months_ = claim_.treated;
    for (const MonthStatus& m : status_.months) {
        if (!months_.contains(m.month))
            months_.append(m.month);
    }
    std::sort(months_.begin(), months_.end());
    QTableWidget* table = ui->MonthTable;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({QStringLiteral("診療月"), QStringLiteral("状況"), QStringLiteral("請求日"),
                                      QStringLiteral("点数"), QStringLiteral("支払日"), QStringLiteral("支払額"),
                                      QStringLiteral("保護者支払日"), QStringLiteral("支払方法"),
                                      QStringLiteral("渡した人"), QStringLiteral("確認者"), QStringLiteral("受領書"),
                                      QStringLiteral("メモ"), QString()});
    table->setRowCount(int(months_.size()));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < months_.size(); ++row) {
        MonthStatus status;
        status.month = months_[row];
        if (const MonthStatus* found = status_.Find(months_[row]))
            status = *found;
        AddRow(row, status, claim_.treated.contains(months_[row]));
    }
    StateChange();   // the handover editors and the remarks, before the columns take their widths
    table->resizeColumnsToContents();
    table->setColumnWidth(HandedBy, 96);
    table->setColumnWidth(CheckedBy, 96);
    table->setColumnWidth(Note, 160);
}

void MonthDialog::AddRow(int row, const MonthStatus& status, bool marked)
{
    QTableWidget* table = ui->MonthTable;
    table->setItem(row, Month, new QTableWidgetItem(MonthText(status.month)));
    auto* state = new QComboBox;
    for (int s = 0; s < kClaimStateCount; ++s)
        state->addItem(StateText(ClaimState(s)));
    state->setCurrentIndex(int(status.state));
    table->setCellWidget(row, State, state);
    table->setCellWidget(row, ClaimDate, NewDateEdit(status.claimDate));
    table->setCellWidget(row, Points, NewDigitsEdit(status.points));
    table->setCellWidget(row, PaidDate, NewDateEdit(status.paidDate));
    table->setCellWidget(row, Amount, NewDigitsEdit(status.amount));
    table->setCellWidget(row, HandedDate, NewDateEdit(status.handedDate));
    table->setCellWidget(row, PayMethod, NewPayMethodBox(status.payMethod));
    table->setCellWidget(row, HandedBy, NewNameBox(status.handedBy, QStringLiteral("HandedBy")));
    table->setCellWidget(row, CheckedBy, NewNameBox(status.checkedBy, QStringLiteral("CheckedBy")));
    table->setCellWidget(row, ReceiptDate, NewDateEdit(status.receiptDate));
    Editor(row, ReceiptDate)->setObjectName(QStringLiteral("ReceiptDate"));
    auto* note = new QLineEdit(status.note);
    table->setCellWidget(row, Note, note);
    auto* remark = new QTableWidgetItem;
    remark->setData(Qt::UserRole, marked);
    table->setItem(row, Remark, remark);
    forms::OnEvent(static_cast<QLineEdit*>(Editor(row, Points)), &QLineEdit::textChanged, this, &MonthDialog::PointsChange);
    forms::OnEvent(static_cast<QLineEdit*>(Editor(row, Amount)), &QLineEdit::textChanged, this, &MonthDialog::PointsChange);
    forms::OnEvent(state, &QComboBox::currentIndexChanged, this, &MonthDialog::StateChange);
    for (const int column : {HandedBy, CheckedBy})
        forms::OnEvent(static_cast<QComboBox*>(Editor(row, column)), &QComboBox::currentTextChanged, this, &MonthDialog::PointsChange);
    forms::OnEvent(static_cast<QDateEdit*>(Editor(row, HandedDate)), &QDateEdit::dateChanged, this, &MonthDialog::PointsChange);
}

// A name typed, or one typed before on this PC.
QComboBox* MonthDialog::NewNameBox(const QString& name, const QString& objectName)
{
    auto* box = new QComboBox;
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(NamesTypedBefore());
    box->setCurrentText(name);
    return box;
}

// Blank, 振込, 現金, その他, and a text a spreadsheet left in the file, as written.
QComboBox* MonthDialog::NewPayMethodBox(const QString& method)
{
    auto* box = new QComboBox;
    box->addItem(QString());
    box->addItems(PayMethodTexts());
    if (box->findText(method) < 0)
        box->addItem(method);
    box->setCurrentIndex(box->findText(method));
    return box;
}

QDateEdit* MonthDialog::NewDateEdit(QDate date)
{
    auto* edit = new QDateEdit;
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit->setMinimumDate(kNoDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setDate(date.isValid() ? date : kNoDate);
    edit->installEventFilter(this);
    return edit;
}

// Delete empties a date again.
bool MonthDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* date = qobject_cast<QDateEdit*>(watched);
    if (date && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        date->setDate(kNoDate);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QLineEdit* MonthDialog::NewDigitsEdit(const std::optional<qint64>& value)
{
    auto* edit = new QLineEdit(value ? QString::number(*value) : QString());
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QWidget* MonthDialog::Editor(int row, int column) const
{
    return ui->MonthTable->cellWidget(row, column);
}

int MonthDialog::RowOf(YearMonth month) const
{
    return int(months_.indexOf(month));
}

MonthStatus MonthDialog::Shown(int row) const
{
    MonthStatus m;
    m.month = months_[row];
    m.state = ClaimState(static_cast<const QComboBox*>(Editor(row, State))->currentIndex());
    m.claimDate = DateOf(Editor(row, ClaimDate));
    m.points = NumberOf(Editor(row, Points));
    m.paidDate = DateOf(Editor(row, PaidDate));
    m.amount = NumberOf(Editor(row, Amount));
    m.handedDate = DateOf(Editor(row, HandedDate));
    m.payMethod = static_cast<const QComboBox*>(Editor(row, PayMethod))->currentText();
    m.handedBy = TextOf(Editor(row, HandedBy));
    m.checkedBy = TextOf(Editor(row, CheckedBy));
    m.receiptDate = DateOf(Editor(row, ReceiptDate));
    m.note = static_cast<const QLineEdit*>(Editor(row, Note))->text();
    return m;
}

// The amount check informs only: a differing amount is shaded and named.
// The usual amount alone is shown plain, the marks in red.
void MonthDialog::ShowRemark(int row)
{
    QTableWidgetItem* remark = ui->MonthTable->item(row, Remark);
    const MonthStatus shown = Shown(row);
    QStringList marks;
    if (NeedsHighCostForm(shown.points.value_or(0)))
        marks.append(QStringLiteral("高額療養状況の届が必要"));
    const bool check = AmountWantsCheck(shown);
    if (check)
        marks.append(QStringLiteral("金額を確認"));
    const QString shade = check ? QStringLiteral("background-color: #FFD0D0;") : QString();
    if (Editor(row, Amount)->styleSheet() != shade)
        Editor(row, Amount)->setStyleSheet(shade);
    // Never in the way of a save: a second person's check is asked for, not forced.
    const bool alone = shown.state == ClaimState::Paid && shown.LacksSecondCheck();
    if (alone)
        marks.append(QStringLiteral("確認は別の人が"));
    const QString aloneShade = alone ? QStringLiteral("background-color: #FFD0D0;") : QString();
    if (Editor(row, CheckedBy)->styleSheet() != aloneShade) {
        Editor(row, CheckedBy)->setStyleSheet(aloneShade);
        Editor(row, CheckedBy)->setToolTip(alone ? QStringLiteral("確認は別の人が") : QString());
    }
    if (!remark->data(Qt::UserRole).toBool())
        marks.append(QStringLiteral("印なし"));
    QStringList texts;
    if (const std::optional<qint64> usual = UsualAmount(shown))
        texts.append(QStringLiteral("通常 %1円").arg(*usual));
    remark->setText((texts + marks).join(QStringLiteral("　")));
    remark->setData(Qt::ForegroundRole, marks.isEmpty() ? QVariant() : QVariant(QColor(0xC0, 0, 0)));
}

void MonthDialog::PointsChange()
{
    qint64 total = 0;
    for (int row = 0; row < months_.size(); ++row) {
        total += NumberOf(Editor(row, Points)).value_or(0);
        ShowRemark(row);
    }
    ui->TotalPoints->setText(QStringLiteral("合計 %1点").arg(total));
    ui->BelowMinimum->setVisible(BelowMinimumPoints(total));
}

// The handover is recorded for paid months only; what another state hides
// stays as typed.
void MonthDialog::StateChange()
{
    for (int row = 0; row < months_.size(); ++row) {
        const bool paid = static_cast<QComboBox*>(Editor(row, State))->currentIndex() == int(ClaimState::Paid);
        for (const int column : {HandedDate, PayMethod, HandedBy, CheckedBy, ReceiptDate})
            Editor(row, column)->setEnabled(paid);
    }
    PointsChange();
}

bool MonthDialog::GatherInto(StatusFile& file)
{
    for (int row = 0; row < months_.size(); ++row) {
        MonthStatus shown = Shown(row);
        for (const auto& [text, column, what] : {std::tuple{shown.note, int(Note), QStringLiteral("メモ")},
                                                 std::tuple{shown.handedBy, int(HandedBy), QStringLiteral("渡した人")},
                                                 std::tuple{shown.checkedBy, int(CheckedBy), QStringLiteral("確認者")}}) {
            if (!ToShiftJis(text)) {
                forms::ShowMessage(this, QStringLiteral("%1の%2に保存できない文字があります。").arg(MonthText(months_[row]), what));
                Editor(row, column)->setFocus();
                return false;
            }
        }
        MonthStatus& m = file.Edit(months_[row]);
        shown.extra = m.extra;
        m = shown;
    }
    return true;
}

void MonthDialog::SaveButtonClick()
{
    StatusFile file = status_;
    if (!GatherInto(file))
        return;
    const forms::SavedFile what{QStringLiteral("この請求状況"),
                                QFileInfo(StatusFilePath(workDir_, claim_.id, claim_.occurrence)).fileName()};
    const std::optional<FileStamp> saved =
        forms::SaveGuarded(this, what, stamp_, [&](const std::optional<FileStamp>& expected) {
            return WriteStatusFile(workDir_, claim_.id, claim_.occurrence, file, expected);
        });
    if (!saved)
        return;
    stamp_ = *saved;
    QStringList typed;
    for (int row = 0; row < months_.size(); ++row)
        typed << TextOf(Editor(row, HandedBy)) << TextOf(Editor(row, CheckedBy));
    RememberNames(typed);
    done(forms::kModalDone);
    if (OnSaved)
        OnSaved(file);
}

bool MonthDialog::PageToPrint(ClaimPage& page)
{
    StatusFile file = status_;
    if (!GatherInto(file))
        return false;
    const IoResult read = ReadClaimPage(workDir_, claim_, file, QDate::currentDate(), page);
    if (!read)
        forms::ShowMessage(this, QStringLiteral("請求ファイルを読み込めません：") + read.error().message);
    return read.has_value();
}

bool MonthDialog::PrintTo(QPrinter& printer)
{
    ClaimPage page;
    if (!PageToPrint(page))
        return false;
    PrintClaimPage(printer, page, QDate::currentDate());
    return true;
}

void MonthDialog::MonthPrintButtonClick()
{
    ClaimPage page;
    if (PageToPrint(page))
        ShowPreview(this, QStringLiteral("請求記録の印刷"), [&](QPrinter& p) { PrintClaimPage(p, page, QDate::currentDate()); });
}

void MonthDialog::CancelButtonClick()
{
    done(forms::kModalDone);
}

} // namespace status
