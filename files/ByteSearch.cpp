#include "files/ByteSearch.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace claims {
namespace {

qsizetype FindWithLibrary(const char* text, const char* begin, const char* end, QByteArrayView key)
{
#ifdef Q_OS_WIN
    // No memmem there; Qt's own search is the next fastest.
    const qsizetype at = QByteArrayView(begin, end - begin).indexOf(key);
    return at < 0 ? -1 : begin - text + at;
#else
    const void* hit = key.size() == 1 ? std::memchr(begin, key[0], size_t(end - begin))
                                      : ::memmem(begin, size_t(end - begin), key.data(), size_t(key.size()));
    return hit ? static_cast<const char*>(hit) - text : -1;
#endif
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

#ifdef __SSE2__
// A bit for each of the sixteen bytes at p that is a CR or an LF.
unsigned LineEndMask(const char* p)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    return unsigned(_mm_movemask_epi8(ends));
}
#endif

} // namespace

qsizetype FindLineEnd(QByteArrayView text, qsizetype from)
{
    const char* const begin = text.data();
    const char* p = begin + from;
    const char* const end = begin + text.size();
#ifdef __SSE2__
    for (; end - p >= 16; p += 16) {
        if (const unsigned mask = LineEndMask(p))
            return p - begin + __builtin_ctz(mask);
    }
#endif
    while (p < end && !IsLineEnd(*p))
        ++p;
    return p - begin;
}

qsizetype FindLineStart(QByteArrayView text, qsizetype pos)
{
    const char* const begin = text.data();
    const char* p = begin + pos;
#ifdef __SSE2__
    for (; p - begin >= 16; p -= 16) {
        if (const unsigned mask = LineEndMask(p - 16))
            return p - 16 - begin + (31 - __builtin_clz(mask)) + 1;
    }
#endif
    while (p > begin && !IsLineEnd(p[-1]))
        --p;
    return p - begin;
}

qsizetype FindBytes(QByteArrayView text, qsizetype from, QByteArrayView key)
{
    const char* p = text.data() + from;
    const char* const end = text.data() + text.size();
    const qsizetype n = key.size();
#ifdef __SSE2__
    // Sixteen places at a time: a place is a candidate when it holds the
    // key's first byte and the key's last byte stands where it should; only
    // candidates are compared in full.
    if (n >= 2) {
        const __m128i first = _mm_set1_epi8(key[0]);
        const __m128i last = _mm_set1_epi8(key[n - 1]);
        for (; end - p >= n - 1 + 16; p += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 1));
            unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
            for (; mask != 0; mask &= mask - 1) {
                const char* candidate = p + __builtin_ctz(mask);
                if (std::memcmp(candidate + 1, key.data() + 1, size_t(n - 2)) == 0)
                    return candidate - text.data();
            }
        }
    }
#endif
    return FindWithLibrary(text.data(), p, end, key);
}

} // namespace claims
