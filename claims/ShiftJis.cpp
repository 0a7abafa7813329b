#include "claims/ShiftJis.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace claims {
namespace {

const char* const kCodecName = "Shift_JIS";
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kFirstHalfWidthKana = 0xFF61;   // "｡", byte A1

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsHalfWidthKanaByte(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
bool IsHalfWidthKana(char16_t c) { return c >= kFirstHalfWidthKana && c <= 0xFF9F; }

bool StartsDoubleByte(QByteArrayView bytes, qsizetype i)
{
    return i + 1 < bytes.size() && IsShiftJisLeadByte(uchar(bytes[i]))
           && IsTrailByte(uchar(bytes[i + 1]));
}

// Runs of double-byte characters that the table below cannot read go through
// the converter as a whole.
void AppendDoubleBytes(QStringDecoder& decoder, QByteArrayView run, QString& out, bool& clean)
{
    if (!decoder.isValid()) {
        out += QString(run.size() / 2, QChar(kReplacement));
        clean = false;
        return;
    }
    QString part = decoder(run);
    if (decoder.hasError() || part.contains(QChar(kReplacement)) || part.contains(QChar(0x1A)))
        clean = false;
    out += part.replace(QChar(0x1A), QChar(kReplacement));
}

// The character of every double-byte pair that the converter reads on its
// own as one clean character, read once for all: converting pair by pair
// costs a call into the converter for each short run, which made reading a
// large roster line by line slow. A pair that reads as anything else holds 0
// and sends its run to the converter, so that the text comes out the same.
class PairTable {
public:
    PairTable()
    {
        QByteArray pairs;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC && IsShiftJisLeadByte(uchar(lead)); ++trail) {
                const char pair[] = {char(lead), char(trail), '\n'};
                if (IsTrailByte(uchar(trail)))
                    pairs.append(pair, 3);
            }
        }
        // Each pair stands alone between line ends, which no pair holds.
        QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
        const QString read = decoder(pairs);
        if (read.count(u'\n') != pairs.size() / 3)
            return;   // the converter ran pairs together: everything goes through it
        qsizetype start = 0;
        for (qsizetype i = 0; i < pairs.size(); i += 3) {
            const qsizetype end = read.indexOf(u'\n', start);
            const QChar c = read[start];
            if (end - start == 1 && c != QChar(kReplacement) && c != QChar(0x1A) && c != QChar(0))
                table_[Index(uchar(pairs[i]), uchar(pairs[i + 1]))] = c.unicode();
            start = end + 1;
        }
    }

    char16_t At(uchar lead, uchar trail) const { return table_[Index(lead, trail)]; }

private:
    static int Index(uchar lead, uchar trail) { return (lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 31) * 256 + trail; }

    std::array<char16_t, 60 * 256> table_{};
};

const PairTable& Pairs()
{
    static const PairTable table;
    return table;
}

// A byte that stands alone: ASCII, half-width katakana, or U+FFFD for one
// that forms no character.
QChar SingleByteCharacter(uchar b)
{
    if (b < 0x80)
        return QChar(b);
    if (IsHalfWidthKanaByte(b))
        return QChar(char16_t(kFirstHalfWidthKana + (b - 0xA1)));
    return QChar(kReplacement);
}

// Reads a run of double-byte characters from the table to dst; false when
// a pair of the run is not in the table.
bool ReadFromTable(QByteArrayView run, char16_t* dst)
{
    const PairTable& pairs = Pairs();
    for (qsizetype i = 0; i < run.size(); i += 2) {
        const char16_t c = pairs.At(uchar(run[i]), uchar(run[i + 1]));
        if (c == 0)
            return false;
        *dst++ = c;
    }
    return true;
}

// ASCII and half-width katakana are mapped here: the converter swaps a few
// control codes (1A, 1C, 7F), which Windows keeps as they are. Double-byte
// characters come from the table, or else from the converter. Every byte
// gives one character at most, except in runs that go through the converter.
QString Decode(QByteArrayView bytes, bool& clean)
{
    std::optional<QStringDecoder> decoder;   // made only for runs the table cannot read
    QString out(bytes.size(), Qt::Uninitialized);
    qsizetype n = 0;   // characters written to out
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80 || IsHalfWidthKanaByte(b) || !StartsDoubleByte(bytes, i)) {
            const QChar c = SingleByteCharacter(b);
            clean = clean && c != QChar(kReplacement);
            out.data()[n++] = c;
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (StartsDoubleByte(bytes, i))
            i += 2;
        const QByteArrayView run = bytes.sliced(start, i - start);
        if (ReadFromTable(run, reinterpret_cast<char16_t*>(out.data()) + n)) {
            n += run.size() / 2;
            continue;
        }
        if (!decoder)
            decoder.emplace(kCodecName, QStringConverter::Flag::Stateless);
        QString part;
        AppendDoubleBytes(*decoder, run, part, clean);
        if (n + part.size() + (bytes.size() - i) > out.size())
            out.resize(n + part.size() + (bytes.size() - i));
        std::copy(part.cbegin(), part.cend(), out.data() + n);
        n += part.size();
    }
    out.truncate(n);
    return out;
}

bool IsMappedDirectly(QChar c) { return c.unicode() < 0x80 || IsHalfWidthKana(c.unicode()); }

std::optional<QByteArray> Encode(QStringView text)
{
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += char(c);
            ++i;
        } else if (IsHalfWidthKana(c)) {
            out += char(0xA1 + (c - kFirstHalfWidthKana));
            ++i;
        } else {
            const qsizetype start = i;
            while (i < text.size() && !IsMappedDirectly(text[i]))
                ++i;
            out += encoder(text.sliced(start, i - start));
            if (encoder.hasError())
                return std::nullopt;
        }
    }
    return out;
}

} // namespace

bool ShiftJisAvailable()
{
    // Asked of the converter alone: the table of double-byte characters is
    // made from it when text is first read, not at start-up.
    const QByteArray probe = "\x81\x7C\x81\x60\x87\x40\x81\x9D\x90\xBF";
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    const QString text = decoder.isValid() ? QString(decoder(probe)) : QString();
    return !decoder.hasError() && text == u"－～①◎請" && Encode(text) == probe;
}

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
    std::optional<QByteArray> bytes = Encode(text);
    // The converter may fall back to a look-alike (U+2212 for "－"); reading
    // the bytes back must give the very same text.
    if (!bytes || FromShiftJisExact(*bytes) != text)
        return std::nullopt;
    return bytes;
}

} // namespace claims
