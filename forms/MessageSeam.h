#pragma once

#include "forms/Answer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace forms {

enum class BoxKind { Message, Confirm, Error };

struct ShownBox {
    BoxKind kind;
    QString caption;
    QString text;
    QStringList buttons;
};

// While a MessageSeam lives, message boxes are not shown: each box is
// recorded and answered at once. Plain and error boxes need no answer; a
// confirmation takes the next queued answer. A confirmation with nothing
// queued answers Cancel and marks the seam as failed.
class MessageSeam {
public:
    MessageSeam();
    ~MessageSeam();
    MessageSeam(const MessageSeam&) = delete;
    MessageSeam& operator=(const MessageSeam&) = delete;

    void queueAnswer(Answer answer);
    int pendingAnswers() const;

    const QList<ShownBox>& shown() const;
    QStringList shownTexts() const;
    bool failed() const;
    void clear();

    // Runs when a box comes, before it is answered (to look at the windows
    // at that moment).
    void setOnShow(std::function<void(const ShownBox&)> onShow);

    static MessageSeam* active();
    Answer answer(const ShownBox& box);

private:
    QList<Answer> answers_;
    QList<ShownBox> shown_;
    std::function<void(const ShownBox&)> onShow_;
    bool failed_ = false;
    MessageSeam* outer_;
};

} // namespace forms
