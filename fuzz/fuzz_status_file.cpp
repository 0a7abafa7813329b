// Reading any status file and writing it back.
// Input: the bytes of a file in the folder 請求状況.
//
// Whatever a file holds, reading it never crashes and names the file in each
// problem it reports. What was read, once written, reads back as the same
// months, unknown columns and kept lines, and writing that again gives the
// same bytes.

#include "FuzzSupport.h"

#include "claimstatus/StatusFile.h"

using namespace claims;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = QStringLiteral("請1024-2.CSV");
    const StatusFile file = ParseStatusFile(bytes, name);
    for (const QString& problem : file.problems)
        FUZZ_EXPECT(problem.contains(name));

    const std::optional<QByteArray> written = FormatStatusFile(file);
    if (!written)
        return 0;   // a note Shift-JIS cannot hold is refused, not written
    const StatusFile again = ParseStatusFile(*written, name);
    FUZZ_EXPECT(again.months == file.months);
    FUZZ_EXPECT(again.extraColumns == file.extraColumns);
    FUZZ_EXPECT(again.keptLines == file.keptLines);
    FUZZ_EXPECT(FormatStatusFile(again) == written);
    return 0;
}
