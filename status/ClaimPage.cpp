#include "status/ClaimPage.h"

#include "claims/ClaimFile.h"
#include "claims/ClaimLines.h"
#include "rosters/RosterLookup.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"
#include "status/Letters.h"
#include "output/PagePrint.h"
#include "status/StatusModel.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

using namespace claims;
using namespace output;

namespace status {
namespace {

QString Field(QByteArrayView bytes)
{
    return FromShiftJis(bytes).trimmed();
}

// The title line's third field: the student's sex.
QString SexOfTitle(QByteArrayView title)
{
    const QList<QByteArray> fields = title.toByteArray().split(',');
    return fields.size() > 2 ? Field(fields[2]) : QString();
}

QString DateCell(QDate date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QString NumberCell(const std::optional<qint64>& number)
{
    return number ? QLocale(QLocale::Japanese, QLocale::Japan).toString(*number) : QString();
}

QString InjuryDate(const t_sick& h)
{
    const QString date = QStringList{Field(h.year), Field(h.month), Field(h.day)}.join(u'/');
    const QString weekday = Field(h.weekday);
    return weekday.isEmpty() ? date : date + QStringLiteral("（%1）").arg(weekday);
}

QList<QStringList> HeaderRows(const ClaimPage& p)
{
    const t_sick& h = p.header;
    return {{QStringLiteral("受傷日"), InjuryDate(h), QStringLiteral("債権者登録"), Field(h.creditor)},
            {QStringLiteral("傷病名"), Field(h.injury), QStringLiteral("部位"), Field(h.body_part)},
            {QStringLiteral("場合別"), Field(h.situation), QStringLiteral("部名"), Field(h.club)},
            {QStringLiteral("場所別"), Field(h.place), QString(), QString()}};
}

QList<QStringList> TreatmentRows(const TTreatmentTable& table)
{
    QList<QStringList> rows{{QStringLiteral("年度")}};
    for (int k = 1; k <= t_kyufu::MonthCount; ++k)
        rows[0].append(QStringLiteral("%1月").arg((k + 2) % 12 + 1));
    static const QByteArray treated = TreatedMark();
    for (int r = 1; r <= TTreatmentTable::RowCount; ++r) {
        QStringList row{Field(table.row(r).year())};
        for (int k = 1; k <= t_kyufu::MonthCount; ++k)
            row.append(table.row(r).mark(k) == treated ? QStringLiteral("◎") : QString());
        rows.append(row);
    }
    return rows;
}

bool HasHandover(const StatusFile& status)
{
    return std::any_of(status.months.begin(), status.months.end(),
                       [](const MonthStatus& m) { return m.handedDate.isValid() || !m.payMethod.isEmpty(); });
}

QList<QStringList> MonthRows(const ClaimPage& p, bool handover)
{
    QStringList names{QStringLiteral("診療月"), QStringLiteral("状況"), QStringLiteral("請求日"), QStringLiteral("点数"),
                      QStringLiteral("支払日"), QStringLiteral("支払額")};
    if (handover)
        names << QStringLiteral("保護者支払日") << QStringLiteral("支払方法");
    names << QStringLiteral("メモ");
    QList<QStringList> rows{names};
    for (YearMonth month : p.months) {
        MonthStatus m;
        if (const MonthStatus* found = p.status.Find(month))
            m = *found;
        QStringList row{MonthText(month), StateText(m.state), DateCell(m.claimDate), NumberCell(m.points),
                        DateCell(m.paidDate), NumberCell(m.amount)};
        if (handover)
            row << DateCell(m.handedDate) << m.payMethod;
        row << m.note;
        rows.append(row);
    }
    return rows;
}

Grid MonthGrid(qreal width, bool handover)
{
    Grid grid;
    grid.widths = {22, 16, 22, 16, 22, 20};
    grid.align = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft, Qt::AlignRight};
    if (handover) {
        grid.widths << 22 << 16;
        grid.align << Qt::AlignLeft << Qt::AlignLeft;
    }
    qreal used = 0;
    for (qreal w : grid.widths)
        used += w;
    grid.widths << std::max<qreal>(10, width - used);
    grid.align << Qt::AlignLeft;
    grid.rowHeight = 6;
    grid.font = GothicFont(8.5);
    grid.headerFont = GothicFont(8.5, true);
    return grid;
}

// The head of the page: title, student and claim header. Returns the y below it.
qreal DrawClaimHead(Page& page, const ClaimPage& p, QDate printed)
{
    page.Text({0, 0, page.width, 10}, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("災害共済給付　請求記録"),
              GothicFont(15, true));
    page.Text({0, 0, page.width, 10}, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("印刷日 ") + LetterDate(printed),
              GothicFont(8.5));
    Grid student{{30, 60, 20, 40, page.width - 150}, {}, 7, GothicFont(10), GothicFont(9, true)};
    qreal y = DrawGrid(page, 0, 14, student,
                       {{QStringLiteral("ID番号"), QStringLiteral("氏名"), QStringLiteral("性別"), QStringLiteral("クラス"),
                         QStringLiteral("受傷回数")},
                        {FromShiftJis(p.id), p.name, p.sex, p.className, QString::number(p.occurrence)}});
    Grid header{{24, page.width / 2 - 24, 24, page.width / 2 - 24}, {}, 7, GothicFont(10), GothicFont(10)};
    header.header = false;
    return DrawGrid(page, 0, y + 4, header, HeaderRows(p)) + 4;
}

} // namespace

IoResult ReadClaimPage(const QString& workDir, const ClaimOverview& claim, const StatusFile& status, QDate date,
                       ClaimPage& page)
{
    page = ClaimPage{claim.id, claim.occurrence, claim.name, {}, {}, {}, {}, status, claim.treated};
    const Result<QByteArray> bytes = ReadWholeFile(ClaimFilePath(workDir, claim.id, claim.occurrence));
    if (!bytes)
        return Failure(bytes.error());
    ResetClaim(page.header, page.table, 0);
    ParseClaim(*bytes, page.header, page.table);
    page.sex = SexOfTitle(CutClaimLines(*bytes).title);
    page.months = TreatedMonths(page.table);
    for (const MonthStatus& m : status.months) {
        if (!page.months.contains(m.month))
            page.months.append(m.month);
    }
    std::sort(page.months.begin(), page.months.end());
    const QHash<QByteArray, RosterEntry> roster = FindStudentsById(workDir, {claim.id});
    if (const auto found = roster.constFind(claim.id); found != roster.cend())
        page.className = found->ClassOn(date);
    return {};
}

void PrintClaimPage(QPrinter& printer, const ClaimPage& p, QDate printed)
{
    SetUpA4(printer, 15);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    Page page(painter, printer);
    qreal y = DrawClaimHead(page, p, printed);
    Grid treatment{{18}, {Qt::AlignLeft}, 5.5, GothicFont(9), GothicFont(8.5, true)};
    for (int k = 1; k <= t_kyufu::MonthCount; ++k) {
        treatment.widths.append((page.width - 18) / t_kyufu::MonthCount);
        treatment.align.append(Qt::AlignHCenter);
    }
    y = DrawGrid(page, 0, y, treatment, TreatmentRows(p.table)) + 5;
    const bool handover = HasHandover(p.status);
    DrawGridOverPages(printer, page, y, 0, MonthGrid(page.width, handover), MonthRows(p, handover));
}

} // namespace status
