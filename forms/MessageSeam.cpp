#include "forms/MessageSeam.h"

namespace forms {
namespace {

MessageSeam* activeSeam = nullptr;

} // namespace

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
