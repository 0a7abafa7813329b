#include "backupwindow/BackupWindow.h"

#include "backupwindow/RestorePreview.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"

#include <QDir>
#include <QFileDialog>
#include <QLocale>

namespace backupwindow {
namespace {

enum Column { When, Pc, Files, Size, Check };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

QString SizeText(qint64 bytes)
{
    return QLocale(QLocale::Japanese).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

BackupWindow::BackupWindow(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::BackupWindow>()), dataFolder_(dataFolder), settings_(dataFolder)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    ui->BackupList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->BackupFolder->setText(QDir::toNativeSeparators(settings_.Folder()));
    ui->BackupRemindDays->setValue(settings_.RemindDays());
    ui->BackupWarning->setVisible(false);
    AskFolder = [this] {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("バックアップ先"), Folder());
    };
    ConnectHandlers();
    if (!Folder().isEmpty())
        ui->BackupWarning->setText(SameStorageWarning(dataFolder_, Folder()));
    ui->BackupWarning->setVisible(!ui->BackupWarning->text().isEmpty());
    RefreshList();
}

BackupWindow::~BackupWindow() = default;

void BackupWindow::ConnectHandlers()
{
    forms::OnEvent(ui->BackupFolder, &QLineEdit::editingFinished, this, &BackupWindow::BackupFolderChange);
    forms::OnEvent(ui->BackupBrowse, &QPushButton::clicked, this, &BackupWindow::BackupBrowseClick);
    forms::OnEvent(ui->BackupNow, &QPushButton::clicked, this, &BackupWindow::BackupNowClick);
    forms::OnEvent(ui->BackupCancel, &QPushButton::clicked, this, &BackupWindow::BackupCancelClick);
    forms::OnEvent(ui->BackupRemindDays, &QSpinBox::valueChanged, this, &BackupWindow::BackupRemindDaysChange);
    forms::OnEvent(ui->BackupRestore, &QPushButton::clicked, this, &BackupWindow::BackupRestoreClick);
    forms::OnEvent(ui->BackupClose, &QPushButton::clicked, this, &BackupWindow::BackupCloseClick);
}

QString BackupWindow::Folder() const
{
    return QDir::fromNativeSeparators(ui->BackupFolder->text().trimmed());
}

// Remembers folder unless backups may not go there; warns when they would
// be lost with the data folder.
void BackupWindow::TakeFolder(const QString& folder)
{
    if (folder == settings_.Folder())
        return;
    if (const QString refused = claims::RefusedBackupFolder(dataFolder_, folder); !refused.isEmpty()) {
        ui->BackupFolder->setText(QDir::toNativeSeparators(settings_.Folder()));
        throw forms::Error(refused);
    }
    settings_.SetFolder(folder);
    const QString warning = folder.isEmpty() ? QString() : SameStorageWarning(dataFolder_, folder);
    ui->BackupWarning->setText(warning);
    ui->BackupWarning->setVisible(!warning.isEmpty());
    RefreshList();
    if (!warning.isEmpty())
        forms::ShowMessage(this, warning);
}

void BackupWindow::BackupFolderChange()
{
    if (!busy_)
        TakeFolder(Folder());
}

void BackupWindow::BackupBrowseClick()
{
    const QString folder = AskFolder();
    if (folder.isEmpty())
        return;
    ui->BackupFolder->setText(QDir::toNativeSeparators(folder));
    TakeFolder(QDir::fromNativeSeparators(folder));
}

// The backups in the folder, listed at once by name, then each read and
// checked off the window's thread.
void BackupWindow::RefreshList()
{
    const QString folder = Folder();
    QList<claims::BackupSummary> named;
    for (const QString& name : claims::BackupsOf(dataFolder_, folder))
        named.append({name, claims::ParseBackupName(name, dataFolder_), 0, 0, QStringLiteral("確認中…")});
    ShowList(named);
    const QString data = dataFolder_;
    work_.Start(ui->BackupProgress, [this, data, folder, named](const forms::BackgroundRead::Progress& progress) {
        auto checked = std::make_shared<QList<claims::BackupSummary>>(named);
        for (int i = 0; i < int(named.size()); ++i) {
            (*checked)[i] = progress(i, int(named.size())) ? claims::SummarizeBackup(folder, named[i].name, data)
                                                           : claims::BackupSummary{named[i].name, named[i].made, 0, 0,
                                                                                   QStringLiteral("未確認")};
        }
        return std::function<void()>([this, checked] {
            ShowList(*checked);
            emit Finished();
        });
    });
}

void BackupWindow::ShowList(const QList<claims::BackupSummary>& backups)
{
    backups_ = backups;
    ui->BackupList->setRowCount(int(backups.size()));
    for (int row = 0; row < int(backups.size()); ++row) {
        const claims::BackupSummary& b = backups[row];
        const bool checked = b.broken.isEmpty();
        ui->BackupList->setItem(row, When, Cell(b.made.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))));
        ui->BackupList->setItem(row, Pc, Cell(b.made.pc));
        ui->BackupList->setItem(row, Files, Cell(checked ? QString::number(b.files) : QString(), Qt::AlignRight));
        ui->BackupList->setItem(row, Size, Cell(b.size > 0 ? SizeText(b.size) : QString(), Qt::AlignRight));
        ui->BackupList->setItem(row, Check, Cell(checked ? QStringLiteral("確認済み") : b.broken));
    }
    if (!backups.isEmpty() && ui->BackupList->currentRow() < 0)
        ui->BackupList->selectRow(0);
}

void BackupWindow::SetBusy(bool busy)
{
    busy_ = busy;
    for (QWidget* control : {static_cast<QWidget*>(ui->BackupFolder), static_cast<QWidget*>(ui->BackupBrowse),
                             static_cast<QWidget*>(ui->BackupNow), static_cast<QWidget*>(ui->BackupRestore),
                             static_cast<QWidget*>(ui->BackupClose)})
        control->setEnabled(!busy);
    ui->BackupCancel->setVisible(busy);
    ui->BackupCancel->setEnabled(busy);
}

void BackupWindow::BackupNowClick()
{
    TakeFolder(Folder());
    const QString folder = Folder();
    if (folder.isEmpty())
        throw forms::Error(QStringLiteral("バックアップ先のフォルダを選んで下さい。"));
    const QString data = dataFolder_;
    SetBusy(true);
    work_.Start(ui->BackupProgress, [this, data, folder](const forms::BackgroundRead::Progress& progress) {
        const auto made = std::make_shared<claims::Result<QString>>(
            claims::MakeBackup(data, folder, claims::kBackupsKept, progress));
        return std::function<void()>([this, made] { TakeBackup(*made, thenClose_); });
    });
}

void BackupWindow::TakeBackup(const claims::Result<QString>& made, bool thenClose)
{
    SetBusy(false);
    thenClose_ = false;
    if (made) {
        settings_.SetLastMade(QDateTime::currentDateTime());
        if (thenClose) {
            done(forms::kModalDone);
            return;
        }
    }
    RefreshList();
    emit Finished();
    if (!made && made.error().message == claims::kCancelledText)
        forms::ShowMessage(this, QStringLiteral("バックアップを取りやめました。"));
    else if (!made)
        forms::ShowErrorBox(this, made.error().message);
    else
        forms::ShowMessage(this, QStringLiteral("バックアップしました。\n%1").arg(QDir::toNativeSeparators(*made)));
}

void BackupWindow::BackUpThenClose()
{
    thenClose_ = true;
    BackupNowClick();
}

void BackupWindow::BackupCancelClick()
{
    work_.RequestStop();
}

void BackupWindow::BackupRemindDaysChange()
{
    settings_.SetRemindDays(ui->BackupRemindDays->value());
}

void BackupWindow::BackupRestoreClick()
{
    const int row = ui->BackupList->currentRow();
    if (row < 0 || row >= int(backups_.size()))
        throw forms::Error(QStringLiteral("戻すバックアップを選んで下さい。"));
    const claims::BackupSummary& backup = backups_[row];
    if (!backup.broken.isEmpty())
        throw forms::Error(QStringLiteral("このバックアップからは戻せません。\n%1").arg(backup.broken));
    forms::RunModal(std::make_unique<RestorePreview>(dataFolder_, Folder() + u'/' + backup.name, this));
}

void BackupWindow::BackupCloseClick()
{
    done(forms::kModalDone);
}

// Esc and the close box: a backup that runs is cancelled first.
void BackupWindow::reject()
{
    if (busy_) {
        work_.RequestStop();
        return;
    }
    done(forms::kModalDone);
}

} // namespace backupwindow
