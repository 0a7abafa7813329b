#include "claims/ShiftJis.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

// ASCII and half-width katakana are mapped here: the converter swaps a few
// control codes (1A, 1C, 7F), which Windows keeps as they are. Only runs of
// double-byte characters go through the converter.
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

QString Decode(QByteArrayView bytes, bool& clean)
{
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80) {
            out += QChar(b);
            ++i;
        } else if (IsHalfWidthKanaByte(b)) {
            out += QChar(char16_t(kFirstHalfWidthKana + (b - 0xA1)));
            ++i;
        } else if (StartsDoubleByte(bytes, i)) {
            const qsizetype start = i;
            while (StartsDoubleByte(bytes, i))
                i += 2;
            AppendDoubleBytes(decoder, bytes.sliced(start, i - start), out, clean);
        } else {
            out += QChar(kReplacement);
            clean = false;
            ++i;
        }
    }
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
    if (!QStringDecoder(kCodecName).isValid() || !QStringEncoder(kCodecName).isValid())
        return false;
    const QString probe = FromShiftJis("\x81\x7C\x81\x60\x87\x40\x81\x9D\x90\xBF");
    return probe == u"－～①◎請" && ToShiftJis(probe).has_value();
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
