#pragma once
// Numbered claims that tell apart every save, for the tests that save in
// other processes. Qt Core only, for every platform.

#include "claims/ClaimFile.h"
#include "files/ShiftJis.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace rtest {

// The second PC's program: beside the test where the build puts every
// program in one folder (Windows, where a test under Wine cannot start a
// program by its Linux path), else where the build says it is.
inline QString ClaimSaverPath(const char* built)
{
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + QFileInfo(QString::fromUtf8(built)).fileName();
    return QFileInfo::exists(beside) ? beside : QString::fromUtf8(built);
}

struct Claim {
    claims::t_sick header;
    claims::TTreatmentTable table;
};

inline QByteArray StudentName() { return claims::ToShiftJis(u"山田太郎").value(); }
inline QByteArray StudentSex() { return claims::ToShiftJis(u"男").value(); }

// Claim number k: its creditor field holds k, and its length changes from
// one number to the next (about 2 to 6 KB), so that a file cut short or
// mixed from two saves cannot pass for either of them.
inline Claim NumberedClaim(int k)
{
    Claim claim;
    claims::ResetClaim(claim.header, claim.table, 2000 + k % 20);
    claim.header.year = QByteArray::number(2000 + k % 20);
    claim.header.month = QByteArray::number(1 + k % 12);
    claim.header.day = QByteArray::number(1 + k % 28);
    claim.header.creditor = QByteArray::number(k);
    claim.header.situation = QByteArray(qint64(k) * 7919 % 4000, 'x');
    for (int r = 1; r <= claims::TTreatmentTable::RowCount; ++r)
        claims::ToggleMark(claim.table.row(r), 1 + (k + r) % 12);
    return claim;
}

inline claims::Result<claims::FileStamp> SaveNumberedClaim(const QString& workDir, QByteArrayView id, int k,
                                                          const std::optional<claims::FileStamp>& expected = std::nullopt)
{
    const Claim claim = NumberedClaim(k);
    return claims::WriteClaimFile(workDir, id, 1, StudentName(), StudentSex(), claim.header, claim.table,
                                  expected);
}

// The bytes that the save of claim k writes.
inline QByteArray NumberedClaimBytes(QByteArrayView id, int k)
{
    const Claim claim = NumberedClaim(k);
    return claims::FormatClaim(claims::ClaimFileName(id, 1), StudentName(), StudentSex(), claim.header,
                               claim.table);
}

} // namespace rtest
