// The history that every save keeps: which files have one, and what a
// save keeps there.

#include "claimstatus/ListingCache.h"
#include "store/GuardedFile.h"
#include "store/History.h"
#include "claimstatus/StatusFile.h"

#include "TestSupport.h"

#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace claims;

class History : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void historyFolderOfEachFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("claim") << u"/d/seikyu/請21104-2.CSV"_qs << u"/d/履歴/seikyu/請21104-2"_qs;
        QTest::newRow("claim, .csv") << u"/d/seikyu/請21104-2.csv"_qs << u"/d/履歴/seikyu/請21104-2"_qs;
        QTest::newRow("claim, relative") << u"seikyu/請7-8.CSV"_qs << u"履歴/seikyu/請7-8"_qs;
        QTest::newRow("status") << u"/d/請求状況/請21104-2.CSV"_qs << u"/d/履歴/請求状況/請21104-2"_qs;
        QTest::newRow("school") << u"/d/請求状況/学校.CSV"_qs << u"/d/履歴/請求状況/学校"_qs;
        QTest::newRow("payment notices") << u"/d/請求状況/支払通知.CSV"_qs << u"/d/履歴/請求状況/支払通知"_qs;
        QTest::newRow("school elsewhere") << u"/d/学校.CSV"_qs << QString();
        QTest::newRow("roster") << u"/d/H21入学.CSV"_qs << u"/d/履歴/名簿/H21入学.CSV"_qs;
        QTest::newRow("roster of 令和") << u"/d/R08入学.CSV"_qs << u"/d/履歴/名簿/R08入学.CSV"_qs;
        QTest::newRow("roster without era year") << u"/d/H入学.CSV"_qs << u"/d/履歴/名簿/H入学.CSV"_qs;
        QTest::newRow("claim name elsewhere") << u"/d/out/請21104-2.CSV"_qs << QString();
        QTest::newRow("occurrence 9") << u"/d/seikyu/請21104-9.CSV"_qs << QString();
        QTest::newRow("lock file") << u"/d/seikyu/請21104-2.CSV.lock"_qs << QString();
        QTest::newRow("other CSV") << u"/d/名簿一覧.CSV"_qs << QString();
        QTest::newRow("a version") << u"/d/履歴/seikyu/請1-1/20261209-101010-001-PC.CSV"_qs << QString();
    }

    void historyFolderOfEachFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(HistoryFolderFor(path), folder);
    }

    void saveKeepsWhatItReplaces_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<QByteArray>>("saves");
        QTest::addColumn<QList<QByteArray>>("versions");   // oldest first
        QTest::newRow("first save") << u"seikyu/請1-1.CSV"_qs << QList<QByteArray>{"a"} << QList<QByteArray>{};
        QTest::newRow("same bytes") << u"seikyu/請1-1.CSV"_qs << QList<QByteArray>{"a", "a"} << QList<QByteArray>{};
        QTest::newRow("claim") << u"seikyu/請1-1.CSV"_qs << QList<QByteArray>{"a", "b", "b", "c"}
                               << QList<QByteArray>{"a", "b"};
        QTest::newRow("status") << u"請求状況/請1-1.CSV"_qs << QList<QByteArray>{"a", "b"} << QList<QByteArray>{"a"};
        QTest::newRow("roster") << u"H21入学.CSV"_qs << QList<QByteArray>{"a", "b"} << QList<QByteArray>{"a"};
        QList<QByteArray> many, newest;
        for (int i = 1; i <= kVersionsKept + 2; ++i)
            many.append(QByteArray::number(i));
        QTest::newRow("32 saves keep the 30 newest") << u"seikyu/請1-1.CSV"_qs << many << many.mid(1, kVersionsKept);
        QTest::newRow("other file") << u"seikyu/請1-1.txt"_qs << QList<QByteArray>{"a", "b"} << QList<QByteArray>{};
    }

    // Saves one after the other, many in one millisecond: each replaced
    // content is a version of its own, named by time and PC.
    void saveKeepsWhatItReplaces()
    {
        QFETCH(QString, file);
        QFETCH(QList<QByteArray>, saves);
        QFETCH(QList<QByteArray>, versions);
        const QString work = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QString path = work + u'/' + file;
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        for (const QByteArray& bytes : saves)
            QVERIFY(GuardedFile(path).Write(bytes, std::nullopt).has_value());
        QCOMPARE(ktest::ReadBytes(path), saves.last());
        const QString history = HistoryFolderFor(path);
        const QStringList names = history.isEmpty() ? QStringList() : ktest::Entries(history);
        QList<QByteArray> kept;
        for (const QString& name : names) {
            QVERIFY2(IsVersionFileName(name) && name.endsWith(u'-' + PcNameForFiles(QSysInfo::machineHostName()) + u".CSV"_qs),
                     qPrintable(name));
            kept.append(ktest::ReadBytes(history + u'/' + name));
        }
        QCOMPARE(kept, versions);
        QCOMPARE(QFileInfo::exists(work + u"/履歴"_qs), !versions.isEmpty());
    }

    void pcNameInFileNames_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u"office-pc1"_qs << u"office-pc1"_qs;
        QTest::newRow("unfit characters") << u"a/b\\c:d*e?f\"g<h>i|j\tk"_qs << u"a_b_c_d_e_f_g_h_i_j_k"_qs;
        QTest::newRow("empty") << QString() << u"_"_qs;
    }

    void pcNameInFileNames()
    {
        QFETCH(QString, host);
        QFETCH(QString, name);
        QCOMPARE(PcNameForFiles(host), name);
    }

    // The history and the status lock files are no claims.
    void listingShowsOnlyClaims()
    {
        const QString work = dir_.filePath(u"listing"_qs);
        QVERIFY(QDir().mkpath(work + u"/seikyu"_qs));
        const QString claim = work + u"/seikyu/請1-1.CSV"_qs;
        for (const QByteArray bytes : {"a,b\r\n", "a,c\r\n"})
            QVERIFY(GuardedFile(claim).Write(bytes, std::nullopt).has_value());
        StatusFile status;
        status.Edit({2025, 4}).state = ClaimState::Claimed;
        QVERIFY(WriteStatusFile(work, "1", 1, status).has_value());
        status.Edit({2025, 5}).state = ClaimState::Paid;
        QVERIFY(WriteStatusFile(work, "1", 1, status).has_value());
        QVERIFY(ktest::WriteBytes(GuardedFile(StatusFilePath(work, "1", 1)).LockPath(), "123"));
        const ClaimListing listing = ReadAllClaims(work);
        QCOMPARE(listing.claims.size(), 1);
        QCOMPARE(listing.claims[0].status.months, status.months);
        QCOMPARE(listing.problems, QStringList());
        QCOMPARE(ktest::Entries(work + u"/履歴"_qs), QStringList({u"seikyu"_qs, u"請求状況"_qs}));
    }
};

QTEST_GUILESS_MAIN(History)
#include "tst_history.moc"
