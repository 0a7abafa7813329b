#pragma once
// The roster import: a file that a student system exported is read, its
// columns matched to the roster's twelve fields, and the roster of the
// chosen entry year written from it, with a preview of the lines to be
// written and every line that cannot be. Claim files are never touched.

#include "rosters/RosterImport.h"
#include "ui_ImportWindow.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QComboBox;

namespace rosterimport {

class ImportWindow : public QDialog {
    Q_OBJECT
public:
    // workDir: the data folder the roster is written to. openingDay decides
    // the entry years offered, as in the entry window.
    explicit ImportWindow(const QString& workDir, QDate openingDay = QDate::currentDate(),
                          QWidget* parent = nullptr);
    ~ImportWindow() override;

    const std::unique_ptr<Ui::ImportWindow> ui;

    // Event handlers.
    void ImportBrowseClick();   // 参照: the file dialog fills in the path
    void ImportLoadClick();     // 読込: reads the file, guesses its columns
    void ImportSaveClick();     // 保存: writes the roster of the entry year
    void ImportCloseClick();    // 閉じる

    // The source column box of a roster field (0 = ID番号 .. 11 = 住所).
    QComboBox* ColumnBox(int field) const;
    // The roster file that 保存 writes.
    QString RosterPath() const;

    // The file dialog of 参照; tests answer it instead.
    std::function<QString()> AskPath;

private:
    void BuildColumnRows();
    void FillYears(QDate openingDay);
    void ConnectHandlers();
    void ShowColumns(const claims::ColumnChoice& columns);
    claims::ColumnChoice ChosenColumns() const;
    void Refresh();
    void ShowFileName();
    void ShowFileInfo();
    bool MayLeaveOutProblems();
    bool WriteRoster(const QString& path);
    bool MayReplace(const QString& path);

    const QString workDir_;
    claims::ExportTable table_;
    claims::ImportedRoster roster_;
    bool loaded_ = false;
};

} // namespace rosterimport
