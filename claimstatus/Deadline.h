#pragma once
// The benefit's time rules over treated months. Medical benefit is claimed
// per calendar month of treatment; each month's right lapses two years from
// the 11th of the following month, so the last day to claim treatment in
// April 2020 is 2022-05-10. Benefit is paid for ten years from the first
// treated month, once the points of all months reach 500; a month of 7,000
// points or more needs the extra high-cost form.

#include "claims/ClaimRecord.h"

#include <QDate>
#include <QList>

#include <compare>

namespace claims {

// A calendar month.
struct YearMonth {
    int year = 0;
    int month = 0;   // 1 .. 12
    auto operator<=>(const YearMonth&) const = default;
    int Index() const { return year * 12 + month - 1; }   // months since year 0
};

inline constexpr int kMinimumPoints = 500;
inline constexpr int kHighCostPoints = 7000;
inline constexpr int kBenefitYears = 10;

// The last day on which treatment in that month can still be claimed.
QDate ClaimDeadline(YearMonth treated);

// Days from the reference date to the deadline: 0 on the deadline itself,
// negative once it has passed.
int DaysLeft(QDate deadline, QDate reference);

// True for a month that begins more than ten years after the first treated
// month began: no part of it can fall within the benefit period.
bool BeyondBenefitPeriod(YearMonth first, YearMonth treated);

// How near a deadline is, for the colours of the list.
enum class Urgency { Lapsed, Within30, Within90, Later };
Urgency UrgencyOf(int daysLeft);

bool BelowMinimumPoints(qint64 totalPoints);
bool NeedsHighCostForm(qint64 points);

// The calendar month of month k (1 = April .. 12 = March) of school year y.
YearMonth CalendarMonth(int schoolYear, int k);

// The months marked treated in a claim's table, in calendar order. Each row
// counts for the school year its own year text gives; rows whose year text
// holds no year are skipped.
QList<YearMonth> TreatedMonths(const TTreatmentTable& table);

// One row of that reading: yearText is the row's year text, markOf(k) its
// mark of month k (1 = April .. 12 = March). The months are added as found;
// SortTreatedMonths puts them in calendar order once all rows are read.
template <typename MarkOf>
void AddTreatedMonths(QByteArrayView yearText, MarkOf markOf, QList<YearMonth>& months)
{
    static const QByteArray treated = TreatedMark();
    const int year = ReadYear(yearText);
    if (year <= 0 || year > 9000)
        return;
    for (int k = 1; k <= t_kyufu::MonthCount; ++k) {
        if (markOf(k) == treated)
            months.append(CalendarMonth(year, k));
    }
}
void SortTreatedMonths(QList<YearMonth>& months);   // calendar order, each month once

} // namespace claims
