#pragma once
// Conversion between the Shift-JIS bytes that claims and rosters hold and the
// Unicode text shown on screen and used for file names. The mapping is the
// Windows form of Shift-JIS: 5C is "\", 7E is "~", 81 7C is "－" (U+FF0D),
// 81 60 is "～" (U+FF5E), 87 40 is "①", A1 to DF are half-width katakana.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace claims {

// A byte that opens a double-byte character: it always takes the next byte.
constexpr bool IsShiftJisLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when the converter is present and maps as described above. The
// program refuses to start otherwise rather than garble files.
bool ShiftJisAvailable();

// For display and file names. Bytes that form no character show as U+FFFD.
QString FromShiftJis(QByteArrayView bytes);

// Like FromShiftJis, but std::nullopt when any byte forms no character.
std::optional<QString> FromShiftJisExact(QByteArrayView bytes);

// std::nullopt when any character cannot be held exactly in Shift-JIS
// (for example "😀" or "¥"): nothing is ever replaced by a substitute.
std::optional<QByteArray> ToShiftJis(QStringView text);

} // namespace claims
