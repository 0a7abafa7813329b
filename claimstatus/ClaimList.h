#pragma once
// Every claim of the seikyu folder with its treated months and the status
// recorded for them, and the lines of the deadline list built from them.

#include "claimstatus/Deadline.h"
#include "claimstatus/StatusFile.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace claims {

struct ClaimOverview {
    QByteArray id;            // Shift-JIS bytes, as in the file name
    int occurrence = 0;
    QString name;             // the student's name from line 1 of the claim file
    QString injuryDate;       // "2025/6/14", empty when the header holds none
    QString injury;
    QString bodyPart, situation, club, place;   // the header's texts, trimmed
    QList<YearMonth> treated; // calendar order
    StatusFile status;
};

struct ClaimListing {
    QList<ClaimOverview> claims;
    QStringList problems;     // files that could not be read, damaged status lines
};

// The ID and occurrence of a claim file name "請<ID>-<n>.CSV" (any case of
// ".CSV"); false for any other name.
bool SplitClaimFileName(const QString& name, QByteArray& id, int& occurrence);

// What the list needs of a claim file's text, cut as the full reader cuts it
// (claims/ClaimLines.h) but kept as views until trimmed: the name of line 1,
// the injury date, injury, body part, situation, club and place of the
// header and the treated months of the thirteen rows, as TreatedMonths
// reads them.
void ReadClaimOverviewText(QByteArrayView bytes, ClaimOverview& claim);

// Reads the claim file and its status file (none when statusPath is empty).
ClaimOverview ReadClaimOverview(const QString& claimPath, const QString& statusPath, const QByteArray& id,
                                int occurrence, QStringList& problems);

// The views the deadline list offers.
// Handover: months paid to the school and not yet handed to the guardian.
// ReceiptOutstanding: months handed over whose signed receipt has not come back.
enum class StatusView { Open, Within90, Lapsed, Claimed, Paid, Handover, ReceiptOutstanding, All, ThisMonth };

struct StatusLine {
    int claim = 0;            // index into the listing's claims
    YearMonth month;
    QDate deadline;
    int daysLeft = 0;
    bool beyondPeriod = false;
    bool marked = true;       // false: a recorded month no longer marked treated
    ClaimState state = ClaimState::Unclaimed;
    QDate paidDate;           // paid to the school; invalid when none is recorded
    int daysSincePaid = 0;    // from paidDate to the reference date
    bool awaitsHandover = false;
    QDate handedDate;         // handed to the guardian; invalid when not yet
    int daysSinceHanded = 0;  // from handedDate to the reference date
    bool awaitsReceipt = false;
};

// The lines of one view on the reference date. Open months come soonest
// deadline first; this month's claims come grouped by student, ready for
// the board: open months treated up to the end of the previous month and
// still claimable. Months awaiting handover come longest paid first; those
// with no paid date recorded come before them, since they may be the oldest
// and their record wants the date. Months awaiting the guardian's receipt
// come longest handed over first.
QList<StatusLine> BuildStatusLines(const QList<ClaimOverview>& claims, QDate reference, StatusView view);

// The counts at the foot of the list, over every open treated month, and
// the months awaiting handover or the guardian's receipt.
struct StatusCounts {
    int lapsed = 0, within30 = 0, within90 = 0, open = 0, awaitingHandover = 0, awaitingReceipt = 0;
};
StatusCounts CountOpenMonths(const QList<ClaimOverview>& claims, QDate reference);

} // namespace claims
