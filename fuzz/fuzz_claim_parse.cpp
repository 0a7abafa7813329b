// Reading any claim file, writing the claim back and reading that again.
// Input: the bytes of a claim file.
//
// Whatever a file holds, the fields read from it hold no CR, LF or byte 1A,
// and a "," only in the last field of a line (the header's place, a row's
// March label). Such a claim is written as fifteen clean lines and reads
// back as the very same claim, and writing it again gives the same bytes.

#include "FuzzSupport.h"

#include "claims/ClaimFile.h"

using namespace claims;

namespace {

bool HoldsLineBreak(QByteArrayView text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\x1A');
}

bool FieldIsClean(QByteArrayView text, bool lastOfLine)
{
    return !HoldsLineBreak(text) && (lastOfLine || !text.contains(','));
}

bool ClaimIsClean(const t_sick& header, const TTreatmentTable& table)
{
    for (int i = 0; i < t_sick::FieldCount; ++i) {
        if (!FieldIsClean(header.field(i), i == t_sick::FieldCount - 1))
            return false;
    }
    for (const t_kyufu& row : table.rows) {
        for (int s = 0; s < t_kyufu::SlotCount; ++s) {
            if (!FieldIsClean(row.slot[s], &row.slot[s] == &row.label(t_kyufu::MonthCount)))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    t_sick header;
    TTreatmentTable table;
    ResetClaim(header, table, 2010);
    ParseClaim(bytes, header, table);
    FUZZ_EXPECT(ClaimIsClean(header, table));

    const QByteArray written = FormatClaim(ClaimFileName("1024", 2), "name", "sex", header, table);
    FUZZ_EXPECT(written.count("\r\n") == 15 && written.count('\r') == 15 && written.count('\n') == 15);
    FUZZ_EXPECT(!written.contains('\x1A'));

    t_sick header2;
    TTreatmentTable table2;
    ResetClaim(header2, table2, 1999);   // nothing may come from the reset values
    ParseClaim(written, header2, table2);
    FUZZ_EXPECT(header2 == header);
    FUZZ_EXPECT(table2 == table);
    FUZZ_EXPECT(FormatClaim(ClaimFileName("1024", 2), "name", "sex", header2, table2) == written);
    return 0;
}
