#include "rosters/RosterFile.h"

#include "files/ByteSearch.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"

#include <QDir>

#include <cstring>
#include <functional>

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

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

// True when `pos` starts a Shift-JIS character, given a character start
// `boundary` at or before it; `boundary` moves to the first character start at or after
// pos. The bytes just before pos that could open a double-byte character are
// counted back (to boundary at most): the byte before them opens none, so
// they pair up from there, and pos starts a character when their count is
// even. Each byte is counted back once at most, however many hits a line has.
bool IsShiftJisCharacterStart(QByteArrayView text, qsizetype pos, qsizetype& boundary)
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

// In UTF-8 every byte tells whether it starts a character: only the bytes
// 80 to BF continue one.
bool IsCharacterStart(QByteArrayView text, qsizetype pos, qsizetype& boundary,
                      RosterEncoding encoding)
{
    if (encoding == RosterEncoding::Utf8)
        return (uchar(text[pos]) & 0xC0) != 0x80;
    return IsShiftJisCharacterStart(text, pos, boundary);
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
        if (IsCharacterStart(text, hit, boundary, found.encoding())) {
            found.append(text.sliced(lineStart, lineEnd - lineStart));
            pos = lineEnd;
        } else {
            pos = hit + 1;
        }
    }
}

// The failure of a roster that cannot be read: "ﾌｧｲﾙ %s は開けません".
Failure Unopenable(const QString& path, const IoResult& cause)
{
    IoError error = cause.error();
    error.message = QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(QDir::toNativeSeparators(path));
    return Failure(std::move(error));
}

qsizetype StartOfSecondLine(QByteArrayView text)
{
    LineReader reader(text);
    reader.Next();
    return reader.Position();
}

// The 令和 era year that an entry-year text names ("令和元年度" is 1,
// "令和8年度" is 8), or 0 when it names none from 1 to 99.
int ReiwaYear(QStringView text)
{
    if (!text.startsWith(u"令和"))
        return 0;
    text = text.sliced(2);
    if (text.startsWith(u'元'))
        return 1;
    int year = 0;
    qsizetype digits = 0;
    for (; digits < text.size() && digits < 3 && text[digits].isDigit(); ++digits)
        year = year * 10 + text[digits].digitValue();
    return digits <= 2 ? year : 0;
}

// The search key for a file of the given encoding.
using KeyFor = std::function<QByteArray(RosterEncoding)>;

Result<FoundLines> SearchRosterFile(const QString& path, const KeyFor& keyFor)
{
    FileReader file(path);
    if (!file.Outcome().has_value())
        return Unopenable(path, file.Outcome());
    FoundLines found;
    found.reserveFor(file.Size());
    QByteArray keyBytes;
    QByteArrayView key;
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
            return Unopenable(path, file.Outcome());
        QByteArrayView data(buffer.constData(), held + n);
        const qsizetype nul = data.sliced(held).indexOf('\0');
        last = n == 0 || nul >= 0;
        if (nul >= 0)
            data = data.first(held + nul);
        const qsizetype done = last ? data.size() : LastLineEnd(data) + 1;
        QByteArrayView lines = data.first(done);
        if (inHeader && done > 0) {
            // The whole header line is at hand, and with it the byte order mark.
            found.setEncoding(EncodingOf(lines));
            keyBytes = keyFor(found.encoding());
            key = SearchKey(keyBytes);
            if (!IsSearchable(key)) {
                found.squeeze();
                return found;
            }
            lines = lines.sliced(qMin(lines.size(), FindLineEnd(lines, 0) + 1));
            inHeader = false;
        }
        if (!inHeader)
            SearchLines(lines, key, found);
        held = data.size() - done;
        std::memmove(buffer.data(), data.data() + done, size_t(held));
    }
    found.squeeze();
    return found;
}

} // namespace

RosterEncoding EncodingOf(QByteArrayView text)
{
    return text.startsWith(kByteOrderMark) ? RosterEncoding::Utf8 : RosterEncoding::ShiftJis;
}

QByteArrayView WithoutByteOrderMark(QByteArrayView text)
{
    return EncodingOf(text) == RosterEncoding::Utf8 ? text.sliced(kByteOrderMark.size()) : text;
}

QString RosterText(QByteArrayView bytes, RosterEncoding encoding)
{
    return encoding == RosterEncoding::Utf8 ? QString::fromUtf8(bytes) : FromShiftJis(bytes);
}

std::optional<QByteArray> RosterBytes(QStringView text, RosterEncoding encoding)
{
    if (encoding == RosterEncoding::Utf8)
        return text.toUtf8();
    return ToShiftJis(text);
}

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
    if (const int reiwa = ReiwaYear(FromShiftJis(entryYear)))
        return workDir + QStringLiteral("/R%1入学.CSV").arg(reiwa, 2, 10, QLatin1Char('0'));
    const QByteArrayView eraYear = entryYear.size() >= 6 ? entryYear.sliced(4, 2) : QByteArrayView();
    return workDir + QStringLiteral("/H") + FromShiftJis(eraYear) + QStringLiteral("入学.CSV");
}

QList<QByteArray> FindRosterLinesInText(QByteArrayView text, QByteArrayView searchText)
{
    const RosterEncoding encoding = EncodingOf(text);
    text = TextBefore(WithoutByteOrderMark(text), '\0');
    const QByteArrayView key = SearchKey(searchText);
    FoundLines found;
    found.setEncoding(encoding);
    if (IsSearchable(key))
        SearchLines(text.sliced(StartOfSecondLine(text)), key, found);
    return found.toList();
}

QByteArrayView FoundLines::at(qsizetype i) const
{
    const qsizetype start = i == 0 ? 0 : ends_[i - 1];
    return QByteArrayView(bytes_ ? bytes_->data() + start : nullptr, ends_[i] - start);
}

QList<QByteArray> FoundLines::toList() const
{
    QList<QByteArray> lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(line(i));
    return lines;
}

// The lines into a new block of that much room (at least what they take).
void FoundLines::moveTo(qsizetype room)
{
    auto moved = std::make_shared<LargeBlock>(qMax(room, used()));
    if (used() > 0)
        std::memcpy(moved->data(), bytes_->data(), size_t(used()));
    bytes_ = std::move(moved);
}

void FoundLines::reserveFor(qsizetype bytes)
{
    if (bytes > room())
        moveTo(bytes);
}

void FoundLines::squeeze()
{
    if (used() < room() / 2)
        moveTo(used());
}

void FoundLines::append(QByteArrayView line)
{
    const qsizetype used = this->used();
    const qsizetype needed = used + line.size();
    if (needed > room() || bytes_.use_count() > 1)
        moveTo(qMax(needed, needed > room() ? 2 * room() : room()));
    if (!line.isEmpty())
        std::memcpy(bytes_->data() + used, line.data(), size_t(line.size()));
    ends_.append(needed);
}

Result<FoundLines> FindRosterLinesInFile(const QString& path, QByteArrayView searchText)
{
    return SearchRosterFile(path, [&](RosterEncoding) { return searchText.toByteArray(); });
}

Result<FoundLines> FindTextInRosterFile(const QString& path, QStringView searchText)
{
    return SearchRosterFile(path, [&](RosterEncoding encoding) {
        return RosterBytes(searchText, encoding).value_or(QByteArray());
    });
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
