#include "import/ImportWindow.h"

#include "files/FileAccess.h"
#include "store/GuardedFile.h"
#include "rosters/EntryYears.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/SaveGuarded.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

using namespace claims;

namespace rosterimport {
namespace {

constexpr int kPreviewLines = 20;
const QString kNoColumnText = QStringLiteral("（なし）");

QString EncodingName(ExportEncoding encoding)
{
    switch (encoding) {
    case ExportEncoding::ShiftJis:
        return QStringLiteral("Shift-JIS");
    case ExportEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case ExportEncoding::Utf8WithMark:
        return QStringLiteral("UTF-8（BOM付き）");
    default:
        return QStringLiteral("UTF-16");
    }
}

QString FileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

ImportWindow::ImportWindow(const QString& workDir, QDate openingDay, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ImportWindow>()), workDir_(workDir)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    BuildColumnRows();
    FillYears(openingDay);
    ConnectHandlers();
    AskPath = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("取り込むファイル"), workDir_,
                                            QStringLiteral("名簿 (*.csv *.txt *.tsv);;すべてのファイル (*)"));
    };
    Refresh();
}

ImportWindow::~ImportWindow() = default;

// One row a roster field: its name, and the box that chooses its column.
void ImportWindow::BuildColumnRows()
{
    const QStringList names = RosterFieldNames();
    ui->ImportColumns->setRowCount(int(names.size()));
    for (int field = 0; field < int(names.size()); ++field) {
        auto* name = new QTableWidgetItem(names[field]);
        name->setFlags(Qt::ItemIsEnabled);
        ui->ImportColumns->setItem(field, 0, name);
        auto* box = new QComboBox(ui->ImportColumns);
        box->setObjectName(QStringLiteral("ImportColumn%1").arg(field + 1));
        box->addItem(kNoColumnText);
        ui->ImportColumns->setCellWidget(field, 1, box);
    }
}

void ImportWindow::FillYears(QDate openingDay)
{
    ui->ImportYear->addItems(EntryYears(openingDay));
    ui->ImportYear->setCurrentText(EntryYearText(SchoolYear(openingDay)));
    ShowFileName();
}

void ImportWindow::ConnectHandlers()
{
    forms::OnEvent(ui->ImportBrowse, &QPushButton::clicked, this, &ImportWindow::ImportBrowseClick);
    forms::OnEvent(ui->ImportLoad, &QPushButton::clicked, this, &ImportWindow::ImportLoadClick);
    forms::OnEvent(ui->ImportSave, &QPushButton::clicked, this, &ImportWindow::ImportSaveClick);
    forms::OnEvent(ui->ImportClose, &QPushButton::clicked, this, &ImportWindow::ImportCloseClick);
    forms::OnEvent(ui->ImportPath, &QLineEdit::returnPressed, this, &ImportWindow::ImportLoadClick);
    forms::OnEvent(ui->ImportYear, &QComboBox::currentIndexChanged, this, &ImportWindow::ShowFileName);
    for (int field = 0; field < TStudentRecord::FieldCount; ++field)
        forms::OnEvent(ColumnBox(field), &QComboBox::currentIndexChanged, this, &ImportWindow::Refresh);
}

QComboBox* ImportWindow::ColumnBox(int field) const
{
    return qobject_cast<QComboBox*>(ui->ImportColumns->cellWidget(field, 1));
}

QString ImportWindow::RosterPath() const
{
    const QString path = RosterPathOfYear(workDir_, ui->ImportYear->currentText());
    const QString existing = FindExistingEntry(path);
    return existing.isEmpty() ? path : existing;
}

void ImportWindow::ShowFileName()
{
    ui->ImportFileName->setText(QStringLiteral("→ ") + FileName(RosterPath()));
}

void ImportWindow::ImportBrowseClick()
{
    const QString path = AskPath();
    if (path.isEmpty())
        return;
    ui->ImportPath->setText(QDir::toNativeSeparators(path));
    ImportLoadClick();
}

void ImportWindow::ImportLoadClick()
{
    const QString path = QDir::fromNativeSeparators(ui->ImportPath->text().trimmed());
    if (path.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("取り込むファイルを指定して下さい！！"));
        return;
    }
    const Result<QByteArray> file = ReadWholeFile(QDir(workDir_).absoluteFilePath(path));
    if (!file) {
        forms::ShowMessage(this, QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(QDir::toNativeSeparators(path)));
        return;
    }
    ExportTable table = ReadExport(*file);
    if (table.header.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("ﾌｧｲﾙ %1 に読み込める行がありません！！").arg(QDir::toNativeSeparators(path)));
        return;
    }
    table_ = std::move(table);
    loaded_ = true;
    ShowFileInfo();
    ShowColumns(GuessColumns(table_));
}

void ImportWindow::ShowFileInfo()
{
    ui->ImportFileInfo->setText(QStringLiteral("%1・%2区切り・見出しの下に%3行")
                                    .arg(EncodingName(table_.encoding),
                                         table_.separator == '\t' ? QStringLiteral("タブ") : QStringLiteral("カンマ"))
                                    .arg(table_.rows.size()));
}

// The boxes list the export's columns by number and header name.
void ImportWindow::ShowColumns(const ColumnChoice& columns)
{
    QStringList items{kNoColumnText};
    for (int column = 0; column < int(table_.header.size()); ++column)
        items << QStringLiteral("%1: %2").arg(column + 1).arg(table_.header[column]);
    for (int field = 0; field < TStudentRecord::FieldCount; ++field) {
        QComboBox* box = ColumnBox(field);
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(columns[field] + 1);
    }
    Refresh();
}

ColumnChoice ImportWindow::ChosenColumns() const
{
    ColumnChoice columns;
    for (int field = 0; field < TStudentRecord::FieldCount; ++field)
        columns[field] = ColumnBox(field)->currentIndex() - 1;
    return columns;
}

// The preview holds the header line and the first students exactly as they
// will be written; the problems list every line left out and why.
void ImportWindow::Refresh()
{
    roster_ = loaded_ ? BuildImportedRoster(table_, ChosenColumns()) : ImportedRoster();
    QStringList preview{RosterHeaderLine()};
    preview << roster_.lines.mid(0, kPreviewLines);
    ui->ImportPreview->setPlainText(loaded_ ? preview.join(u'\n') : QString());
    QStringList problems;
    problems.reserve(roster_.problems.size());
    for (const ImportProblem& problem : roster_.problems)
        problems << QStringLiteral("%1行目: %2").arg(problem.line).arg(problem.why);
    ui->ImportProblems->clear();
    ui->ImportProblems->addItems(problems);
    ui->ImportSummary->setText(loaded_ ? QStringLiteral("保存する生徒 %1人　問題のある行 %2")
                                             .arg(roster_.lines.size()).arg(roster_.problemLines)
                                       : QString());
}

void ImportWindow::ImportSaveClick()
{
    if (!loaded_) {
        forms::ShowMessage(this, QStringLiteral("取り込むファイルを読み込んで下さい！！"));
        return;
    }
    if (roster_.lines.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("保存できる生徒がいません！！"));
        return;
    }
    if (!MayLeaveOutProblems())
        return;
    const QString path = RosterPath();
    if (WriteRoster(path))
        forms::ShowMessage(this, QStringLiteral("%1 に%2人を保存しました！").arg(FileName(path)).arg(roster_.lines.size()));
}

// Lines with problems are written only when the user leaves them out.
bool ImportWindow::MayLeaveOutProblems()
{
    if (roster_.problemLines == 0)
        return true;
    const QString question = QStringLiteral("問題のある%1行を除いて保存しますか？").arg(roster_.problemLines);
    return forms::AskYesNo(this, question) == forms::Answer::Yes;
}

bool ImportWindow::MayReplace(const QString& path)
{
    const QString question = QStringLiteral("%1 は既にあります。置き換えますか？").arg(FileName(path));
    return forms::AskYesNo(this, question) == forms::Answer::Yes;
}

// The roster replaces the file only as it was when the user was asked: a
// roster that another PC wrote meanwhile is asked about again. The save
// keeps the bytes it replaces in the history.
bool ImportWindow::WriteRoster(const QString& path)
{
    const GuardedFile roster(path);
    const Result<FileStamp> before = roster.Stamp();
    if (!before)
        throw forms::Error(before.error().message);
    if (before->exists && !MayReplace(path))
        return false;
    const QByteArray bytes = ImportedRosterBytes(roster_);
    return forms::SaveGuarded(this, {QStringLiteral("この名簿"), FileName(path)}, *before,
                              [&](const std::optional<FileStamp>& expected) { return roster.Write(bytes, expected); })
        .has_value();
}

void ImportWindow::ImportCloseClick()
{
    done(forms::kModalDone);
}

} // namespace rosterimport
