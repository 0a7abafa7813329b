// Saving the claim on screen and closing the window.

#include "entry/SeiKyuImp.h"
#include "claims/ClaimFile.h"
#include "claims/ShiftJis.h"
#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "ui_SeiKyuImp.h"

#include <QDir>
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
// is nothing that can be saved; a failure of the disk goes to the error box.
bool TForm2::SaveClaim()
{
    const int occurrence = State.CurrentOccurrence;
    if (State.CurrentStudentId.isEmpty() || occurrence < 1 || occurrence > 8) {
        forms::ShowMessage(this, QStringLiteral("生徒が選択されていません！！"));
        return false;
    }
    if (!claims::IsUsableStudentId(State.CurrentStudentId)) {
        forms::ShowMessage(this, QStringLiteral("ID番号がファイル名に使えません！！"));
        return false;
    }
    const auto texts = EncodeTextsToSave();
    if (!texts)
        return false;
    claims::t_sick header;
    for (int k = 0; k < claims::t_sick::FieldCount; ++k)
        header.field(k) = texts->at(2 + k);
    State.WorkDir = QDir::currentPath();
    const claims::WriteResult written =
        claims::WriteClaimFile(State.WorkDir, State.CurrentStudentId, occurrence, texts->at(0),
                               texts->at(1), header, State.TreatmentTable);
    State.ClaimFilePath = written.path;
    if (!written.io.ok())
        throw forms::Error(written.io.message);
    if (!written.ok())
        RefuseSave(written);
    return written.ok();
}

// What the file itself refused, although the window's own checks passed.
void TForm2::RefuseSave(const claims::WriteResult& written)
{
    if (written.refusal == claims::WriteRefusal::UnusableId) {
        forms::ShowMessage(this, QStringLiteral("ID番号がファイル名に使えません！！"));
        return;
    }
    const QList<SavedText> texts = TextsToSave();
    const QString name = written.field >= 0 && written.field < texts.size()
                             ? FieldName(texts[written.field].label)
                             : QString();
    forms::ShowMessage(this, QStringLiteral("「%1」にカンマや改行は保存できません！！").arg(name));
}

void TForm2::BitBtn3Click()
{
    done(forms::kModalDone);
}
