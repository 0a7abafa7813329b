// Searching the roster of an entry year and showing the chosen student.

#include "entry/SeiKyuImp.h"
#include "entry/EntryText.h"
#include "entry/SelectSeito.h"
#include "claims/RosterFile.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "ui_SeiKyuImp.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The student lines of the roster that hold the typed reading, read and
// searched in one pass. A reading that Shift-JIS cannot hold stands in no
// roster: the file is still opened, so that a roster that cannot be read is
// reported all the same.
claims::RosterSearch FindStudents(const QString& roster, const QString& typed)
{
    const auto key = claims::ToShiftJis(typed);
    return claims::FindRosterLinesInFile(roster, key ? *key : QByteArray());
}

} // namespace

void TForm2::BitBtn1Click()
{
    State.WorkDir = QDir::currentPath();
    State.RosterFilePath =
        claims::BuildRosterPath(State.WorkDir, entry::LookupBytes(ui->ComboBox1->text()));
    if (State.WorkDir.isEmpty() || !QFileInfo(State.WorkDir).isDir()) {
        forms::ShowMessage(this, QStringLiteral("ディレクトリがありません！！"));
        return;
    }
    const QString roster = claims::FindExistingEntry(State.RosterFilePath);
    if (roster.isEmpty()) {
        forms::ShowMessage(this, QStringLiteral("指定された") +
                                     QDir::toNativeSeparators(State.RosterFilePath) +
                                     QStringLiteral("ファイルがありません！！"));
        return;
    }
    claims::RosterSearch found = FindStudents(roster, ui->Edit1->text());
    if (!found.result.ok())
        throw forms::Error(found.result.message);

    auto dialog = std::make_unique<TForm3>(this);
    dialog->SetStudentLines(std::move(found.lines));
    dialog->OnDecide = [this](const QByteArray& line) {
        State.ChosenStudentLine = line;
        ShowStudent(line);
    };
    ClearClaimControls();
    RememberClaimOnScreen();
    forms::RunModal(std::move(dialog));
}

// The twelve student fields in roster order: ID, the three classes, name,
// reading, guardian, junior high school, sex, course, birth date, address.
std::array<QLineEdit*, 12> TForm2::StudentFields() const
{
    return {ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7,
            ui->Edit8, ui->Edit9, ui->Edit10, ui->Edit11, ui->Edit12, ui->Edit13};
}

void TForm2::ShowStudent(const QByteArray& line)
{
    const claims::TStudentRecord student = claims::SplitRosterLine(line);
    const auto fields = StudentFields();
    for (int i = 0; i < int(fields.size()); ++i)
        fields[i]->setText(entry::Text(student.field(i)));
    ui->Edit14->setText(ui->Edit2->text());
    State.CurrentStudentId = student.Id;
    ui->Edit15->setText(ui->Edit6->text());
    ui->Edit16->setText(ui->Edit10->text());
    for (QLineEdit* field : StudentFields())
        field->setCursorPosition(0);   // a long text shows its beginning
    for (QLineEdit* field : {ui->Edit14, ui->Edit15, ui->Edit16})
        field->setCursorPosition(0);

    ResetClaim();
    StudentChosenHere = true;
    RememberListCounts();
    State.CurrentOccurrence = 1;
    const bool loaded = LoadClaim(State.CurrentOccurrence);
    State.CurrentRow = 1;
    if (loaded)
        ShowClaimHeader();
    else
        ui->ComboBox12->setSelectedIndex(0);
    RememberClaimOnScreen();
}
