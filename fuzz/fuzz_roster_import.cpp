// Reading any export of a student system and making a roster of it.
// Input: the bytes of the exported file.
//
// Whatever a file holds, every row is either written or named as a problem;
// the roster written is Shift-JIS with the header line and one line a
// student, each of exactly twelve fields, and every reading in it holds no
// katakana that has a hiragana.

#include "FuzzSupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"
#include "rosters/RosterImport.h"
#include "files/ShiftJis.h"

using namespace claims;

namespace {

bool HasKatakanaLeft(QStringView reading)
{
    return std::any_of(reading.begin(), reading.end(), [](QChar c) {
        return (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F3) || (c.unicode() >= 0xFF66 && c.unicode() <= 0xFF9D);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ExportTable table = ReadExport(bytes);
    const ImportedRoster roster = BuildImportedRoster(table, GuessColumns(table));
    FUZZ_EXPECT(roster.lines.size() + roster.problemLines == table.rows.size());
    FUZZ_EXPECT((roster.problemLines == 0) == roster.problems.isEmpty());

    const QByteArray written = ImportedRosterBytes(roster);
    const QList<QByteArray> lines = SplitRosterText(written);
    FUZZ_EXPECT(lines.size() == roster.lines.size() + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        FUZZ_EXPECT(lines[i].count(',') == TStudentRecord::FieldCount - 1);
        FUZZ_EXPECT(!lines[i].contains('\0'));
        const std::optional<QString> text = FromShiftJisExact(lines[i]);
        FUZZ_EXPECT(text && *text == roster.lines[i - 1]);
        FUZZ_EXPECT(!HasKatakanaLeft(FromShiftJis(SplitRosterLine(lines[i]).Furigana)));
    }
    return 0;
}
