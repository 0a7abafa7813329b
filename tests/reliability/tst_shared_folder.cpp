// Several office PCs on one claim folder: a save never overwrites unseen a
// claim that changed after it was read, and two processes saving one claim
// file at once leave it, at every moment, one complete claim, byte for byte
// one of those they saved. Where the folder is on a share, what the test
// does as the second PC goes through the second PC's mount of it.

#include "NumberedClaim.h"

#include "files/FileAccess.h"
#include "store/History.h"
#include "claimstatus/StatusFile.h"
#include "tests/claims/TestSupport.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <functional>

using namespace claims;

namespace {

const QByteArray kId = "1024";
const QString kClaimName = QStringLiteral("請1024-1.CSV");
constexpr int kSecondFirst = 1'000'000;   // the second process's claims are numbered from here
constexpr int kRunMs = 1500;

// The number of the claim a file holds: its creditor field, -1 when the
// file is not that claim byte for byte.
int ClaimNumber(const QByteArray& bytes)
{
    bool ok = false;
    const int k = bytes.split('\n').value(1).split(',').value(4).toInt(&ok);
    return ok && bytes == rtest::NumberedClaimBytes(kId, k) ? k : -1;
}

struct Run {
    int saves = -1;
    int conflicts = -1;
};

Run Counted(QProcess& saver)
{
    const QRegularExpression counts(QStringLiteral("saves=(\\d+) conflicts=(\\d+) failed=0"));
    const QRegularExpressionMatch m = counts.match(QString::fromLatin1(saver.readAllStandardOutput()));
    return m.hasMatch() ? Run{m.captured(1).toInt(), m.captured(2).toInt()} : Run{};
}

// Reads the file over and over while either process runs, as the program
// reads (on Windows a reader that does not share deletion would keep the
// saves out for as long as it reads): the number of looks, or -1 after one
// that could not be read or that check refused.
int LookWhileRunning(QProcess& first, QProcess& second, const QString& path,
                     const std::function<bool(const QByteArray&)>& check)
{
    int looks = 0;
    while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
        const claims::Result<QByteArray> read = claims::ReadWholeFile(path);
        if (!read || !check(*read)) {
            qWarning("look %d: %s %s", looks, qPrintable(read ? QString() : read.error().message),
                     read ? read->left(400).constData() : "");
            return -1;
        }
        ++looks;
        first.waitForFinished(1);
        second.waitForFinished(1);
    }
    return looks;
}

// A look at the status file: one complete file as a save writes it, each
// line whole, and no month lost or gone back since the last look (each
// process only raises the points of its own months).
bool IsCompleteStatus(const QByteArray& bytes, QMap<YearMonth, qint64>& seen)
{
    const StatusFile file = ParseStatusFile(bytes, QString());
    if (!file.problems.isEmpty() || FormatStatusFile(file) != bytes)
        return false;
    QMap<YearMonth, qint64> now;
    for (const MonthStatus& m : file.months) {
        if (!m.points || m.note != QStringLiteral("%1-%2").arg(m.month.year).arg(*m.points))
            return false;
        now[m.month] = *m.points;
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        if (now.value(it.key(), -1) < it.value())
            return false;
    }
    seen = now;
    return true;
}

// The points that the last of saves status saves left in a month.
qint64 LastPoints(int saves, int month)
{
    return saves < month ? -1 : saves - 1 - (saves - month) % 12;
}

} // namespace

class SharedFolder : public QObject {
    Q_OBJECT

    testsupport::TestFolder dir_;
    QString work_;
    QString claim_;

private slots:
    void init()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();   // every case saves
        static int n = 0;
        work_ = dir_.filePath(QString::number(++n));
        QVERIFY(QDir().mkpath(work_ + QStringLiteral("/seikyu")));
        claim_ = work_ + QStringLiteral("/seikyu/") + kClaimName;
    }

    void saveFindsTheFileChangedSinceItWasRead_data()
    {
        QTest::addColumn<bool>("existed");   // when it was read
        QTest::addColumn<QString>("change");
        QTest::newRow("unchanged") << true << "";
        QTest::newRow("none, still none") << false << "";
        QTest::newRow("saved again by another") << true << "save";
        QTest::newRow("one byte changed, same size and time") << true << "byte";
        QTest::newRow("created where none was") << false << "save";
        QTest::newRow("removed") << true << "remove";
    }

    // A changed file stays as it is; the save then goes through once the
    // stamp found on disk is expected.
    void saveFindsTheFileChangedSinceItWasRead()
    {
        QFETCH(bool, existed);
        QFETCH(QString, change);
        if (existed)
            QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).has_value());
        const FileStamp read = GuardedFile(claim_).Stamp().value();
        QCOMPARE(read.exists, existed);
        // The change is another PC's, made through its own way to the folder.
        const QString othersClaim = testsupport::SecondPcPath(claim_);
        if (change == "save")
            QVERIFY(rtest::SaveNumberedClaim(testsupport::SecondPcPath(work_), kId, 2).has_value());
        if (change == "remove")
            QVERIFY(QFile::remove(othersClaim));
        if (change == "byte") {
            QFile file(othersClaim);
            const QDateTime modified = QFileInfo(file).lastModified();
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(3) && file.write("X") == 1);
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        const QByteArray before = ktest::ReadBytes(claim_);

        const Result<FileStamp> first = rtest::SaveNumberedClaim(work_, kId, 3, read);
        QCOMPARE(!first && first.error().refusal == Refusal::ChangedElsewhere, !change.isEmpty());
        if (!first) {
            QCOMPARE(ktest::ReadBytes(claim_), before);
            QCOMPARE(first.error().found, GuardedFile(claim_).Stamp().value());
            QVERIFY(rtest::SaveNumberedClaim(work_, kId, 3, first.error().found).has_value());
        }
        QCOMPARE(ClaimNumber(ktest::ReadBytes(claim_)), 3);
        QCOMPARE(ktest::Entries(work_ + QStringLiteral("/seikyu")), QStringList{kClaimName});
    }

    // The lock file of a save under way is no claim file of the student.
    void lockFileIsNoClaim()
    {
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).has_value());
        QLockFile lock(GuardedFile(claim_).LockPath());
        QVERIFY(lock.tryLock(0));
        QCOMPARE(ktest::Entries(work_ + QStringLiteral("/seikyu")).size(), 2);
        QCOMPARE(ListClaimFiles(work_, kId), QStringList{kClaimName});
        QCOMPARE(ClaimFilePath(work_, kId, 1), claim_);
    }

    void twoProcessesSavingOneClaim()
    {
        if (testsupport::OnSmbnetfs(work_))
            QSKIP("smbnetfs keeps no lock file exclusive across its mounts and replaces a file by removing it "
                  "first (tests/support/TestFolder.h): no two PCs' saves can take turns through it");
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 0).has_value());
        QProcess first, second;
        first.start(rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER),
                    {"loop", work_, QString::fromLatin1(kId), "1", QString::number(kRunMs)});
        second.start(rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER), {"loop", testsupport::SecondPcPath(work_), QString::fromLatin1(kId),
                                                          QString::number(kSecondFirst), QString::number(kRunMs)});
        QVERIFY(first.waitForStarted() && second.waitForStarted());
        const int looks = LookWhileRunning(first, second, claim_,
                                           [](const QByteArray& bytes) { return ClaimNumber(bytes) >= 0; });
        QVERIFY(looks > 0);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        const Run a = Counted(first);
        const Run b = Counted(second);
        qInfo("first: %d saves, %d conflicts; second: %d saves, %d conflicts; %d looks at the file", a.saves,
              a.conflicts, b.saves, b.conflicts, looks);
        QVERIFY(a.saves > 0 && b.saves > 0);
        QVERIFY(a.conflicts + b.conflicts > 0);
        const int last = ClaimNumber(ktest::ReadBytes(claim_));
        QVERIFY2(last == a.saves || last == kSecondFirst + b.saves - 1, qPrintable(QString::number(last)));
        QCOMPARE(ktest::Entries(work_ + QStringLiteral("/seikyu")), QStringList{kClaimName});
    }

    // Two PCs saving the status of one claim: every look finds one complete
    // file, and each change is kept, being made anew after a conflict.
    void twoProcessesSavingStatusesOfOneClaim()
    {
        if (testsupport::OnSmbnetfs(work_))
            QSKIP("smbnetfs keeps no lock file exclusive across its mounts and replaces a file by removing it "
                  "first (tests/support/TestFolder.h): no two PCs' saves can take turns through it");
        const QString status = StatusFilePath(work_, kId, 1);
        QVERIFY(WriteStatusFile(work_, kId, 1, StatusFile()).has_value());
        QProcess first, second;
        const QString saver = rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER);
        first.start(saver, {"status", work_, QString::fromLatin1(kId), "2020", QString::number(kRunMs)});
        second.start(saver, {"status", testsupport::SecondPcPath(work_), QString::fromLatin1(kId), "2021", QString::number(kRunMs)});
        QVERIFY(first.waitForStarted() && second.waitForStarted());
        QMap<YearMonth, qint64> seen;
        const int looks = LookWhileRunning(first, second, status,
                                           [&](const QByteArray& bytes) { return IsCompleteStatus(bytes, seen); });
        QVERIFY(looks > 0);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        const Run a = Counted(first);
        const Run b = Counted(second);
        qInfo("status saves: first %d, %d conflicts; second %d, %d conflicts; %d looks at the file", a.saves,
              a.conflicts, b.saves, b.conflicts, looks);
        QVERIFY(a.saves > 0 && b.saves > 0 && a.conflicts + b.conflicts > 0);
        const StatusFile last = ReadStatusFile(status).value().value;
        for (int month = 1; month <= 12; ++month) {
            for (const auto& [year, saves] : {std::pair{2020, a.saves}, std::pair{2021, b.saves}}) {
                const MonthStatus* m = last.Find({year, month});
                QCOMPARE(m ? *m->points : -1, LastPoints(saves, month));
            }
        }
        QCOMPARE(ktest::Entries(StatusFolder(work_)), QStringList{kClaimName});
        QCOMPARE(ktest::Entries(HistoryFolderFor(status)).size(), qMin(a.saves + b.saves, kVersionsKept));
    }
};

QTEST_GUILESS_MAIN(SharedFolder)
#include "tst_shared_folder.moc"
