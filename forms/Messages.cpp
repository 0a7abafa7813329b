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

MessageSeam* activeSeam = nullptr;

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

MessageSeam::MessageSeam() : outer_(activeSeam)
{
    activeSeam = this;
}

MessageSeam::~MessageSeam()
{
    activeSeam = outer_;
}

void MessageSeam::queueAnswer(Answer answer)
{
    answers_.append(answer);
}

int MessageSeam::pendingAnswers() const
{
    return static_cast<int>(answers_.size());
}

const QList<ShownBox>& MessageSeam::shown() const
{
    return shown_;
}

QStringList MessageSeam::shownTexts() const
{
    QStringList texts;
    for (const ShownBox& box : shown_)
        texts.append(box.text);
    return texts;
}

bool MessageSeam::failed() const
{
    return failed_;
}

void MessageSeam::clear()
{
    answers_.clear();
    shown_.clear();
    failed_ = false;
}

void MessageSeam::setOnShow(std::function<void(const ShownBox&)> onShow)
{
    onShow_ = std::move(onShow);
}

MessageSeam* MessageSeam::active()
{
    return activeSeam;
}

Answer MessageSeam::answer(const ShownBox& box)
{
    shown_.append(box);
    if (onShow_)
        onShow_(box);
    if (box.kind != BoxKind::Confirm)
        return Answer::Yes;   // the OK of a plain or error box
    if (answers_.isEmpty()) {
        failed_ = true;
        return Answer::Cancel;
    }
    return answers_.takeFirst();
}

} // namespace forms
