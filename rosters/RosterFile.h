#pragma once
// The student roster of one entry year: "H" or "R" + two-digit era year +
// "入学.CSV" in the working folder. A header line, then one student a line in
// twelve comma-separated fields. The program only reads it. A roster is
// Shift-JIS, or UTF-8 when it begins with the UTF-8 byte order mark (as
// Excel's "CSV UTF-8" saves it); the mark is not part of the header line.

#include "files/FileAccess.h"
#include "store/FileNames.h"
#include "files/IoResult.h"
#include "files/LargePages.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

namespace claims {

enum class RosterEncoding { ShiftJis, Utf8 };

// Utf8 when text begins with the byte order mark EF BB BF.
RosterEncoding EncodingOf(QByteArrayView text);

// The text without its byte order mark, if it begins with one.
QByteArrayView WithoutByteOrderMark(QByteArrayView text);

// Roster bytes as text; bytes that form no character show as U+FFFD.
QString RosterText(QByteArrayView bytes, RosterEncoding encoding);

// A text as roster bytes; std::nullopt when the encoding cannot hold it.
std::optional<QByteArray> RosterBytes(QStringView text, RosterEncoding encoding);

struct TStudentRecord {
    static constexpr int FieldCount = 12;

    QByteArray Id, Class3, Class2, Class1, Name, Furigana, Guardian, JuniorHighSchool, Sex,
        Course, BirthDate, Address;

    QByteArray& field(int i);              // i = 0 .. 11 in the order above
    const QByteArray& field(int i) const;
    bool operator==(const TStudentRecord&) const = default;
};

// workDir + "/R" + two-digit era year + "入学.CSV" for a 令和 entry year
// ("令和元年度" and "令和1年度" give R01); for any other text workDir + "/H" +
// its 5th and 6th Shift-JIS byte + "入学.CSV", the era year being empty for a
// text shorter than six bytes.
QString BuildRosterPath(const QString& workDir, QByteArrayView entryYear);

// The student lines (the header line is never looked at) that hold the search
// text, trimmed of bytes 00 to 20 at both ends, as a run of whole characters
// of the text's own encoding: a match never begins inside a character. An
// empty key finds nothing. The search of FindRosterLinesInFile over a text in
// memory, without cutting it into lines first.
QList<QByteArray> FindRosterLinesInText(QByteArrayView text, QByteArrayView searchText);

// Lines that a search found, kept one after another in one block of bytes:
// a search may find every line of a large roster, and a block of memory for
// each line made such a search twice as slow.
class FoundLines {
public:
    qsizetype size() const { return ends_.size(); }
    bool isEmpty() const { return ends_.isEmpty(); }
    QByteArrayView at(qsizetype i) const;   // valid while this object lives unchanged
    QByteArray line(qsizetype i) const { return at(i).toByteArray(); }
    QList<QByteArray> toList() const;
    void append(QByteArrayView line);
    // Room for the lines of a search through that many bytes, taken at once:
    // a block grown line by line is copied into new memory at each step. A
    // large block is taken in large pages where the system has them.
    void reserveFor(qsizetype bytes);
    // Gives back the room that the lines did not take, when they took less
    // than half of it (a copy of a few lines is quick; one of a whole
    // roster is not).
    void squeeze();

    // The lines' encoding, and line i as text.
    RosterEncoding encoding() const { return encoding_; }
    void setEncoding(RosterEncoding encoding) { encoding_ = encoding; }
    QString text(qsizetype i) const { return RosterText(at(i), encoding_); }

private:
    qsizetype used() const { return ends_.isEmpty() ? 0 : ends_.last(); }
    qsizetype room() const { return bytes_ ? bytes_->size() : 0; }
    void moveTo(qsizetype room);

    RosterEncoding encoding_ = RosterEncoding::ShiftJis;
    // The lines' bytes, shared by copies of these lines until one of them
    // appends; null until room is taken.
    std::shared_ptr<LargeBlock> bytes_;
    QList<qsizetype> ends_;   // where each line ends in bytes_
};

// The same search straight from the file, read piece by piece: the quick way
// through a large file. The search text's bytes are taken as they stand,
// whatever the file's encoding. A file that cannot be read fails with the
// message "ﾌｧｲﾙ %s は開けません".
Result<FoundLines> FindRosterLinesInFile(const QString& path, QByteArrayView searchText);

// The search for a typed text, in the encoding of the file. A text that the
// encoding cannot hold finds nothing, but the file is opened all the same,
// so that a roster that cannot be read is reported.
Result<FoundLines> FindTextInRosterFile(const QString& path, QStringView searchText);

// The twelve fields of a student line. A field among the first eleven that
// stands empty between commas holds " "; fields that the commas do not reach
// are empty; the twelfth is the rest of the line, commas included.
TStudentRecord SplitRosterLine(QByteArrayView line);

} // namespace claims
