#include "app/KiboruMain.h"

#include "backupwindow/BackupSettings.h"
#include "backupwindow/BackupWindow.h"
#include "entry/SeiKyuImp.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "history/HistoryWindow.h"
#include "import/ImportWindow.h"
#include "status/StatusWindow.h"
#include "statswindow/StatsWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QKeyEvent>
#include <QScreen>

TForm1::TForm1(entry::EntryState& state, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TForm1>()), state_(state)
{
    ui->setupUi(this);
    ui->DateTimePicker1->installEventFilter(this);
    CentreOnScreen();
    ConnectHandlers();
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers()
{
    forms::OnEvent(ui->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    forms::OnEvent(ui->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    forms::OnEvent(ui->Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    forms::OnEvent(ui->Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    forms::OnEvent(ui->Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    forms::OnEvent(ui->Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    forms::OnEvent(ui->Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
}

void TForm1::CentreOnScreen()
{
    const QRect area = screen()->availableGeometry();
    move(area.center() - rect().center());
}

void TForm1::SetToday()
{
    ui->DateTimePicker1->setDate(QDate::currentDate());
}

void TForm1::Button1Click()
{
    forms::RunModal(std::make_unique<TForm2>(state_, this));
}

void TForm1::Button3Click()
{
    forms::RunModal(std::make_unique<status::StatusWindow>(QDir::currentPath(), ui->DateTimePicker1->date(), this));
}

void TForm1::Button5Click()
{
    forms::RunModal(std::make_unique<history::HistoryWindow>(QDir::currentPath(), this));
}

void TForm1::Button4Click()
{
    forms::RunModal(std::make_unique<rosterimport::ImportWindow>(QDir::currentPath(), QDate::currentDate(), this));
}

void TForm1::Button6Click()
{
    forms::RunModal(std::make_unique<backupwindow::BackupWindow>(QDir::currentPath(), this));
}

void TForm1::Button7Click()
{
    forms::RunModal(std::make_unique<statswindow::StatsWindow>(QDir::currentPath(), this, ui->DateTimePicker1->date()));
}

void TForm1::Button2Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    try {
        RemindOfBackup();
    } catch (const std::exception& e) {
        forms::ReportException(e);
    }
    event->accept();
}

// はい backs up at once with its progress and then closes; where no backup
// folder is chosen yet, the backup window opens for choosing one.
void TForm1::RemindOfBackup()
{
    const QString dataFolder = QDir::currentPath();
    const QString question = backupwindow::DueReminder(dataFolder, QDateTime::currentDateTime());
    if (question.isEmpty() || forms::AskYesNo(this, question) != forms::Answer::Yes)
        return;
    auto window = std::make_unique<backupwindow::BackupWindow>(dataFolder, this);
    if (!backupwindow::BackupSettings(dataFolder).Folder().isEmpty())
        window->BackUpThenClose();
    forms::RunModal(std::move(window));
}

// Tab leaves the date picker at once, as from any other control, instead of
// stepping through the day, month and year of the date first.
bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->DateTimePicker1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier))
            return focusNextChild();
        if (plain && (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Tab))
            return focusPreviousChild();
    }
    return QWidget::eventFilter(watched, event);
}
