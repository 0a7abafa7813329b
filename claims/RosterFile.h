#pragma once
// The student roster of one entry year: "H" + two-digit era year + "入学.CSV"
// in the working folder. A header line, then one student a line in twelve
// comma-separated fields. The program only reads it.

#include "claims/FileAccess.h"
#include "claims/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace claims {

struct TStudentRecord {
    static constexpr int FieldCount = 12;

    QByteArray Id, Class3, Class2, Class1, Name, Furigana, Guardian, JuniorHighSchool, Sex,
        Course, BirthDate, Address;

    QByteArray& field(int i);              // i = 0 .. 11 in the order above
    const QByteArray& field(int i) const;
    bool operator==(const TStudentRecord&) const = default;
};

// workDir + "/H" + the 5th and 6th byte of the entry year + "入学.CSV"; the
// era year is empty for a text shorter than six bytes.
QString BuildRosterPath(const QString& workDir, QByteArrayView entryYear);

struct RosterLines {
    QList<QByteArray> lines;   // every line, the header line included
    IoResult result;           // message "ﾌｧｲﾙ %s は開けません" when it fails
};

// All lines of the file. A NUL byte ends the text.
RosterLines ReadRosterLines(const QString& path);

// Cuts a roster text into its lines, as ReadRosterLines does.
QList<QByteArray> SplitRosterText(QByteArrayView text);

// The student lines (the header line is never looked at) that hold the search
// text, trimmed of bytes 00 to 20 at both ends, as a run of whole Shift-JIS
// characters: a match never begins on the second byte of a character. An
// empty key finds nothing.
QList<QByteArray> FindRosterLines(const QList<QByteArray>& lines, QByteArrayView searchText);

// The same search over the roster text as it came from the file, without
// cutting it into lines first.
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

private:
    QByteArray bytes_;
    QList<qsizetype> ends_;   // where each line ends in bytes_
};

struct RosterSearch {
    FoundLines lines;   // the matching lines only
    IoResult result;    // as for ReadRosterLines
};

// The same search straight from the file, read piece by piece: the quick way
// through a large file.
RosterSearch FindRosterLinesInFile(const QString& path, QByteArrayView searchText);

// The twelve fields of a student line. A field among the first eleven that
// stands empty between commas holds " "; fields that the commas do not reach
// are empty; the twelfth is the rest of the line, commas included.
TStudentRecord SplitRosterLine(QByteArrayView line);

} // namespace claims
