#pragma once
// The student selection dialog: the roster lines that matched the search,
// one per row, and the buttons to decide on one or to end. Each search makes
// a new one, runs it modally and deletes it.

#include "ui_SelectSeito.h"

#include <QDialog>
#include <memory>

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // ListBox1 (hidden): every line of the roster file; ListBox2: the matches.
    const std::unique_ptr<Ui::TForm3> ui;

    // Event handlers.
    void BitBtn1Click();   // 選択決定: take the selected student
    void BitBtn2Click();   // 終　了: close, nothing chosen

private:
    void ConnectHandlers();
};
