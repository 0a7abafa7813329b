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
    state_.CurrentOccurrence = position + 1;
    ResetClaim();
    const bool loaded = LoadClaim(state_.CurrentOccurrence);
    state_.CurrentRow = 1;
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
    loadedStamp_ = claims::FileStamp();   // no file read: a save must find none
    state_.WorkDir = QDir::currentPath();
    state_.ClaimFilePath = claims::ClaimFilePath(state_.WorkDir, state_.CurrentStudentId, n);
    if (!claims::FileCanBeRead(state_.ClaimFilePath))
        return false;
    const QString chosen = ChooseClaimFile();
    const int occurrence = claims::OccurrenceOfClaimFile(chosen, state_.CurrentStudentId);
    if (occurrence == 0)
        return false;   // the files went away before one could be chosen
    state_.CurrentOccurrence = occurrence;
    state_.ClaimFilePath = claims::SeikyuFolder(state_.WorkDir) + u'/' + chosen;
    const claims::Result<claims::FileStamp> read =
        claims::ReadClaimFile(state_.ClaimFilePath, state_.ClaimHeader, state_.TreatmentTable);
    if (!read)
        throw forms::Error(read.error().message);
    loadedStamp_ = *read;
    PlaceLoadedValues();
    return true;
}

// The claim file the user picks in the occurrence-file dialog; empty when the
// student has none left to pick from.
QString TForm2::ChooseClaimFile()
{
    const QStringList files = claims::ListClaimFiles(state_.WorkDir, state_.CurrentStudentId);
    if (files.isEmpty())
        return QString();
    QString chosen;
    auto dialog = std::make_unique<TForm4>(this);
    dialog->FillList(files);
    dialog->OnDecide = [this, &chosen](const QString& name) {
        state_.ChosenClaimFile = name;
        chosen = name;
    };
    forms::RunModal(std::move(dialog));
    return chosen;
}
