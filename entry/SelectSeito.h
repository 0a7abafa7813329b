#pragma once
// The student selection dialog: the roster lines that matched the search,
// one per row, and the buttons to decide on one or to end. Each search makes
// a new one, runs it modally and deletes it.

#include "ui_SelectSeito.h"

#include "rosters/RosterFile.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

#include <functional>
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

    // Readies a dialog made ahead of its search: its window is made, and it
    // is drawn once off screen with a sample row, so that its layout and the
    // fonts of its controls and rows are loaded before it is first shown.
    void Prepare();
    // Draws these rows once off screen and clears them again: the glyphs of
    // the rows that a search made ahead found are then loaded, and the text
    // of those in the first view shaped, before its click.
    void DrawRows(const claims::FoundLines& rows);

    // The roster lines that matched, shown one per row as they stand in the
    // file.
    void SetStudentLines(claims::FoundLines lines);

    // Runs with the chosen line while the dialog is still open; the dialog
    // closes when it returns.
    std::function<void(const QByteArray&)> OnDecide;

private:
    void ConnectHandlers();
    void TouchBackingStore();
    void DrawOffScreen();

    claims::FoundLines studentLines_;   // the rows' bytes, as read
};
