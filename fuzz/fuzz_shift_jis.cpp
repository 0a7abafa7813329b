// Shift-JIS text both ways. Input: bytes to decode, and the same bytes read
// as UTF-16 code units to encode.
//
// Decoding never fails and never grows the text; it is exact precisely when
// no replacement mark shows. Exactly decoded text can always be written
// back, reads back the same, and its bytes are then a fixed point.

#include "FuzzSupport.h"

#include "files/ShiftJis.h"

#include <algorithm>
#include <cstring>
#include <exception>

using namespace claims;

namespace {

constexpr QChar kReplacement(0xFFFD);

bool IsDirectlyMapped(QChar c)
{
    return c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
}

void CheckDecoding(QByteArrayView bytes)
{
    const QString shown = FromShiftJis(bytes);
    FUZZ_EXPECT(shown.size() <= bytes.size());
    const std::optional<QString> exact = FromShiftJisExact(bytes);
    FUZZ_EXPECT(exact.has_value() == !shown.contains(kReplacement));
    if (!exact)
        return;
    FUZZ_EXPECT(*exact == shown);
    const std::optional<QByteArray> back = ToShiftJis(shown);
    FUZZ_EXPECT(back.has_value());
    FUZZ_EXPECT(FromShiftJisExact(*back) == shown);
    FUZZ_EXPECT(ToShiftJis(FromShiftJis(*back)) == back);
    if (std::all_of(shown.begin(), shown.end(), IsDirectlyMapped))
        FUZZ_EXPECT(*back == bytes);
}

void CheckEncoding(QStringView text)
{
    const std::optional<QByteArray> bytes = ToShiftJis(text);
    if (std::all_of(text.begin(), text.end(), IsDirectlyMapped))
        FUZZ_EXPECT(bytes && bytes->size() == text.size());
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }))
        FUZZ_EXPECT(!bytes);
    if (bytes)
        FUZZ_EXPECT(FromShiftJisExact(*bytes) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        CheckDecoding(bytes);
        QString units(bytes.size() / 2, Qt::Uninitialized);   // taken as they are, lone surrogates too
        std::memcpy(units.data(), bytes.data(), size_t(units.size()) * 2);
        CheckEncoding(units);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "threw: %s\n", e.what());
        std::abort();
    } catch (...) {
        std::fprintf(stderr, "threw\n");
        std::abort();
    }
    return 0;
}
