#include "files/ByteSearch.h"

#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace claims {
namespace {

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

// Sixteen bytes at a time from p on: the first line end, or where fewer than
// sixteen bytes are left.
const char* SkipToLineEnd(const char* p, const char* end)
{
    for (; end - p >= 16; p += 16) {
        if (const unsigned mask = LineEndMask(p))
            return p + std::countr_zero(mask);
    }
    return p;
}

// Sixteen bytes at a time back from p: just after the last line end, or
// where fewer than sixteen bytes are left before p.
const char* SkipBackToLineEnd(const char* begin, const char* p)
{
    for (; p - begin >= 16; p -= 16) {
        if (const unsigned mask = LineEndMask(p - 16))
            return p - 16 + (31 - std::countl_zero(mask)) + 1;
    }
    return p;
}

// Sixteen places at a time from p on: a place is a candidate when it holds
// the key's first byte and the key's last byte stands where it should; only
// candidates are compared in full. The key's place, or nullptr with p moved
// to where too few bytes are left for sixteen places.
const char* FindBySixteen(const char*& p, const char* end, QByteArrayView key)
{
    const qsizetype n = key.size();
    if (n < 2)
        return nullptr;
    const __m128i first = _mm_set1_epi8(key[0]);
    const __m128i last = _mm_set1_epi8(key[n - 1]);
    for (; end - p >= n - 1 + 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        for (; mask != 0; mask &= mask - 1) {
            const char* candidate = p + std::countr_zero(mask);
            if (std::memcmp(candidate + 1, key.data() + 1, size_t(n - 2)) == 0)
                return candidate;
        }
    }
    return nullptr;
}
#else
// Without SSE2 the byte-by-byte loops below do all the work.
const char* SkipToLineEnd(const char* p, const char*) { return p; }
const char* SkipBackToLineEnd(const char*, const char* p) { return p; }
const char* FindBySixteen(const char*&, const char*, QByteArrayView) { return nullptr; }
#endif

} // namespace

qsizetype FindLineEnd(QByteArrayView text, qsizetype from)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = SkipToLineEnd(begin + from, end);
    while (p < end && !IsLineEnd(*p))
        ++p;
    return p - begin;
}

qsizetype FindLineStart(QByteArrayView text, qsizetype pos)
{
    const char* const begin = text.data();
    const char* p = SkipBackToLineEnd(begin, begin + pos);
    while (p > begin && !IsLineEnd(p[-1]))
        --p;
    return p - begin;
}

qsizetype FindBytes(QByteArrayView text, qsizetype from, QByteArrayView key)
{
    const char* p = text.data() + from;
    const char* const end = text.data() + text.size();
    if (const char* found = FindBySixteen(p, end, key))
        return found - text.data();
    // What is left: a single byte anywhere, or a longer key in the last few
    // bytes (with SSE2) or the whole text (without).
    if (key.size() == 1) {
        const void* hit = std::memchr(p, key[0], size_t(end - p));
        return hit ? static_cast<const char*>(hit) - text.data() : -1;
    }
    const qsizetype at = QByteArrayView(p, end - p).indexOf(key);
    return at < 0 ? -1 : p - text.data() + at;
}

} // namespace claims
