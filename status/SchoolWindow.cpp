#include "status/SchoolWindow.h"

#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/SaveGuarded.h"
#include "forms/Modal.h"

#include <QDir>

using namespace claims;

namespace status {

SchoolWindow::SchoolWindow(const QString& workDir, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SchoolWindow>()), workDir_(workDir)
{
    ui->setupUi(this);
    const Result<Stamped<SchoolInfo>> read = ReadSchoolFile(workDir_);
    if (read) {
        info_ = read->value;
        stamp_ = read->stamp;
    }
    ui->SchoolName->setText(info_.name);
    ui->SchoolAddress->setText(info_.address);
    ui->SchoolPhone->setText(info_.phone);
    ui->SchoolPerson->setText(info_.person);
    if (!read) {
        ui->SchoolProblem->setText(QStringLiteral("%1 を読み込めません：%2")
                                       .arg(QDir::toNativeSeparators(SchoolFilePath(workDir_)), read.error().message));
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

void SchoolWindow::SchoolSaveButtonClick()
{
    const SchoolInfo info = Entered();
    if (const QString field = UnencodableSchoolField(info); !field.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("%1に保存できない文字（Shift-JIS にない文字）があります。"
                                                "別の字に置き換えて下さい。").arg(field));
        return;
    }
    const std::optional<FileStamp> saved =
        forms::SaveGuarded(this, {QStringLiteral("学校情報"), QString()}, stamp_,
                           [&](const std::optional<FileStamp>& expected) { return WriteSchoolFile(workDir_, info, expected); });
    if (!saved)
        return;
    info_ = info;
    stamp_ = *saved;
    done(forms::kModalDone);
}

void SchoolWindow::SchoolCancelButtonClick()
{
    done(forms::kModalDone);
}

} // namespace status
