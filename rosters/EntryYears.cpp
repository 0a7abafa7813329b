#include "rosters/EntryYears.h"

#include "files/ShiftJis.h"
#include "rosters/RosterFile.h"

namespace claims {
namespace {

constexpr int kFirstLayoutEntryYear = 2008;  // 平成20年度
constexpr int kLastLayoutEntryYear = 2016;   // 平成28年度
constexpr int kLastLayoutYear = 2030;
constexpr int kFirstReiwaYear = 2019;        // 令和元年度
constexpr int kYearsAhead = 13;              // a treatment table's thirteen rows from now

} // namespace

int SchoolYear(QDate day)
{
    return day.month() >= 4 ? day.year() : day.year() - 1;
}

QString EntryYearText(int schoolYear)
{
    if (schoolYear < kFirstReiwaYear)
        return QStringLiteral("平成%1年度").arg(schoolYear - 1988);
    if (schoolYear == kFirstReiwaYear)
        return QStringLiteral("令和元年度");
    return QStringLiteral("令和%1年度").arg(schoolYear - 2018);
}

QStringList LaterEntryYears(QDate openingDay)
{
    QStringList items;
    for (int year = kLastLayoutEntryYear + 1; year <= SchoolYear(openingDay) + 1; ++year)
        items << EntryYearText(year);
    return items;
}

QStringList EntryYears(QDate openingDay)
{
    QStringList items;
    for (int year = kFirstLayoutEntryYear; year <= kLastLayoutEntryYear; ++year)
        items << EntryYearText(year);
    return items + LaterEntryYears(openingDay);
}

QStringList LaterYears(QDate openingDay)
{
    QStringList items;
    for (int year = kLastLayoutYear + 1; year <= openingDay.year() + kYearsAhead; ++year)
        items << QString::number(year);
    return items;
}

QByteArray LookupBytes(const QString& text)
{
    if (const auto whole = ToShiftJis(text))
        return *whole;
    QByteArray bytes;
    for (const QChar& c : text) {
        const auto one = ToShiftJis(QStringView(&c, 1));
        bytes += one ? *one : QByteArray(1, '\x7f');
    }
    return bytes;
}

QString RosterPathOfYear(const QString& workDir, const QString& entryYear)
{
    return BuildRosterPath(workDir, LookupBytes(entryYear));
}

} // namespace claims
