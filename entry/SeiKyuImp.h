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
#include "entry/SearchAhead.h"
#include "claims/ClaimFile.h"
#include "rosters/RosterFile.h"
#include "ui_SeiKyuImp.h"

#include <QDate>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QList>

#include <array>
#include <memory>
#include <optional>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace forms {
class RadioGroup;
}

class TForm3;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // The entry-year and year lists reach as far as openingDay calls for.
    explicit TForm2(entry::EntryState& state, QWidget* parent = nullptr,
                    QDate openingDay = QDate::currentDate());
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

    // The treatment table and its list (Treatment.cpp).
    void InitTreatmentTable();          // thirteen fresh rows for the chosen injury year
    void ResetClaim();                  // blank header, fresh table
    void FillTreatmentList();           // the thirteen lines, first one selected
    void RefreshTreatmentLine(int r);   // row r's line in place of the selected line

    // The ten header lists (HeaderLists.cpp).
    void RememberListCounts();
    void ClearClaimControls();
    void TrimHeaderLists();
    void ShowClaimHeader();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectHandlers();
    void ConnectTypedItems();
    void AddLaterYears(QDate openingDay);

    // Search and student (Search.cpp).
    void ShowStudent(const QByteArray& line, claims::RosterEncoding encoding);
    std::array<QLineEdit*, 12> StudentFields() const;
    void PrepareStudentDialog();
    std::unique_ptr<TForm3> TakeStudentDialog();
    QPointer<TForm3> SpareStudentDialog;   // the next search's, built while idle
    QString RosterPathOnScreen() const;
    void TypedSearchChanged();
    void SearchAheadOfClick();
    claims::Result<claims::FoundLines> SearchRoster(const QString& roster);
    void DrawFoundRowsAhead();
    QTimer searchPause_;                   // the pause in typing that starts the search ahead
    QTimer foundCheck_;                    // looks whether the search ahead has found its lines
    entry::SearchAhead* searchAhead_;

    // Occurrence (Occurrence.cpp).
    bool LoadClaim(int n);
    QString ChooseClaimFile();

    // Treatment table (Treatment.cpp).
    int InjuryYear() const;
    bool TreatmentListShown() const;

    // Header lists (HeaderLists.cpp).
    std::array<forms::ComboBox*, 10> HeaderLists() const;
    int AddedItemPosition(int k) const;
    void PlaceLoadedValues();
    void AdoptTypedItem(forms::ComboBox* list);

    // Save (Save.cpp).
    struct SavedText {
        QString text;
        const QLabel* label;   // names the field in messages
    };
    QList<SavedText> TextsToSave() const;
    std::optional<QList<QByteArray>> EncodeTextsToSave();
    bool SaveClaim();
    claims::Result<claims::FileStamp> WriteClaim(const QList<QByteArray>& texts,
                                                 const std::optional<claims::FileStamp>& expected);

    // Unsaved changes (Save.cpp): what a save would write, against what was
    // on screen when the claim was loaded, started or saved.
    struct ClaimOnScreen {
        QStringList texts;   // name, sex and the header, as TextsToSave() takes them
        claims::TTreatmentTable table;
        bool operator==(const ClaimOnScreen&) const = default;
    };
    ClaimOnScreen CurrentClaim() const;
    void RememberClaimOnScreen();
    bool ClaimChanged() const;
    bool MayClose();

    // What the claim area shows (Search.cpp): each header list's selection
    // and text, the treatment lines and the chosen one, and the claim they
    // were loaded as; put back after a search that chose no student.
    struct ListView {
        int selected = -1;
        QString text;
    };
    struct ClaimArea {
        std::array<ListView, 10> lists;
        QStringList lines;
        int line = -1;
        ClaimOnScreen loaded;
    };
    ClaimArea ShownClaimArea() const;
    void ShowClaimArea(const ClaimArea& area);

    entry::EntryState& state_;                 // the process-wide state it works on
    forms::RadioGroup* monthButtons_;          // RadioButton1 .. RadioButton12
    std::array<int, 10> fixedItemCounts_{};    // the header lists' own items, in header order
    bool studentChosenHere_ = false;           // only then may this window save
    ClaimOnScreen loadedClaim_;                // as loaded, started or saved
    claims::FileStamp loadedStamp_;            // the claim file as read, or its absence
};
