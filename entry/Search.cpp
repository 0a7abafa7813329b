// Searching the roster of an entry year and showing the chosen student.

#include "entry/SeiKyuImp.h"
#include "entry/EntryText.h"
#include "entry/SelectSeito.h"
#include "rosters/RosterFile.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "ui_SeiKyuImp.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

// The ID that names the student's claim files, in Shift-JIS. A character
// that Shift-JIS cannot hold (from a UTF-8 roster) becomes a byte that no
// file name may hold, so that the save refuses the ID.
QByteArray ClaimId(const QByteArray& id, claims::RosterEncoding encoding)
{
    if (encoding == claims::RosterEncoding::ShiftJis)
        return id;
    return entry::LookupBytes(claims::RosterText(id, encoding));
}

} // namespace

void TForm2::BitBtn1Click()
{
    searchPause_.stop();
    foundCheck_.stop();
    state_.WorkDir = QDir::currentPath();
    state_.RosterFilePath = RosterPathOnScreen();
    if (state_.WorkDir.isEmpty() || !QFileInfo(state_.WorkDir).isDir()) {
        forms::ShowMessage(this, QStringLiteral("ディレクトリがありません！！"));
        return;
    }
    const QString roster = claims::FindExistingEntry(state_.RosterFilePath);
    if (roster.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("指定された") +
                                     QDir::toNativeSeparators(state_.RosterFilePath) +
                                     QStringLiteral("ファイルがありません！！"));
        return;
    }
    claims::Result<claims::FoundLines> found = SearchRoster(roster);
    if (!found)
        throw forms::Error(found.error().message);

    const claims::RosterEncoding encoding = found->encoding();
    std::unique_ptr<TForm3> dialog = TakeStudentDialog();
    dialog->SetStudentLines(std::move(*found));
    bool decided = false;
    dialog->OnDecide = [this, encoding, &decided](const QByteArray& line) {
        decided = true;
        state_.ChosenStudentLine = line;
        ShowStudent(line, encoding);
    };
    const ClaimArea before = ShownClaimArea();
    ClearClaimControls();
    RememberClaimOnScreen();
    forms::RunModal(std::move(dialog));
    // Without a student chosen, the claim being edited stays on screen, so
    // that a save never writes the cleared area over it.
    if (!decided)
        ShowClaimArea(before);
    QTimer::singleShot(0, this, &TForm2::PrepareStudentDialog);
}

QString TForm2::RosterPathOnScreen() const
{
    return claims::RosterPathOfYear(QDir::currentPath(), ui->ComboBox1->text());
}

// The reading read and searched in one pass, in the roster's encoding; the
// lines come from the search made ahead when it searched the same roster, as
// it still is, for the same reading.
claims::Result<claims::FoundLines> TForm2::SearchRoster(const QString& roster)
{
    std::optional<claims::FoundLines> ahead =
        searchAhead_->Take(state_.RosterFilePath, roster, ui->Edit1->text());
    if (ahead)
        return std::move(*ahead);
    return claims::FindTextInRosterFile(roster, ui->Edit1->text());
}

// A change of the reading or the entry year drops the search made ahead;
// another starts when the typing pauses (searchPause_). Edit1 holds only
// committed text: what the input method still composes is not in it.
void TForm2::TypedSearchChanged()
{
    searchAhead_->Drop();
    foundCheck_.stop();
    searchPause_.start(100);
}

void TForm2::SearchAheadOfClick()
{
    if (ui->Edit1->text().isEmpty())
        return;
    searchAhead_->Start(RosterPathOnScreen(), ui->Edit1->text());
    foundCheck_.start();
}

// The rows that the first view of the dialog will show, drawn into the
// dialog made ahead once the search ahead has found them, so that the click
// neither loads their characters' glyphs nor shapes their text.
void TForm2::DrawFoundRowsAhead()
{
    const claims::FoundLines* found = searchAhead_->Found();
    if (!found && searchAhead_->Running())
        return;
    foundCheck_.stop();
    if (!found || !SpareStudentDialog)
        return;
    SpareStudentDialog->DrawRows(*found);
}

TForm2::ClaimArea TForm2::ShownClaimArea() const
{
    ClaimArea area;
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k)
        area.lists[k] = {lists[k]->selectedIndex(), lists[k]->text()};
    for (int i = 0; i < ui->ListBox1->count(); ++i)
        area.lines.append(ui->ListBox1->line(i));
    area.line = ui->ListBox1->selectedIndex();
    area.loaded = loadedClaim_;
    return area;
}

void TForm2::ShowClaimArea(const ClaimArea& area)
{
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k) {
        if (area.lists[k].selected >= 0)
            lists[k]->setSelectedIndex(area.lists[k].selected);
        else
            lists[k]->setText(area.lists[k].text);
    }
    ui->ListBox1->setLines(area.lines);
    ui->ListBox1->setSelectedIndex(area.line);
    loadedClaim_ = area.loaded;
}

// The student dialog of the next search is built and readied (TForm3::
// Prepare) while the office types the reading (and after each search), so
// that 検索 shows its list at once. A search that comes before it is ready
// builds its own. It is never built while a window waits for its first paint.
void TForm2::PrepareStudentDialog()
{
    if (SpareStudentDialog)
        return;
    SpareStudentDialog = new TForm3(this);
    SpareStudentDialog->Prepare();
}

std::unique_ptr<TForm3> TForm2::TakeStudentDialog()
{
    std::unique_ptr<TForm3> dialog(SpareStudentDialog ? SpareStudentDialog.data() : new TForm3(this));
    SpareStudentDialog.clear();
    return dialog;
}

// The twelve student fields in roster order: ID, the three classes, name,
// reading, guardian, junior high school, sex, course, birth date, address.
std::array<QLineEdit*, 12> TForm2::StudentFields() const
{
    return {ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7,
            ui->Edit8, ui->Edit9, ui->Edit10, ui->Edit11, ui->Edit12, ui->Edit13};
}

void TForm2::ShowStudent(const QByteArray& line, claims::RosterEncoding encoding)
{
    const claims::TStudentRecord student = claims::SplitRosterLine(line);
    const auto fields = StudentFields();
    for (int i = 0; i < int(fields.size()); ++i)
        fields[i]->setText(claims::RosterText(student.field(i), encoding));
    ui->Edit14->setText(ui->Edit2->text());
    state_.CurrentStudentId = ClaimId(student.Id, encoding);
    ui->Edit15->setText(ui->Edit6->text());
    ui->Edit16->setText(ui->Edit10->text());
    for (QLineEdit* field : StudentFields())
        field->setCursorPosition(0);   // a long text shows its beginning
    for (QLineEdit* field : {ui->Edit14, ui->Edit15, ui->Edit16})
        field->setCursorPosition(0);

    ResetClaim();
    studentChosenHere_ = true;
    RememberListCounts();
    state_.CurrentOccurrence = 1;
    const bool loaded = LoadClaim(state_.CurrentOccurrence);
    state_.CurrentRow = 1;
    if (loaded)
        ShowClaimHeader();
    else
        ui->ComboBox12->setSelectedIndex(0);
    RememberClaimOnScreen();
}
