#pragma once
// The occurrence-file dialog: the student's claim files, one per row, and
// the button that decides on one. Each load that needs it makes a new one,
// runs it modally and deletes it.

#include "ui_Tkaisuu.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    const std::unique_ptr<Ui::TForm4> ui;

    // Event handler.
    void BitBtn1Click();   // 決　定: take the selected claim file

    void FillList(const QStringList& names);   // the student's claim files

    // Runs with the chosen file name; the dialog then closes.
    std::function<void(const QString&)> OnDecide;

protected:
    // Esc and the close box decide like the button: the dialog never ends
    // without a choice.
    void reject() override;

private:
    void ConnectHandlers();
};
