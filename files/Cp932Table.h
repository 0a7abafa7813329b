#pragma once
// The double-byte characters of Windows code page 932, as the Windows
// programs that make rosters read and write them. Cp932Table.cpp is made by
// tools/make_cp932_table.py.

#include <cstddef>
#include <cstdint>

namespace claims::cp932 {

constexpr int kLeadCount = 60;        // 81 to 9F, E0 to FC
constexpr int kFirstTrail = 0x40;
constexpr int kTrailCount = 0xFC - kFirstTrail + 1;

// The character of each code, 0 where the code holds none. Indexed by
// CodeIndex.
extern const char16_t kCharacters[kLeadCount * kTrailCount];

// Codes that read as a character that Windows writes with another code
// (NEC row 13 and NEC-selected duplicates), in ascending order.
extern const std::uint16_t kReadOnly[];
extern const std::size_t kReadOnlyCount;

// Position in kCharacters of a lead byte and a byte from 40 to FC.
constexpr int CodeIndex(unsigned char lead, unsigned char trail)
{
    return (lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 31) * kTrailCount + (trail - kFirstTrail);
}

} // namespace claims::cp932
