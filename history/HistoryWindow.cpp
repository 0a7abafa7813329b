#include "history/HistoryWindow.h"

#include "files/FileAccess.h"
#include "files/ShiftJis.h"
#include "claimstatus/ListingCache.h"
#include "claimstatus/StatusFile.h"
#include "store/GuardedFile.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/SaveGuarded.h"
#include "history/HistoryDetail.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

using namespace claims;

namespace history {
namespace {

HistoryListing ReadThroughUserCache(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    return ReadHistory(workDir, progress, UserCacheFolder());
}

} // namespace

HistoryWindow::HistoryWindow(const QString& workDir, QWidget* parent, HistoryReader read)
    : QDialog(parent), ui(std::make_unique<Ui::HistoryWindow>()), workDir_(workDir),
      read_(read ? std::move(read) : ReadThroughUserCache)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    ui->HistoryTable->setModel(&model_);
    ui->HistoryTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->HistoryTable->verticalHeader()->hide();
    ui->HistoryTable->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {165, 90, 75, 70, 110, 30};
    for (int c = 0; c < int(std::size(widths)); ++c)
        ui->HistoryTable->setColumnWidth(c, widths[c]);
    ConnectHandlers();
    StartLoading();
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::ConnectHandlers()
{
    forms::OnEvent(ui->HistoryFind, &QLineEdit::textChanged, this, &HistoryWindow::HistoryFindChange);
    forms::OnEvent(ui->HistoryTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                   &HistoryWindow::HistoryTableRowChange);
    forms::OnEvent(ui->HistoryRestore, &QPushButton::clicked, this, &HistoryWindow::HistoryRestoreClick);
    forms::OnEvent(ui->HistoryClose, &QPushButton::clicked, this, [this] { done(forms::kModalDone); });
}

void HistoryWindow::StartLoading()
{
    loaded_ = false;
    reading_.Start(ui->HistoryProgress, [this](const forms::BackgroundRead::Progress& progress) {
        auto listing = std::make_shared<HistoryListing>(read_(workDir_, progress));
        return [this, listing] { TakeListing(listing); };
    });
}

void HistoryWindow::TakeListing(const std::shared_ptr<HistoryListing>& listing)
{
    model_.SetLines(nullptr, {});   // its lines and summaries were of the listing before
    listing_ = std::move(*listing);
    loaded_ = true;
    RefreshLines();
    emit Loaded();
}

// The versions of the files whose ID or name holds the find field's text.
void HistoryWindow::RefreshLines()
{
    const QString find = ui->HistoryFind->text().trimmed();
    QList<bool> matches(listing_.files.size());
    for (int f = 0; f < listing_.files.size(); ++f) {
        const HistoryFile& file = listing_.files[f];
        matches[f] = find.isEmpty() || FromShiftJis(file.id).contains(find, Qt::CaseInsensitive)
                     || file.name.contains(find, Qt::CaseInsensitive);
    }
    QList<int> versions;
    versions.reserve(listing_.versions.size());
    for (int v = 0; v < listing_.versions.size(); ++v) {
        if (matches[listing_.versions[v].file])
            versions.append(v);
    }
    model_.SetLines(&listing_, std::move(versions));
    ui->HistorySummary->setText(QStringLiteral("%1 版（全 %2 版）").arg(model_.rowCount()).arg(listing_.versions.size()));
    ShowVersion(-1);
}

void HistoryWindow::HistoryFindChange()
{
    RefreshLines();
}

int HistoryWindow::ChosenVersion() const
{
    const QModelIndex current = ui->HistoryTable->currentIndex();
    return current.isValid() && ui->HistoryTable->selectionModel()->isRowSelected(current.row())
               ? model_.Version(current.row())
               : -1;
}

void HistoryWindow::HistoryTableRowChange()
{
    ShowVersion(ChosenVersion());
}

// Reads the version and the file as it is now, and shows them; the stamp
// of what was read guards the restore.
void HistoryWindow::ShowVersion(int version)
{
    ui->HistoryRestore->setEnabled(false);
    ui->HistoryDetail->clear();
    if (version < 0)
        return;
    const Result<QByteArray> bytes = ReadWholeFile(listing_.Path(version));
    if (!bytes) {
        ui->HistoryDetail->setPlainText(bytes.error().message);
        return;
    }
    const QString currentPath = listing_.files[listing_.versions[version].file].currentPath;
    const Result<StampedBytes> now = GuardedFile(currentPath).Read();
    if (!now) {
        ui->HistoryDetail->setPlainText(now.error().message);
        return;
    }
    currentStamp_ = now->stamp;
    const std::optional<QByteArray> current = now->stamp.exists ? std::optional(now->bytes) : std::nullopt;
    ui->HistoryDetail->setHtml(DetailHtml(listing_, version, *bytes, current));
    ui->HistoryRestore->setEnabled(true);
}

void HistoryWindow::HistoryRestoreClick()
{
    const int version = ChosenVersion();
    if (version < 0)
        return;
    const Result<QByteArray> bytes = ReadWholeFile(listing_.Path(version));
    if (!bytes)
        throw forms::Error(bytes.error().message);
    const HistoryVersion& v = listing_.versions[version];
    const HistoryFile& file = listing_.files[v.file];
    const QString question = QStringLiteral("%1 %2 %3回目を %4 の版に戻しますか？")
                                 .arg(FromShiftJis(file.id), file.name)
                                 .arg(file.occurrence)
                                 .arg(VersionTimeText(v.fileName));
    if (forms::Confirm(this, question) != forms::Answer::Yes)
        return;
    const QString time = VersionTimeText(v.fileName);
    if (!Restore(version, *bytes))
        return;
    forms::ShowMessage(this, QStringLiteral("%1 の版に戻しました。").arg(time));
    StartLoading();
}

// Writes the version's bytes over its file (a status file's folder made
// when it is gone), asking when the file changed since it was shown.
bool HistoryWindow::Restore(int version, const QByteArray& bytes)
{
    const HistoryFile& file = listing_.files[listing_.versions[version].file];
    if (file.kind == HistoryKind::Status) {
        if (const IoResult folder = MakeStatusFolder(workDir_); !folder)
            throw forms::Error(folder.error().message);
    }
    const QString kind = file.kind == HistoryKind::Claim ? QStringLiteral("この請求ファイル") : QStringLiteral("この請求状況");
    const GuardedFile guarded(file.currentPath);
    return forms::SaveGuarded(this, {kind, QFileInfo(file.currentPath).fileName()}, currentStamp_,
                              [&](const std::optional<FileStamp>& expected) { return guarded.Write(bytes, expected); })
        .has_value();
}

} // namespace history
