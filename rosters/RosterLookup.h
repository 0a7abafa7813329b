#pragma once
// Finding students by ID in every roster of the data folder: the letters to
// guardians need each student's guardian, address and class, whatever year
// the student entered.

#include "rosters/RosterFile.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace claims {

struct RosterEntry {
    TStudentRecord record;
    RosterEncoding encoding = RosterEncoding::ShiftJis;
    QString roster;          // the roster's file name, H21入学.CSV
    int entryYear = 0;       // the year its name gives (H21 is 2009, R08 is 2026); 0 when none
    QStringList alsoIn;      // other rosters that hold the same ID, newest first

    QString Text(int field) const;   // a field as text, trimmed; field as TStudentRecord::field
    // The student's class in the school year of the date: the 1st, 2nd or
    // 3rd year's class by the entry year, else the latest class filled in.
    QString ClassOn(QDate date) const;
};

// The entry year that a roster's file name gives: H + era year from 1989,
// R + era year from 2019; 0 for a name without a year.
int EntryYearOfRoster(const QString& fileName);

// Every roster of the working folder read once, each line's ID (Shift-JIS
// bytes, trimmed) compared with the IDs asked for. A student in several
// rosters is taken from the newest entry year, the others named in alsoIn.
// IDs found in no roster are not in the answer. Rosters that cannot be read
// are named in problems.
QHash<QByteArray, RosterEntry> FindStudentsById(const QString& workDir, const QSet<QByteArray>& ids,
                                                QStringList* problems = nullptr);

} // namespace claims
