// Backups of the data folder: the files taken, the archive's check, the
// faults that leave no backup under a final name, and kiboru --backup.

#include "app/BackupCommand.h"
#include "backup/Backup.h"
#include "backup/ZipArchive.h"
#include "files/FileAccess.h"
#include "tests/support/FailingDisk.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace claims;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QVERIFY(testsupport::WriteMakingFolders(path, bytes));
}

QByteArray Read(const QString& path)
{
    return testsupport::ReadOrNothing(path);
}

// What a backup takes, and beside it what it leaves.
const QStringList kTaken{u"H20入学.CSV"_qs, u"R06入学.CSV"_qs, u"seikyu/請1-1.CSV"_qs,
                         u"履歴/seikyu/請1-1/20261209-101010-001-PC.CSV"_qs, u"請求状況/請1-1.CSV"_qs};
const QStringList kLeft{u"memo.txt"_qs, u"名簿一覧.CSV"_qs, u"seikyu/請1-1.CSV.lock"_qs, u"seikyu/.kiboru-save-1"_qs,
                        u"other/請2-1.CSV"_qs};

} // namespace

class Backups : public QObject {
    Q_OBJECT

    testsupport::TestFolder dir_;
    QString data_;
    QString target_;
    int case_ = 0;

    QStringList TargetFiles() const { return QDir(target_).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

private slots:
    void init()
    {
        const QString root = dir_.filePath(QString::number(++case_));
        data_ = root + u"/学校データ"_qs;
        target_ = root + u"/USB"_qs;
        QVERIFY(QDir().mkpath(target_));
        for (const QString& name : kTaken + kLeft)
            Write(data_ + u'/' + name, name.toUtf8() + "\r\n1,2,3\r\n");
    }

    // Every file Kiboru keeps, none other, byte for byte, with names that
    // Windows reads (Deflate, the UTF-8 flag).
    void backupHoldsEveryKeptFile()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        QCOMPARE(FilesToBackUp(data_).join(u"|"_qs), kTaken.join(u"|"_qs));
        const Result<QString> made = MakeBackup(data_, target_);
        QVERIFY2(made, qPrintable(made ? QString() : made.error().message));
        QCOMPARE(TargetFiles(), QStringList{QFileInfo(*made).fileName()});
        QVERIFY(IsBackupOf(QFileInfo(*made).fileName(), data_));
        const QByteArray zip = Read(*made);
        QCOMPARE(zip.at(8), char(8));                    // Deflate
        QVERIFY(uchar(zip.at(7)) & 0x08);                // bit 11: UTF-8 names
        const Result<QList<ZipMember>> members = ReadZip(zip);
        QVERIFY(members);
        for (const ZipMember& m : *members) {
            if (m.name != u"kiboru-manifest.txt"_qs)
                QCOMPARE(m.bytes, Read(data_ + u'/' + m.name));
        }
        const Result<QList<BackupEntry>> check = VerifyBackup(*made);
        QVERIFY(check);
        QCOMPARE(check->size(), kTaken.size());
    }

    void faultLeavesNoBackup_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        QTest::newRow("folder gone") << u"gone"_qs << u"がありません。USBメモリなどが外されていないか"_qs;
        QTest::newRow("inside the data folder") << u"inside"_qs << u"バックアップ先がデータのフォルダの中"_qs;
        QTest::newRow("holds the data folder") << u"outside"_qs << u"データのフォルダがバックアップ先の中"_qs;
        QTest::newRow("disk full at write") << u"full"_qs << IoErrorText(DiskFull);
        QTest::newRow("rename refused") << u"rename"_qs << IoErrorText(AccessDenied);
        QTest::newRow("a byte flipped on the disk") << u"flip"_qs << u"壊れています"_qs;
        QTest::newRow("cancelled while reading") << u"cancel 1"_qs << kCancelledText;
        QTest::newRow("cancelled before the name") << u"cancel last"_qs << kCancelledText;
    }

    // An older backup stays as it was; nothing new is left, under a final
    // name or any other; the reason is told.
    void faultLeavesNoBackup()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        QFETCH(QString, fault);
        QFETCH(QString, told);
        const QString older = target_ + u'/' + BackupFileName(data_, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), u"PC"_qs);
        Write(older, "an older backup");
        QString target = target_;
        if (fault == u"gone")
            target = target_ + u"/外された"_qs;
        else if (fault == u"inside")
            target = data_ + u"/seikyu"_qs;
        else if (fault == u"outside")
            target = QFileInfo(data_).path();
        Result<QString> made = Failed(0, QString());
        {
            using testsupport::DiskFault;
            std::optional<testsupport::FailingDisk> disk;
            if (fault == u"full" || fault == u"flip")
                disk.emplace(testsupport::FileCall::Write, 1, fault == u"full" ? DiskFault::DiskFull : DiskFault::FlippedByte);
            else if (fault == u"rename")
                disk.emplace(testsupport::FileCall::Rename, 1, DiskFault::AccessDenied);
            // Stops at the second file read, or at the last step, the check done.
            const BackupProgress progress = [&](int done, int total) {
                return fault == u"cancel 1" ? done < 1 : fault == u"cancel last" ? done < total - 1 : true;
            };
            made = MakeBackup(data_, target, kBackupsKept, progress);
        }
        QVERIFY(!made);
        QVERIFY2(made.error().message.contains(told), qPrintable(made.error().message));
        QCOMPARE(TargetFiles(), QStringList{QFileInfo(older).fileName()});
        QCOMPARE(Read(older), QByteArray("an older backup"));
        QCOMPARE(QDir(data_ + u"/seikyu"_qs).entryList(QDir::Files).filter(u".zip"_qs), QStringList());
    }

    void damagedBackupIsTold_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("a byte flipped") << u"flip"_qs;
        QTest::newRow("cut short") << u"cut"_qs;
        QTest::newRow("a file more than listed") << u"more"_qs;
        QTest::newRow("no manifest") << u"none"_qs;
    }

    void damagedBackupIsTold()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        QFETCH(QString, damage);
        const Result<QString> made = MakeBackup(data_, target_);
        QVERIFY(made);
        QByteArray zip = Read(*made);
        Result<QList<ZipMember>> members = ReadZip(zip);
        QVERIFY(members);
        if (damage == u"flip")
            zip[zip.indexOf("PK\x03\x04") + 40] ^= 0x20;   // in the first file's data
        else if (damage == u"cut")
            zip.chop(30);
        else if (damage == u"more")
            zip = WriteZip(*members << ZipMember{u"seikyu/請9-1.CSV"_qs, "x", QDateTime::currentDateTime()}).value();
        else
            zip = WriteZip(members->mid(0, members->size() - 1)).value();
        const Result<QList<BackupEntry>> check = VerifyBackupBytes(zip);
        QVERIFY(!check);
        QVERIFY2(check.error().message.startsWith(u"壊れています："_qs), qPrintable(check.error().message));
    }

    // Older backups of this data folder beyond the kept number go once a
    // new one is verified; another data folder's and other files stay.
    void oldestBackupsGo()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        const auto at = [&](int day) { return BackupFileName(data_, QDateTime(QDate(2026, 1, day), QTime(9, 0)), u"PC"_qs); };
        const QString others = u"Kiboru-別の学校-20260101-090000-PC.zip"_qs;
        for (const QString& name : {at(1), at(2), at(3), others, u"notes.txt"_qs})
            Write(target_ + u'/' + name, "kept");
        const Result<QString> made = MakeBackup(data_, target_, 2);
        QVERIFY(made);
        QCOMPARE(BackupsOf(data_, target_), (QStringList{QFileInfo(*made).fileName(), at(3)}));
        QCOMPARE(TargetFiles().size(), 4);
        QVERIFY(TargetFiles().contains(others) && TargetFiles().contains(u"notes.txt"_qs));
    }

    void backupCommandExitStatus()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(data_));
        const int usage = app::RunBackupCommand({u"kiboru"_qs, u"--backup"_qs});
        const int gone = app::RunBackupCommand({u"kiboru"_qs, u"--backup"_qs, target_ + u"/外された"_qs});
        const int made = app::RunBackupCommand({u"kiboru"_qs, u"--backup"_qs, QDir::toNativeSeparators(target_)});
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(QList<int>({usage, gone, made}), QList<int>({1, 1, 0}));
        QCOMPARE(BackupsOf(data_, target_).size(), 1);
    }
};

QTEST_GUILESS_MAIN(Backups)
#include "tst_backup.moc"
