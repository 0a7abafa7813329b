#pragma once
// 「学校情報」: the school's name, address, telephone and person in charge,
// as letters to guardians print them. 「保存」 writes 請求状況/学校.CSV of
// the data folder; 「キャンセル」 writes nothing.

#include "claimstatus/SchoolInfo.h"
#include "ui_SchoolWindow.h"

#include <QDialog>

#include <memory>

namespace status {

class SchoolWindow : public QDialog {
    Q_OBJECT
public:
    // The file is read when the window opens; one that cannot be read is
    // shown with why, and no save is offered.
    explicit SchoolWindow(const QString& workDir, QWidget* parent = nullptr);
    ~SchoolWindow() override;

    const std::unique_ptr<Ui::SchoolWindow> ui;

    // Event handlers.
    void SchoolSaveButtonClick();
    void SchoolCancelButtonClick();

private:
    claims::SchoolInfo Entered() const;

    const QString workDir_;
    claims::SchoolInfo info_;     // as read, with the columns this program does not know
    claims::FileStamp stamp_;
};

} // namespace status
