// A failing device under the save, on every platform: whichever call of a
// claim or status save fails (the new file's write, flush or move, or the
// keeping of the replaced bytes in the history), the old file, its history
// and everything else in the data folder stay byte for byte, no temporary
// file is left, and the failure carries the code and text the user sees;
// a move that lost its target has it put back.

#include "NumberedClaim.h"

#include "store/History.h"
#include "claimstatus/StatusFile.h"
#include "tests/claims/TestSupport.h"
#include "tests/support/FailingDisk.h"

#include "tests/support/SlowMount.h"
#include "tests/support/TestFolder.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QtTest>

#include <optional>
#include <thread>

using namespace claims;
using testsupport::DiskFault;
using testsupport::FileCall;

Q_DECLARE_METATYPE(testsupport::DiskFault)
Q_DECLARE_METATYPE(testsupport::FileCall)

namespace {

const QByteArray kId = "1024";

// Every file below folder (hidden ones too) with its bytes; folders as "/".
QMap<QString, QByteArray> Contents(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        contents[path.mid(folder.size())] = QFileInfo(path).isDir() ? QByteArray("/") : ktest::ReadBytes(path);
    }
    return contents;
}

StatusFile StatusWithNote(const QString& note)
{
    StatusFile file;
    file.Edit({2025, 4}).note = note;
    return file;
}

} // namespace

class SaveFaults : public QObject {
    Q_OBJECT

    testsupport::TestFolder dir_;

    // Saves claim 3 over claim 1, or a new note in its status file, over the
    // file as read with stamp.
    static Result<FileStamp> SaveNew(const QString& work, bool claim, const FileStamp& stamp)
    {
        return claim ? rtest::SaveNumberedClaim(work, kId, 3, stamp)
                     : WriteStatusFile(work, kId, 1, StatusWithNote(u"new"_qs), stamp);
    }

    // A fresh data folder with claim 1 of the student saved twice (so it
    // has a history) and a status file.
    QString NewWork()
    {
        static int run = 0;
        const QString work = dir_.filePath(QString::number(++run));
        if (!QDir().mkpath(work + u"/seikyu"_qs) || !rtest::SaveNumberedClaim(work, kId, 1).has_value()
            || !rtest::SaveNumberedClaim(work, kId, 2).has_value()
            || !WriteStatusFile(work, kId, 1, StatusWithNote(u"old"_qs)).has_value())
            return QString();
        return work;
    }

private slots:
    void faultLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<bool>("claim");   // else the status file
        QTest::addColumn<FileCall>("call");
        QTest::addColumn<int>("n");
        QTest::addColumn<DiskFault>("fault");
        QTest::addColumn<bool>("historyFails");
        // The calls of a save that replaces a file, in their order: its new
        // file written and flushed, the history copy (its own file written,
        // flushed and moved), then the new file moved into place.
        const struct {
            const char* name;
            FileCall call;
            int n;
            bool history;
        } calls[] = {
            {"new file's write", FileCall::Write, 1, false},   {"new file's flush", FileCall::Flush, 1, false},
            {"history copy", FileCall::HistoryCopy, 1, true},  {"version's write", FileCall::Write, 2, true},
            {"version's flush", FileCall::Flush, 2, true},     {"version's move", FileCall::Rename, 1, true},
            {"move into place", FileCall::Rename, 2, false},
        };
        const struct {
            const char* name;
            DiskFault fault;
        } faults[] = {{"disk full", DiskFault::DiskFull},
                      {"access denied", DiskFault::AccessDenied},
                      {"sharing violation", DiskFault::SharingViolation}};
        for (bool claim : {true, false}) {
            for (const auto& c : calls) {
                for (const auto& f : faults) {
                    QTest::addRow("%s: %s, %s", claim ? "claim" : "status", c.name, f.name)
                        << claim << c.call << c.n << f.fault << c.history;
                }
            }
            // A file server's client may remove the target of a move that it
            // then refuses (Wine's through a FUSE mount does): the save puts
            // the bytes it replaced back, with their time, and says so.
            QTest::addRow("%s: move into place that loses its target", claim ? "claim" : "status")
                << claim << FileCall::Rename << 2 << DiskFault::TargetLost << false;
        }
    }

    // The claim has a history already; the status file gets its first
    // version, whose folders go again when it fails.
    void faultLeavesEverythingAsItWas()
    {
        QFETCH(bool, claim);
        QFETCH(FileCall, call);
        QFETCH(int, n);
        QFETCH(DiskFault, fault);
        QFETCH(bool, historyFails);
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        const QString work = NewWork();
        QVERIFY(!work.isEmpty());
        const QString path = claim ? ClaimFilePath(work, kId, 1) : StatusFilePath(work, kId, 1);
        const FileStamp stamp = GuardedFile(path).Stamp().value();
        const QMap<QString, QByteArray> before = Contents(work);

        Result<FileStamp> saved;
        {
            testsupport::FailingDisk disk(call, n, fault);
            saved = SaveNew(work, claim, stamp);
            QVERIFY(disk.Failed());
        }
        const IoResult system = testsupport::SystemFailure(fault, path);
        const QString history = QDir::toNativeSeparators(HistoryFolderFor(path));
        const QString putBack = fault == DiskFault::TargetLost
                                    ? u"\n保存できなかったため、ファイルを保存前の内容に戻しました。"_qs
                                    : QString();
        QVERIFY(!saved);
        QCOMPARE(saved.error().refusal, historyFails ? Refusal::HistoryNotKept : Refusal::None);
        if (historyFails)
            QVERIFY2(saved.error().message.startsWith(u"履歴フォルダ %1 に前の内容を保存できないため（%2）、保存を中止しました。"_qs
                                                          .arg(history, IoErrorText(system.error().code))),
                     qPrintable(saved.error().message));
        else
            QCOMPARE(saved.error().code, system.error().code);
        if (!historyFails)
            QCOMPARE(saved.error().message, IoErrorText(system.error().code) + putBack);
        QCOMPARE(Contents(work), before);
        // The file keeps its time too: the next save with the same stamp is
        // not taken for a change made elsewhere, and, the disk sound again,
        // goes through.
        QCOMPARE(GuardedFile(path).Stamp().value(), stamp);
        QVERIFY(SaveNew(work, claim, stamp).has_value());
    }

    void saveGoesThroughOnceAReaderLetsGo_data()
    {
        QTest::addColumn<bool>("standIn");
        QTest::newRow("data folder") << false;
        QTest::newRow("file server's stand-in") << true;
    }

    // A file server moves no file that is open, neither the new file nor
    // its target; another program (another PC, a virus scanner) may hold
    // the target open for a moment, which Windows refuses too. The save
    // closes its new file before the move, tries the move again while the
    // reader holds on, goes through once it lets go and leaves no temporary
    // file. The stand-in (slowfs) keeps the server's rule and counts the
    // round trips.
    void saveGoesThroughOnceAReaderLetsGo()
    {
        QFETCH(bool, standIn);
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        QString work = NewWork();
        QVERIFY(!work.isEmpty());
        std::optional<testsupport::SlowMount> share;
        if (standIn) {
            share.emplace(work, 0, -1, testsupport::SlowMount::Access::Writable);
            if (!share->Mounted())
                QSKIP(qPrintable(share->WhyNot()));
            work = share->Path();
        }
        const QString path = ClaimFilePath(work, kId, 1);
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        std::thread letGo([&reader] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            reader.close();
        });
        const Result<FileStamp> saved = rtest::SaveNumberedClaim(work, kId, 3, GuardedFile(path).Stamp().value());
        letGo.join();
        QVERIFY2(saved.has_value(), qPrintable(saved ? QString() : saved.error().message));
        QCOMPARE(ktest::ReadBytes(path), rtest::NumberedClaimBytes(kId, 3));
        QCOMPARE(QDir(work + u"/seikyu"_qs).entryList(QDir::Files | QDir::Hidden), QStringList{u"請1024-1.CSV"_qs});
    }
};

QTEST_GUILESS_MAIN(SaveFaults)
#include "tst_save_faults.moc"
