// Reading a whole roster file, and the search that reads it piece by piece.
// Input: one byte n, n bytes of search text, two bytes a and b, then the
// roster text. The file is a header line of bytes "#" followed by the text:
// when a is a multiple of 4, 65,280 + 2b of them, so that small inputs reach
// across the end of the reader's first 64 KiB piece (or make it grow);
// otherwise b of them, which keeps most runs quick; with b = 0 the text may
// begin with the UTF-8 byte order mark. The file must read exactly as the
// same text held in memory.

#include "FuzzSupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"

using namespace claims;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    fuzz::InputReader input(data, size);
    const QByteArrayView searchText = input.Bytes(input.Byte());
    const unsigned a = input.Byte();
    const unsigned b = input.Byte();
    const unsigned padding = a % 4 == 0 ? 65'280 + 2 * b : b;
    const QByteArray text = QByteArray(padding, '#') + input.Rest().toByteArray();
    file.Fill(text);

    const Result<RosterLines> read = ReadRosterLines(file.Path());
    FUZZ_EXPECT(read.has_value());
    FUZZ_EXPECT(read->lines == SplitRosterText(text));
    FUZZ_EXPECT(read->encoding == EncodingOf(text));

    const QList<QByteArray> found = FindRosterLinesInText(text, searchText);
    FUZZ_EXPECT(FindRosterLines(read->lines, searchText, read->encoding) == found);
    const Result<FoundLines> fromFile = FindRosterLinesInFile(file.Path(), searchText);
    FUZZ_EXPECT(fromFile.has_value());
    FUZZ_EXPECT(fromFile->toList() == found);
    FUZZ_EXPECT(fromFile->encoding() == read->encoding);
    return 0;
}
