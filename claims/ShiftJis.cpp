#include "claims/ShiftJis.h"

#include "claims/Cp932Table.h"

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

struct Read {
    char16_t character;   // kReplacement when the bytes form no character
    int length;           // bytes taken
};

// The character at bytes[i]. ASCII stays as it is, control codes included
// (1A is a character like any other); a lead byte takes the next byte when
// it can be a trail byte, also when the pair holds no character.
Read ReadAt(QByteArrayView bytes, qsizetype i)
{
    const uchar b = uchar(bytes[i]);
    if (b < 0x80)
        return {b, 1};
    if (IsHalfWidthKanaByte(b))
        return {char16_t(kFirstHalfWidthKana + (b - 0xA1)), 1};
    if (!IsShiftJisLeadByte(b) || i + 1 == bytes.size() || !IsTrailByte(uchar(bytes[i + 1])))
        return {kReplacement, 1};
    const char16_t c = cp932::kCharacters[cp932::CodeIndex(b, uchar(bytes[i + 1]))];
    return {c != 0 ? c : kReplacement, 2};
}

// Every byte gives one character at most.
QString Decode(QByteArrayView bytes, bool& clean)
{
    QString out(bytes.size(), Qt::Uninitialized);
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const Read read = ReadAt(bytes, i);
        clean = clean && read.character != kReplacement;
        dst[n++] = read.character;
        i += read.length;
    }
    out.truncate(n);
    return out;
}

} // namespace

QString FromShiftJis(QByteArrayView bytes)
{
    bool clean = true;
    return Decode(bytes, clean);
}

std::optional<QString> FromShiftJisExact(QByteArrayView bytes)
{
    bool clean = true;
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
