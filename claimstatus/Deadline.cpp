#include "claimstatus/Deadline.h"

#include <algorithm>

namespace claims {

QDate ClaimDeadline(YearMonth treated)
{
    // The right arises on the 11th of the following month and lapses two
    // years later: the day before is the last one.
    return QDate(treated.year, treated.month, 1).addMonths(1).addYears(2).addDays(9);
}

int DaysLeft(QDate deadline, QDate reference)
{
    return int(reference.daysTo(deadline));
}

bool BeyondBenefitPeriod(YearMonth first, YearMonth treated)
{
    return treated.Index() - first.Index() > kBenefitYears * 12;
}

Urgency UrgencyOf(int daysLeft)
{
    if (daysLeft < 0)
        return Urgency::Lapsed;
    if (daysLeft <= 30)
        return Urgency::Within30;
    if (daysLeft <= 90)
        return Urgency::Within90;
    return Urgency::Later;
}

bool BelowMinimumPoints(qint64 totalPoints)
{
    return totalPoints < kMinimumPoints;
}

bool NeedsHighCostForm(qint64 points)
{
    return points >= kHighCostPoints;
}

YearMonth CalendarMonth(int schoolYear, int k)
{
    return k <= 9 ? YearMonth{schoolYear, k + 3} : YearMonth{schoolYear + 1, k - 9};
}

QList<YearMonth> TreatedMonths(const TTreatmentTable& table)
{
    QList<YearMonth> months;
    for (const t_kyufu& row : table.rows)
        AddTreatedMonths(row.year(), [&row](int k) { return QByteArrayView(row.mark(k)); }, months);
    SortTreatedMonths(months);
    return months;
}

void SortTreatedMonths(QList<YearMonth>& months)
{
    std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
}

} // namespace claims
