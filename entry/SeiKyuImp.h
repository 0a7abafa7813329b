#pragma once
// The benefit entry window: a search panel, the student panel and the claim
// area with the header lists, the month buttons and the treatment list. The
// main window opens a new one, modally, each time; what lasts between
// openings lives in the EntryState it is given.
//
// Behaviour longer than a few lines goes into files named after what it does
// (search and student choice, occurrence loading, treatment table, header
// lists, save), all of them members of this class.

#include "entry/EntryState.h"
#include "ui_SeiKyuImp.h"

#include <QDialog>
#include <memory>

class QKeyEvent;

namespace forms {
class RadioGroup;
}

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(entry::EntryState& state, QWidget* parent = nullptr);
    ~TForm2() override;

    // The controls, by their layout names: ui->ComboBox12, ui->Edit14, ...
    const std::unique_ptr<Ui::TForm2> ui;

    // Event handlers.
    void BitBtn1Click();                // 検　索: search the roster, choose a student
    void BitBtn2Click();                // 保　存: save the claim and close
    void BitBtn3Click();                // 終 了: close without saving
    void ComboBox2Change();             // injury year: a fresh treatment table
    void ComboBox10Change();            // year box: the row of that year
    void ComboBox12Change();            // occurrence number: load that claim
    void ListBox1Click();               // treatment list: the row of that line
    void RadioButtonClick(int month);   // month button 1 (April) .. 12 (March) became selected

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ConnectHandlers();

    entry::EntryState& State;
    forms::RadioGroup* MonthButtons;    // RadioButton1 .. RadioButton12
};
