#pragma once
// The occurrence-file dialog: the student's claim files, one per row, and
// the button that decides on one. Each load that needs it makes a new one,
// runs it modally and deletes it.

#include "ui_Tkaisuu.h"

#include <QDialog>
#include <memory>

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    const std::unique_ptr<Ui::TForm4> ui;

    // Event handler.
    void BitBtn1Click();   // 決　定: take the selected claim file

private:
    void ConnectHandlers();
};
