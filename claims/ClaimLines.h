#pragma once
// How a claim file's text is cut into lines and fields. Both readers of claim
// files, the full one (ParseClaim) and the claim listing's, which keeps only
// views, cut through here.

#include "claims/ClaimRecord.h"

#include <QByteArrayView>

#include <array>

namespace claims {

// The fifteen lines of a claim text. A byte 1A ends the text; missing lines
// are empty.
struct ClaimLines {
    QByteArrayView title;    // line 1: the claim's name, the student's name and sex
    QByteArrayView header;   // line 2: the ten header fields
    std::array<QByteArrayView, TTreatmentTable::RowCount> rows;   // lines 3 .. 15
};
ClaimLines CutClaimLines(QByteArrayView bytes);

// The student's name on line 1: the text after the first "," up to the next
// one; empty when the line holds no ",".
QByteArrayView StudentNameOfTitle(QByteArrayView title);

// The header line's fields. Fields 0 to 7 each exist only when a "," follows
// them; once one is missing, the rest of the line is dropped. Field 8 is the
// text up to the next "," (or the rest of the line), and field 9 the rest
// after that ",", which exists only when the "," does.
struct HeaderFields {
    std::array<QByteArrayView, t_sick::FieldCount> field;
    bool hasPlace = false;   // field 9 was there
};
HeaderFields CutHeaderLine(QByteArrayView line);

// A row line's 25 fields in the file's order (each month's mark before its
// label). Fields 0 to 23 each exist only when a "," follows them; field 24 is
// the rest of the line, empty once a field was missing.
using RowFields = std::array<QByteArrayView, t_kyufu::SlotCount>;
RowFields CutRowLine(QByteArrayView line);

// The slot of a row that holds field j (0 .. 24) of its line in the file.
int SlotOfFileField(int j);

} // namespace claims
