#pragma once
// A working folder with claims for the deadline list's tests. The files are
// written as a save writes them, but by plain writes, so that the tests that
// only read also run where no save can pass (under Wine on a share).

#include "claims/ClaimFile.h"
#include "claimstatus/Deadline.h"
#include "claimstatus/StatusFile.h"
#include "tests/claims/TestSupport.h"

#include <QDir>
#include <QTest>

namespace statustest {

inline const QDate kReference(2026, 12, 9);

// Writes the claim file with the given calendar months marked treated.
inline void WriteClaim(const QString& workDir, const QByteArray& id, int occurrence, const QString& name,
                       QDate injured, const QList<claims::YearMonth>& treated)
{
    using namespace claims;
    QDir(workDir).mkpath(QStringLiteral("seikyu"));
    t_sick header;
    TTreatmentTable table;
    const int injuryYear = injured.month() >= 4 ? injured.year() : injured.year() - 1;
    ResetClaim(header, table, injuryYear);
    header.year = QByteArray::number(injured.year());
    header.month = QByteArray::number(injured.month());
    header.day = QByteArray::number(injured.day());
    header.injury = ktest::Sj(QStringLiteral("捻挫"));
    for (YearMonth m : treated) {
        const int schoolYear = m.month >= 4 ? m.year : m.year - 1;
        ToggleMark(table.row(schoolYear - injuryYear + 1), m.month >= 4 ? m.month - 3 : m.month + 9);
    }
    const QByteArray bytes = FormatClaim(ClaimFileName(id, occurrence), ktest::Sj(name), ktest::Sj(QStringLiteral("男")),
                                         header, table);
    QVERIFY(ktest::WriteBytes(ClaimFilePath(workDir, id, occurrence), bytes));
}

// Writes the status file of the claim.
inline void PutStatusFile(const QString& workDir, const QByteArray& id, int occurrence, const claims::StatusFile& file)
{
    const std::optional<QByteArray> bytes = claims::FormatStatusFile(file);
    QVERIFY(bytes && QDir().mkpath(claims::StatusFolder(workDir)));
    QVERIFY(ktest::WriteBytes(claims::StatusFilePath(workDir, id, occurrence), *bytes));
}

} // namespace statustest
