#include "forms/RadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>

namespace forms {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

RadioGroup::RadioGroup(QList<QRadioButton*> buttons, QObject* parent)
    : QObject(parent), group_(new QButtonGroup(this))
{
    group_->setExclusive(true);
    for (int i = 0; i < buttons.size(); ++i) {
        group_->addButton(buttons[i], i);
        buttons[i]->installEventFilter(this);
    }
    connect(group_, &QButtonGroup::buttonClicked, this, &RadioGroup::onClicked);
    connect(group_, &QButtonGroup::buttonToggled, this, &RadioGroup::updateTabStops);
    updateTabStops();
}

void RadioGroup::updateTabStops()
{
    for (QAbstractButton* button : group_->buttons())
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

int RadioGroup::checkedIndex() const
{
    return group_->checkedId();
}

// A click that comes while a button handles a mouse or key event is the
// user's; the selection just before that event tells whether it changed.
bool RadioGroup::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type())) {
        userInput_ = true;
        checkedAtUserInput_ = checkedIndex();
        QMetaObject::invokeMethod(this, [this] { userInput_ = false; }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void RadioGroup::onClicked(QAbstractButton* button)
{
    const int index = group_->id(button);
    const bool becameSelected = userInput_ && button->isChecked() && index != checkedAtUserInput_;
    userInput_ = false;
    if (becameSelected)
        emit selected(index);
}

} // namespace forms
