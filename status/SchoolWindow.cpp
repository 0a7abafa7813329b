#include "status/SchoolWindow.h"

#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"

#include <QDir>

using namespace claims;

namespace status {

SchoolWindow::SchoolWindow(const QString& workDir, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SchoolWindow>()), workDir_(workDir)
{
    ui->setupUi(this);
    const SchoolRead read = ReadSchoolFile(workDir_);
    info_ = read.info;
    stamp_ = read.stamp;
    ui->SchoolName->setText(info_.name);
    ui->SchoolAddress->setText(info_.address);
    ui->SchoolPhone->setText(info_.phone);
    ui->SchoolPerson->setText(info_.person);
    if (!read.io.ok()) {
        ui->SchoolProblem->setText(QStringLiteral("%1 を読み込めません：%2")
                                       .arg(QDir::toNativeSeparators(SchoolFilePath(workDir_)), read.io.message));
        ui->SchoolProblem->setVisible(true);
        ui->SchoolSaveButton->setEnabled(false);
    }
    forms::OnEvent(ui->SchoolSaveButton, &QPushButton::clicked, this, &SchoolWindow::SchoolSaveButtonClick);
    forms::OnEvent(ui->SchoolCancelButton, &QPushButton::clicked, this, &SchoolWindow::SchoolCancelButtonClick);
}

SchoolWindow::~SchoolWindow() = default;

SchoolInfo SchoolWindow::Entered() const
{
    SchoolInfo info = info_;
    info.name = ui->SchoolName->text().trimmed();
    info.address = ui->SchoolAddress->text().trimmed();
    info.phone = ui->SchoolPhone->text().trimmed();
    info.person = ui->SchoolPerson->text().trimmed();
    return info;
}

bool SchoolWindow::MayOverwrite()
{
    return forms::Confirm(this, QStringLiteral("学校情報は読み込んだ後に他のパソコンで変更されています。上書きしますか？"))
           == forms::Answer::Yes;
}

void SchoolWindow::SchoolSaveButtonClick()
{
    const SchoolInfo info = Entered();
    if (const QString field = UnencodableSchoolField(info); !field.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("%1に保存できない文字（Shift-JIS にない文字）があります。"
                                                "別の字に置き換えて下さい。").arg(field));
        return;
    }
    GuardedWrite written = WriteSchoolFile(workDir_, info, stamp_);
    while (written.changedElsewhere()) {
        if (!MayOverwrite())
            return;
        written = WriteSchoolFile(workDir_, info, written.onDisk);
    }
    if (!written.ok()) {
        const bool history = written.io.code == kHistoryNotKept;
        forms::ShowMessage(this, (history ? QString() : QStringLiteral("保存できませんでした：")) + written.io.message);
        return;
    }
    info_ = info;
    stamp_ = written.onDisk;
    done(forms::kModalDone);
}

void SchoolWindow::SchoolCancelButtonClick()
{
    done(forms::kModalDone);
}

} // namespace status
