// A save killed at any moment leaves the claim file as one complete claim:
// the one saved last or the one being saved, never a mix of the two, a short
// file or an empty one. The temporary file of a save cut short does not stay
// behind once the next save has run.

#include "ReliabilitySupport.h"

#include "tests/claims/TestSupport.h"
#include "tests/support/TestFolder.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <cstring>
#include <limits>
#include <sys/file.h>

using namespace claims;

namespace {

const QByteArray kId = "1024";
constexpr int kKills = 300;
constexpr qint64 kTimeLimitMs = 45'000;

// The number of the claim that the saves reported last, or `before` when
// none was reported.
int LastReported(const QByteArray& output, int before)
{
    int k = before;
    if (output.size() >= int(sizeof k))
        std::memcpy(&k, output.constData() + (output.size() / sizeof k - 1) * sizeof k, sizeof k);
    return k;
}

// The microseconds of the quickest of three saves in the folder, at least
// 8 ms: a kill that falls within that much after a save has returned falls
// in the middle of the next one, on a local disk as on a file server.
int SaveWindowUs(const QString& work)
{
    qint64 quickest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!rtest::SaveNumberedClaim(work, kId, 0).has_value())
            return -1;
        quickest = qMin(quickest, clock.nsecsElapsed());
    }
    return int(qMax<qint64>(8'000, quickest / 1000));
}

} // namespace

class SaveCrashSafety : public QObject {
    Q_OBJECT

    testsupport::TestFolder dir_;
    QString work_;
    QString seikyu_;
    QString claimName_;

    QStringList StrayEntries() const
    {
        QStringList entries = ktest::Entries(seikyu_);
        entries.removeAll(claimName_);
        // A save killed while it held the claim's lock (or the lock for
        // removing a stale one) leaves that lock file; the next save takes
        // it over and removes it.
        entries.removeAll(claimName_ + u".lock"_qs);
        entries.removeAll(claimName_ + u".lock.rmlock"_qs);
        return entries;
    }

private slots:
    void init()
    {
        static int n = 0;
        work_ = dir_.filePath(QString::number(++n));
        seikyu_ = work_ + u"/seikyu"_qs;
        QVERIFY(QDir().mkpath(seikyu_));
        claimName_ = u"請1024-1.CSV"_qs;
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 0).has_value());
    }

    void killedSaveLeavesOneCompleteClaim()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const int window = SaveWindowUs(work_);
        QVERIFY(window > 0);
        qInfo("random seed %u; kills within %d us after a save", seed, window);
        QElapsedTimer clock;
        clock.start();
        int current = 0;            // the claim in the file
        int kills = 0, saves = 0, newClaimAtKill = 0, temporaryAtKill = 0;
        for (; kills < kKills && clock.elapsed() < kTimeLimitMs; ++kills) {
            rtest::ChildProcess child({KIBORU_PROBE, "save-loop", QFile::encodeName(work_), kId,
                                       QByteArray::number(current + 1)});
            QVERIFY(child.Started());
            // A third of the kills fall anywhere from the start; the others
            // fall among saves that already run one after the other.
            if (kills % 3 != 0)
                QVERIFY(child.WaitForOutput(10'000));
            ::usleep(random.bounded(kills % 3 == 0 ? 30'000 : window));
            const int status = child.Kill();
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the saves stopped before the kill");
            const int done = LastReported(child.ReadAll(), current);
            saves += done - current;

            const QByteArray bytes = ktest::ReadBytes(seikyu_ + u'/' + claimName_);
            if (bytes == rtest::NumberedClaimBytes(kId, done + 1)) {
                current = done + 1;   // killed after the rename, before the report
                ++newClaimAtKill;
            } else {
                QVERIFY2(bytes == rtest::NumberedClaimBytes(kId, done),
                         qPrintable(u"kill %1: claim %2 or %3 expected, %4 bytes found"_qs.arg(kills).arg(done).arg(done + 1).arg(bytes.size())));
                current = done;
            }
            const QStringList stray = StrayEntries();
            QVERIFY2(stray.size() <= 1, qPrintable(u"kill %1 left %2"_qs.arg(kills).arg(stray.join(u' '))));
            temporaryAtKill += int(stray.size());
        }
        qInfo("%d kills in %lld ms; %d saves completed; %d kills came after the new file took the old one's place; "
              "%d left a temporary file",
              kills, clock.elapsed(), saves, newClaimAtKill, temporaryAtKill);
        // Over a file server each run starts slower and a save takes tens of
        // milliseconds: fewer kills fit in the time, and they fall mostly
        // while the new file is written.
        const bool share = !testsupport::TestRoot().isEmpty();
        QVERIFY(kills >= (share ? 50 : 200));
        // Kills did fall while a new file was written and after it took the
        // old one's place.
        QVERIFY(temporaryAtKill > 0 && (share || newClaimAtKill > 0));

        // The next run's first save sweeps what the killed saves left.
        rtest::ChildProcess nextRun({KIBORU_PROBE, "save-once", QFile::encodeName(work_), kId,
                                     QByteArray::number(current + 1)});
        QCOMPARE(nextRun.Wait(), 0);
        const QStringList left = ktest::Entries(seikyu_);
        QVERIFY2(left == QStringList{claimName_}, qPrintable(left.join(u' ')));
        t_sick header;
        TTreatmentTable table;
        QVERIFY(ReadClaimFile(seikyu_ + u'/' + claimName_, header, table).has_value());
        QCOMPARE(header.creditor, QByteArray::number(current + 1));
    }

    // Any running save holds a lock on its temporary file; one without a
    // lock is what a killed save left, and the first save of the next run
    // removes it (one sweep of a folder per run keeps saves fast in a folder
    // of many claim files).
    void staleTemporaryFileGoesButOneInUseStays()
    {
        const QString stale = u".kiboru-1a2b3c4d.tmp"_qs;
        const QString inUse = u".kiboru-5e6f7a8b.tmp"_qs;
        const QStringList others = {u".kiboru-1a2b3c4d.tmp.bak"_qs, u"kiboru-1a2b3c4d.tmp"_qs, u"請1024-1.tmp"_qs};
        for (const QString& name : QStringList{stale, inUse} + others)
            QVERIFY(ktest::WriteBytes(seikyu_ + u'/' + name, "half a claim"));
        const int fd = ::open(QFile::encodeName(seikyu_ + u'/' + inUse), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);

        rtest::ChildProcess firstRun({KIBORU_PROBE, "save-once", QFile::encodeName(work_), kId, "1"});
        QCOMPARE(firstRun.Wait(), 0);
        QStringList expected = QStringList{claimName_, inUse} + others;
        expected.sort();
        QCOMPARE(ktest::Entries(seikyu_), expected);

        ::close(fd);   // that save has ended
        rtest::ChildProcess nextRun({KIBORU_PROBE, "save-once", QFile::encodeName(work_), kId, "2"});
        QCOMPARE(nextRun.Wait(), 0);
        expected.removeOne(inUse);
        QCOMPARE(ktest::Entries(seikyu_), expected);
        QCOMPARE(ktest::ReadBytes(seikyu_ + u'/' + claimName_), rtest::NumberedClaimBytes(kId, 2));
    }
};

QTEST_GUILESS_MAIN(SaveCrashSafety)
#include "tst_save_crash_safety.moc"
