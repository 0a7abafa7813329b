#include "status/StatusWindow.h"

#include "claimstatus/ListingCache.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "output/CsvExport.h"
#include "status/LedgerWindow.h"
#include "status/MonthDialog.h"
#include "output/PagePrint.h"
#include "status/SchoolWindow.h"
#include "status/StatusPrint.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrinter>

using namespace claims;
using namespace output;

namespace status {
namespace {

constexpr int kMostProblemsShown = 10;

QString DateText(QDate date)
{
    return date.toString(QStringLiteral("yyyy年M月d日"));
}

ClaimListing ReadThroughUserCache(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    return ReadAllClaimsThroughCache(workDir, UserCacheFolder(), progress);
}

} // namespace

StatusWindow::StatusWindow(const QString& workDir, QDate reference, QWidget* parent, ClaimReader read)
    : QDialog(parent), ui(std::make_unique<Ui::StatusWindow>()), workDir_(workDir), reference_(reference),
      read_(read ? std::move(read) : ReadThroughUserCache)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    ui->StatusDate->setText(QStringLiteral("基準日　") + DateText(reference_));
    ui->StatusTable->setModel(&model_);
    ui->StatusTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->StatusTable->verticalHeader()->hide();
    ui->StatusTable->horizontalHeader()->setStretchLastSection(true);
    ui->StatusTable->setColumnWidth(StatusModel::Deadline, 96);
    ui->StatusTable->setColumnWidth(StatusModel::Name, 150);
    ui->StatusTable->setColumnWidth(StatusModel::Injury, 120);
    AskCsvPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("CSV出力"), workDir_ + QStringLiteral("/請求状況一覧.CSV"),
                                            QStringLiteral("CSV (*.CSV)"));
    };
    ConnectHandlers();
    ui->LedgerButton->setEnabled(false);   // the ledger is made of the listing: once it is read
    StartLoading();
}

StatusWindow::~StatusWindow() = default;

void StatusWindow::ConnectHandlers()
{
    forms::OnEvent(ui->StatusFilter, &QComboBox::currentIndexChanged, this, &StatusWindow::StatusFilterChange);
    forms::OnEvent(ui->StatusFind, &QLineEdit::textChanged, this, &StatusWindow::StatusFindChange);
    forms::OnEvent(ui->ThisMonthButton, &QPushButton::clicked, this, &StatusWindow::ThisMonthButtonClick);
    forms::OnEvent(ui->PrintButton, &QPushButton::clicked, this, &StatusWindow::PrintButtonClick);
    forms::OnEvent(ui->CsvButton, &QPushButton::clicked, this, &StatusWindow::CsvButtonClick);
    forms::OnEvent(ui->LettersButton, &QPushButton::clicked, this, &StatusWindow::LettersButtonClick);
    forms::OnEvent(ui->ReceiptButton, &QPushButton::clicked, this, &StatusWindow::ReceiptButtonClick);
    forms::OnEvent(ui->LedgerButton, &QPushButton::clicked, this, &StatusWindow::LedgerButtonClick);
    forms::OnEvent(ui->SchoolButton, &QPushButton::clicked, this, &StatusWindow::SchoolButtonClick);
    forms::OnEvent(ui->CloseButton, &QPushButton::clicked, this, [this] { done(forms::kModalDone); });
    forms::OnEvent(ui->StatusTable, &QTableView::activated, this, &StatusWindow::StatusTableActivate);
}

void StatusWindow::StartLoading()
{
    reading_.Start(ui->StatusProgress, [this](const forms::BackgroundRead::Progress& progress) {
        auto listing = std::make_shared<ClaimListing>(read_(workDir_, progress));
        return [this, listing] { TakeListing(listing); };
    });
}

void StatusWindow::TakeListing(const std::shared_ptr<ClaimListing>& listing)
{
    listing_ = std::move(*listing);
    counts_ = CountOpenMonths(listing_.claims, reference_);
    loaded_ = true;
    ui->LedgerButton->setEnabled(true);
    RefreshLines();
    emit Loaded();
    if (!listing_.problems.isEmpty()) {
        QStringList shown = listing_.problems.mid(0, kMostProblemsShown);
        if (listing_.problems.size() > kMostProblemsShown)
            shown.append(QStringLiteral("ほか %1 件").arg(listing_.problems.size() - kMostProblemsShown));
        forms::ShowMessage(this, QStringLiteral("読めなかったファイル・行があります。読めない行は書き換えずに残します。\n")
                                     + shown.join(u'\n'));
    }
}

StatusView StatusWindow::CurrentView() const
{
    if (ui->ThisMonthButton->isChecked())
        return StatusView::ThisMonth;
    static const StatusView views[] = {StatusView::Open, StatusView::Within90, StatusView::Lapsed, StatusView::Claimed,
                                       StatusView::Paid, StatusView::Handover, StatusView::ReceiptOutstanding,
                                       StatusView::All};
    return views[qBound(0, ui->StatusFilter->currentIndex(), int(std::size(views)) - 1)];
}

bool StatusWindow::MatchesFind(const ClaimOverview& claim) const
{
    const QString find = ui->StatusFind->text().trimmed();
    return find.isEmpty() || FromShiftJis(claim.id).contains(find, Qt::CaseInsensitive)
           || claim.name.contains(find, Qt::CaseInsensitive);
}

void StatusWindow::RefreshLines()
{
    const StatusView view = CurrentView();
    QList<StatusLine> lines = BuildStatusLines(listing_.claims, reference_, view);
    if (!ui->StatusFind->text().trimmed().isEmpty())
        lines.removeIf([this](const StatusLine& line) { return !MatchesFind(listing_.claims[line.claim]); });
    model_.SetLines(&listing_.claims, std::move(lines), view);
    ShowSummary();
}

void StatusWindow::ShowSummary()
{
    ui->StatusSummary->setText(
        QStringLiteral("時効 %1件　30日以内 %2件　90日以内 %3件　未請求 %4件　未渡し %5件　受領書未回収 %6件　（表示 %7行）")
            .arg(counts_.lapsed)
            .arg(counts_.within30)
            .arg(counts_.within90)
            .arg(counts_.open)
            .arg(counts_.awaitingHandover)
            .arg(counts_.awaitingReceipt)
            .arg(model_.rowCount()));
}

void StatusWindow::StatusFilterChange()
{
    ui->ThisMonthButton->setChecked(false);
    RefreshLines();
}

void StatusWindow::StatusFindChange()
{
    RefreshLines();
}

void StatusWindow::ThisMonthButtonClick()
{
    RefreshLines();
}

QString StatusWindow::PrintTitle() const
{
    const QString view = ui->ThisMonthButton->isChecked() ? ui->ThisMonthButton->text() : ui->StatusFilter->currentText();
    return QStringLiteral("請求状況　%1　基準日 %2").arg(view, DateText(reference_));
}

void StatusWindow::PrintTo(QPrinter& printer) const
{
    QList<QStringList> rows;
    for (int r = 0; r < model_.rowCount(); ++r)
        rows.append(model_.RowTexts(r));
    PrintTable(printer, PrintTitle(), model_.ColumnNames(), rows);
}

void StatusWindow::PrintButtonClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    preview.exec();
}

QList<QStringList> StatusWindow::ShownLines() const
{
    QList<QStringList> lines{model_.ColumnNames()};
    for (int r = 0; r < model_.rowCount(); ++r)
        lines.append(model_.RowTexts(r));
    return lines;
}

void StatusWindow::CsvButtonClick()
{
    const QString path = AskCsvPath ? AskCsvPath() : QString();
    if (!path.isEmpty())
        ExportCsv(this, path, ShownLines());
}

QSet<QByteArray> StatusWindow::LetterStudents() const
{
    QList<int> rows;
    for (const QModelIndex& index : ui->StatusTable->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty()) {
        for (int r = 0; r < model_.rowCount(); ++r)
            rows.append(r);
    }
    QSet<QByteArray> ids;
    for (int r : rows)
        ids.insert(listing_.claims[model_.Line(r).claim].id);
    return ids;
}

LetterBatch StatusWindow::LettersToPrint() const
{
    return PrepareLetters(workDir_, listing_.claims, LetterStudents(), reference_);
}

void StatusWindow::LettersButtonClick()
{
    const LetterBatch batch = LettersToPrint();
    if (batch.letters.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("表示中（選択中）の生徒には、お知らせする月（未渡し・書類待ち）がありません。"));
        return;
    }
    if (!batch.notice.isEmpty())
        forms::ShowMessage(this, batch.notice);
    const bool withReceipts = ui->ReceiptWithLetters->isChecked();
    ShowPreview(this, QStringLiteral("お知らせ印刷（%1通）").arg(batch.letters.size()), [&](QPrinter& printer) {
        PrintLetters(printer, batch.letters, batch.school, reference_, withReceipts);
    });
}

// One receipt a student, of the months paid and not yet handed over.
void StatusWindow::ReceiptButtonClick()
{
    LetterBatch batch = LettersToPrint();
    batch.letters.removeIf([](const Letter& letter) { return letter.kind != LetterKind::Payout; });
    if (batch.letters.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("表示中（選択中）の生徒には、未渡しの給付金がありません。"));
        return;
    }
    if (!batch.notice.isEmpty())
        forms::ShowMessage(this, batch.notice);
    ShowPreview(this, QStringLiteral("受領書印刷（%1枚）").arg(batch.letters.size()), [&](QPrinter& printer) {
        PrintReceipts(printer, batch.letters, batch.school, reference_);
    });
}

void StatusWindow::LedgerButtonClick()
{
    forms::RunModal(std::make_unique<LedgerWindow>(workDir_, listing_.claims, reference_, this));
}

void StatusWindow::SchoolButtonClick()
{
    forms::RunModal(std::make_unique<SchoolWindow>(workDir_, this));
}

void StatusWindow::StatusTableActivate(const QModelIndex& index)
{
    if (index.isValid())
        EditClaim(model_.Line(index.row()).claim);
}

void StatusWindow::EditClaim(int claimIndex)
{
    ClaimOverview& claim = listing_.claims[claimIndex];
    auto dialog = std::make_unique<MonthDialog>(workDir_, claim, this);
    bool saved = false;
    dialog->OnSaved = [&](const StatusFile& file) {
        claim.status = file;
        saved = true;
    };
    forms::RunModal(std::move(dialog));
    if (saved) {
        counts_ = CountOpenMonths(listing_.claims, reference_);
        RefreshLines();
    }
}

} // namespace status
