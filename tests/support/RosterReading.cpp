#include "tests/support/RosterReading.h"

#include "files/FileAccess.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"

#include <QDir>

namespace claims {
namespace {

QByteArrayView Trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && uchar(text.front()) <= 0x20)
        text = text.sliced(1);
    while (!text.isEmpty() && uchar(text.back()) <= 0x20)
        text.chop(1);
    return text;
}

// Walks the characters from the line's start: pos starts one when the walk
// lands on it.
bool StartsCharacter(QByteArrayView line, qsizetype pos, RosterEncoding encoding)
{
    if (encoding == RosterEncoding::Utf8)
        return (uchar(line[pos]) & 0xC0) != 0x80;
    qsizetype i = 0;
    while (i < pos)
        i += IsShiftJisLeadByte(uchar(line[i])) ? 2 : 1;
    return i == pos;
}

bool Holds(QByteArrayView line, QByteArrayView key, RosterEncoding encoding)
{
    for (qsizetype hit = line.indexOf(key); hit >= 0; hit = line.indexOf(key, hit + 1)) {
        if (StartsCharacter(line, hit, encoding))
            return true;
    }
    return false;
}

} // namespace

Result<RosterLines> ReadRosterLines(const QString& path)
{
    const Result<QByteArray> file = ReadWholeFile(path);
    if (!file) {
        IoError error = file.error();
        error.message = QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(QDir::toNativeSeparators(path));
        return Failure(std::move(error));
    }
    return RosterLines{SplitRosterText(*file), EncodingOf(*file)};
}

QList<QByteArray> SplitRosterText(QByteArrayView text)
{
    text = TextBefore(WithoutByteOrderMark(text), '\0');
    QList<QByteArray> lines;
    LineReader reader(text);
    while (!reader.AtEnd())
        lines.append(reader.Next().toByteArray());
    return lines;
}

QList<QByteArray> FindRosterLines(const QList<QByteArray>& lines, QByteArrayView searchText,
                                  RosterEncoding encoding)
{
    const QByteArrayView key = Trimmed(searchText);
    QList<QByteArray> found;
    if (key.isEmpty())
        return found;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (Holds(lines[i], key, encoding))
            found.append(lines[i]);
    }
    return found;
}

} // namespace claims
