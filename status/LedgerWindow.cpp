#include "status/LedgerWindow.h"

#include "files/ShiftJis.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/SaveGuarded.h"
#include "output/CsvExport.h"
#include "output/PagePrint.h"
#include "status/StatusModel.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <numeric>

using namespace claims;
using namespace output;

namespace status {
namespace {

enum Column { PaidDate, Id, Name, Occurrence, Month, Points, Amount, Handed, Method, HandedBy, CheckedBy, Receipt };
constexpr int kNoticeColumn = Handed;     // a subtotal's notice total spans 保護者支払日 and 支払方法
constexpr int kCheckColumn = HandedBy;    // and its check the three columns after

QString Date(QDate date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QString Number(std::optional<qint64> value)
{
    return value ? QLocale(QLocale::Japanese, QLocale::Japan).toString(*value) : QString();
}

QStringList MonthTexts(const LedgerRow& row, const ClaimOverview& claim)
{
    const MonthStatus& m = row.month;
    const QString handed = m.handedDate.isValid() ? Date(m.handedDate) : QStringLiteral("未渡し");
    const QString receipt = m.receiptDate.isValid() ? Date(m.receiptDate)
                            : m.handedDate.isValid() ? QStringLiteral("未回収")
                                                     : QString();
    return {Date(m.paidDate), FromShiftJis(claim.id), claim.name, QString::number(claim.occurrence),
            MonthText(m.month), Number(m.points), Number(m.amount), handed, m.payMethod, m.handedBy, m.checkedBy,
            receipt};
}

QString GroupLabel(const LedgerGroup& group)
{
    return QStringLiteral("%1 小計（%2件）").arg(Date(group.paidDate)).arg(group.rows.size());
}

// A typed notice total as the office writes it: digits, with thousands
// commas, a yen sign or 円 allowed; full-width digits read as digits.
std::optional<qint64> ReadTypedYen(QString text)
{
    text = text.normalized(QString::NormalizationForm_KC);
    text.remove(u',').remove(u'¥').remove(u'\\').remove(u'円').remove(u' ');
    return ReadAmount(text);
}

} // namespace

QStringList LedgerColumns()
{
    return {QStringLiteral("支払日"), QStringLiteral("ID番号"), QStringLiteral("氏名"), QStringLiteral("回"),
            QStringLiteral("診療月"), QStringLiteral("点数"), QStringLiteral("支払額"), QStringLiteral("保護者支払日"),
            QStringLiteral("支払方法"), QStringLiteral("渡した人"), QStringLiteral("確認者"), QStringLiteral("受領書")};
}

QString NoticeCheckText(const LedgerGroup& group, bool brief)
{
    switch (group.Check()) {
    case NoticeCheck::NotTyped: return QStringLiteral("通知書の額 未入力");
    case NoticeCheck::Equal: return QStringLiteral("通知書と一致");
    case NoticeCheck::Different: break;
    }
    const qint64 difference = group.Difference();
    const QString text = QStringLiteral("差額 %1%2円")
                             .arg(difference > 0 ? QStringLiteral("＋") : QStringLiteral("－"), Number(std::abs(difference)));
    return brief ? text : text + QStringLiteral("（通知書 %1円）").arg(Number(group.notice));
}

// A subtotal in the columns of the months, as printed and written to CSV:
// the day, 小計 and the count, the sum, the notice's total and its check.
QList<LedgerLine> LedgerLines(const Ledger& ledger, const QList<ClaimOverview>& claims)
{
    QList<LedgerLine> lines;
    for (int g = 0; g < ledger.groups.size(); ++g) {
        const LedgerGroup& group = ledger.groups[g];
        for (const LedgerRow& row : group.rows)
            lines.append({MonthTexts(row, claims[row.claim]), -1, row.claim, row.month.LacksSecondCheck()});
        QStringList subtotal(LedgerColumns().size());
        subtotal[PaidDate] = Date(group.paidDate);
        subtotal[Id] = QStringLiteral("小計");
        subtotal[Name] = QStringLiteral("%1件").arg(group.rows.size());
        subtotal[Amount] = Number(group.sum);
        subtotal[kNoticeColumn] = group.notice ? QStringLiteral("通知書 ") + Number(group.notice) : QString();
        subtotal[Receipt] = NoticeCheckText(group, true);
        lines.append({subtotal, g, -1});
    }
    return lines;
}

QString LedgerTotalsText(const LedgerTotals& totals)
{
    QString text = QStringLiteral("受け取った額 %1円　渡した額 %2円　未渡し額 %3円　受領書未回収 %4件 %5円")
                       .arg(Number(totals.received), Number(totals.handed), Number(totals.notHanded))
                       .arg(totals.receiptsOutstanding)
                       .arg(Number(totals.receiptsOutstandingAmount));
    if (totals.undated > 0)
        text += QStringLiteral("\n支払日が記録されていない支払済の月が %1件あります（どの年度にも入りません）。")
                    .arg(totals.undated);
    return text;
}

LedgerWindow::LedgerWindow(const QString& workDir, const QList<ClaimOverview>& claims, QDate today, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::LedgerWindow>()), workDir_(workDir), claims_(claims)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    for (int year : LedgerYears(claims_, today))
        ui->LedgerYear->addItem(QStringLiteral("%1年度").arg(year), year);
    ui->LedgerTable->setColumnCount(LedgerColumns().size());
    ui->LedgerTable->setHorizontalHeaderLabels(LedgerColumns());
    ui->LedgerTable->verticalHeader()->hide();
    ui->LedgerTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    ui->LedgerTable->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {100, 64, 110, 32, 84, 60, 76, 100, 76, 80, 80};
    for (int c = 0; c < int(std::size(widths)); ++c)
        ui->LedgerTable->setColumnWidth(c, widths[c]);
    AskCsvPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("CSV出力"),
                                            workDir_ + QStringLiteral("/給付金台帳%1.CSV").arg(ledger_.schoolYear),
                                            QStringLiteral("CSV (*.CSV)"));
    };
    forms::OnEvent(ui->LedgerYear, &QComboBox::currentIndexChanged, this, &LedgerWindow::LedgerYearChange);
    forms::OnEvent(ui->LedgerPrint, &QPushButton::clicked, this, &LedgerWindow::LedgerPrintClick);
    forms::OnEvent(ui->LedgerCsv, &QPushButton::clicked, this, &LedgerWindow::LedgerCsvClick);
    forms::OnEvent(ui->LedgerClose, &QPushButton::clicked, this, [this] { done(forms::kModalDone); });
    ReadNotices();
    Rebuild();
}

LedgerWindow::~LedgerWindow() = default;

void LedgerWindow::ReadNotices()
{
    const Result<Stamped<PaymentNotices>> read = ReadPaymentNotices(workDir_);
    if (read) {
        notices_ = read->value;
        noticesStamp_ = read->stamp;
        noticesProblem_.clear();
        return;
    }
    noticesProblem_ = QStringLiteral("%1 を読み込めません：%2。通知書の額は入力できません。")
                          .arg(QDir::toNativeSeparators(PaymentNoticesPath(workDir_)), read.error().message);
}

void LedgerWindow::Rebuild()
{
    ledger_ = BuildLedger(claims_, ui->LedgerYear->currentData().toInt(), notices_);
    lines_ = LedgerLines(ledger_, claims_);
    FillTable();
    QString totals = LedgerTotalsText(ledger_.totals);
    if (!noticesProblem_.isEmpty())
        totals += u'\n' + noticesProblem_;
    ui->LedgerTotals->setText(totals);
}

void LedgerWindow::FillTable()
{
    QTableWidget& table = *ui->LedgerTable;
    table.clearSpans();
    table.setRowCount(0);
    table.setRowCount(int(lines_.size()));
    for (int r = 0; r < lines_.size(); ++r) {
        const LedgerLine& line = lines_[r];
        for (int c = 0; c < line.texts.size(); ++c) {
            auto* item = new QTableWidgetItem(line.texts[c]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c == Points || c == Amount || c == Occurrence)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(r, c, item);
        }
        if (line.checkedAlone) {
            table.item(r, CheckedBy)->setBackground(QColor(0xFF, 0xD0, 0xD0));
            table.item(r, CheckedBy)->setToolTip(QStringLiteral("確認は別の人が"));
        }
        if (line.group >= 0)
            ShowGroupRow(r, line.group);
    }
}

// The subtotal row: shaded, its label over the month columns, the notice's
// total typed in its own box and the check beside it, red when they differ.
void LedgerWindow::ShowGroupRow(int row, int group)
{
    QTableWidget& table = *ui->LedgerTable;
    table.setSpan(row, PaidDate, 1, Amount - PaidDate);
    table.setSpan(row, kNoticeColumn, 1, kCheckColumn - kNoticeColumn);
    table.setSpan(row, kCheckColumn, 1, LedgerColumns().size() - kCheckColumn);
    for (int c = 0; c < table.columnCount(); ++c) {
        if (QTableWidgetItem* item = table.item(row, c)) {
            item->setBackground(QColor(0xE8, 0xE8, 0xE8));
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
    const LedgerGroup& g = ledger_.groups[group];
    table.item(row, PaidDate)->setText(GroupLabel(g));
    table.item(row, kCheckColumn)->setText(NoticeCheckText(g));
    if (g.Check() == NoticeCheck::Different)
        table.item(row, kCheckColumn)->setForeground(Qt::red);
    auto* edit = new QLineEdit(Number(g.notice));
    edit->setObjectName(QStringLiteral("NoticeTotal"));
    edit->setProperty("group", group);
    edit->setPlaceholderText(QStringLiteral("通知書の額を入力"));
    edit->setAlignment(Qt::AlignRight);
    edit->setEnabled(noticesProblem_.isEmpty());
    edit->setToolTip(QStringLiteral("この支払日の支払通知書の合計額"));
    table.setIndexWidget(table.model()->index(row, kNoticeColumn), edit);
    forms::OnEvent(edit, &QLineEdit::editingFinished, this, [this, group] { NoticeTotalEdited(group); });
}

QLineEdit* LedgerWindow::NoticeEdit(int group) const
{
    for (QLineEdit* edit : ui->LedgerTable->findChildren<QLineEdit*>(QStringLiteral("NoticeTotal"))) {
        if (edit->property("group").toInt() == group)
            return edit;
    }
    return nullptr;
}

void LedgerWindow::LedgerYearChange()
{
    Rebuild();
}

// Saved at once, as the office types it: the file holds every PC's totals.
void LedgerWindow::NoticeTotalEdited(int group)
{
    QLineEdit* edit = NoticeEdit(group);
    if (!edit || group >= ledger_.groups.size())
        return;
    const LedgerGroup& g = ledger_.groups[group];
    const QString typed = edit->text().trimmed();
    const std::optional<qint64> total = typed.isEmpty() ? std::nullopt : ReadTypedYen(typed);
    if (!typed.isEmpty() && !total) {
        forms::ShowMessage(this, QStringLiteral("通知書の額は数字で入力して下さい（例：123,456）。"));
        edit->setText(Number(g.notice));
        return;
    }
    if (total == g.notice)
        return;
    PaymentNotices changed = notices_;
    changed.Set(g.paidDate, total);
    const std::optional<FileStamp> saved = forms::SaveGuarded(
        this, {QStringLiteral("支払通知書の額"), QString()}, noticesStamp_,
        [&](const std::optional<FileStamp>& expected) { return WritePaymentNotices(workDir_, changed, expected); });
    if (saved) {
        notices_ = changed;
        noticesStamp_ = *saved;
    } else {
        ReadNotices();
    }
    // The boxes go with the table: rebuild once this box's signal is done.
    QMetaObject::invokeMethod(this, &LedgerWindow::Rebuild, Qt::QueuedConnection);
}

QList<QStringList> LedgerWindow::ShownLines() const
{
    QList<QStringList> lines{LedgerColumns()};
    for (const LedgerLine& line : lines_)
        lines.append(line.texts);
    return lines;
}

void LedgerWindow::LedgerCsvClick()
{
    const QString path = AskCsvPath ? AskCsvPath() : QString();
    if (!path.isEmpty())
        ExportCsv(this, path, ShownLines());
}

void LedgerWindow::PrintTo(QPrinter& printer) const
{
    SchoolInfo school;
    school.name = ReadSchoolName(workDir_);
    PrintLedger(printer, ledger_, claims_, school);
}

void LedgerWindow::LedgerPrintClick()
{
    ShowPreview(this, QStringLiteral("給付金台帳 %1年度").arg(ledger_.schoolYear), [this](QPrinter& p) { PrintTo(p); });
}

namespace {

// 校長, 事務長, 担当: a box each to seal, at the top right of the first page.
void DrawApprovalBox(Page& page)
{
    const QStringList titles{QStringLiteral("校長"), QStringLiteral("事務長"), QStringLiteral("担当")};
    const qreal cell = 22, head = 6, seal = 18;
    const qreal left = page.width - cell * titles.size();
    page.Text({left - 10, 0, 9, head + seal}, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("決\n裁"),
              GothicFont(9));
    page.painter.setPen(QPen(Qt::black, page.Px(0.3)));
    page.painter.drawRect(page.Rect(left - 10, 0, 10 + cell * titles.size(), head + seal));
    for (int i = 0; i < titles.size(); ++i) {
        const qreal x = left + cell * i;
        page.painter.drawRect(page.Rect(x, 0, cell, head));
        page.painter.drawRect(page.Rect(x, head, cell, seal));
        page.Text({x, 0, cell, head}, Qt::AlignCenter, titles[i], GothicFont(9));
    }
}

QList<QStringList> PrintedRows(const Ledger& ledger, const QList<ClaimOverview>& claims)
{
    QList<QStringList> rows{LedgerColumns()};
    for (const LedgerLine& line : LedgerLines(ledger, claims))
        rows.append(line.texts);
    return rows;
}

} // namespace

void PrintLedger(QPrinter& printer, const Ledger& ledger, const QList<ClaimOverview>& claims, const SchoolInfo& school)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    Page page(painter, printer);
    DrawApprovalBox(page);
    page.Text({0, 0, page.width - 90, 10}, Qt::AlignLeft | Qt::AlignVCenter,
              QStringLiteral("給付金台帳　%1年度").arg(ledger.schoolYear), GothicFont(16, true));
    page.Text({0, 11, page.width - 90, 7}, Qt::AlignLeft | Qt::AlignVCenter, school.name, GothicFont(10));
    const QList<qreal> widths{34, 20, 30, 8, 22, 16, 22, 24, 16, 22, 22, 0};
    Grid grid{widths, {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft, Qt::AlignRight,
                       Qt::AlignRight, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft},
              6, GothicFont(8), GothicFont(8, true)};
    grid.widths.back() = page.width - std::accumulate(widths.begin(), widths.end(), qreal(0));
    qreal y = DrawGridOverPages(printer, page, 30, 14, grid, PrintedRows(ledger, claims)) + 4;
    page.Text({0, y, page.width, 12}, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
              LedgerTotalsText(ledger.totals), GothicFont(10, true));
}

} // namespace status
