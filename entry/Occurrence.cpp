// Choosing the injury occurrence and loading its claim file.

#include "entry/SeiKyuImp.h"
#include "entry/Tkaisuu.h"
#include "claims/ClaimFile.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "ui_SeiKyuImp.h"

#include <QDir>

void TForm2::ComboBox12Change()
{
    const int position = ui->ComboBox12->selectedIndex();
    if (position < 0)
        return;   // typed text that is none of the numbers chooses nothing
    State.CurrentOccurrence = position + 1;
    ResetClaim();
    const bool loaded = LoadClaim(State.CurrentOccurrence);
    State.CurrentRow = 1;
    if (loaded) {
        ShowClaimHeader();
    } else {
        forms::ShowMessage(this, QStringLiteral("指定された回の記録はありません！"));
        TrimHeaderLists();
        ClearClaimControls();
    }
    RememberClaimOnScreen();
}

// Loads the claim of occurrence n when its file exists: the user picks one of
// the student's claim files, whose occurrence becomes the current one.
bool TForm2::LoadClaim(int n)
{
    LoadedStamp = claims::FileStamp();   // no file read: a save must find none
    State.WorkDir = QDir::currentPath();
    State.ClaimFilePath = claims::ClaimFilePath(State.WorkDir, State.CurrentStudentId, n);
    if (!claims::FileCanBeRead(State.ClaimFilePath))
        return false;
    const QString chosen = ChooseClaimFile();
    const int occurrence = claims::OccurrenceOfClaimFile(chosen, State.CurrentStudentId);
    if (occurrence == 0)
        return false;   // the files went away before one could be chosen
    State.CurrentOccurrence = occurrence;
    State.ClaimFilePath = claims::SeikyuFolder(State.WorkDir) + u'/' + chosen;
    const claims::IoResult read =
        claims::ReadClaimFile(State.ClaimFilePath, State.ClaimHeader, State.TreatmentTable, &LoadedStamp);
    if (!read.ok())
        throw forms::Error(read.message);
    PlaceLoadedValues();
    return true;
}

// The claim file the user picks in the occurrence-file dialog; empty when the
// student has none left to pick from.
QString TForm2::ChooseClaimFile()
{
    const QStringList files = claims::ListClaimFiles(State.WorkDir, State.CurrentStudentId);
    if (files.isEmpty())
        return QString();
    QString chosen;
    auto dialog = std::make_unique<TForm4>(this);
    dialog->FillList(files);
    dialog->OnDecide = [this, &chosen](const QString& name) {
        State.ChosenClaimFile = name;
        chosen = name;
    };
    forms::RunModal(std::move(dialog));
    return chosen;
}
