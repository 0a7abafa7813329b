#include "claimstatus/ClaimList.h"

#include "claims/ClaimFile.h"
#include "claims/ClaimLines.h"
#include "files/FileAccess.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"

#include <QDir>

#include <algorithm>

namespace claims {
namespace {

QString Trimmed(QByteArrayView field)
{
    return FromShiftJis(field).trimmed();
}

QString InjuryDate(const HeaderFields& header)
{
    const QString y = Trimmed(header.field[0]), m = Trimmed(header.field[1]), d = Trimmed(header.field[2]);
    return y.isEmpty() ? QString() : QStringList{y, m, d}.join(u'/');
}

} // namespace

void ReadClaimOverviewText(QByteArrayView bytes, ClaimOverview& claim)
{
    const ClaimLines lines = CutClaimLines(bytes);
    claim.name = Trimmed(StudentNameOfTitle(lines.title));
    const HeaderFields header = CutHeaderLine(lines.header);
    claim.injuryDate = InjuryDate(header);
    claim.injury = Trimmed(header.field[5]);
    claim.bodyPart = Trimmed(header.field[6]);
    claim.situation = Trimmed(header.field[7]);
    claim.club = Trimmed(header.field[8]);
    claim.place = Trimmed(header.field[9]);
    for (const QByteArrayView line : lines.rows) {
        const RowFields row = CutRowLine(line);
        AddTreatedMonths(row[0], [&row](int k) { return row[2 * k - 1]; }, claim.treated);
    }
    SortTreatedMonths(claim.treated);
}

namespace {

bool Shows(const StatusLine& line, StatusView view, YearMonth thisMonth)
{
    const bool open = line.marked && IsOpen(line.state);
    const bool claimable = open && !line.beyondPeriod;
    switch (view) {
    case StatusView::Open: return open;
    case StatusView::Within90: return claimable && line.daysLeft >= 0 && line.daysLeft <= 90;
    case StatusView::Lapsed: return claimable && line.daysLeft < 0;
    case StatusView::Claimed: return line.state == ClaimState::Claimed;
    case StatusView::Paid: return line.state == ClaimState::Paid;
    case StatusView::Handover: return line.awaitsHandover;
    case StatusView::ReceiptOutstanding: return line.awaitsReceipt;
    case StatusView::All: return true;
    case StatusView::ThisMonth: return claimable && line.daysLeft >= 0 && line.month < thisMonth;
    }
    return false;
}

StatusLine LineOf(const ClaimOverview& claim, int index, YearMonth month, QDate reference)
{
    StatusLine line;
    line.claim = index;
    line.month = month;
    line.deadline = ClaimDeadline(month);
    line.daysLeft = DaysLeft(line.deadline, reference);
    line.beyondPeriod = !claim.treated.isEmpty() && BeyondBenefitPeriod(claim.treated.first(), month);
    line.marked = claim.treated.contains(month);
    if (const MonthStatus* status = claim.status.Find(month)) {
        line.state = status->state;
        line.paidDate = status->paidDate;
        line.daysSincePaid = status->paidDate.isValid() ? int(status->paidDate.daysTo(reference)) : 0;
        line.awaitsHandover = status->AwaitsHandover();
        line.handedDate = status->handedDate;
        line.daysSinceHanded = status->handedDate.isValid() ? int(status->handedDate.daysTo(reference)) : 0;
        line.awaitsReceipt = status->handedDate.isValid() && !status->receiptDate.isValid();
    }
    return line;
}

// Every treated month, then every recorded month no longer marked.
QList<StatusLine> LinesOfClaim(const ClaimOverview& claim, int index, QDate reference)
{
    QList<StatusLine> lines;
    for (YearMonth month : claim.treated)
        lines.append(LineOf(claim, index, month, reference));
    for (const MonthStatus& status : claim.status.months) {
        if (!claim.treated.contains(status.month))
            lines.append(LineOf(claim, index, status.month, reference));
    }
    return lines;
}

} // namespace

bool SplitClaimFileName(const QString& name, QByteArray& id, int& occurrence)
{
    const std::optional<ClaimName> parsed = ClaimName::Parse(name);
    if (!parsed)
        return false;
    id = parsed->id;
    occurrence = parsed->occurrence;
    return true;
}

ClaimOverview ReadClaimOverview(const QString& claimPath, const QString& statusPath, const QByteArray& id,
                                int occurrence, QStringList& problems)
{
    ClaimOverview claim;
    claim.id = id;
    claim.occurrence = occurrence;
    if (const Result<QByteArray> bytes = ReadWholeFile(claimPath))
        ReadClaimOverviewText(*bytes, claim);
    else
        problems.append(QStringLiteral("%1: %2").arg(QDir(claimPath).dirName(), bytes.error().message));
    if (statusPath.isEmpty())
        return claim;
    const Result<Stamped<StatusFile>> status = ReadStatusFile(statusPath);
    if (!status) {
        problems.append(QStringLiteral("%1: %2").arg(QDir(statusPath).dirName(), status.error().message));
        return claim;
    }
    claim.status = status->value;
    problems += status->value.problems;
    return claim;
}

QList<StatusLine> BuildStatusLines(const QList<ClaimOverview>& claims, QDate reference, StatusView view)
{
    const YearMonth thisMonth{reference.year(), reference.month()};
    QList<StatusLine> lines;
    for (int i = 0; i < claims.size(); ++i) {
        for (const StatusLine& line : LinesOfClaim(claims[i], i, reference)) {
            if (Shows(line, view, thisMonth))
                lines.append(line);
        }
    }
    if (view == StatusView::Handover) {
        std::stable_sort(lines.begin(), lines.end(), [](const StatusLine& a, const StatusLine& b) {
            if (a.paidDate.isValid() != b.paidDate.isValid())
                return !a.paidDate.isValid();
            return a.paidDate < b.paidDate;
        });
    } else if (view == StatusView::ReceiptOutstanding) {
        std::stable_sort(lines.begin(), lines.end(),
                         [](const StatusLine& a, const StatusLine& b) { return a.handedDate < b.handedDate; });
    } else if (view != StatusView::ThisMonth) {
        std::stable_sort(lines.begin(), lines.end(),
                         [](const StatusLine& a, const StatusLine& b) { return a.deadline < b.deadline; });
    }
    return lines;
}

StatusCounts CountOpenMonths(const QList<ClaimOverview>& claims, QDate reference)
{
    StatusCounts counts;
    for (int i = 0; i < claims.size(); ++i) {
        for (const StatusLine& line : LinesOfClaim(claims[i], i, reference)) {
            counts.awaitingHandover += line.awaitsHandover;
            counts.awaitingReceipt += line.awaitsReceipt;
            if (!Shows(line, StatusView::Open, {}))
                continue;
            ++counts.open;
            if (line.beyondPeriod)
                continue;
            counts.lapsed += line.daysLeft < 0;
            counts.within30 += line.daysLeft >= 0 && line.daysLeft <= 30;
            counts.within90 += line.daysLeft >= 0 && line.daysLeft <= 90;
        }
    }
    return counts;
}

} // namespace claims
