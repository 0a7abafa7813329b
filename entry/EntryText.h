#pragma once
// Texts of claims and rosters are Shift-JIS bytes; controls show Unicode.

#include "files/ShiftJis.h"

#include <QByteArray>
#include <QString>

namespace entry {

// The bytes shown as text; bytes that form no character show as U+FFFD.
inline QString Text(QByteArrayView bytes)
{
    return claims::FromShiftJis(bytes);
}

// The Shift-JIS bytes of a text typed for a search or a path. A character
// that Shift-JIS cannot hold becomes a byte that stands in no roster name.
QByteArray LookupBytes(const QString& text);

} // namespace entry
