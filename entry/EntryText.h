#pragma once
// Texts of claims and rosters are Shift-JIS bytes; controls show Unicode.

#include "files/ShiftJis.h"
#include "rosters/EntryYears.h"

#include <QByteArray>
#include <QString>

namespace entry {

// The bytes shown as text; bytes that form no character show as U+FFFD.
inline QString Text(QByteArrayView bytes)
{
    return claims::FromShiftJis(bytes);
}

using claims::LookupBytes;

} // namespace entry
