// Faults of the disk and the folders around the claim and roster files: each
// gives its code and text, leaves the claim file that was there as it was,
// and the next try succeeds once the cause is gone. A full and a read-only
// disk are real small file systems where the test may mount one.

#include "ReliabilitySupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"
#include "tests/claims/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sys/stat.h>

using namespace claims;

namespace {

const QByteArray kId = "1024";
constexpr unsigned kWatchdogSeconds = 30;   // a read that waits forever ends the test

QByteArray OnDisk(const QString& path) { return QFile::encodeName(path); }

bool MakeLink(const QString& target, const QString& link)
{
    return ::symlink(OnDisk(target).constData(), OnDisk(link).constData()) == 0;
}

} // namespace

class DiskFaults : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString work_;
    QString seikyu_;
    QString claim_;            // the claim file of kId, occurrence 1
    QByteArray oldClaim_;      // what it holds

    // Puts a cause of failure in place of the seikyu folder or the claim file.
    bool Break(const QString& cause)
    {
        if (cause == u"no seikyu")
            return QDir(seikyu_).removeRecursively();
        if (cause == u"seikyu a file")
            return QDir(seikyu_).removeRecursively() && ktest::WriteBytes(seikyu_, "x");
        if (cause == u"seikyu a link to nowhere")
            return QDir(seikyu_).removeRecursively() && MakeLink(work_ + u"/gone"_qs, seikyu_);
        if (cause == u"seikyu read-only")
            return ::chmod(OnDisk(seikyu_), 0555) == 0;
        if (cause == u"file read-only")
            return ::chmod(OnDisk(claim_), 0444) == 0;
        if (cause == u"file a folder")
            return QFile::remove(claim_) && QDir().mkdir(claim_);
        return false;
    }

    // Takes the cause away again.
    bool Mend(const QString& cause)
    {
        if (cause == u"no seikyu")
            return QDir().mkdir(seikyu_);
        if (cause == u"seikyu a file")
            return QFile::remove(seikyu_) && QDir().mkdir(seikyu_);
        if (cause == u"seikyu a link to nowhere")
            return QDir().mkdir(work_ + u"/gone"_qs);   // the link now leads somewhere
        if (cause == u"seikyu read-only")
            return ::chmod(OnDisk(seikyu_), 0755) == 0;
        if (cause == u"file read-only")
            return ::chmod(OnDisk(claim_), 0644) == 0;
        if (cause == u"file a folder")
            return QDir().rmdir(claim_);
        return false;
    }

    // What a claim file becomes between the listing and the read.
    bool Change(const QString& change)
    {
        const QByteArray path = OnDisk(claim_);
        if (change == u"vanished")
            return QFile::remove(claim_);
        if (change == u"became a folder")
            return QFile::remove(claim_) && QDir().mkdir(claim_);
        if (change == u"became unreadable")
            return ::chmod(path, 0) == 0;
        if (change == u"became a named pipe")
            return QFile::remove(claim_) && ::mkfifo(path, 0644) == 0;
        if (change == u"became a link to nowhere")
            return QFile::remove(claim_) && MakeLink(work_ + u"/nowhere"_qs, claim_);
        if (change == u"became a link to itself")
            return QFile::remove(claim_) && MakeLink(claim_, claim_);
        return false;
    }

    bool Unchange()
    {
        ::chmod(OnDisk(claim_), 0644);
        if (QFileInfo(claim_).isDir())
            QDir().rmdir(claim_);
        else
            QFile::remove(claim_);
        return ktest::WriteBytes(claim_, oldClaim_);
    }

    void CheckSaveFails(int code)
    {
        const Result<FileStamp> result = rtest::SaveNumberedClaim(work_, kId, 2);
        QCOMPARE(result.error().code, code);
        QCOMPARE(result.error().message, IoErrorText(code));
    }

    void CheckSaveSucceeds()
    {
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 3).has_value());
        QCOMPARE(ktest::ReadBytes(claim_), rtest::NumberedClaimBytes(kId, 3));
        QCOMPARE(ktest::Entries(seikyu_), QStringList{QFileInfo(claim_).fileName()});
    }

    // A working folder on a small file system of its own, with the old claim.
    void StartOn(rtest::SmallFileSystem& disk)
    {
        QVERIFY2(disk.Mounted(), "mounting a tmpfs file system");
        QVERIFY(QDir().mkdir(seikyu_));
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).has_value());
    }

private slots:
    void init()
    {
        ::alarm(kWatchdogSeconds);
        static int n = 0;
        work_ = dir_.filePath(QString::number(++n));
        seikyu_ = work_ + u"/seikyu"_qs;
        claim_ = seikyu_ + u"/請1024-1.CSV"_qs;
        oldClaim_ = rtest::NumberedClaimBytes(kId, 1);
        QVERIFY(QDir().mkpath(seikyu_));
        QVERIFY(rtest::SaveNumberedClaim(work_, kId, 1).has_value());
    }

    void cleanup()
    {
        ::alarm(0);
        ::chmod(OnDisk(seikyu_), 0755);
        ::chmod(OnDisk(claim_), 0644);
    }

    void saveFailsUntilTheCauseIsGone_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("oldFileStays");
        QTest::newRow("seikyu missing") << u"no seikyu"_qs << int(PathNotFound) << false;
        QTest::newRow("seikyu is a file") << u"seikyu a file"_qs << int(PathNotFound) << false;
        QTest::newRow("seikyu is a link to nowhere") << u"seikyu a link to nowhere"_qs << int(PathNotFound) << false;
        QTest::newRow("seikyu is read-only") << u"seikyu read-only"_qs << int(AccessDenied) << true;
        QTest::newRow("claim file is read-only") << u"file read-only"_qs << int(AccessDenied) << true;
        QTest::newRow("claim file is a folder") << u"file a folder"_qs << int(AccessDenied) << false;
    }

    void saveFailsUntilTheCauseIsGone()
    {
        QFETCH(QString, cause);
        QFETCH(int, code);
        QFETCH(bool, oldFileStays);
        QVERIFY(Break(cause));
        const QStringList before = rtest::Tree(work_);
        {
            rtest::PermissionBitsHold bits;   // as for any user
            CheckSaveFails(code);
        }
        QCOMPARE(rtest::Tree(work_), before);   // nothing written, nothing left behind
        if (oldFileStays)
            QCOMPARE(ktest::ReadBytes(claim_), oldClaim_);
        QVERIFY(Mend(cause));
        CheckSaveSucceeds();
    }

    void claimFileThatChangesAfterTheListingIsReported_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("code");
        QTest::newRow("vanished") << u"vanished"_qs << int(FileNotFound);
        QTest::newRow("became a folder") << u"became a folder"_qs << int(AccessDenied);
        QTest::newRow("became unreadable") << u"became unreadable"_qs << int(AccessDenied);
        QTest::newRow("became a named pipe") << u"became a named pipe"_qs << int(AccessDenied);
        QTest::newRow("became a link to nowhere") << u"became a link to nowhere"_qs << int(FileNotFound);
        QTest::newRow("became a link to itself") << u"became a link to itself"_qs << ELOOP;
    }

    void claimFileThatChangesAfterTheListingIsReported()
    {
        QFETCH(QString, change);
        QFETCH(int, code);
        const QStringList listed = ListClaimFiles(work_, kId);
        QCOMPARE(listed, QStringList{u"請1024-1.CSV"_qs});
        QVERIFY(Change(change));
        rtest::Claim claim = rtest::NumberedClaim(7);
        {
            rtest::PermissionBitsHold bits;
            QVERIFY(!FileCanBeRead(seikyu_ + u'/' + listed[0]));
            const Result<FileStamp> result = ReadClaimFile(seikyu_ + u'/' + listed[0], claim.header, claim.table);
            QCOMPARE(result.error().code, code);
            QCOMPARE(result.error().message, IoErrorText(code));
        }
        QCOMPARE(claim.header, rtest::NumberedClaim(7).header);   // left as it was
        QCOMPARE(claim.table, rtest::NumberedClaim(7).table);
        QVERIFY(Unchange());
        QVERIFY(ReadClaimFile(seikyu_ + u'/' + listed[0], claim.header, claim.table).has_value());
        QCOMPARE(claim.header, rtest::NumberedClaim(1).header);
    }

    void rosterThatCannotBeReadIsReported_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("code");
        QTest::newRow("a folder") << u"became a folder"_qs << int(AccessDenied);
        QTest::newRow("unreadable") << u"became unreadable"_qs << int(AccessDenied);
        QTest::newRow("a named pipe") << u"became a named pipe"_qs << int(AccessDenied);
        QTest::newRow("vanished after the existence test") << u"vanished"_qs << int(FileNotFound);
        QTest::newRow("a link to itself") << u"became a link to itself"_qs << ELOOP;
        QTest::newRow("a link to an endless device") << u"/dev/zero"_qs << int(AccessDenied);
    }

    void rosterThatCannotBeReadIsReported()
    {
        QFETCH(QString, change);
        QFETCH(int, code);
        claim_ = work_ + u"/H20入学.CSV"_qs;   // Change() and Unchange() work on it
        oldClaim_ = "header\r\n20001,a\r\n20002,b\r\n";
        QVERIFY(ktest::WriteBytes(claim_, oldClaim_));
        QVERIFY(change.startsWith(u'/') ? QFile::remove(claim_) && MakeLink(change, claim_) : Change(change));
        const QString message = u"ﾌｧｲﾙ "_qs + claim_ + u" は開けません"_qs;
        {
            rtest::PermissionBitsHold bits;
            const Result<RosterLines> read = ReadRosterLines(claim_);
            const Result<FoundLines> searched = FindRosterLinesInFile(claim_, "2000");
            QVERIFY(!read && !searched);
            for (const IoError& error : {read.error(), searched.error()}) {
                QCOMPARE(error.code, code);
                QCOMPARE(error.message, message);
            }
        }
        QVERIFY(Unchange());
        QCOMPARE(ReadRosterLines(claim_)->lines, QList<QByteArray>({"header", "20001,a", "20002,b"}));
        QCOMPARE(FindRosterLinesInFile(claim_, "2000")->toList(), QList<QByteArray>({"20001,a", "20002,b"}));
    }

    void fullDiskStopsTheSaveUntilThereIsRoom_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("noInodes");
        QTest::newRow("no room for data") << QByteArray("size=64k") << false;
        QTest::newRow("no room for another file") << QByteArray("size=1m,nr_inodes=16") << true;
    }

    void fullDiskStopsTheSaveUntilThereIsRoom()
    {
        QFETCH(QByteArray, options);
        QFETCH(bool, noInodes);
        rtest::SmallFileSystem disk(work_, options);
        if (!disk.Mounted()) {
            if (noInodes)
                QSKIP("no right to mount a file system here");
            qInfo("no right to mount a file system (%s): the file size limit stands in for a full disk",
                  std::strerror(disk.Error()));
            SaveFailsBeyondFileSizeLimit();
            return;
        }
        StartOn(disk);
        const QString filler = work_ + u"/filler"_qs;
        int fillers = 0;
        if (noInodes) {
            while (ktest::WriteBytes(filler + QString::number(fillers), QByteArray()))
                ++fillers;
        } else {
            QFile file(filler);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            for (const QByteArray block(4096, 'f'); file.write(block) > 0;) {
            }
            while (file.write("f", 1) > 0) {
            }
        }
        CheckSaveFails(DiskFull);
        QCOMPARE(ktest::ReadBytes(claim_), oldClaim_);
        QCOMPARE(ktest::Entries(seikyu_), QStringList{u"請1024-1.CSV"_qs});
        QFile::remove(filler);
        // A save makes its lock and its new claim, and keeps the old claim
        // in the history: three folders and the version's file.
        for (int i = 1; noInodes && i <= 6; ++i)
            QFile::remove(filler + QString::number(fillers - i));
        CheckSaveSucceeds();
    }

    void readOnlyDiskStopsTheSaveUntilWritable()
    {
        rtest::SmallFileSystem disk(work_, "size=1m");
        if (!disk.Mounted())
            QSKIP("no right to mount a file system here");
        StartOn(disk);
        QVERIFY(disk.SetReadOnly(true));
        CheckSaveFails(AccessDenied);
        rtest::Claim claim = rtest::NumberedClaim(7);
        QVERIFY(ReadClaimFile(claim_, claim.header, claim.table).has_value());   // reading goes on
        QCOMPARE(claim.header, rtest::NumberedClaim(1).header);
        QVERIFY(disk.SetReadOnly(false));
        CheckSaveSucceeds();
    }

private:
    // Where no file system can be mounted: a limit on the size of files
    // fails the write as a full disk does.
    void SaveFailsBeyondFileSizeLimit()
    {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlim_t before = limit.rlim_cur;
        limit.rlim_cur = 1000;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const Result<FileStamp> result = rtest::SaveNumberedClaim(work_, kId, 2);
        limit.rlim_cur = before;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QCOMPARE(result.error().code, int(DiskFull));
        QCOMPARE(ktest::ReadBytes(claim_), oldClaim_);
        CheckSaveSucceeds();
    }
};

QTEST_GUILESS_MAIN(DiskFaults)
#include "tst_disk_faults.moc"
