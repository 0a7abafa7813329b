// Cutting a roster text into lines and fields, and the search by reading.
// Input: one byte n, n bytes of search text, then the roster text (UTF-8
// when it begins with EF BB BF, Shift-JIS otherwise). Every answer is compared with a plain, slow reading of the same rules.

#include "FuzzSupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"
#include "files/ShiftJis.h"

#include <QList>

using namespace claims;

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool IsUtf8(QByteArrayView text) { return text.startsWith("\xEF\xBB\xBF"); }

// Lines end at CR LF, CR or LF; a NUL byte ends the text; a byte order mark
// is no part of the first line.
QList<QByteArray> PlainLines(QByteArrayView text)
{
    if (IsUtf8(text))
        text = text.sliced(3);
    QList<QByteArray> lines;
    QByteArray line;
    qsizetype i = 0;
    for (; i < text.size() && text[i] != '\0'; ++i) {
        if (!IsLineEnd(text[i])) {
            line += text[i];
            continue;
        }
        lines.append(line);
        line.clear();
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

QByteArrayView PlainKey(QByteArrayView text)
{
    while (!text.isEmpty() && uchar(text.front()) <= 0x20)
        text = text.sliced(1);
    while (!text.isEmpty() && uchar(text.back()) <= 0x20)
        text.chop(1);
    return text;
}

// Whether key stands in line at a place where a character begins: in
// Shift-JIS a lead byte takes the next byte along; in UTF-8 the bytes 80 to
// BF continue a character.
bool PlainHolds(QByteArrayView line, QByteArrayView key, bool utf8)
{
    qsizetype start = 0;
    while (start + key.size() <= line.size()) {
        const uchar b = uchar(line[start]);
        const bool begins = !utf8 || b < 0x80 || b > 0xBF;
        if (begins && line.sliced(start).startsWith(key))
            return true;
        start += !utf8 && IsShiftJisLeadByte(b) ? 2 : 1;
    }
    return false;
}

QList<QByteArray> PlainSearch(const QList<QByteArray>& lines, QByteArrayView searchText, bool utf8)
{
    const QByteArrayView key = PlainKey(searchText);
    QList<QByteArray> found;
    for (qsizetype i = 1; i < lines.size() && !key.isEmpty(); ++i) {
        if (PlainHolds(lines[i], key, utf8))
            found.append(lines[i]);
    }
    return found;
}

TStudentRecord PlainFields(QByteArrayView line)
{
    TStudentRecord record;
    qsizetype pos = 0;
    bool runOut = false;
    for (int i = 0; i < TStudentRecord::FieldCount - 1; ++i) {
        const qsizetype comma = runOut ? -1 : line.indexOf(',', pos);
        if (comma < 0) {
            runOut = true;
            continue;
        }
        record.field(i) = comma == pos ? QByteArray(" ") : line.sliced(pos, comma - pos).toByteArray();
        pos = comma + 1;
    }
    record.Address = runOut ? QByteArray() : line.sliced(pos).toByteArray();
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputReader input(data, size);
    const QByteArrayView searchText = input.Bytes(input.Byte());
    const QByteArrayView text = input.Rest();

    const QList<QByteArray> lines = SplitRosterText(text);
    FUZZ_EXPECT(lines == PlainLines(text));

    const bool utf8 = IsUtf8(text);
    const QList<QByteArray> found = PlainSearch(lines, searchText, utf8);
    FUZZ_EXPECT(FindRosterLines(lines, searchText, EncodingOf(text)) == found);
    FUZZ_EXPECT(FindRosterLinesInText(text, searchText) == found);

    for (const QByteArray& line : lines)
        FUZZ_EXPECT(SplitRosterLine(line) == PlainFields(line));
    return 0;
}
