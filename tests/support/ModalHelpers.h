#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QWidget;

namespace testsupport {

// Waits (from a timer, inside whatever modal loop is running) until
// QApplication::activeModalWidget() is a window other than the one active at
// the time of the call, then runs act on it. Call it before the code that
// opens the modal window. After timeoutMs without a new modal window it
// gives up with a warning, and act never runs.
void WhenModal(std::function<void(QWidget*)> act, int timeoutMs = 5000);

// The button inside window whose text is exactly text, or nullptr.
QAbstractButton* FindButton(QWidget* window, const QString& text);

// Types text into widget as key presses, one character each, so that
// Japanese text can be typed too (QTest::keyClicks takes Latin-1 only).
void TypeText(QWidget* widget, const QString& text);

// Clicks the button of that text with the mouse; a missing button is a
// warning and nothing is clicked.
void ClickButton(QWidget* window, const QString& text);

} // namespace testsupport
