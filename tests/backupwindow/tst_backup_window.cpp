// The backup window and the restore preview through their controls: a
// backup made and listed, a claim changed and one deleted, the preview's
// marks, a restore that brings each file back byte for byte with the bytes
// it replaced in the history, after asking about the one another PC saved
// meanwhile. And
// the reminder's question at exit.

#include "backupwindow/BackupSettings.h"
#include "backupwindow/BackupWindow.h"
#include "backupwindow/RestorePreview.h"
#include "forms/MessageSeam.h"
#include "forms/SaveGuarded.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

using namespace backupwindow;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QVERIFY(testsupport::WriteMakingFolders(path, bytes));
}

QByteArray Read(const QString& path)
{
    return testsupport::ReadOrNothing(path);
}

QStringList Marks(const RestorePreview& preview)
{
    QStringList marks;
    for (int r = 0; r < preview.ui->RestoreList->rowCount(); ++r)
        marks << preview.ui->RestoreList->item(r, 0)->text() + u' '
                     + QDir::fromNativeSeparators(preview.ui->RestoreList->item(r, 1)->text());
    return marks;
}

} // namespace

class BackupWindowTest : public QObject {
    Q_OBJECT

    testsupport::TestFolder dir_;
    QString data_;
    QString target_;
    int case_ = 0;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        const QString root = dir_.filePath(QString::number(++case_));
        data_ = root + u"/学校"_qs;
        target_ = root + u"/USB"_qs;
        QVERIFY(QDir().mkpath(target_) && QDir().mkpath(data_ + u"/seikyu"_qs));
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u"/backups.ini"_qs);
    }

    void restoreBringsBackChangedAndDeletedClaims()
    {
        KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
        const QString changed = data_ + u"/seikyu/請1-1.CSV"_qs;
        const QString deleted = data_ + u"/seikyu/請1-2.CSV"_qs;
        const QString status = data_ + u"/請求状況/請1-1.CSV"_qs;
        Write(changed, "claim 1-1\r\n");
        Write(deleted, "claim 1-2\r\n");
        Write(status, "status 1-1\r\n");

        forms::MessageSeam seam;
        BackupWindow window(data_);
        window.ui->BackupFolder->setText(QDir::toNativeSeparators(target_));
        QTest::mouseClick(window.ui->BackupNow, Qt::LeftButton);
        QTRY_VERIFY(!window.IsBusy());
        QTRY_COMPARE(window.ui->BackupList->rowCount() == 1 ? window.ui->BackupList->item(0, 4)->text() : QString(),
                     u"確認済み"_qs);
        QCOMPARE(window.ui->BackupList->item(0, 2)->text(), u"3"_qs);
        QCOMPARE(BackupSettings(data_).Folder(), target_);

        Write(changed, "claim 1-1, changed by mistake\r\n");
        QVERIFY(QFile::remove(deleted));
        Write(data_ + u"/seikyu/請1-3.CSV"_qs, "claim 1-3, new since\r\n");

        QStringList marks;
        seam.clear();
        seam.queueAnswer(forms::Answer::Yes);   // the claim another PC saved meanwhile
        testsupport::WhenModal([&](QWidget* modal) {
            auto* preview = qobject_cast<RestorePreview*>(modal);
            QVERIFY(preview);
            QTRY_VERIFY(!preview->IsBusy());
            marks = Marks(*preview);
            Write(changed, "claim 1-1, saved by another PC\r\n");
            QTest::mouseClick(preview->ui->RestoreAll, Qt::LeftButton);
        });
        window.ui->BackupList->selectRow(0);
        QTest::mouseClick(window.ui->BackupRestore, Qt::LeftButton);

        QCOMPARE(marks, (QStringList{u"変更 seikyu/請1-1.CSV"_qs, u"新規 seikyu/請1-2.CSV"_qs,
                                     u"現在のみ seikyu/請1-3.CSV"_qs}));
        QCOMPARE(Read(changed), QByteArray("claim 1-1\r\n"));
        QCOMPARE(Read(deleted), QByteArray("claim 1-2\r\n"));
        QCOMPARE(Read(status), QByteArray("status 1-1\r\n"));
        QVERIFY(QFile::exists(data_ + u"/seikyu/請1-3.CSV"_qs));
        QStringList kept;
        const QString history = data_ + u"/履歴/seikyu/請1-1/"_qs;
        for (const QString& name : QDir(history).entryList(QDir::Files))
            kept << QString::fromLatin1(Read(history + name));
        QCOMPARE(kept, QStringList{u"claim 1-1, saved by another PC\r\n"_qs});
        const QStringList texts = seam.shownTexts();
        QVERIFY2(texts.size() == 2 && texts[0].contains(forms::ChangedElsewhereQuestion({u"このファイル"_qs, {}}).trimmed())
                     && texts[1].startsWith(u"2件のファイルを戻しました。"_qs),
                 qPrintable(texts.join(u'|')));
    }

    void brokenBackupIsNotRestored()
    {
        Write(target_ + u'/' + claims::BackupFileName(data_, QDateTime(QDate(2026, 5, 1), QTime(8, 0)), u"PC"_qs),
              "no zip at all");
        forms::MessageSeam seam;
        BackupSettings(data_).SetFolder(target_);
        BackupWindow window(data_);
        QTRY_VERIFY(window.ui->BackupList->rowCount() == 1
                    && window.ui->BackupList->item(0, 4)->text().startsWith(u"壊れています"_qs));
        QTest::mouseClick(window.ui->BackupRestore, Qt::LeftButton);
        QCOMPARE(seam.shown().size(), 1);
        QCOMPARE(seam.shown()[0].kind, forms::BoxKind::Error);
        QVERIFY(seam.shown()[0].text.startsWith(u"このバックアップからは戻せません。\n壊れています"_qs));
    }

    void reminderAsksWhenDue_data()
    {
        QTest::addColumn<bool>("claim");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("lastDaysAgo");   // -1: none in the settings
        QTest::addColumn<int>("fileDaysAgo");   // -1: none in the folder
        QTest::addColumn<QString>("question");
        const QString none = u"まだバックアップがありません。今バックアップしますか？"_qs;
        QTest::newRow("no claim, no backup") << false << 7 << -1 << -1 << QString();
        QTest::newRow("a claim, no backup") << true << 7 << -1 << -1 << none;
        QTest::newRow("8 days ago") << true << 7 << 8 << -1 << u"最後のバックアップは 8日前です。今バックアップしますか？"_qs;
        QTest::newRow("6 days ago") << true << 7 << 6 << -1 << QString();
        QTest::newRow("never asked") << true << 0 << -1 << -1 << QString();
        QTest::newRow("another PC's newer backup") << true << 7 << 20 << 1 << QString();
        QTest::newRow("only another PC's, old") << true << 7 << -1 << 10
                                                 << u"最後のバックアップは 10日前です。今バックアップしますか？"_qs;
    }

    void reminderAsksWhenDue()
    {
        QFETCH(bool, claim);
        QFETCH(int, days);
        QFETCH(int, lastDaysAgo);
        QFETCH(int, fileDaysAgo);
        QFETCH(QString, question);
        const QDateTime now(QDate(2026, 12, 10), QTime(17, 0));
        if (claim)
            Write(data_ + u"/seikyu/請5-1.CSV"_qs, "claim");
        BackupSettings settings(data_);
        settings.SetFolder(target_);
        settings.SetRemindDays(days);
        if (lastDaysAgo >= 0)
            settings.SetLastMade(now.addDays(-lastDaysAgo));
        if (fileDaysAgo >= 0)
            Write(target_ + u'/' + claims::BackupFileName(data_, now.addDays(-fileDaysAgo), u"PC2"_qs), "zip");
        QCOMPARE(DueReminder(data_, now), question);
    }
};

KIBORU_GUI_TEST_MAIN(BackupWindowTest)
#include "tst_backup_window.moc"
