#pragma once
// A plain reading of roster files for the tests, benchmarks and fuzz
// targets: the whole file cut into lines, and a search line by line that
// walks every line's characters from its start. The program itself reads
// and searches a roster in one pass (rosters/RosterFile.h); these are what its
// answers are checked against.

#include "rosters/RosterFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace claims {

struct RosterLines {
    QList<QByteArray> lines;   // every line, the header line included
    RosterEncoding encoding = RosterEncoding::ShiftJis;
};

// All lines of the file, without the byte order mark. A NUL byte ends the
// text; a file that cannot be read fails with "ﾌｧｲﾙ %s は開けません".
Result<RosterLines> ReadRosterLines(const QString& path);

// Cuts a roster text into its lines, as ReadRosterLines does (a byte order
// mark at its start is dropped).
QList<QByteArray> SplitRosterText(QByteArrayView text);

// The student lines (the header line is never looked at) that hold the search
// text, trimmed of bytes 00 to 20 at both ends, as a run of whole characters
// of the encoding: a match never begins inside a character. An empty key
// finds nothing. The search text is in the roster's encoding.
QList<QByteArray> FindRosterLines(const QList<QByteArray>& lines, QByteArrayView searchText,
                                  RosterEncoding encoding = RosterEncoding::ShiftJis);

} // namespace claims
