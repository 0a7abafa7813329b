#pragma once
// What the entry window keeps for the whole run: the one claim in memory,
// the student and occurrence being edited and the paths last used. The
// program owns one EntryState and hands it to every new entry window, so
// that closing and reopening the window keeps all of it; tests make a fresh
// one per case.

#include "claims/ClaimRecord.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace entry {

struct EntryState {
    claims::t_sick ClaimHeader;          // header of the claim being edited
    claims::TTreatmentTable TreatmentTable;
    QByteArray CurrentStudentId;         // as shown in the ID field (Shift-JIS bytes)
    int CurrentOccurrence = 0;           // 1 to 8 once a student was chosen
    int CurrentRow = 0;                  // 1 to 13: the row the month buttons change
    QString WorkDir;                     // current folder, taken afresh before each file operation
    QString ClaimFilePath;               // claim path (or listing) built last
    QString ChosenClaimFile;             // name last chosen in the occurrence-file dialog
    QString RosterFilePath;              // roster path of the last search
    QByteArray ChosenStudentLine;        // roster line last chosen
    std::array<int, 10> ListCounts{};    // item counts of the ten header lists, in header order
};

} // namespace entry
