#pragma once
// The claim held in memory: the header of ten texts and the treatment table
// of thirteen school-year rows. Every text is held as the Shift-JIS bytes
// that stand in the claim file.

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace claims {

// Claim header, fields in the order of the claim file's second line.
struct t_sick {
    static constexpr int FieldCount = 10;

    QByteArray year, month, day, weekday, creditor, injury, body_part, situation, club, place;

    QByteArray& field(int i);              // i = 0 .. 9 in the order above
    const QByteArray& field(int i) const;
    bool operator==(const t_sick&) const = default;
};

// One school year of the treatment table: slot 0 the year, then for each
// month k (1 = April .. 12 = March) its label in slot 2k - 1 and its mark in
// slot 2k.
struct t_kyufu {
    static constexpr int SlotCount = 25;
    static constexpr int MonthCount = 12;

    std::array<QByteArray, SlotCount> slot;

    QByteArray& year() { return slot[0]; }
    const QByteArray& year() const { return slot[0]; }
    QByteArray& label(int k) { return slot[2 * k - 1]; }
    const QByteArray& label(int k) const { return slot[2 * k - 1]; }
    QByteArray& mark(int k) { return slot[2 * k]; }
    const QByteArray& mark(int k) const { return slot[2 * k]; }
    bool operator==(const t_kyufu&) const = default;
};

// Rows 1 to 13; row r is the school year injury year + r - 1.
struct TTreatmentTable {
    static constexpr int RowCount = 13;

    std::array<t_kyufu, RowCount> rows;

    t_kyufu& row(int r) { return rows[r - 1]; }
    const t_kyufu& row(int r) const { return rows[r - 1]; }
    bool operator==(const TTreatmentTable&) const = default;
};

QByteArray MonthLabel(int k);           // "４月" .. "９月", "10月" .. "12月", "１月" .. "３月"
QByteArray NoTreatmentMark();           // "－"
QByteArray TreatedMark();               // "◎"

// A year as the year lists show it: leading blanks skipped, then the digits
// up to the first other character; no digits give 0. Very long numbers stop
// at the largest int rather than overflow.
int ReadYear(QByteArrayView text);

// All thirteen rows for the injury year: years Y .. Y + 12, the twelve
// month labels and "－" for every month.
void InitTreatmentTable(TTreatmentTable& table, int injuryYear);

// The empty state of a new claim: each header field one blank (" "), the
// table built for the injury year.
void ResetClaim(t_sick& header, TTreatmentTable& table, int injuryYear);

// The row as the treatment list shows it: yearText, "年", then mark and label
// of each month, all joined by ",".
QByteArray ListLine(const t_kyufu& row, QByteArrayView yearText);

// "－" becomes "◎"; anything else becomes "－". month = 1 .. 12.
void ToggleMark(t_kyufu& row, int month);

} // namespace claims
