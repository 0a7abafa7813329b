#pragma once

class QWidget;

namespace forms {

// The control switches the input method on, in hiragana mode, when it takes
// the focus. On Windows this sets the IMM conversion mode; elsewhere the
// control carries the mode (property "imeMode") and accepts input methods.
void SetHiraganaOnFocus(QWidget* control);
bool HasHiraganaOnFocus(const QWidget* control);

} // namespace forms
