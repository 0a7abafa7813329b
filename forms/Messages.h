#pragma once

#include "forms/Answer.h"

#include <QString>

class QWidget;

namespace forms {

// Modal box captioned "Kiboru" with one OK button; returns once it is closed.
void ShowMessage(QWidget* parent, const QString& text);

// Modal question captioned "確認" with "はい(&Y)" (the default), "いいえ(&N)"
// and "ｷｬﾝｾﾙ". Esc and the close box answer Cancel.
Answer Confirm(QWidget* parent, const QString& text);

// Modal question captioned "確認" with "はい(&Y)" and "いいえ(&N)" (the
// default, so that Enter keeps what is there). Esc and the close box answer
// No.
Answer AskYesNo(QWidget* parent, const QString& text);

// Modal error box captioned "Kiboru", for errors that end a handler.
void ShowErrorBox(QWidget* parent, const QString& text);

} // namespace forms
