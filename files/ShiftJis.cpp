#include "files/ShiftJis.h"

#include "files/Cp932Table.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace claims {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kFirstHalfWidthKana = 0xFF61;   // "｡", byte A1

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsHalfWidthKanaByte(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
bool IsHalfWidthKana(char16_t c) { return c >= kFirstHalfWidthKana && c <= 0xFF9F; }

bool IsReadOnly(std::uint16_t code)
{
    return std::binary_search(cp932::kReadOnly, cp932::kReadOnly + cp932::kReadOnlyCount, code);
}

// The double-byte code of every character, 0 for none: each code of the
// table but those that Windows never writes.
class CodeTable {
public:
    CodeTable()
    {
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = cp932::kFirstTrail; trail <= 0xFC && IsShiftJisLeadByte(uchar(lead)); ++trail) {
                const char16_t c = cp932::kCharacters[cp932::CodeIndex(uchar(lead), uchar(trail))];
                const auto code = std::uint16_t(lead << 8 | trail);
                if (c != 0 && !IsReadOnly(code))
                    codes_[c] = code;
            }
        }
    }

    std::uint16_t At(char16_t c) const { return codes_[c]; }

private:
    std::array<std::uint16_t, 0x10000> codes_{};
};

const CodeTable& Codes()
{
    static const CodeTable table;
    return table;
}

// The character that a byte from 80 to FF opens, 0 when none. A lead byte
// takes the byte at p when that can be a trail byte, also when the pair
// holds no character.
char16_t ReadHighByte(uchar b, const uchar*& p, const uchar* end)
{
    if (IsHalfWidthKanaByte(b))
        return char16_t(kFirstHalfWidthKana + (b - 0xA1));
    if (IsShiftJisLeadByte(b) && p != end && IsTrailByte(*p))
        return cp932::kCharacters[cp932::CodeIndex(b, *p++)];
    return 0;
}

// Every byte gives one character at most. ASCII stays as it is, control
// codes included.
QString Decode(QByteArrayView bytes, bool& clean)
{
    QString out(bytes.size(), Qt::Uninitialized);
    auto* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* dst = begin;
    auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    clean = true;
    while (p != end) {
        const uchar b = *p++;
        char16_t c = b;
        if (b >= 0x80 && (c = ReadHighByte(b, p, end)) == 0) {
            c = kReplacement;
            clean = false;
        }
        *dst++ = c;
    }
    out.truncate(dst - begin);
    return out;
}

} // namespace

QString FromShiftJis(QByteArrayView bytes)
{
    bool clean;
    return Decode(bytes, clean);
}

std::optional<QString> FromShiftJisExact(QByteArrayView bytes)
{
    bool clean;
    QString text = Decode(bytes, clean);
    if (!clean)
        return std::nullopt;
    return text;
}

std::optional<QByteArray> ToShiftJis(QStringView text)
{
    const CodeTable& codes = Codes();
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* dst = out.data();
    qsizetype n = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            dst[n++] = char(c);
        } else if (IsHalfWidthKana(c)) {
            dst[n++] = char(0xA1 + (c - kFirstHalfWidthKana));
        } else if (const std::uint16_t code = codes.At(c); code != 0) {
            dst[n++] = char(code >> 8);
            dst[n++] = char(code & 0xFF);
        } else {
            return std::nullopt;   // surrogates, "¥", U+FFFD and everything else that has no code
        }
    }
    out.truncate(n);
    return out;
}

} // namespace claims
