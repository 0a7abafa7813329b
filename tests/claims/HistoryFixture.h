#pragma once
// Claims and kept versions for the history's tests, laid out as saves keep
// them: 履歴/<seikyu or 請求状況>/請<ID>-<n>/<time>-<PC>.CSV.

#include "claims/ClaimFile.h"
#include "claimstatus/Deadline.h"
#include "tests/claims/TestSupport.h"

#include <QDir>
#include <QTest>

namespace historytest {

// A claim file's bytes: injured on 2011/10/3 (月), the given months marked.
inline QByteArray Claim(const QString& name, const QString& injury, const QList<claims::YearMonth>& treated = {},
                        const QByteArray& id = "100", int occurrence = 1)
{
    using namespace claims;
    t_sick header;
    TTreatmentTable table;
    ResetClaim(header, table, 2011);
    header.year = "2011";
    header.month = "10";
    header.day = "3";
    header.weekday = ktest::Sj(QStringLiteral("月"));
    header.injury = ktest::Sj(injury);
    for (YearMonth m : treated) {
        const int schoolYear = m.month >= 4 ? m.year : m.year - 1;
        ToggleMark(table.row(schoolYear - 2011 + 1), m.month >= 4 ? m.month - 3 : m.month + 9);
    }
    return FormatClaim(ClaimFileName(id, occurrence), ktest::Sj(name), ktest::Sj(QStringLiteral("男")), header, table);
}

// Writes a file, making its folder.
inline void Put(const QString& workDir, const QString& relative, const QByteArray& bytes)
{
    const QString path = QDir(workDir).filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY2(ktest::WriteBytes(path, bytes), qPrintable(path));
}

inline void PutVersion(const QString& workDir, const QString& folder, const QString& stem, const QString& time,
                       const QByteArray& bytes)
{
    Put(workDir, QStringLiteral("履歴/%1/%2/%3-JIMU-PC1.CSV").arg(folder, stem, time), bytes);
}

} // namespace historytest
