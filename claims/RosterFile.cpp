#include "claims/RosterFile.h"

#include "claims/ByteSearch.h"
#include "claims/LineReader.h"
#include "claims/ShiftJis.h"

#include <QDir>

#include <cstring>

namespace claims {
namespace {

using StudentField = QByteArray TStudentRecord::*;
constexpr StudentField kStudentFields[TStudentRecord::FieldCount] = {
    &TStudentRecord::Id,       &TStudentRecord::Class3,   &TStudentRecord::Class2,
    &TStudentRecord::Class1,   &TStudentRecord::Name,     &TStudentRecord::Furigana,
    &TStudentRecord::Guardian, &TStudentRecord::JuniorHighSchool, &TStudentRecord::Sex,
    &TStudentRecord::Course,   &TStudentRecord::BirthDate, &TStudentRecord::Address,
};

QByteArrayView SearchKey(QByteArrayView searchText)
{
    qsizetype begin = 0;
    qsizetype end = searchText.size();
    while (begin < end && uchar(searchText[begin]) <= 0x20)
        ++begin;
    while (end > begin && uchar(searchText[end - 1]) <= 0x20)
        --end;
    return searchText.sliced(begin, end - begin);
}

// True when `pos` starts a character, given a character start `boundary`
// at or before it; `boundary` moves to the first character start at or after
// pos. The bytes just before pos that could open a double-byte character are
// counted back (to boundary at most): the byte before them opens none, so
// they pair up from there, and pos starts a character when their count is
// even. Each byte is counted back once at most, however many hits a line has.
bool IsCharacterStart(QByteArrayView text, qsizetype pos, qsizetype& boundary)
{
    if (pos < boundary)
        return false;
    qsizetype run = pos;
    while (run > boundary && IsShiftJisLeadByte(uchar(text[run - 1])))
        --run;
    const bool start = (pos - run) % 2 == 0;
    boundary = start ? pos : pos + 1;
    return start;
}

bool LineHolds(QByteArrayView line, QByteArrayView key)
{
    qsizetype boundary = 0;
    for (qsizetype hit = FindBytes(line, 0, key); hit >= 0; hit = FindBytes(line, hit + 1, key)) {
        if (IsCharacterStart(line, hit, boundary))
            return true;
    }
    return false;
}

// The position of the last line end in text, or -1.
qsizetype LastLineEnd(QByteArrayView text)
{
    return FindLineStart(text, text.size()) - 1;
}

// A key never matches across a line end, since it holds none.
bool IsSearchable(QByteArrayView key)
{
    return !key.isEmpty() && !key.contains('\r') && !key.contains('\n') && !key.contains('\0');
}

// Adds every line of text that holds key. The whole text is searched at
// once; only a hit is traced back to the start of its line, from where the
// characters are counted.
void SearchLines(QByteArrayView text, QByteArrayView key, FoundLines& found)
{
    qsizetype pos = 0;
    qsizetype lineStart = 0;
    qsizetype lineEnd = -1;
    qsizetype boundary = 0;
    for (qsizetype hit; (hit = FindBytes(text, pos, key)) >= 0;) {
        if (hit > lineEnd) {   // the first hit in this line
            lineStart = FindLineStart(text, hit);
            lineEnd = FindLineEnd(text, hit);
            boundary = lineStart;
        }
        if (IsCharacterStart(text, hit, boundary)) {
            found.append(text.sliced(lineStart, lineEnd - lineStart));
            pos = lineEnd;
        } else {
            pos = hit + 1;
        }
    }
}

IoResult Unopenable(const QString& path, const IoResult& cause)
{
    IoResult result;
    result.code = cause.code;
    result.message = QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(QDir::toNativeSeparators(path));
    return result;
}

qsizetype StartOfSecondLine(QByteArrayView text)
{
    LineReader reader(text);
    reader.Next();
    return reader.Position();
}

} // namespace

QByteArray& TStudentRecord::field(int i)
{
    Q_ASSERT(i >= 0 && i < FieldCount);
    return this->*kStudentFields[i];
}

const QByteArray& TStudentRecord::field(int i) const
{
    Q_ASSERT(i >= 0 && i < FieldCount);
    return this->*kStudentFields[i];
}

QString BuildRosterPath(const QString& workDir, QByteArrayView entryYear)
{
    const QByteArrayView eraYear = entryYear.size() >= 6 ? entryYear.sliced(4, 2) : QByteArrayView();
    return workDir + QStringLiteral("/H") + FromShiftJis(eraYear) + QStringLiteral("入学.CSV");
}

RosterLines ReadRosterLines(const QString& path)
{
    const FileBytes file = ReadWholeFile(path);
    if (!file.result.ok())
        return {{}, Unopenable(path, file.result)};
    RosterLines roster;
    roster.lines = SplitRosterText(file.bytes);
    return roster;
}

QList<QByteArray> SplitRosterText(QByteArrayView text)
{
    text = TextBefore(text, '\0');
    QList<QByteArray> lines;
    LineReader reader(text);
    while (!reader.AtEnd())
        lines.append(reader.Next().toByteArray());
    return lines;
}

QList<QByteArray> FindRosterLines(const QList<QByteArray>& lines, QByteArrayView searchText)
{
    const QByteArrayView key = SearchKey(searchText);
    QList<QByteArray> found;
    if (key.isEmpty())
        return found;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (LineHolds(lines[i], key))
            found.append(lines[i]);
    }
    return found;
}

QList<QByteArray> FindRosterLinesInText(QByteArrayView text, QByteArrayView searchText)
{
    text = TextBefore(text, '\0');
    const QByteArrayView key = SearchKey(searchText);
    FoundLines found;
    if (IsSearchable(key))
        SearchLines(text.sliced(StartOfSecondLine(text)), key, found);
    return found.toList();
}

QByteArrayView FoundLines::at(qsizetype i) const
{
    const qsizetype start = i == 0 ? 0 : ends_[i - 1];
    return QByteArrayView(bytes_).sliced(start, ends_[i] - start);
}

QList<QByteArray> FoundLines::toList() const
{
    QList<QByteArray> lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(line(i));
    return lines;
}

void FoundLines::append(QByteArrayView line)
{
    bytes_.append(line);
    ends_.append(bytes_.size());
}

RosterSearch FindRosterLinesInFile(const QString& path, QByteArrayView searchText)
{
    FileReader file(path);
    if (!file.Result().ok())
        return {{}, Unopenable(path, file.Result())};
    RosterSearch roster;
    const QByteArrayView key = SearchKey(searchText);
    if (!IsSearchable(key))
        return roster;
    // Small pieces stay in the processor's cache; a line that does not fit
    // makes the buffer grow.
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qsizetype held = 0;        // the unfinished last line of the piece before
    bool inHeader = true;
    for (bool last = false; !last;) {
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qsizetype n = file.Read(buffer.data() + held, buffer.size() - held);
        if (n < 0)
            return {{}, Unopenable(path, file.Result())};
        QByteArrayView data(buffer.constData(), held + n);
        const qsizetype nul = data.sliced(held).indexOf('\0');
        last = n == 0 || nul >= 0;
        if (nul >= 0)
            data = data.first(held + nul);
        const qsizetype done = last ? data.size() : LastLineEnd(data) + 1;
        QByteArrayView lines = data.first(done);
        if (inHeader && done > 0) {
            lines = lines.sliced(qMin(lines.size(), FindLineEnd(lines, 0) + 1));
            inHeader = false;
        }
        SearchLines(lines, key, roster.lines);
        held = data.size() - done;
        std::memmove(buffer.data(), data.data() + done, size_t(held));
    }
    return roster;
}

TStudentRecord SplitRosterLine(QByteArrayView line)
{
    TStudentRecord record;
    QByteArrayView rest = line;
    for (int i = 0; i < TStudentRecord::FieldCount - 1; ++i) {
        const qsizetype comma = rest.indexOf(',');
        if (comma < 0) {
            rest = QByteArrayView();
            continue;
        }
        record.field(i) = comma == 0 ? QByteArray(" ") : rest.first(comma).toByteArray();
        rest = rest.sliced(comma + 1);
    }
    record.Address = rest.toByteArray();
    return record;
}

} // namespace claims
