#include "statswindow/StatsWindow.h"

#include "claimstatus/ListingCache.h"
#include "claimstatus/SchoolInfo.h"
#include "output/CsvExport.h"
#include "output/PagePrint.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "rosters/EntryYears.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPrinter>

using namespace claims;
using namespace stats;

namespace statswindow {
namespace {

constexpr int kFirstYear = 2008;   // 平成20年度, the oldest roster's

ClaimListing ReadThroughUserCache(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    return ReadAllClaimsThroughCache(workDir, UserCacheFolder(), progress);
}

ChartRows ChartOf(const StatsTable& table, const StatsQuery& query)
{
    return {table.rows, query.compare, SpanText(query.from, query.to), SpanText(query.from - 1, query.to - 1)};
}

QString SpanLine(const StatsQuery& query)
{
    QString line = QStringLiteral("対象 %1（負傷日による）").arg(SpanText(query.from, query.to));
    if (query.compare)
        line += QStringLiteral("　比較 %1").arg(SpanText(query.from - 1, query.to - 1));
    return line;
}

QTableWidgetItem* Cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    return item;
}

// The lines' first one as the column names; the last one (合計) in bold.
void FillTable(QTableWidget* table, const QList<QStringList>& lines)
{
    table->clear();
    table->setColumnCount(int(lines.first().size()));
    table->setRowCount(int(lines.size()) - 1);
    table->setHorizontalHeaderLabels(lines.first());
    for (int r = 1; r < lines.size(); ++r) {
        for (int c = 0; c < lines[r].size(); ++c) {
            QTableWidgetItem* cell = Cell(lines[r][c], c > 0);
            QFont font = table->font();
            font.setBold(r == lines.size() - 1);
            cell->setFont(font);
            table->setItem(r - 1, c, cell);
        }
    }
    table->resizeColumnsToContents();
}

} // namespace

StatsWindow::StatsWindow(const QString& workDir, QWidget* parent, QDate today, ClaimReader read)
    : QDialog(parent), ui(std::make_unique<Ui::StatsWindow>()), workDir_(workDir),
      read_(read ? std::move(read) : ReadThroughUserCache)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    ui->StatsTable->verticalHeader()->hide();
    ui->StatsTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    FillChoices(today);
    AskCsvPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("CSV出力"), workDir_ + QStringLiteral("/負傷統計.CSV"),
                                            QStringLiteral("CSV (*.CSV)"));
    };
    ConnectHandlers();
    StartLoading();
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::FillChoices(QDate today)
{
    const int thisYear = std::max(kFirstYear, SchoolYear(today));
    for (int year = kFirstYear; year <= thisYear; ++year) {
        ui->StatsFrom->addItem(EntryYearText(year), year);
        ui->StatsTo->addItem(EntryYearText(year), year);
    }
    ui->StatsFrom->setCurrentIndex(ui->StatsFrom->count() - 1);
    ui->StatsTo->setCurrentIndex(ui->StatsTo->count() - 1);
    ui->StatsCross->addItem(QStringLiteral("なし"));
    for (int c = 0; c < kCategoryCount; ++c) {
        ui->StatsBy->addItem(CategoryText(Category(c)));
        ui->StatsCross->addItem(CategoryText(Category(c)));
    }
    for (int m = 0; m < kMeasureCount; ++m)
        ui->StatsMeasure->addItem(MeasureText(Measure(m)));
}

void StatsWindow::ConnectHandlers()
{
    for (QComboBox* choice : {ui->StatsFrom, ui->StatsTo, ui->StatsBy, ui->StatsCross, ui->StatsMeasure})
        forms::OnEvent(choice, &QComboBox::currentIndexChanged, this, &StatsWindow::ChoiceChange);
    forms::OnEvent(ui->StatsCompare, &QCheckBox::toggled, this, &StatsWindow::ChoiceChange);
    forms::OnEvent(ui->StatsPrint, &QPushButton::clicked, this, &StatsWindow::StatsPrintClick);
    forms::OnEvent(ui->StatsPrintAll, &QPushButton::clicked, this, &StatsWindow::StatsPrintAllClick);
    forms::OnEvent(ui->StatsCsv, &QPushButton::clicked, this, &StatsWindow::StatsCsvClick);
    forms::OnEvent(ui->StatsCopy, &QPushButton::clicked, this, &StatsWindow::StatsCopyClick);
    forms::OnEvent(ui->StatsClose, &QPushButton::clicked, this, [this] { done(forms::kModalDone); });
}

// The students are looked up in the rosters on the reading's thread too.
void StatsWindow::StartLoading()
{
    reading_.Start(ui->StatsProgress, [this](const forms::BackgroundRead::Progress& progress) {
        const ClaimListing listing = read_(workDir_, progress);
        auto facts = std::make_shared<QList<InjuryFacts>>(ReadFacts(workDir_, listing));
        const int problems = int(listing.problems.size());
        return [this, facts, problems] { TakeFacts(facts, problems); };
    });
}

void StatsWindow::TakeFacts(const std::shared_ptr<QList<InjuryFacts>>& facts, int problems)
{
    facts_ = std::move(*facts);
    problems_ = problems;
    loaded_ = true;
    ShowTable();
    emit Loaded();
}

StatsQuery StatsWindow::Query() const
{
    StatsQuery query;
    const int from = ui->StatsFrom->currentData().toInt(), to = ui->StatsTo->currentData().toInt();
    query.from = std::min(from, to);
    query.to = std::max(from, to);
    query.by = Category(ui->StatsBy->currentIndex());
    if (ui->StatsCross->currentIndex() > 0)
        query.cross = Category(ui->StatsCross->currentIndex() - 1);
    query.measure = Measure(ui->StatsMeasure->currentIndex());
    query.compare = ui->StatsCompare->isChecked();
    return query;
}

QList<QStringList> StatsWindow::ShownLines() const
{
    return TableLines(table_, Query());
}

void StatsWindow::ChoiceChange()
{
    if (loaded_)
        ShowTable();
}

void StatsWindow::ShowTable()
{
    const StatsQuery query = Query();
    table_ = CountInjuries(facts_, query);
    FillTable(ui->StatsTable, ShownLines());
    ui->StatsChart->SetRows(ChartOf(table_, query));
    QString summary = QStringLiteral("%1　%2 %3").arg(SpanText(query.from, query.to), MeasureText(query.measure))
                          .arg(table_.total);
    if (query.compare)
        summary += QStringLiteral("（%1 %2）").arg(SpanText(query.from - 1, query.to - 1)).arg(table_.previousTotal);
    if (problems_ > 0)
        summary += QStringLiteral("　読めなかったファイル・行 %1").arg(problems_);
    ui->StatsSummary->setText(summary);
}

StatsPage StatsWindow::PageOf(const StatsQuery& query, const QString& school) const
{
    const StatsTable table = CountInjuries(facts_, query);
    QString title = QStringLiteral("負傷統計　%1").arg(CategoryText(query.by));
    if (query.cross)
        title += QStringLiteral("×%1").arg(CategoryText(*query.cross));
    title += QStringLiteral("（%1）").arg(MeasureText(query.measure));
    return {title, school, SpanLine(query), ChartOf(table, query), TableLines(table, query)};
}

QList<StatsPage> StatsWindow::PagesToPrint(bool all) const
{
    const QString school = ReadSchoolName(workDir_);
    if (!all)
        return {PageOf(Query(), school)};
    QList<StatsPage> pages;
    for (int c = 0; c < kCategoryCount; ++c) {
        StatsQuery query = Query();
        query.by = Category(c);
        query.cross.reset();
        pages.append(PageOf(query, school));
    }
    return pages;
}

void StatsWindow::PrintTo(QPrinter& printer, bool all) const
{
    PrintStatsPages(printer, PagesToPrint(all));
}

void StatsWindow::StatsPrintClick()
{
    output::ShowPreview(this, QStringLiteral("負傷統計"), [this](QPrinter& printer) { PrintTo(printer, false); });
}

void StatsWindow::StatsPrintAllClick()
{
    output::ShowPreview(this, QStringLiteral("負傷統計"), [this](QPrinter& printer) { PrintTo(printer, true); });
}

void StatsWindow::StatsCsvClick()
{
    const QString path = AskCsvPath ? AskCsvPath() : QString();
    if (!path.isEmpty())
        output::ExportCsv(this, path, ShownLines());
}

// Tab-separated lines, as a spreadsheet takes them when pasted.
void StatsWindow::StatsCopyClick()
{
    QStringList text;
    for (const QStringList& line : ShownLines())
        text.append(line.join(u'\t'));
    QGuiApplication::clipboard()->setText(text.join(u'\n') + u'\n');
}

} // namespace statswindow
