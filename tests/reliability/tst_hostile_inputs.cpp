// Rosters and claim files of odd shape, student IDs that look like paths,
// and a seikyu folder of 100,000 files: nothing crashes or hangs, the bytes
// of the rows stay as they were, and nothing is written outside seikyu.

#include "ReliabilitySupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"
#include "tests/claims/TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace claims;
using ktest::Sj;

namespace {

const QByteArray kLine1 = "\x90\xBF" "1024-1,name,sex";
const QByteArray kRow = "2010,"
    + Sj(u"－,４月,－,５月,－,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,－,１月,－,２月,－,３月"_qs);
const QByteArray kHeader = "2010,6,14,a,b,c,d,e,f,g";

QByteArray Rows(int count)
{
    QByteArray rows;
    for (int r = 0; r < count; ++r)
        rows += kRow + "\r\n";
    return rows;
}

// n fields "a" joined by ",".
QByteArray Fields(int n)
{
    QByteArray text = "a";
    for (int i = 1; i < n; ++i)
        text += ",a";
    return text;
}

void CreateEmptyFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

class HostileInputs : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString work_;
    QString seikyu_;

private slots:
    void init()
    {
        static int n = 0;
        work_ = dir_.filePath(QString::number(++n));
        seikyu_ = work_ + u"/seikyu"_qs;
        QVERIFY(QDir().mkpath(seikyu_));
    }

    void rosterOfOddBytesKeepsThemAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QList<QByteArray>>("found");
        QTest::addColumn<int>("marks");   // replacement marks when shown
        QTest::newRow("only NUL bytes") << QByteArray(1 << 20, '\0') << QList<QByteArray>() << QByteArray("a")
                                        << QList<QByteArray>() << 0;
        QTest::newRow("NUL ends the text") << QByteArray("h\r\n1,a\r\n\0 2,a\r\n", 15) << QList<QByteArray>{"h", "1,a"}
                                           << QByteArray("a") << QList<QByteArray>{"1,a"} << 0;
        QTest::newRow("first bytes at line ends")
            << QByteArray("h\r\n1,\x82\r\n2,\x9F\n\x40x\r\x81") << QList<QByteArray>{"h", "1,\x82", "2,\x9F", "\x40x", "\x81"}
            << QByteArray("\x40x") << QList<QByteArray>{"\x40x"} << 3;
        QTest::newRow("bytes 80, A0, FD to FF") << QByteArray("h\r\n1,\x80\xA0\xFD\xFE\xFF,a\r\n2,b\r\n")
                                                << QList<QByteArray>{"h", "1,\x80\xA0\xFD\xFE\xFF,a", "2,b"}
                                                << QByteArray("\xFD") << QList<QByteArray>{"1,\x80\xA0\xFD\xFE\xFF,a"} << 5;
        QTest::newRow("first byte takes the comma") << QByteArray("h\r\n1,\x82,a\r\n") << QList<QByteArray>{"h", "1,\x82,a"}
                                                    << QByteArray(",a") << QList<QByteArray>() << 1;
    }

    void rosterOfOddBytesKeepsThemAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QByteArray, key);
        QFETCH(QList<QByteArray>, found);
        QFETCH(int, marks);
        const QString path = work_ + u"/H20入学.CSV"_qs;
        QVERIFY(ktest::WriteBytes(path, text));
        const Result<RosterLines> read = ReadRosterLines(path);
        QVERIFY(read.has_value());
        QCOMPARE(read->lines, lines);
        QCOMPARE(FindRosterLines(read->lines, key), found);
        QCOMPARE(FindRosterLinesInText(text, key), found);
        QCOMPARE(FindRosterLinesInFile(path, key)->toList(), found);
        int shown = 0;
        for (const QByteArray& line : read->lines)
            shown += int(FromShiftJis(line).count(QChar(0xFFFD)));
        QCOMPARE(shown, marks);
    }

    void claimFileOfOddShapeReadsAndSavesClean_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("place");
        QTest::addColumn<QByteArray>("lastLabelOfRow1");
        QTest::addColumn<int>("refusedField");
        const QByteArray many = Fields(10'000);
        QTest::newRow("10,000 fields in the header line")
            << kLine1 + "\r\n" + many + "\r\n" + Rows(13) << Fields(9'991) << Sj(u"３月"_qs) << 11;
        QTest::newRow("10,000 fields in a row line")
            << kLine1 + "\r\n" + kHeader + "\r\n" + many + "\r\n" + Rows(12) << QByteArray("g") << Fields(9'976) << -1;
        QTest::newRow("byte 1A in the header line")
            << kLine1 + "\r\n2010,6,1\x1A" "4,a,b,c,d,e,f,g\r\n" + Rows(13) << QByteArray(" ") << QByteArray() << -1;
        QTest::newRow("CR CR LF line ends")
            << kLine1 + "\r\r\n" + kHeader + "\r\r\n" + kRow + "\r\r\n" << QByteArray(" ") << QByteArray() << -1;
        QTest::newRow("a header line of 10 MB")
            << kLine1 + "\r\n2010,6,14,a,b,c,d,e,f," + QByteArray(10 << 20, 'p') + "\r\n" + Rows(13)
            << QByteArray(10 << 20, 'p') << Sj(u"３月"_qs) << -1;
    }

    // A claim read from any file is either saved as fifteen clean lines that
    // read back the same, or refused for the field that would not.
    void claimFileOfOddShapeReadsAndSavesClean()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, place);
        QFETCH(QByteArray, lastLabelOfRow1);
        QFETCH(int, refusedField);
        const QString path = seikyu_ + u"/請1024-1.CSV"_qs;
        QVERIFY(ktest::WriteBytes(path, text));
        rtest::Claim claim;
        ResetClaim(claim.header, claim.table, 2010);
        QVERIFY(ReadClaimFile(path, claim.header, claim.table).has_value());
        QCOMPARE(claim.header.place, place);
        QCOMPARE(claim.table.row(1).label(12), lastLabelOfRow1);

        const Result<FileStamp> saved = WriteClaimFile(work_, "1024", 1, "name", "sex", claim.header, claim.table);
        if (refusedField >= 0) {
            QCOMPARE(saved.error().refusal, Refusal::CannotEncode);
            QCOMPARE(saved.error().field, refusedField);
            QCOMPARE(ktest::ReadBytes(path), text);
            return;
        }
        QVERIFY(saved.has_value());
        const QByteArray written = ktest::ReadBytes(path);
        QCOMPARE(written.count("\r\n"), 15);
        QCOMPARE(written.count('\r'), 15);
        QCOMPARE(written.count('\n'), 15);
        rtest::Claim back;
        ResetClaim(back.header, back.table, 1999);
        QVERIFY(ReadClaimFile(path, back.header, back.table).has_value());
        QCOMPARE(back.header, claim.header);
        QCOMPARE(back.table, claim.table);
    }

    void studentIdThatLooksLikeAPathStaysInSeikyu_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<int>("outcome");   // 0 saved, -1 refused, else the I/O code
        QTest::newRow("../../x") << QByteArray("../../x") << -1;
        QTest::newRow("..") << QByteArray("..") << -1;
        QTest::newRow("a\\b") << QByteArray("a\\b") << -1;
        QTest::newRow("a/b") << QByteArray("a/b") << -1;
        QTest::newRow("blank") << QByteArray(" ") << -1;
        QTest::newRow("tab and digit") << QByteArray("\t1") << -1;
        QTest::newRow("byte 1A") << QByteArray("1\x1A") << -1;
        QTest::newRow("first byte alone") << QByteArray("\x81") << -1;
        QTest::newRow("wildcards") << QByteArray("1*?") << -1;
        QTest::newRow("請") << Sj(u"請"_qs) << 0;
        QTest::newRow("表, second byte 5C") << Sj(u"表"_qs) << 0;
        QTest::newRow("dash") << QByteArray("-1") << 0;
        QTest::newRow("240 bytes") << QByteArray(240, '7') << 0;
        QTest::newRow("300 bytes, a name too long") << QByteArray(300, '7') << int(PathNotFound);
    }

    void studentIdThatLooksLikeAPathStaysInSeikyu()
    {
        QFETCH(QByteArray, id);
        QFETCH(int, outcome);
        const QStringList before = rtest::Tree(dir_.path());
        const rtest::Claim claim = rtest::NumberedClaim(5);
        const Result<FileStamp> saved = WriteClaimFile(work_, id, 1, "name", "sex", claim.header, claim.table);
        QStringList added = rtest::Tree(dir_.path());
        for (const QString& entry : before)
            added.removeOne(entry);
        if (outcome != 0) {
            QCOMPARE(saved.error().field == kIdField ? -1 : saved.error().code, outcome);
            QVERIFY(added.isEmpty());
            QVERIFY(ListClaimFiles(work_, id).isEmpty());
            return;
        }
        QVERIFY(saved.has_value());
        const QString name = u"請"_qs + FromShiftJis(id) + u"-1.CSV"_qs;
        QCOMPARE(added.size(), 1);
        QVERIFY(added[0].startsWith(seikyu_.mid(dir_.path().size()) + u'/' + name + u' '));
        QCOMPARE(ListClaimFiles(work_, id), QStringList{name});
        QCOMPARE(OccurrenceOfClaimFile(name, id), 1);
        rtest::Claim back = rtest::NumberedClaim(0);
        QVERIFY(ReadClaimFile(seikyu_ + u'/' + name, back.header, back.table).has_value());
        QCOMPARE(back.header, claim.header);
    }

    void seikyuOfManyFilesStaysQuick()
    {
        const QByteArray folder = QFile::encodeName(seikyu_) + '/';
        for (int i = 0; i < 100'000; ++i)
            CreateEmptyFile(folder + QFile::encodeName(u"請%1-%2.CSV"_qs.arg(20'000 + i).arg(1 + i % 8)));
        for (int i = 0; i < 100; ++i)
            CreateEmptyFile(folder + ".kiboru-" + QByteArray::number(0x10000000 + i, 16) + ".tmp");
        for (const char16_t* name : {u"請1024-1.CSV", u"請1024-3.csv", u"請1024-9.CSV", u"請1024-12.CSV", u"請10245-2.CSV"})
            CreateEmptyFile(folder + QFile::encodeName(QString::fromUtf16(name)));
        QCOMPARE(ktest::Entries(seikyu_).size(), 100'105);

        QElapsedTimer clock;
        clock.start();
        const QStringList listed = ListClaimFiles(work_, "1024");
        const qint64 listMs = clock.restart();
        QVERIFY(rtest::SaveNumberedClaim(work_, "1024", 4).has_value());
        const qint64 saveMs = clock.elapsed();
        qInfo("100,105 entries: listing %lld ms, save with the sweep of stale temporary files %lld ms", listMs, saveMs);
        QCOMPARE(listed, QStringList({u"請1024-1.CSV"_qs, u"請1024-3.csv"_qs}));
        QVERIFY(listMs < 200);
        QVERIFY(saveMs < 5'000);
        QCOMPARE(ktest::Entries(seikyu_).size(), 100'005);   // the stale temporary files are gone
        QCOMPARE(ktest::ReadBytes(seikyu_ + u"/請1024-1.CSV"_qs), rtest::NumberedClaimBytes("1024", 4));
    }
};

QTEST_GUILESS_MAIN(HostileInputs)
#include "tst_hostile_inputs.moc"
