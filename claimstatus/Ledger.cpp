#include "claimstatus/Ledger.h"

#include <QMap>

#include <algorithm>

namespace claims {
namespace {

bool IsPaid(const MonthStatus& m)
{
    return m.state == ClaimState::Paid;
}

void Count(const MonthStatus& m, LedgerTotals& totals)
{
    const qint64 amount = m.amount.value_or(0);
    totals.received += amount;
    if (!m.handedDate.isValid()) {
        totals.notHanded += amount;
        return;
    }
    totals.handed += amount;
    if (!m.receiptDate.isValid()) {
        ++totals.receiptsOutstanding;
        totals.receiptsOutstandingAmount += amount;
    }
}

} // namespace

NoticeCheck LedgerGroup::Check() const
{
    if (!notice)
        return NoticeCheck::NotTyped;
    return *notice == sum ? NoticeCheck::Equal : NoticeCheck::Different;
}

Ledger BuildLedger(const QList<ClaimOverview>& claims, int schoolYear, const PaymentNotices& notices)
{
    Ledger ledger;
    ledger.schoolYear = schoolYear;
    QMap<QDate, LedgerGroup> groups;
    for (int c = 0; c < claims.size(); ++c) {
        for (const MonthStatus& m : claims[c].status.months) {
            if (!IsPaid(m))
                continue;
            if (!m.paidDate.isValid()) {
                ++ledger.totals.undated;
                continue;
            }
            if (SchoolYear(m.paidDate) != schoolYear)
                continue;
            LedgerGroup& group = groups[m.paidDate];
            group.paidDate = m.paidDate;
            group.rows.append({c, m});
            group.sum += m.amount.value_or(0);
            Count(m, ledger.totals);
        }
    }
    // A notice typed for a day with no paid month recorded shows as a group
    // of its own: the board paid what the office has not recorded.
    for (const NoticeTotal& notice : notices.totals) {
        if (notice.paidDate.isValid() && SchoolYear(notice.paidDate) == schoolYear && !groups.contains(notice.paidDate))
            groups[notice.paidDate].paidDate = notice.paidDate;
    }
    for (LedgerGroup& group : groups) {
        group.notice = notices.TotalOn(group.paidDate);
        ledger.groups.append(std::move(group));
    }
    return ledger;
}

QList<int> LedgerYears(const QList<ClaimOverview>& claims, QDate today)
{
    QList<int> years{SchoolYear(today)};
    for (const ClaimOverview& claim : claims) {
        for (const MonthStatus& m : claim.status.months) {
            if (IsPaid(m) && m.paidDate.isValid() && !years.contains(SchoolYear(m.paidDate)))
                years.append(SchoolYear(m.paidDate));
        }
    }
    std::sort(years.begin(), years.end(), std::greater<>());
    return years;
}

} // namespace claims
