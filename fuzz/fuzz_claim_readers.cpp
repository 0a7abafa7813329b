// The two readers of claim files on the same bytes: the full reader of the
// entry window (ParseClaim) and the claim listing's reader, which keeps only
// what the deadline list shows. Input: the bytes of a claim file.
//
// Whatever a file holds, the listing reads the same injury date, injury and
// treated months as the full reader, and line 1's second field as the name.

#include "FuzzSupport.h"

#include "claims/ClaimFile.h"
#include "claimstatus/ClaimList.h"
#include "files/ShiftJis.h"

using namespace claims;

namespace {

QString Trimmed(QByteArrayView field)
{
    return FromShiftJis(field).trimmed();
}

// Line 1's second field, read without the readers' line and field cutting.
QString NameOnFirstLine(QByteArray bytes)
{
    bytes.truncate(bytes.indexOf('\x1A') < 0 ? bytes.size() : bytes.indexOf('\x1A'));
    for (const char end : {'\r', '\n'}) {
        if (bytes.contains(end))
            bytes.truncate(bytes.indexOf(end));
    }
    const QList<QByteArray> fields = bytes.split(',');
    return fields.size() < 2 ? QString() : Trimmed(fields[1]);
}

QString InjuryDateOf(const t_sick& header)
{
    const QString y = Trimmed(header.year);
    return y.isEmpty() ? QString() : y + u'/' + Trimmed(header.month) + u'/' + Trimmed(header.day);
}

// What the full reader makes of the bytes: the header and the table.
struct FullClaim {
    t_sick header;
    TTreatmentTable table;
};

FullClaim ReadFully(QByteArrayView bytes)
{
    FullClaim claim;
    ResetClaim(claim.header, claim.table, 2010);
    ParseClaim(bytes, claim.header, claim.table);
    return claim;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const FullClaim full = ReadFully(bytes);
    ClaimOverview overview;
    ReadClaimOverviewText(bytes, overview);
    FUZZ_EXPECT(overview.treated == TreatedMonths(full.table));
    FUZZ_EXPECT(overview.injury == Trimmed(full.header.injury));
    FUZZ_EXPECT(overview.bodyPart == Trimmed(full.header.body_part));
    FUZZ_EXPECT(overview.situation == Trimmed(full.header.situation));
    FUZZ_EXPECT(overview.club == Trimmed(full.header.club));
    FUZZ_EXPECT(overview.place == Trimmed(full.header.place));
    FUZZ_EXPECT(overview.injuryDate == InjuryDateOf(full.header));
    FUZZ_EXPECT(overview.name == NameOnFirstLine(bytes.toByteArray()));
    return 0;
}
