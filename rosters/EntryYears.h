#pragma once
// Entry years: the entry-year list and the roster file each year names. The
// entry-year list and the two year lists grow with the calendar. The
// layout holds the items that stored files rely on (平成20年度 .. 平成28年度,
// 2008 .. 2030); the window adds the years since, as of the day it opens.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace claims {

// The school year that holds day: a school year begins on 1 April.
int SchoolYear(QDate day);

// The entry-year item of a school year: "平成29年度", "令和元年度", "令和2年度".
QString EntryYearText(int schoolYear);

// The entry years after 平成28年度, up to the school year after the one
// that holds openingDay.
QStringList LaterEntryYears(QDate openingDay);

// Every item of the entry-year list (入学年度) as of openingDay: the layout's
// 平成20年度 .. 平成28年度, then the later ones.
QStringList EntryYears(QDate openingDay);

// The Shift-JIS bytes of a text typed for a search or a path. A character
// that Shift-JIS cannot hold becomes a byte that stands in no roster name.
QByteArray LookupBytes(const QString& text);

// The roster file of an entry-year item in workDir ("令和8年度" is
// R08入学.CSV, "平成27年度" H27入学.CSV).
QString RosterPathOfYear(const QString& workDir, const QString& entryYear);

// The years after 2030, up to the year of openingDay + 13.
QStringList LaterYears(QDate openingDay);

} // namespace claims
