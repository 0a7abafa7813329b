// Saving the claim on screen and closing the window.

#include "entry/SeiKyuImp.h"
#include "claims/ClaimFile.h"
#include "files/ShiftJis.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/SaveGuarded.h"
#include "ui_SeiKyuImp.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace {

// A label's text as the message names it: without its blanks.
QString FieldName(const QLabel* label)
{
    QString name = label->text();
    name.remove(QLatin1Char(' '));
    name.remove(QChar(0x3000));
    return name;
}

} // namespace

// The texts that a save writes, in the order name, sex, then the header
// fields: the chosen item for the date and the creditor registration, the
// text in the box for the others.
QList<TForm2::SavedText> TForm2::TextsToSave() const
{
    return {
        {ui->Edit6->text(), ui->StaticText8},        {ui->Edit10->text(), ui->StaticText12},
        {ui->ComboBox2->selectedText(), ui->StaticText19},
        {ui->ComboBox3->selectedText(), ui->StaticText20},
        {ui->ComboBox4->selectedText(), ui->StaticText21},
        {ui->ComboBox5->selectedText(), ui->StaticText30},
        {ui->ComboBox11->selectedText(), ui->StaticText27},
        {ui->ComboBox9->text(), ui->StaticText22},   {ui->ComboBox6->text(), ui->StaticText23},
        {ui->ComboBox7->text(), ui->StaticText24},   {ui->ComboBox8->text(), ui->StaticText25},
        {ui->ComboBox13->text(), ui->StaticText29},
    };
}

// The Shift-JIS bytes of every text, or a message saying which text cannot
// be stored in a claim file.
std::optional<QList<QByteArray>> TForm2::EncodeTextsToSave()
{
    QList<QByteArray> bytes;
    for (const SavedText& t : TextsToSave()) {
        if (claims::CorruptsClaimFile(t.text)) {
            forms::ShowMessage(this, QStringLiteral("「%1」にカンマや改行は保存できません！！")
                                         .arg(FieldName(t.label)));
            return std::nullopt;
        }
        const auto encoded = claims::ToShiftJis(t.text);
        if (!encoded) {
            forms::ShowMessage(this, QStringLiteral("「%1」に保存できない文字があります！！")
                                         .arg(FieldName(t.label)));
            return std::nullopt;
        }
        bytes << *encoded;
    }
    return bytes;
}

// What a save would write now: the window's texts and the rows in memory.
TForm2::ClaimOnScreen TForm2::CurrentClaim() const
{
    ClaimOnScreen claim;
    for (const SavedText& t : TextsToSave())
        claim.texts << t.text;
    claim.table = state_.TreatmentTable;
    return claim;
}

void TForm2::RememberClaimOnScreen()
{
    loadedClaim_ = CurrentClaim();
}

// Only a claim of a student chosen in this window can be saved, so only
// such a claim can have unsaved changes.
bool TForm2::ClaimChanged() const
{
    return studentChosenHere_ && CurrentClaim() != loadedClaim_;
}

// Whether the window may close: at once when nothing changed; otherwise the
// user saves (the window stays open when the save does not go through),
// drops the changes, or cancels.
bool TForm2::MayClose()
{
    if (!ClaimChanged())
        return true;
    const forms::Answer answer = forms::Confirm(this, QStringLiteral("変更を保存しますか"));
    if (answer == forms::Answer::Cancel)
        return false;
    if (answer == forms::Answer::No)
        return true;
    if (!SaveClaim())
        return false;
    forms::ShowMessage(this, QStringLiteral("保存しました！"));
    return true;
}

void TForm2::closeEvent(QCloseEvent* event)
{
    try {
        if (!MayClose()) {
            event->ignore();
            return;
        }
    } catch (const std::exception& e) {
        forms::ReportException(e);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm2::BitBtn2Click()
{
    const forms::Answer answer = forms::Confirm(this, QStringLiteral("変更を保存しますか"));
    if (answer == forms::Answer::Cancel) {
        done(forms::kModalDone);
        return;
    }
    if (answer == forms::Answer::No)
        return;
    if (SaveClaim()) {
        forms::ShowMessage(this, QStringLiteral("保存しました！"));
        done(forms::kModalDone);
    }
}

// Writes the claim on screen to its file. False, with a message, when there
// is nothing that can be saved, and when the user keeps a file that another
// PC changed; a failure of the disk, and a text the file cannot hold that
// the window's own checks let through, go to the error box.
bool TForm2::SaveClaim()
{
    const int occurrence = state_.CurrentOccurrence;
    if (!studentChosenHere_ || state_.CurrentStudentId.isEmpty() || !claims::ClaimName::IsOccurrence(occurrence)) {
        forms::ShowMessage(this, QStringLiteral("生徒が選択されていません！！"));
        return false;
    }
    if (!claims::IsUsableStudentId(state_.CurrentStudentId)) {
        forms::ShowMessage(this, QStringLiteral("ID番号がファイル名に使えません！！"));
        return false;
    }
    const auto texts = EncodeTextsToSave();
    if (!texts)
        return false;
    state_.WorkDir = QDir::currentPath();
    state_.ClaimFilePath = claims::ClaimFilePath(state_.WorkDir, state_.CurrentStudentId, occurrence);
    const forms::SavedFile what{QStringLiteral("この請求ファイル"), QFileInfo(state_.ClaimFilePath).fileName()};
    const std::optional<claims::FileStamp> saved = forms::SaveGuarded(
        this, what, loadedStamp_, [&](const std::optional<claims::FileStamp>& expected) { return WriteClaim(*texts, expected); });
    if (!saved)
        return false;
    loadedStamp_ = *saved;
    RememberClaimOnScreen();
    return true;
}

// Writes the texts and the rows in memory over the claim file, as long as
// the file is still as expected.
claims::Result<claims::FileStamp> TForm2::WriteClaim(const QList<QByteArray>& texts,
                                                     const std::optional<claims::FileStamp>& expected)
{
    claims::t_sick header;
    for (int k = 0; k < claims::t_sick::FieldCount; ++k)
        header.field(k) = texts.at(2 + k);
    return claims::WriteClaimFileAt(state_.WorkDir, state_.ClaimFilePath, state_.CurrentStudentId,
                                    state_.CurrentOccurrence, texts.at(0), texts.at(1), header, state_.TreatmentTable,
                                    expected);
}

void TForm2::BitBtn3Click()
{
    if (MayClose())
        done(forms::kModalDone);
}
