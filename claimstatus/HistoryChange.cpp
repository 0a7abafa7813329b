// What a version of the history holds, as the office knows it, and what the
// save after it changed.

#include "claims/ClaimFile.h"
#include "claimstatus/Deadline.h"
#include "files/FileAccess.h"
#include "claimstatus/HistoryList.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"
#include "claimstatus/StatusFile.h"

#include <QLocale>
#include <QMap>

namespace claims {
namespace {

constexpr int kMostChangesNamed = 3;

QString Trimmed(QByteArrayView bytes)
{
    return FromShiftJis(bytes).trimmed();
}

QString MonthText(YearMonth month)
{
    return QStringLiteral("%1年%2月").arg(month.year).arg(month.month);
}

QString DateText(QDate date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QString AmountText(const std::optional<qint64>& amount, bool grouped)
{
    if (!amount)
        return QString();
    return grouped ? QLocale(QLocale::English).toString(*amount) : QString::number(*amount);
}

QString InjuryDateText(const t_sick& h)
{
    const QString y = Trimmed(h.year), m = Trimmed(h.month), d = Trimmed(h.day), w = Trimmed(h.weekday);
    if (y.isEmpty() && m.isEmpty() && d.isEmpty())
        return w;
    return QStringList{y, m, d}.join(u'/') + (w.isEmpty() ? QString() : u'(' + w + u')');
}

struct ParsedClaim {
    QString name, sex;
    t_sick header;
    TTreatmentTable table;
};

ParsedClaim ParseClaimBytes(QByteArrayView bytes)
{
    ParsedClaim claim;
    ParseClaim(bytes, claim.header, claim.table);
    const QByteArrayView first = LineReader(TextBefore(bytes, '\x1A')).Next();
    const QList<QByteArray> fields = first.toByteArray().split(',');
    claim.name = fields.size() > 1 ? Trimmed(fields[1]) : QString();
    claim.sex = fields.size() > 2 ? Trimmed(fields[2]) : QString();
    return claim;
}

// The mark of every calendar month of the treatment table; no mark reads
// as "－".
QMap<YearMonth, QString> MarksByMonth(const TTreatmentTable& table)
{
    QMap<YearMonth, QString> marks;
    for (const t_kyufu& row : table.rows) {
        const int year = ReadYear(row.year());
        for (int k = 1; year > 0 && k <= t_kyufu::MonthCount; ++k) {
            const QString mark = Trimmed(row.mark(k));
            marks.insert(CalendarMonth(year, k), mark.isEmpty() ? QStringLiteral("－") : mark);
        }
    }
    return marks;
}

// The status, then the other fields of a month with their captions.
QList<ShownField> MonthFields(const MonthStatus& m)
{
    return {{QStringLiteral("状況"), StateText(m.state)},
            {QStringLiteral("請求日"), DateText(m.claimDate)},
            {QStringLiteral("点数"), AmountText(m.points, false)},
            {QStringLiteral("支払日"), DateText(m.paidDate)},
            {QStringLiteral("支払額"), AmountText(m.amount, true)},
            {QStringLiteral("メモ"), m.note},
            {QStringLiteral("保護者支払日"), DateText(m.handedDate)},
            {QStringLiteral("支払方法"), m.payMethod}};
}

QString Arrow(const QString& before, const QString& after)
{
    return before + QStringLiteral("→") + after;
}

QStringList ClaimChanges(QByteArrayView before, QByteArrayView after)
{
    QStringList changes;
    const QList<ShownField> was = ClaimFieldsShown(before), is = ClaimFieldsShown(after);
    for (int i = 0; i < was.size(); ++i) {
        if (was[i].text != is[i].text)
            changes << was[i].caption + u' ' + Arrow(was[i].text, is[i].text);
    }
    const QMap<YearMonth, QString> marksWere = MarksByMonth(ParseClaimBytes(before).table);
    const QMap<YearMonth, QString> marksAre = MarksByMonth(ParseClaimBytes(after).table);
    QList<YearMonth> months = marksWere.keys() + marksAre.keys();
    SortTreatedMonths(months);
    for (YearMonth month : months) {
        const QString a = marksWere.value(month, QStringLiteral("－")), b = marksAre.value(month, QStringLiteral("－"));
        if (a != b)
            changes << MonthText(month) + u' ' + Arrow(a, b);
    }
    return changes;
}

QStringList StatusChanges(const StatusFile& was, const StatusFile& is)
{
    QList<YearMonth> months;
    for (const StatusFile* file : {&was, &is}) {
        for (const MonthStatus& m : file->months)
            months.append(m.month);
    }
    SortTreatedMonths(months);
    QStringList changes;
    for (YearMonth month : months) {
        MonthStatus none;
        none.month = month;
        const QList<ShownField> a = MonthFields(was.Find(month) ? *was.Find(month) : none);
        const QList<ShownField> b = MonthFields(is.Find(month) ? *is.Find(month) : none);
        bool named = false;
        for (int i = 0; i < a.size(); ++i) {
            if (a[i].text == b[i].text)
                continue;
            const QString what = i == 0 ? Arrow(a[i].text, b[i].text) : a[i].caption + u' ' + Arrow(a[i].text, b[i].text);
            changes << (named ? what : MonthText(month) + u' ' + what);
            named = true;
        }
    }
    return changes;
}

QString Joined(const QStringList& changes)
{
    if (changes.isEmpty())
        return QStringLiteral("変更なし");
    const QString shown = changes.mid(0, kMostChangesNamed).join(QStringLiteral("、"));
    return changes.size() > kMostChangesNamed ? shown + QStringLiteral("…") : shown;
}

} // namespace

QList<ShownField> ClaimFieldsShown(QByteArrayView bytes)
{
    const ParsedClaim c = ParseClaimBytes(bytes);
    const t_sick& h = c.header;
    return {{QStringLiteral("氏名"), c.name},
            {QStringLiteral("性別"), c.sex},
            {QStringLiteral("受傷日"), InjuryDateText(h)},
            {QStringLiteral("債権者登録"), Trimmed(h.creditor)},
            {QStringLiteral("傷病名"), Trimmed(h.injury)},
            {QStringLiteral("部位"), Trimmed(h.body_part)},
            {QStringLiteral("場合別"), Trimmed(h.situation)},
            {QStringLiteral("部名"), Trimmed(h.club)},
            {QStringLiteral("場所別"), Trimmed(h.place)}};
}

QStringList TreatmentLinesShown(QByteArrayView bytes)
{
    const ParsedClaim c = ParseClaimBytes(bytes);
    QStringList lines;
    for (const t_kyufu& row : c.table.rows) {
        if (!Trimmed(row.year()).isEmpty())
            lines << FromShiftJis(ListLine(row, row.year()));
    }
    return lines;
}

QList<ShownField> StatusMonthsShown(QByteArrayView bytes)
{
    QList<ShownField> months;
    for (const MonthStatus& m : ParseStatusFile(bytes, QString()).months) {
        const QList<ShownField> fields = MonthFields(m);
        QString text = fields[0].text;
        for (int i = 1; i < fields.size(); ++i) {
            if (!fields[i].text.isEmpty())
                text += QStringLiteral("　") + fields[i].caption + u' ' + fields[i].text;
        }
        months.append({MonthText(m.month), text});
    }
    return months;
}

QString ChangeSummary(HistoryKind kind, QByteArrayView before, const std::optional<QByteArray>& after)
{
    if (!after)
        return QStringLiteral("削除");
    if (kind == HistoryKind::Claim) {
        if (before.trimmed().isEmpty())
            return QStringLiteral("新規");
        return Joined(ClaimChanges(before, *after));
    }
    const StatusFile was = ParseStatusFile(before, QString());
    if (was.months.isEmpty() && was.keptLines.isEmpty())
        return QStringLiteral("新規");
    return Joined(StatusChanges(was, ParseStatusFile(*after, QString())));
}

std::optional<QByteArray> BytesAfter(const HistoryListing& listing, int version)
{
    const HistoryVersion& v = listing.versions[version];
    const HistoryFile& file = listing.files[v.file];
    if (v.newer < 0 && !file.currentExists)
        return std::nullopt;
    Result<QByteArray> read = ReadWholeFile(v.newer < 0 ? file.currentPath : listing.Path(v.newer));
    if (!read)
        return std::nullopt;
    return std::move(*read);
}

QString SummaryOf(const HistoryListing& listing, int version)
{
    const Result<QByteArray> read = ReadWholeFile(listing.Path(version));
    if (!read)
        return read.error().message;
    const HistoryVersion& v = listing.versions[version];
    const std::optional<QByteArray> after = BytesAfter(listing, version);
    if (!after && (v.newer >= 0 || EntryExists(listing.files[v.file].currentPath)))
        return QStringLiteral("（読めません）");
    return ChangeSummary(listing.files[v.file].kind, *read, after);
}

} // namespace claims
