#include "claims/ClaimRecord.h"

#include <QtGlobal>

#include <climits>

namespace claims {
namespace {

using HeaderField = QByteArray t_sick::*;
constexpr HeaderField kHeaderFields[t_sick::FieldCount] = {
    &t_sick::year,     &t_sick::month,  &t_sick::day,       &t_sick::weekday, &t_sick::creditor,
    &t_sick::injury,   &t_sick::body_part, &t_sick::situation, &t_sick::club, &t_sick::place,
};

// Shift-JIS bytes of "４月" .. "３月": full-width digits but for October to
// December, which have two ASCII digits.
const char* const kMonthLabels[t_kyufu::MonthCount] = {
    "\x82\x53\x8C\x8E", "\x82\x54\x8C\x8E", "\x82\x55\x8C\x8E", "\x82\x56\x8C\x8E",
    "\x82\x57\x8C\x8E", "\x82\x58\x8C\x8E", "10\x8C\x8E",       "11\x8C\x8E",
    "12\x8C\x8E",       "\x82\x50\x8C\x8E", "\x82\x51\x8C\x8E", "\x82\x52\x8C\x8E",
};

const char kYearSuffix[] = "\x94\x4E";   // "年"

} // namespace

QByteArray& t_sick::field(int i)
{
    Q_ASSERT(i >= 0 && i < FieldCount);
    return this->*kHeaderFields[i];
}

const QByteArray& t_sick::field(int i) const
{
    Q_ASSERT(i >= 0 && i < FieldCount);
    return this->*kHeaderFields[i];
}

QByteArray MonthLabel(int k)
{
    Q_ASSERT(k >= 1 && k <= t_kyufu::MonthCount);
    return QByteArray(kMonthLabels[k - 1]);
}

QByteArray NoTreatmentMark() { return QByteArray("\x81\x7C"); }

QByteArray TreatedMark() { return QByteArray("\x81\x9D"); }

int ReadYear(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
    return value;
}

void InitTreatmentTable(TTreatmentTable& table, int injuryYear)
{
    for (int r = 1; r <= TTreatmentTable::RowCount; ++r) {
        t_kyufu& row = table.row(r);
        row.year() = QByteArray::number(qint64(injuryYear) + r - 1);
        for (int k = 1; k <= t_kyufu::MonthCount; ++k) {
            row.label(k) = MonthLabel(k);
            row.mark(k) = NoTreatmentMark();
        }
    }
}

void ResetClaim(t_sick& header, TTreatmentTable& table, int injuryYear)
{
    for (int i = 0; i < t_sick::FieldCount; ++i)
        header.field(i) = QByteArray(" ");
    InitTreatmentTable(table, injuryYear);
}

QByteArray ListLine(const t_kyufu& row, QByteArrayView yearText)
{
    QByteArray line;
    line.reserve(yearText.size() + 3 + 12 * 8);
    line += yearText;
    line += kYearSuffix;
    for (int k = 1; k <= t_kyufu::MonthCount; ++k) {
        line += ',';
        line += row.mark(k);
        line += ',';
        line += row.label(k);
    }
    return line;
}

void ToggleMark(t_kyufu& row, int month)
{
    QByteArray& mark = row.mark(month);
    mark = mark == NoTreatmentMark() ? TreatedMark() : NoTreatmentMark();
}

} // namespace claims
