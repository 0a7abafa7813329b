// The deadline of each treated month and the status file kept beside the
// claims: what the deadline list is built from.

#include "claimstatus/AmountCheck.h"
#include "claimstatus/ClaimList.h"
#include "claimstatus/Deadline.h"
#include "claimstatus/Export.h"
#include "claimstatus/StatusFile.h"

#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace claims;
using ktest::Sj;

Q_DECLARE_METATYPE(claims::Urgency)
Q_DECLARE_METATYPE(claims::ClaimState)

namespace {

const QString kHeader = u"診療年,診療月,状況,請求日,点数,支払日,支払額,メモ,保護者支払日,支払方法,渡した人,確認者,受領書\r\n"_qs;

} // namespace

class ClaimStatus : public QObject {
    Q_OBJECT

private slots:
    void deadlineOfTreatedMonth_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("reference");
        QTest::addColumn<QDate>("deadline");
        QTest::addColumn<int>("daysLeft");
        QTest::addColumn<Urgency>("urgency");
        QTest::newRow("April, on the deadline") << 2020 << 4 << QDate(2022, 5, 10) << QDate(2022, 5, 10) << 0 << Urgency::Within30;
        QTest::newRow("April, the day after") << 2020 << 4 << QDate(2022, 5, 11) << QDate(2022, 5, 10) << -1 << Urgency::Lapsed;
        QTest::newRow("December: year end") << 2020 << 12 << QDate(2022, 12, 31) << QDate(2023, 1, 10) << 10 << Urgency::Within30;
        QTest::newRow("January: into February") << 2024 << 1 << QDate(2025, 12, 12) << QDate(2026, 2, 10) << 60 << Urgency::Within90;
        QTest::newRow("leap February") << 2024 << 2 << QDate(2025, 12, 9) << QDate(2026, 3, 10) << 91 << Urgency::Later;
        QTest::newRow("31 days") << 2025 << 1 << QDate(2027, 1, 10) << QDate(2027, 2, 10) << 31 << Urgency::Within90;
        QTest::newRow("reference looks back") << 2026 << 11 << QDate(2020, 1, 1) << QDate(2028, 12, 10) << 3266 << Urgency::Later;
    }

    void deadlineOfTreatedMonth()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QDate, reference);
        QFETCH(QDate, deadline);
        QFETCH(int, daysLeft);
        QFETCH(Urgency, urgency);
        QCOMPARE(ClaimDeadline({year, month}), deadline);
        QCOMPARE(DaysLeft(deadline, reference), daysLeft);
        QCOMPARE(UrgencyOf(daysLeft), urgency);
    }

    void tenYearsFromTheFirstTreatedMonth_data()
    {
        QTest::addColumn<int>("firstYear");
        QTest::addColumn<int>("firstMonth");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("beyond");
        QTest::newRow("tenth anniversary month") << 2020 << 4 << 2030 << 4 << false;
        QTest::newRow("month after it") << 2020 << 4 << 2030 << 5 << true;
        QTest::newRow("across the year end") << 2019 << 12 << 2030 << 1 << true;
        QTest::newRow("first month") << 2019 << 12 << 2019 << 12 << false;
    }

    void tenYearsFromTheFirstTreatedMonth()
    {
        QFETCH(int, firstYear);
        QFETCH(int, firstMonth);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(bool, beyond);
        QCOMPARE(BeyondBenefitPeriod({firstYear, firstMonth}, {year, month}), beyond);
    }

    // January to March of a row belong to the calendar year after its school year.
    void treatedMonthsFollowTheSchoolYear()
    {
        TTreatmentTable table;
        InitTreatmentTable(table, 2024);
        for (int k : {1, 9, 10, 12})
            ToggleMark(table.row(1), k);
        ToggleMark(table.row(3), 2);
        table.row(4).year() = "x";
        ToggleMark(table.row(4), 1);   // no year: skipped
        const QList<YearMonth> want{{2024, 4}, {2024, 12}, {2025, 1}, {2025, 3}, {2026, 5}};
        QCOMPARE(TreatedMonths(table), want);
        QVERIFY(BelowMinimumPoints(499) && !BelowMinimumPoints(500));
        QVERIFY(NeedsHighCostForm(7000) && !NeedsHighCostForm(6999));
    }

    // -1: not recorded. usual -1: no usual amount shown.
    void paidAmountIsChecked_data()
    {
        QTest::addColumn<ClaimState>("state");
        QTest::addColumn<qint64>("points");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("usual");
        QTest::addColumn<bool>("check");
        const ClaimState paid = ClaimState::Paid;
        QTest::newRow("usual") << paid << qint64(1200) << qint64(4800) << qint64(4800) << false;
        QTest::newRow("a few yen short") << paid << qint64(1200) << qint64(4797) << qint64(4800) << true;
        QTest::newRow("6,999 points") << paid << qint64(6999) << qint64(27000) << qint64(27996) << true;
        QTest::newRow("7,000 points: by income") << paid << qint64(7000) << qint64(21000) << qint64(-1) << false;
        QTest::newRow("no points") << paid << qint64(-1) << qint64(4800) << qint64(-1) << false;
        QTest::newRow("no amount") << paid << qint64(1200) << qint64(-1) << qint64(-1) << false;
        QTest::newRow("claimed, not paid") << ClaimState::Claimed << qint64(1200) << qint64(10) << qint64(-1) << false;
    }

    void paidAmountIsChecked()
    {
        QFETCH(ClaimState, state);
        QFETCH(qint64, points);
        QFETCH(qint64, amount);
        QFETCH(qint64, usual);
        QFETCH(bool, check);
        MonthStatus month;
        month.state = state;
        if (points >= 0)
            month.points = points;
        if (amount >= 0)
            month.amount = amount;
        QCOMPARE(UsualAmount(month).value_or(-1), usual);
        QCOMPARE(AmountWantsCheck(month), check);
    }

    // Excel-style quoting, the column order and the date form; reading gives back the same.
    void statusFileRoundTrip()
    {
        StatusFile file;
        MonthStatus& april = file.Edit({2025, 4});
        april.state = ClaimState::Paid;
        april.claimDate = QDate(2025, 5, 8);
        april.points = 1234;
        april.paidDate = QDate(2025, 6, 20);
        april.amount = 12340;
        april.note = u"保護者へ \"振込\", 済"_qs;
        april.handedDate = QDate(2025, 7, 1);
        april.payMethod = u"振込"_qs;
        const MonthStatus paid = april;
        file.Edit({2024, 12}).state = ClaimState::AwaitingPapers;
        file.Edit({2025, 1});   // nothing recorded: no line
        const QByteArray want = Sj(kHeader + u"2024,12,書類待ち,,,,,,,,,,\r\n"
                                             u"2025,4,支払済,2025/05/08,1234,2025/06/20,12340,\"保護者へ \"\"振込\"\", 済\",2025/07/01,振込,,,\r\n"_qs);
        const std::optional<QByteArray> bytes = FormatStatusFile(file);
        QVERIFY(bytes);
        QCOMPARE(*bytes, want);
        const StatusFile back = ParseStatusFile(*bytes, u"請1-1.CSV"_qs);
        QCOMPARE(back.problems, QStringList());
        QCOMPARE(back.months.size(), 2);
        QCOMPARE(*back.Find({2025, 4}), paid);
        QCOMPARE(FormatStatusFile(back), bytes);
    }

    void unencodableNoteIsRefused()
    {
        StatusFile file;
        file.Edit({2025, 4}).note = u"😀"_qs;
        QVERIFY(!FormatStatusFile(file));
        QTemporaryDir dir;
        QVERIFY(!WriteStatusFile(dir.path(), "1", 1, file).has_value());
        QVERIFY(!QFileInfo::exists(StatusFolder(dir.path())));
    }

    // A column added in Excel and a line this program cannot read survive a rewrite.
    void unknownColumnsAndLinesAreKept()
    {
        const QByteArray text = Sj(u"診療年,担当,診療月,状況,請求日,点数,支払日,支払額,メモ\r\n"
                                   u"2025,山田,4,請求済,2025/5/8,,,,\r\n"
                                   u"合計,,,,,,,,\r\n"_qs);
        StatusFile file = ParseStatusFile(text, u"請1-1.CSV"_qs);
        QCOMPARE(file.problems.size(), 1);
        file.Edit({2025, 5}).state = ClaimState::Claimed;
        const QByteArray want = Sj(u"診療年,診療月,状況,請求日,点数,支払日,支払額,メモ,保護者支払日,支払方法,渡した人,確認者,受領書,担当\r\n"
                                   u"2025,4,請求済,2025/05/08,,,,,,,,,,山田\r\n"
                                   u"2025,5,請求済,,,,,,,,,,,\r\n"
                                   u"合計,,,,,,,,,,,,,\r\n"_qs);
        QCOMPARE(FormatStatusFile(file), want);
    }

    // A rewrite keeps what each line means, and a second one changes nothing.
    void rewriteKeepsEveryLinesMeaning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("problems");
        QTest::newRow("columns reordered: a kept line's fields move with them")
            << u"診療年,状況,診療月,請求日,点数,支払日,支払額,メモ\r\n2025,済み,4,,,,,\r\n"_qs
            << kHeader + u"2025,4,済み,,,,,,,,,,\r\n"_qs << 1;
        QTest::newRow("year not first: still the header")
            << u"状況,診療年,診療月,メモ\r\n請求済,2025,4,x\r\n"_qs << kHeader + u"2025,4,請求済,,,,,x,,,,,\r\n"_qs << 0;
        QTest::newRow("quote left open on the last line")
            << kHeader + u"2025,4,,,,,,\"memo\r\n"_qs << kHeader + u"2025,4,,,,,,\"memo\r\n"_qs << 1;
        QTest::newRow("an empty line of a month is no repeat")
            << kHeader + u"2025,4,,,,,,\r\n2025,4,請求済,,,,,\r\n"_qs << kHeader + u"2025,4,請求済,,,,,,,,,,\r\n"_qs << 0;
        QTest::newRow("a file from before the handover columns: not handed over")
            << u"診療年,診療月,状況,請求日,点数,支払日,支払額,メモ\r\n2025,4,支払済,,,2025/6/20,12340,\r\n"_qs
            << kHeader + u"2025,4,支払済,,,2025/06/20,12340,,,,,,\r\n"_qs << 0;
        QTest::newRow("handover columns moved, another method kept as written")
            << u"支払方法,保護者支払日,診療年,診療月,状況\r\n口座,2025/7/1,2025,4,支払済\r\n"_qs
            << kHeader + u"2025,4,支払済,,,,,,2025/07/01,口座,,,\r\n"_qs << 0;
        QTest::newRow("who handed, who checked and the receipt, found by their names")
            << u"受領書,確認者,診療年,診療月,状況,渡した人\r\n2025/8/1,佐藤,2025,4,支払済,鈴木\r\n"_qs
            << kHeader + u"2025,4,支払済,,,,,,,,鈴木,佐藤,2025/08/01\r\n"_qs << 0;
    }

    // One person alone may not hand a payout over: the check is another's.
    void handoverWantsASecondPerson_data()
    {
        QTest::addColumn<bool>("handed");
        QTest::addColumn<QString>("handedBy");
        QTest::addColumn<QString>("checkedBy");
        QTest::addColumn<bool>("lacks");
        QTest::newRow("two people") << true << u"鈴木"_qs << u"佐藤"_qs << false;
        QTest::newRow("no one checked") << true << u"鈴木"_qs << QString() << true;
        QTest::newRow("the same person, a blank apart") << true << u"鈴木"_qs << u"鈴木 "_qs << true;
        QTest::newRow("not handed over yet") << false << QString() << QString() << false;
    }

    void handoverWantsASecondPerson()
    {
        QFETCH(bool, handed);
        QFETCH(QString, handedBy);
        QFETCH(QString, checkedBy);
        QFETCH(bool, lacks);
        MonthStatus month;
        month.state = ClaimState::Paid;
        if (handed)
            month.handedDate = QDate(2025, 7, 1);
        month.handedBy = handedBy;
        month.checkedBy = checkedBy;
        QCOMPARE(month.LacksSecondCheck(), lacks);
    }

    void rewriteKeepsEveryLinesMeaning()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(int, problems);
        const StatusFile file = ParseStatusFile(Sj(text), u"請1-1.CSV"_qs);
        QCOMPARE(file.problems.size(), problems);
        QCOMPARE(FormatStatusFile(file), Sj(written));
        QCOMPARE(FormatStatusFile(ParseStatusFile(Sj(written), u"請1-1.CSV"_qs)), Sj(written));
    }

    void damagedLineIsReportedWithFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("monthsRead");   // an open quote takes the rest of the file
        QTest::newRow("unknown state") << Sj(u"2025,4,済み,,,,,"_qs) << u"請9-2.CSV 4行目: 状況「済み」は使えません"_qs << 2;
        QTest::newRow("month 13") << QByteArray("2025,13,,,,,,") << u"請9-2.CSV 4行目: 診療年・診療月が正しくありません"_qs << 2;
        QTest::newRow("bad date") << QByteArray("2025,4,,2025/2/30,,,,") << u"請9-2.CSV 4行目: 日付が正しくありません"_qs << 2;
        QTest::newRow("bad handover date") << QByteArray("2025,4,,,,,,,2025/13/1,") << u"請9-2.CSV 4行目: 日付が正しくありません"_qs << 2;
        QTest::newRow("points with sign") << QByteArray("2025,4,,,-5,,,") << u"請9-2.CSV 4行目: 点数・支払額が数字ではありません"_qs << 2;
        QTest::newRow("open quote") << QByteArray("2025,4,,,,,,\"memo") << u"請9-2.CSV 4行目: 引用符が閉じていません"_qs << 1;
        QTest::newRow("broken Shift-JIS") << QByteArray("2025,4,,,,,,\x82") << u"請9-2.CSV 4行目: Shift-JIS として読めない文字があります"_qs << 2;
        QTest::newRow("same month twice") << QByteArray("2025,3,,,,,,x") << u"請9-2.CSV 4行目: 同じ診療月がもう一度あります"_qs << 2;
    }

    // The good lines are read, the damaged one kept as it stood; a quoted
    // note over two lines counts both.
    void damagedLineIsReportedWithFileAndLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, problem);
        QFETCH(int, monthsRead);
        const QByteArray text = Sj(kHeader) + "2025,3,,,,,,\"two\r\nlines\"\r\n" + line + "\r\n2025,6,,,,,,z\r\n";
        const StatusFile file = ParseStatusFile(text, u"請9-2.CSV"_qs);
        QCOMPARE(file.problems, QStringList{problem});
        QCOMPARE(file.months.size(), monthsRead);
        QCOMPARE(file.Find({2025, 3})->note, u"two\r\nlines"_qs);
        QVERIFY(FormatStatusFile(file)->contains(line));
    }

    // The folder is made on the first save, beside seikyu; the claim files stay as they are.
    void statusFileIsWrittenBesideTheClaims()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"seikyu"_qs));
        const QString claim = dir.path() + u"/seikyu/請21104-2.CSV"_qs;
        QVERIFY(ktest::WriteBytes(claim, "claim"));
        StatusFile file;
        file.Edit({2025, 4}).state = ClaimState::Claimed;
        QVERIFY(WriteStatusFile(dir.path(), "21104", 2, file).has_value());
        const QString path = dir.path() + u"/請求状況/請21104-2.CSV"_qs;
        QCOMPARE(StatusFilePath(dir.path(), "21104", 2), path);
        QCOMPARE(ReadStatusFile(path)->value.months, file.months);
        QCOMPARE(ktest::Entries(dir.path() + u"/seikyu"_qs), QStringList{u"請21104-2.CSV"_qs});
        QCOMPARE(ktest::ReadBytes(claim), QByteArray("claim"));
        const Result<Stamped<StatusFile>> missing = ReadStatusFile(dir.path() + u"/請求状況/請1-1.CSV"_qs);
        QVERIFY(missing.has_value() && missing->value.months.isEmpty());
    }

    void claimFileNamesGiveIdAndOccurrence_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<int>("occurrence");
        QTest::newRow("plain") << u"請21104-2.CSV"_qs << QByteArray("21104") << 2;
        QTest::newRow("lower case, dash in ID") << u"請A-7-1.csv"_qs << QByteArray("A-7") << 1;
        QTest::newRow("occurrence 9") << u"請21104-9.CSV"_qs << QByteArray() << 0;
        QTest::newRow("no ID") << u"請-1.CSV"_qs << QByteArray() << 0;
        QTest::newRow("other file") << u"H20入学.CSV"_qs << QByteArray() << 0;
    }

    void claimFileNamesGiveIdAndOccurrence()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, id);
        QFETCH(int, occurrence);
        QByteArray gotId;
        int gotOccurrence = 0;
        QCOMPARE(SplitClaimFileName(name, gotId, gotOccurrence), occurrence > 0);
        QCOMPARE(gotId, id);
        QCOMPARE(gotOccurrence, occurrence);
    }
    // The usual guard against formula injection; numbers the list wrote stay.
    void exportGuardsFormulas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("formula") << u"=HYPERLINK(\"x\")"_qs << u"'=HYPERLINK(\"x\")"_qs;
        QTest::newRow("plus") << u"+81 3 1234"_qs << u"'+81 3 1234"_qs;
        QTest::newRow("at") << u"@SUM(A1)"_qs << u"'@SUM(A1)"_qs;
        QTest::newRow("tab") << u"\tx"_qs << u"'\tx"_qs;
        QTest::newRow("minus, then more") << u"-1+1"_qs << u"'-1+1"_qs;
        QTest::newRow("days past the deadline") << u"-12"_qs << u"-12"_qs;
        QTest::newRow("amount") << u"12,340"_qs << u"12,340"_qs;
        QTest::newRow("name") << u"山田太郎"_qs << u"山田太郎"_qs;
        QTest::newRow("full-width minus") << u"－"_qs << u"－"_qs;
    }

    void exportGuardsFormulas()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(SpreadsheetText(text), written);
    }

    void exportRefusesRostersAndStatusFilesAnywhere_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("roster") << u"H21入学.CSV"_qs << Sj(u"ID番号\r\n"_qs) << true;
        QTest::newRow("status file renamed") << u"old.csv"_qs << Sj(kHeader) << true;
        QTest::newRow("earlier export") << u"一覧.CSV"_qs << Sj(u"期限,残り日数\r\n"_qs) << false;
        QTest::newRow("new file") << u"一覧.CSV"_qs << QByteArray() << false;
    }

    void exportRefusesRostersAndStatusFilesAnywhere()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString path = dir.path() + u'/' + name;
        if (!bytes.isEmpty())
            QVERIFY(ktest::WriteBytes(path, bytes));
        QCOMPARE(ExportRefusal(path).has_value(), refused);
    }
};

QTEST_GUILESS_MAIN(ClaimStatus)
#include "tst_claim_status.moc"
