// The claim in memory: the reset state, the table built for an injury year,
// the list line and the month toggle.

#include "claims/ClaimRecord.h"

#include "TestSupport.h"

#include <QtTest>

#include <climits>

using namespace claims;
using ktest::Sj;

namespace {

const QString kFreshMonths = u"－,４月,－,５月,－,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,－,１月,－,２月,－,３月"_qs;

} // namespace

class ClaimRecord : public QObject {
    Q_OBJECT

private slots:
    void tableBuiltForInjuryYear_data()
    {
        QTest::addColumn<int>("injuryYear");
        QTest::addColumn<QList<int>>("treatedMonths");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("listLine");
        QTest::newRow("fresh 2010") << 2010 << QList<int>{} << 1 << u"2010年,"_qs + kFreshMonths;
        QTest::newRow("April and June treated")
            << 2010 << QList<int>{1, 3} << 1
            << u"2010年,◎,４月,－,５月,◎,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,－,１月,－,２月,－,３月"_qs;
        QTest::newRow("March toggled twice") << 2010 << QList<int>{12, 12} << 2 << u"2011年,"_qs + kFreshMonths;
        QTest::newRow("last row of 2030") << 2030 << QList<int>{} << 13 << u"2042年,"_qs + kFreshMonths;
        QTest::newRow("no injury year") << 0 << QList<int>{} << 13 << u"12年,"_qs + kFreshMonths;
        QTest::newRow("largest year") << INT_MAX << QList<int>{} << 13 << u"2147483659年,"_qs + kFreshMonths;
    }

    void tableBuiltForInjuryYear()
    {
        QFETCH(int, injuryYear);
        QFETCH(QList<int>, treatedMonths);
        QFETCH(int, row);
        QFETCH(QString, listLine);
        TTreatmentTable table;
        InitTreatmentTable(table, injuryYear);
        for (int month : treatedMonths)
            ToggleMark(table.row(row), month);
        QCOMPARE(FromShiftJis(ListLine(table.row(row), table.row(row).year())), listLine);
        for (int r = 1; r <= TTreatmentTable::RowCount; ++r)
            QCOMPARE(table.row(r).year(), QByteArray::number(qint64(injuryYear) + r - 1));
    }

    void listLineTakesTheYearItIsGiven()
    {
        TTreatmentTable table;
        InitTreatmentTable(table, 2010);
        table.row(1).year() = "1999";
        QCOMPARE(FromShiftJis(ListLine(table.row(1), "2010")), u"2010年,"_qs + kFreshMonths);
        QCOMPARE(FromShiftJis(ListLine(table.row(1), table.row(1).year())), u"1999年,"_qs + kFreshMonths);
    }

    void toggleTurnsOnlyHyphenIntoCircle_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("toggled");
        QTest::newRow("hyphen") << Sj(u"－"_qs) << Sj(u"◎"_qs);
        QTest::newRow("circle") << Sj(u"◎"_qs) << Sj(u"－"_qs);
        QTest::newRow("loaded text") << QByteArray("x") << Sj(u"－"_qs);
        QTest::newRow("empty") << QByteArray() << Sj(u"－"_qs);
    }

    void toggleTurnsOnlyHyphenIntoCircle()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, toggled);
        t_kyufu row;
        row.mark(5) = mark;
        const t_kyufu before = row;
        ToggleMark(row, 5);
        QCOMPARE(row.mark(5), toggled);
        row.mark(5) = mark;
        QCOMPARE(row, before);   // nothing else changed
    }

    void injuryYearIsReadFromLeadingDigits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("year");
        QTest::newRow("plain") << QByteArray("2010") << 2010;
        QTest::newRow("leading blanks") << QByteArray("  2010") << 2010;
        QTest::newRow("stops at a letter") << QByteArray("20x1") << 20;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("blank") << QByteArray(" ") << 0;
        QTest::newRow("sign") << QByteArray("-5") << 0;
        QTest::newRow("full-width digits") << Sj(u"２０１０"_qs) << 0;
        QTest::newRow("too long") << QByteArray("99999999999999999999") << INT_MAX;
    }

    void injuryYearIsReadFromLeadingDigits()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, year);
        QCOMPARE(ReadYear(text), year);
    }

    void resetGivesBlankHeaderAndFreshTable()
    {
        t_sick header{"2010", "6", "14", "a", "b", "c", "d", "e", "f", "g"};
        TTreatmentTable table;
        InitTreatmentTable(table, 1990);
        ToggleMark(table.row(3), 4);
        ResetClaim(header, table, 2015);
        for (int i = 0; i < t_sick::FieldCount; ++i)
            QCOMPARE(header.field(i), QByteArray(" "));
        TTreatmentTable fresh;
        InitTreatmentTable(fresh, 2015);
        QCOMPARE(table, fresh);
        QCOMPARE(FromShiftJis(MonthLabel(7) + MonthLabel(10)), u"10月１月"_qs);
    }
};

QTEST_GUILESS_MAIN(ClaimRecord)
#include "tst_claim_record.moc"
