// A claim made of any texts, written and read back; and the names of the
// files of any student ID.
// Input: the texts separated by bytes FF: the student ID, the occurrence (its
// first byte), name, sex, the ten header fields and the 13 x 25 slots of the
// table row by row; texts the input does not reach are empty.
//
// The claim reads back the same exactly when no header or table text holds
// CR, LF or byte 1A and only the last field of a line holds a ",": a text
// that breaks these rules cannot come back, since no text read from a file
// holds such bytes there. The first line is never read back, but a line
// break in it would shift every line after it. The check of the save must
// let through only texts that come back.

#include "FuzzSupport.h"

#include "claims/ClaimFile.h"

using namespace claims;

namespace {

const char kSeparator = '\xFF';
const QString kWorkDir = QStringLiteral("/nonexistent-kiboru-fuzz");

bool HoldsLineBreak(QByteArrayView text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\x1A');
}

bool FieldIsClean(QByteArrayView text, bool lastOfLine)
{
    return !HoldsLineBreak(text) && (lastOfLine || !text.contains(','));
}

bool HeaderIsClean(const t_sick& header)
{
    for (int i = 0; i < t_sick::FieldCount; ++i) {
        if (!FieldIsClean(header.field(i), i == t_sick::FieldCount - 1))
            return false;
    }
    return true;
}

bool TableIsClean(const TTreatmentTable& table)
{
    for (const t_kyufu& row : table.rows) {
        for (int s = 0; s < t_kyufu::SlotCount; ++s) {
            if (!FieldIsClean(row.slot[s], &row.slot[s] == &row.label(t_kyufu::MonthCount)))
                return false;
        }
    }
    return true;
}

// A usable ID names a file right inside seikyu, whose occurrence reads back.
void CheckFileNames(QByteArrayView id)
{
    if (!IsUsableStudentId(id)) {
        FUZZ_EXPECT(ClaimFilePath(kWorkDir, id, 1).isEmpty());
        FUZZ_EXPECT(ListClaimFiles(kWorkDir, id).isEmpty());
        return;
    }
    FUZZ_EXPECT(!HoldsLineBreak(ClaimFileName(id, 1)));
    for (int n = 1; n <= 8; ++n) {
        const QString path = ClaimFilePath(kWorkDir, id, n);
        const QString folder = kWorkDir + QStringLiteral("/seikyu/");
        FUZZ_EXPECT(path.startsWith(folder));
        const QString name = path.mid(folder.size());
        FUZZ_EXPECT(!name.contains(u'/') && name != u"." && name != u"..");
        FUZZ_EXPECT(OccurrenceOfClaimFile(name, id) == n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputReader input(data, size);
    const QByteArrayView id = input.Until(kSeparator);
    const QByteArrayView number = input.Until(kSeparator);
    const int occurrence = number.isEmpty() ? 1 : 1 + uchar(number[0]) % 8;
    const QByteArrayView name = input.Until(kSeparator);
    const QByteArrayView sex = input.Until(kSeparator);
    t_sick header;
    for (int i = 0; i < t_sick::FieldCount; ++i)
        header.field(i) = input.Until(kSeparator).toByteArray();
    TTreatmentTable table;
    for (t_kyufu& row : table.rows) {
        for (QByteArray& slot : row.slot)
            slot = input.Until(kSeparator).toByteArray();
    }

    CheckFileNames(id);
    const QByteArray fileName = ClaimFileName(id, occurrence);
    const QByteArray written = FormatClaim(fileName, name, sex, header, table);
    t_sick header2;
    TTreatmentTable table2;
    ResetClaim(header2, table2, 2010);
    ParseClaim(written, header2, table2);
    const bool same = header2 == header && table2 == table;

    const bool clean = HeaderIsClean(header) && TableIsClean(table);
    const bool firstLineClean = !HoldsLineBreak(fileName) && !HoldsLineBreak(name) && !HoldsLineBreak(sex);
    if (!clean)
        FUZZ_EXPECT(!same);
    if (clean && firstLineClean)
        FUZZ_EXPECT(same);
    if (IsUsableStudentId(id) && FieldThatCorrupts(name, sex, header) < 0 && TableIsClean(table))
        FUZZ_EXPECT(same);
    return 0;
}
