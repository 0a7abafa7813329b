// A failing device under the save, on every platform: whichever call of a
// claim or status save fails (the new file's write, flush or move, or the
// keeping of the replaced bytes in the history), the old file, its history
// and everything else in the data folder stay byte for byte, no temporary
// file is left, and the failure carries the code and text the user sees.

#include "NumberedClaim.h"

#include "claims/History.h"
#include "claimstatus/StatusFile.h"
#include "tests/claims/TestSupport.h"
#include "tests/support/FailingDisk.h"

#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

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

    QTemporaryDir dir_;

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
        static int run = 0;
        const QString work = dir_.filePath(QString::number(++run));
        QVERIFY(QDir().mkpath(work + u"/seikyu"_qs));
        QVERIFY(rtest::SaveNumberedClaim(work, kId, 1).ok() && rtest::SaveNumberedClaim(work, kId, 2).ok());
        QVERIFY(WriteStatusFile(work, kId, 1, StatusWithNote(u"old"_qs)).ok());
        const QString path = claim ? ClaimFilePath(work, kId, 1) : StatusFilePath(work, kId, 1);
        const FileStamp stamp = ReadStamp(path).stamp;
        const QMap<QString, QByteArray> before = Contents(work);

        GuardedWrite saved;
        {
            testsupport::FailingDisk disk(call, n, fault);
            if (claim) {
                const WriteResult written = rtest::SaveNumberedClaim(work, kId, 3, stamp);
                saved = {written.io, written.onDisk};
            } else {
                saved = WriteStatusFile(work, kId, 1, StatusWithNote(u"new"_qs), stamp);
            }
            QVERIFY(disk.Failed());
        }
        const IoResult system = testsupport::SystemFailure(fault, path);
        const QString history = QDir::toNativeSeparators(HistoryFolderFor(path));
        QCOMPARE(saved.io.code, historyFails ? kHistoryNotKept : system.code);
        if (historyFails)
            QVERIFY2(saved.io.message.startsWith(u"履歴フォルダ %1 に前の内容を保存できないため（%2）、保存を中止しました。"_qs
                                                     .arg(history, IoErrorText(system.code))),
                     qPrintable(saved.io.message));
        else
            QCOMPARE(saved.io.message, IoErrorText(system.code));
        QCOMPARE(Contents(work), before);
        // Nothing is stuck: the same save goes through on a sound disk.
        QVERIFY(claim ? rtest::SaveNumberedClaim(work, kId, 3, stamp).ok()
                      : WriteStatusFile(work, kId, 1, StatusWithNote(u"new"_qs), stamp).ok());
    }
};

QTEST_GUILESS_MAIN(SaveFaults)
#include "tst_save_faults.moc"
