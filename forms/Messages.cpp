#include "forms/Messages.h"
#include "forms/MessageSeam.h"

#include <QMessageBox>
#include <QPushButton>

namespace forms {

namespace {

const QString kTitle = QStringLiteral("Kiboru");
const QString kConfirmTitle = QStringLiteral("確認");
const QString kYes = QStringLiteral("はい(&Y)");
const QString kNo = QStringLiteral("いいえ(&N)");
const QString kCancel = QStringLiteral("ｷｬﾝｾﾙ");
const QString kOk = QStringLiteral("OK");

// A plain or error box: caption "Kiboru", one OK button.
void showOkBox(QWidget* parent, BoxKind kind, const QString& text)
{
    if (MessageSeam* seam = MessageSeam::active()) {
        seam->answer({kind, kTitle, text, {kOk}});
        return;
    }
    const auto icon = kind == BoxKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(icon, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

Answer askYesNoCancel(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, kConfirmTitle, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(kYes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(kNo, QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(kCancel, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}

Answer askYesNo(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, kConfirmTitle, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(kYes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(kNo, QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text)
{
    showOkBox(parent, BoxKind::Message, text);
}

Answer Confirm(QWidget* parent, const QString& text)
{
    if (MessageSeam* seam = MessageSeam::active())
        return seam->answer({BoxKind::Confirm, kConfirmTitle, text, {kYes, kNo, kCancel}});
    return askYesNoCancel(parent, text);
}

Answer AskYesNo(QWidget* parent, const QString& text)
{
    if (MessageSeam* seam = MessageSeam::active()) {
        const Answer answer = seam->answer({BoxKind::Confirm, kConfirmTitle, text, {kYes, kNo}});
        return answer == Answer::Yes ? Answer::Yes : Answer::No;
    }
    return askYesNo(parent, text);
}

void ShowErrorBox(QWidget* parent, const QString& text)
{
    showOkBox(parent, BoxKind::Error, text);
}

} // namespace forms
