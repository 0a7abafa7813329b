#pragma once
// Conversion between the Shift-JIS bytes that claims and rosters hold and the
// Unicode text shown on screen and used for file names. The mapping is
// Windows code page 932, the same on every platform and without any system
// converter: 5C is "\", 7E is "~", 81 7C is "－" (U+FF0D), 81 60 is "～"
// (U+FF5E), 87 40 is "①", A1 to DF are half-width katakana, F0 40 to F9 FC
// the user-defined characters U+E000 to U+E757.

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

// For display and file names. Bytes that form no character show as U+FFFD.
QString FromShiftJis(QByteArrayView bytes);

// Like FromShiftJis, but std::nullopt when any byte forms no character.
std::optional<QString> FromShiftJisExact(QByteArrayView bytes);

// std::nullopt when any character cannot be held exactly in Shift-JIS
// (for example "😀" or "¥"): nothing is ever replaced by a substitute.
// A character that several codes read as is written as Windows writes it
// ("纊" as FA 5C, never ED 40).
std::optional<QByteArray> ToShiftJis(QStringView text);

} // namespace claims
