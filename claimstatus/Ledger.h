#pragma once
// The year's ledger of payouts: every month paid to the school in a 年度
// (April to March, by 支払日), grouped by 支払日, each group one payment
// from the board, beside the total its payment notice gave; and what of
// it went on to the guardians.

#include "claimstatus/ClaimList.h"
#include "claimstatus/PaymentNotices.h"
#include "rosters/EntryYears.h"

#include <QDate>
#include <QList>

#include <optional>

namespace claims {

struct LedgerRow {
    int claim = 0;                  // index into the claims the ledger was built from
    MonthStatus month;
};

enum class NoticeCheck { NotTyped, Equal, Different };

struct LedgerGroup {
    QDate paidDate;
    QList<LedgerRow> rows;          // by ID, occurrence and month
    qint64 sum = 0;                 // of the rows' 支払額
    std::optional<qint64> notice;   // the notice's total, when typed

    NoticeCheck Check() const;
    qint64 Difference() const { return notice.value_or(sum) - sum; }   // notice less sum
};

struct LedgerTotals {
    qint64 received = 0;            // every 支払額 of the year
    qint64 handed = 0;              // handed over to guardians
    qint64 notHanded = 0;           // still held by the school
    int receiptsOutstanding = 0;    // handed over, receipt not back
    qint64 receiptsOutstandingAmount = 0;
    int undated = 0;                // 支払済 months with no 支払日, in no year
};

struct Ledger {
    int schoolYear = 0;
    QList<LedgerGroup> groups;      // by 支払日
    LedgerTotals totals;
};

Ledger BuildLedger(const QList<ClaimOverview>& claims, int schoolYear, const PaymentNotices& notices);

// The 年度 in which some month was paid, and that of the date, newest first.
QList<int> LedgerYears(const QList<ClaimOverview>& claims, QDate today);

} // namespace claims
