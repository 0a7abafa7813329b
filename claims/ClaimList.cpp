#include "claims/ClaimList.h"

#include "claims/ClaimFile.h"
#include "claims/FileAccess.h"
#include "claims/LineReader.h"
#include "claims/ShiftJis.h"

#include <QDir>
#include <QSet>

#include <algorithm>

namespace claims {
namespace {

QString Trimmed(const QByteArray& field)
{
    return FromShiftJis(field).trimmed();
}

QString StudentName(QByteArrayView firstLine)
{
    const qsizetype first = firstLine.indexOf(',');
    if (first < 0)
        return QString();
    const QByteArrayView rest = firstLine.sliced(first + 1);
    return Trimmed(TextBefore(rest, ',').toByteArray());
}

QString InjuryDate(const t_sick& header)
{
    const QString y = Trimmed(header.year), m = Trimmed(header.month), d = Trimmed(header.day);
    return y.isEmpty() ? QString() : QStringList{y, m, d}.join(u'/');
}

void ReadClaimBytes(QByteArrayView bytes, ClaimOverview& claim)
{
    t_sick header;
    TTreatmentTable table;
    ParseClaim(bytes, header, table);
    LineReader reader(bytes);
    claim.name = StudentName(reader.Next());
    claim.injuryDate = InjuryDate(header);
    claim.injury = Trimmed(header.injury);
    claim.treated = TreatedMonths(table);
}

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
    if (const MonthStatus* status = claim.status.Find(month))
        line.state = status->state;
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
    if (!name.startsWith(u'請') || !name.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive))
        return false;
    const QString stem = name.chopped(4);
    const qsizetype dash = stem.lastIndexOf(u'-');
    if (dash < 2 || dash != stem.size() - 2 || stem.back() < u'1' || stem.back() > u'8')
        return false;
    const std::optional<QByteArray> bytes = ToShiftJis(QStringView(stem).sliced(1, dash - 1));
    if (!bytes || !IsUsableStudentId(*bytes))
        return false;
    id = *bytes;
    occurrence = stem.back().digitValue();
    return true;
}

ClaimOverview ReadClaimOverview(const QString& claimPath, const QString& statusPath, const QByteArray& id,
                                int occurrence, QStringList& problems)
{
    ClaimOverview claim;
    claim.id = id;
    claim.occurrence = occurrence;
    const FileBytes bytes = ReadWholeFile(claimPath);
    if (bytes.result.ok())
        ReadClaimBytes(bytes.bytes, claim);
    else
        problems.append(QStringLiteral("%1: %2").arg(QDir(claimPath).dirName(), bytes.result.message));
    if (statusPath.isEmpty())
        return claim;
    const StatusRead status = ReadStatusFile(statusPath);
    if (!status.io.ok())
        problems.append(QStringLiteral("%1: %2").arg(QDir(statusPath).dirName(), status.io.message));
    claim.status = status.file;
    problems += status.file.problems;
    return claim;
}

ClaimListing ReadAllClaims(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    ClaimListing listing;
    const QDir seikyu(SeikyuFolder(workDir));
    const QStringList names = seikyu.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    const QStringList statusNames = QDir(StatusFolder(workDir)).entryList(QDir::Files);
    const QSet<QString> withStatus(statusNames.begin(), statusNames.end());
    for (int i = 0; i < names.size(); ++i) {
        if (progress && i % 64 == 0 && !progress(i, int(names.size())))
            break;
        QByteArray id;
        int occurrence = 0;
        if (!SplitClaimFileName(names[i], id, occurrence))
            continue;
        QString statusPath = StatusFilePath(workDir, id, occurrence);
        if (!withStatus.contains(QDir(statusPath).dirName()))
            statusPath.clear();   // most claims have none: no failed open for each
        listing.claims.append(ReadClaimOverview(seikyu.filePath(names[i]), statusPath, id, occurrence, listing.problems));
    }
    std::stable_sort(listing.claims.begin(), listing.claims.end(), [](const ClaimOverview& a, const ClaimOverview& b) {
        return a.id != b.id ? a.id < b.id : a.occurrence < b.occurrence;
    });
    if (progress)
        progress(int(names.size()), int(names.size()));
    return listing;
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
    if (view != StatusView::ThisMonth) {
        std::stable_sort(lines.begin(), lines.end(),
                         [](const StatusLine& a, const StatusLine& b) { return a.deadline < b.deadline; });
    }
    return lines;
}

StatusCounts CountOpenMonths(const QList<ClaimOverview>& claims, QDate reference)
{
    StatusCounts counts;
    for (const StatusLine& line : BuildStatusLines(claims, reference, StatusView::Open)) {
        ++counts.open;
        if (line.beyondPeriod)
            continue;
        counts.lapsed += line.daysLeft < 0;
        counts.within30 += line.daysLeft >= 0 && line.daysLeft <= 30;
        counts.within90 += line.daysLeft >= 0 && line.daysLeft <= 90;
    }
    return counts;
}

} // namespace claims
