// Several office PCs on one claim folder: a save never overwrites unseen a
// claim that changed after it was read, and two processes saving one claim
// file at once leave it, at every moment, one complete claim, byte for byte
// one of those they saved.

#include "NumberedClaim.h"

#include "files/FileAccess.h"
#include "tests/claims/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

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

} // namespace

class SharedFolder : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString work_;
    QString claim_;

private slots:
    void init()
    {
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
            QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).ok());
        const FileStamp read = ReadStamp(claim_).stamp;
        QCOMPARE(read.exists, existed);
        if (change == "save")
            QVERIFY(rtest::SaveNumberedClaim(work_, kId, 2).ok());
        if (change == "remove")
            QVERIFY(QFile::remove(claim_));
        if (change == "byte") {
            QFile file(claim_);
            const QDateTime modified = QFileInfo(file).lastModified();
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(3) && file.write("X") == 1);
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        const QByteArray before = ktest::ReadBytes(claim_);

        const WriteResult first = rtest::SaveNumberedClaim(work_, kId, 3, read);
        QCOMPARE(first.changedElsewhere(), !change.isEmpty());
        if (first.changedElsewhere()) {
            QCOMPARE(ktest::ReadBytes(claim_), before);
            QCOMPARE(first.onDisk, ReadStamp(claim_).stamp);
            QVERIFY(rtest::SaveNumberedClaim(work_, kId, 3, first.onDisk).ok());
        }
        QCOMPARE(ClaimNumber(ktest::ReadBytes(claim_)), 3);
        QCOMPARE(ktest::Entries(work_ + QStringLiteral("/seikyu")), QStringList{kClaimName});
    }

    // The lock file of a save under way is no claim file of the student.
    void lockFileIsNoClaim()
    {
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).ok());
        QLockFile lock(ClaimLockPath(work_, kId, 1));
        QVERIFY(lock.tryLock(0));
        QCOMPARE(ktest::Entries(work_ + QStringLiteral("/seikyu")).size(), 2);
        QCOMPARE(ListClaimFiles(work_, kId), QStringList{kClaimName});
        QCOMPARE(ClaimFilePath(work_, kId, 1), claim_);
    }

    void twoProcessesSavingOneClaim()
    {
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 0).ok());
        QProcess first, second;
        first.start(rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER),
                    {"loop", work_, QString::fromLatin1(kId), "1", QString::number(kRunMs)});
        second.start(rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER), {"loop", work_, QString::fromLatin1(kId),
                                                          QString::number(kSecondFirst), QString::number(kRunMs)});
        QVERIFY(first.waitForStarted() && second.waitForStarted());
        int looks = 0;
        while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
            // Read as the program reads: on Windows a reader that does not
            // share deletion would keep the saves out for as long as it reads.
            const claims::FileBytes read = claims::ReadWholeFile(claim_);
            QVERIFY2(read.result.ok(), qPrintable(read.result.message));
            QVERIFY2(ClaimNumber(read.bytes) >= 0, read.bytes.left(200).constData());
            ++looks;
            first.waitForFinished(1);
            second.waitForFinished(1);
        }
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
};

QTEST_GUILESS_MAIN(SharedFolder)
#include "tst_shared_folder.moc"
