#include "backupwindow/RestorePreview.h"

#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/SaveGuarded.h"

#include <QDir>
#include <QFileInfo>

namespace backupwindow {
namespace {

QString KindText(claims::RestoreKind kind)
{
    switch (kind) {
    case claims::RestoreKind::New:
        return QStringLiteral("新規");
    case claims::RestoreKind::Changed:
        return QStringLiteral("変更");
    case claims::RestoreKind::OnlyNow:
        break;
    }
    return QStringLiteral("現在のみ");
}

QList<claims::RestoreItem> Restorable(const QList<claims::RestoreItem>& items)
{
    QList<claims::RestoreItem> chosen = items;
    chosen.removeIf([](const claims::RestoreItem& i) { return i.kind == claims::RestoreKind::OnlyNow; });
    return chosen;
}

} // namespace

RestorePreview::RestorePreview(const QString& dataFolder, const QString& backupPath, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::RestorePreview>()), dataFolder_(dataFolder), backupPath_(backupPath)
{
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    ui->RestoreList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ConnectHandlers();
    StartReading();
}

RestorePreview::~RestorePreview() = default;

void RestorePreview::ConnectHandlers()
{
    forms::OnEvent(ui->RestoreAll, &QPushButton::clicked, this, &RestorePreview::RestoreAllClick);
    forms::OnEvent(ui->RestoreChosen, &QPushButton::clicked, this, &RestorePreview::RestoreChosenClick);
    forms::OnEvent(ui->RestoreCancel, &QPushButton::clicked, this, &RestorePreview::RestoreCancelClick);
}

void RestorePreview::SetBusy(bool busy)
{
    busy_ = busy;
    ui->RestoreAll->setEnabled(!busy);
    ui->RestoreChosen->setEnabled(!busy);
}

void RestorePreview::StartReading()
{
    SetBusy(true);
    ui->RestoreSummary->setText(QStringLiteral("バックアップと今のフォルダを比べています…"));
    const QString data = dataFolder_;
    const QString backup = backupPath_;
    work_.Start(ui->RestoreProgress, [this, data, backup](const forms::BackgroundRead::Progress& progress) {
        auto plan = std::make_shared<claims::Result<claims::RestorePlan>>(claims::PlanRestore(data, backup, progress));
        return std::function<void()>([this, plan] { TakePlan(*plan); });
    });
}

void RestorePreview::TakePlan(const claims::Result<claims::RestorePlan>& plan)
{
    SetBusy(false);
    plan_ = plan ? *plan : claims::RestorePlan();
    ui->RestoreList->setRowCount(int(plan_.items.size()));
    for (int row = 0; row < int(plan_.items.size()); ++row) {
        const claims::RestoreItem& item = plan_.items[row];
        ui->RestoreList->setItem(row, 0, new QTableWidgetItem(KindText(item.kind)));
        ui->RestoreList->setItem(row, 1, new QTableWidgetItem(QDir::toNativeSeparators(item.path)));
    }
    ui->RestoreSummary->setText(
        QStringLiteral("新規 %1件　変更 %2件　現在のみ %3件")
            .arg(plan_.Count(claims::RestoreKind::New))
            .arg(plan_.Count(claims::RestoreKind::Changed))
            .arg(plan_.Count(claims::RestoreKind::OnlyNow)));
    const bool any = !Restorable(plan_.items).isEmpty();
    ui->RestoreAll->setEnabled(any);
    ui->RestoreChosen->setEnabled(any);
    emit Finished();
    if (!plan) {
        ui->RestoreSummary->setText(plan.error().message);
        if (plan.error().message != claims::kCancelledText)
            forms::ShowErrorBox(this, plan.error().message);
    } else if (!any) {
        forms::ShowMessage(this, QStringLiteral("今のフォルダはこのバックアップと同じです。戻すファイルはありません。"));
    }
}

void RestorePreview::RestoreAllClick()
{
    Restore(Restorable(plan_.items));
}

void RestorePreview::RestoreChosenClick()
{
    QList<claims::RestoreItem> chosen;
    for (const QModelIndex& index : ui->RestoreList->selectionModel()->selectedRows())
        chosen.append(plan_.items.value(index.row()));
    chosen = Restorable(chosen);
    if (chosen.isEmpty())
        throw forms::Error(QStringLiteral("戻すファイルを選んで下さい（現在のみのファイルは戻せません）。"));
    Restore(chosen);
}

void RestorePreview::Restore(const QList<claims::RestoreItem>& items)
{
    if (items.isEmpty())
        return;
    SetBusy(true);
    const QString data = dataFolder_;
    work_.Start(ui->RestoreProgress, [this, data, items](const forms::BackgroundRead::Progress& progress) {
        auto outcome = std::make_shared<claims::RestoreOutcome>(claims::RestoreFiles(data, items, progress));
        return std::function<void()>([this, outcome] { TakeOutcome(*outcome); });
    });
}

// Asks about each file another PC changed since the preview; the number
// of those then restored.
int RestorePreview::AskAboutChanged(const QList<claims::RestoreItem>& items)
{
    int restored = 0;
    for (const claims::RestoreItem& item : items) {
        const forms::SavedFile what{QStringLiteral("このファイル"), QDir::toNativeSeparators(item.path)};
        const auto write = [&](const std::optional<claims::FileStamp>& expected) {
            return claims::RestoreFile(dataFolder_, item, expected);
        };
        if (forms::SaveGuarded(this, what, item.now, write))
            ++restored;
    }
    return restored;
}

void RestorePreview::TakeOutcome(const claims::RestoreOutcome& outcome)
{
    SetBusy(false);
    const int restored = outcome.restored + (outcome.failure ? 0 : AskAboutChanged(outcome.changedElsewhere));
    emit Finished();
    if (outcome.failure && outcome.failure->message != claims::kCancelledText) {
        forms::ShowErrorBox(this, QStringLiteral("%1\n（%2件は戻しました）").arg(outcome.failure->message).arg(restored));
        StartReading();
        return;
    }
    const QString text = outcome.failure ? QStringLiteral("取りやめました。%1件のファイルを戻しました。")
                                         : QStringLiteral("%1件のファイルを戻しました。");
    forms::ShowMessage(this, text.arg(restored)
                                 + QStringLiteral("\n戻す前の内容は「履歴」に残っています。"));
    if (outcome.failure)
        StartReading();
    else
        done(forms::kModalDone);
}

void RestorePreview::RestoreCancelClick()
{
    if (busy_)
        work_.RequestStop();
    else
        done(forms::kModalDone);
}

void RestorePreview::reject()
{
    RestoreCancelClick();
}

} // namespace backupwindow
