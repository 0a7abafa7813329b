#pragma once
// A claim's own page for the office's paper file: the student, the claim
// header, the thirteen-year treatment table with ◎ for each treated month,
// and every month's status with its dates, points and amounts.

#include "claimstatus/ClaimList.h"
#include "claims/ClaimRecord.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class QPrinter;

namespace status {

struct ClaimPage {
    QByteArray id;
    int occurrence = 0;
    QString name, sex, className;
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::StatusFile status;
    QList<claims::YearMonth> months;   // treated or recorded, calendar order
};

// The claim file read afresh with the given status (as the month dialog
// holds it), the class from the rosters as on the date. The answer tells
// why the claim file could not be read.
claims::IoResult ReadClaimPage(const QString& workDir, const claims::ClaimOverview& claim, const claims::StatusFile& status,
                       QDate date, ClaimPage& page);

// One A4 page; a claim with more months than fit goes on over further pages.
void PrintClaimPage(QPrinter& printer, const ClaimPage& page, QDate printed);

} // namespace status
