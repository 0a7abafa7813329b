// The injury statistics over a few claims held in memory: each category,
// the measures, a cross table, the comparison with the year before and the
// school year's boundary.

#include "stats/Stats.h"

#include "tests/claims/TestSupport.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QtTest>

using namespace claims;
using namespace stats;

Q_DECLARE_METATYPE(stats::Category)
Q_DECLARE_METATYPE(stats::Measure)

namespace {

struct Injury {
    QByteArray id;
    QString date, injury, bodyPart, situation, club, place;
    int treatedMonths = 0;
};

// 2025年度: A, B, C (on 31 March), F (no roster), G (entered four years
// before); 2026年度: D (on 1 April); 2024年度: E and E2.
const QList<Injury> kInjuries{
    {"1", u"2025/4/1"_qs, u"捻挫"_qs, u"足関節部"_qs, u"部活中"_qs, u"野球"_qs, u"校舎外運動場・校庭"_qs, 2},
    {"2", u"2025/6/15"_qs, u"骨折"_qs, u"手・手指部"_qs, u"授業中"_qs, {}, u"校舎内体育館・武道場"_qs, 1},
    {"3", u"2026/3/31"_qs, u"捻挫"_qs, u"足関節部"_qs, u"部活中"_qs, u"野球"_qs, u"近所の公園"_qs, 3},
    {"9", u"2025/9/1"_qs, u"打撲"_qs, u"頭部"_qs, u"休み時間"_qs, {}, {}, 1},
    {"6", u"2025/7/20"_qs, u"挫傷・裂傷"_qs, u"膝部"_qs, u"放課後"_qs, {}, u"学校外道路"_qs, 0},
    {"8", u"2026/4/1"_qs, u"打撲"_qs, u"頭部"_qs, u"授業中"_qs, {}, {}, 1},
    {"4", u"2024/5/10"_qs, u"打撲"_qs, u"頭部"_qs, u"休み時間"_qs, {}, {}, 1},
    {"4", u"2024/11/2"_qs, u"靱帯損傷"_qs, u"膝部"_qs, u"部活中"_qs, u"サッカー"_qs, {}, 4},
};

MonthStatus Month(int month, ClaimState state, qint64 amount)
{
    MonthStatus status;
    status.month = {month >= 4 ? 2025 : 2026, month};
    status.state = state;
    status.amount = amount;
    return status;
}

ClaimOverview Overview(const Injury& injury)
{
    ClaimOverview claim;
    claim.id = injury.id;
    claim.injuryDate = injury.date;
    claim.injury = injury.injury;
    claim.bodyPart = injury.bodyPart;
    claim.situation = injury.situation;
    claim.club = injury.club;
    claim.place = injury.place;
    for (int m = 0; m < injury.treatedMonths; ++m)
        claim.treated.append({2025, 4 + m});
    if (injury.id == "1")   // only 支払済 months count as paid
        claim.status.months = {Month(4, ClaimState::Paid, 3000), Month(5, ClaimState::Claimed, 1000)};
    if (injury.id == "2")
        claim.status.months = {Month(6, ClaimState::NotCovered, 500)};
    if (injury.id == "3")
        claim.status.months = {Month(3, ClaimState::Paid, 2000)};
    return claim;
}

RosterEntry Student(int entryYear, const QString& sex)
{
    RosterEntry entry;
    entry.entryYear = entryYear;
    entry.record.Sex = ktest::Sj(sex);
    return entry;
}

QList<InjuryFacts> Facts()
{
    ClaimListing listing;
    for (const Injury& injury : kInjuries)
        listing.claims.append(Overview(injury));
    const QHash<QByteArray, RosterEntry> students{
        {"1", Student(2025, u"男"_qs)}, {"2", Student(2024, u"女"_qs)}, {"3", Student(2023, u"男"_qs)},
        {"4", Student(2024, u"女"_qs)}, {"6", Student(2022, u"男子"_qs)}};
    return FactsOf(listing, students);
}

// "label value", with " previous" when compared.
QStringList Rows(const StatsTable& table, bool compare = false)
{
    QStringList rows;
    for (const StatsRow& row : table.rows)
        rows.append(u"%1 %2"_qs.arg(row.label).arg(row.value) + (compare ? u" %1"_qs.arg(row.previous) : QString()));
    return rows;
}

StatsQuery Query(Category by, Measure measure = Measure::Count, int from = 2025, int to = 2025)
{
    StatsQuery query;
    query.from = from;
    query.to = to;
    query.by = by;
    query.measure = measure;
    return query;
}

// The items of a list in the entry window's layout.
QStringList LayoutItems(const QString& listName)
{
    QFile file(QStringLiteral(KIBORU_SOURCE_DIR "/entry/SeiKyuImp.ui"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList items;
    bool inList = false, inItem = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"widget")
            inList = xml.attributes().value(QLatin1String("name")) == listName;
        if (xml.name() == u"item")
            inItem = xml.isStartElement();
        if (inList && inItem && xml.isStartElement() && xml.name() == u"string")
            items.append(xml.readElementText());
    }
    return items;
}

} // namespace

class StatsTest : public QObject {
    Q_OBJECT

private slots:
    void countsByCategory_data()
    {
        QTest::addColumn<Category>("by");
        QTest::addColumn<Measure>("measure");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<qint64>("total");
        const Measure count = Measure::Count;
        QTest::newRow("場合別: largest first, ties in the list's order")
            << Category::Situation << count << QStringList{u"部活中 2"_qs, u"授業中 1"_qs, u"休み時間 1"_qs, u"放課後 1"_qs}
            << qint64(5);
        QTest::newRow("場所別: typed after the items, 未記入 last")
            << Category::Place << count
            << QStringList{u"校舎内体育館・武道場 1"_qs, u"校舎外運動場・校庭 1"_qs, u"学校外道路 1"_qs,
                           u"近所の公園 1"_qs, u"未記入 1"_qs} << qint64(5);
        QTest::newRow("部位別") << Category::BodyPart << count
                             << QStringList{u"足関節部 2"_qs, u"頭部 1"_qs, u"手・手指部 1"_qs, u"膝部 1"_qs} << qint64(5);
        QTest::newRow("部活動別: 未記入 last though largest") << Category::Club << count
                                                       << QStringList{u"野球 2"_qs, u"未記入 3"_qs} << qint64(5);
        QTest::newRow("月別: April to March, every month")
            << Category::Month << count
            << QStringList{u"4月 1"_qs,  u"5月 0"_qs,  u"6月 1"_qs,  u"7月 1"_qs, u"8月 0"_qs, u"9月 1"_qs,
                           u"10月 0"_qs, u"11月 0"_qs, u"12月 0"_qs, u"1月 0"_qs, u"2月 0"_qs, u"3月 1"_qs} << qint64(5);
        QTest::newRow("曜日別: Sunday first")
            << Category::Weekday << count
            << QStringList{u"日 2"_qs, u"月 1"_qs, u"火 2"_qs, u"水 0"_qs, u"木 0"_qs, u"金 0"_qs, u"土 0"_qs} << qint64(5);
        QTest::newRow("学年別: entry year is the 1st, beyond the 3rd is the 3rd, no roster 不明")
            << Category::Grade << count << QStringList{u"1年 1"_qs, u"2年 1"_qs, u"3年 2"_qs, u"不明 1"_qs} << qint64(5);
        QTest::newRow("男女別: 男子 is 男, no roster 不明")
            << Category::Sex << count << QStringList{u"男 3"_qs, u"女 1"_qs, u"不明 1"_qs} << qint64(5);
        QTest::newRow("傷病別") << Category::Injury << count
                             << QStringList{u"捻挫 2"_qs, u"打撲 1"_qs, u"骨折 1"_qs, u"挫傷・裂傷 1"_qs} << qint64(5);
        QTest::newRow("傷病別 診療月数") << Category::Injury << Measure::TreatedMonths
                                   << QStringList{u"捻挫 5"_qs, u"打撲 1"_qs, u"骨折 1"_qs, u"挫傷・裂傷 0"_qs}
                                   << qint64(7);
        QTest::newRow("傷病別 支払額: 支払済 months only")
            << Category::Injury << Measure::Paid
            << QStringList{u"捻挫 5000"_qs, u"打撲 0"_qs, u"骨折 0"_qs, u"挫傷・裂傷 0"_qs} << qint64(5000);
    }

    void countsByCategory()
    {
        QFETCH(Category, by);
        QFETCH(Measure, measure);
        QFETCH(QStringList, rows);
        QFETCH(qint64, total);
        const StatsTable table = CountInjuries(Facts(), Query(by, measure));
        QCOMPARE(Rows(table), rows);
        QCOMPARE(table.total, total);
    }

    // 31 March belongs to the school year before, 1 April to the next.
    void spanFollowsTheSchoolYear_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<qint64>("total");
        QTest::newRow("2025年度: to 31 March") << 2025 << 2025 << qint64(5);
        QTest::newRow("2026年度: from 1 April") << 2026 << 2026 << qint64(1);
        QTest::newRow("2024年度 to 2026年度") << 2024 << 2026 << qint64(8);
    }

    void spanFollowsTheSchoolYear()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(qint64, total);
        QCOMPARE(CountInjuries(Facts(), Query(Category::Month, Measure::Count, from, to)).total, total);
    }

    // A label of the year before only still gets its row, after the others.
    void compareWithTheYearBefore()
    {
        StatsQuery query = Query(Category::Injury);
        query.compare = true;
        const StatsTable table = CountInjuries(Facts(), query);
        QCOMPARE(Rows(table, true), (QStringList{u"捻挫 2 0"_qs, u"打撲 1 1"_qs, u"骨折 1 0"_qs, u"挫傷・裂傷 1 0"_qs,
                                                  u"靱帯損傷 0 1"_qs}));
        QCOMPARE(table.previousTotal, 2);
        QCOMPARE(TableLines(table, query).first(), (QStringList{u"傷病"_qs, u"件数"_qs, u"割合(%)"_qs, u"前年度件数"_qs}));
        QCOMPARE(TableLines(table, query)[1], (QStringList{u"捻挫"_qs, u"2"_qs, u"40.0"_qs, u"0"_qs}));
        QCOMPARE(TableLines(table, query).last(), (QStringList{u"合計"_qs, u"5"_qs, u"100.0"_qs, u"2"_qs}));
    }

    void crossTableWithTotals()
    {
        StatsQuery query = Query(Category::Situation);
        query.cross = Category::Sex;
        const StatsTable table = CountInjuries(Facts(), query);
        QCOMPARE(table.columns, (QStringList{u"男"_qs, u"女"_qs, u"不明"_qs}));
        QCOMPARE(table.columnTotals, (QList<qint64>{3, 1, 1}));
        const QList<QStringList> lines = TableLines(table, query);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], (QStringList{u"場合"_qs, u"男"_qs, u"女"_qs, u"不明"_qs, u"合計"_qs}));
        QCOMPARE(lines[1], (QStringList{u"部活中"_qs, u"2"_qs, u"0"_qs, u"0"_qs, u"2"_qs}));
        QCOMPARE(lines[3], (QStringList{u"休み時間"_qs, u"0"_qs, u"0"_qs, u"1"_qs, u"1"_qs}));
        QCOMPARE(lines[5], (QStringList{u"合計"_qs, u"3"_qs, u"1"_qs, u"1"_qs, u"5"_qs}));
    }

    // The header's lists here and in the entry window must not drift apart.
    void headerItemsAreTheEntryWindowsLists_data()
    {
        QTest::addColumn<Category>("category");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("count");
        QTest::newRow("場合") << Category::Situation << u"ComboBox7"_qs << 10;
        QTest::newRow("場所") << Category::Place << u"ComboBox13"_qs << 11;
        QTest::newRow("部位") << Category::BodyPart << u"ComboBox6"_qs << 27;
        QTest::newRow("傷病") << Category::Injury << u"ComboBox9"_qs << 9;
        QTest::newRow("部活動") << Category::Club << u"ComboBox8"_qs << 43;
        QTest::newRow("曜日") << Category::Weekday << u"ComboBox5"_qs << 7;
    }

    void headerItemsAreTheEntryWindowsLists()
    {
        QFETCH(Category, category);
        QFETCH(QString, list);
        QFETCH(int, count);
        QCOMPARE(FixedItems(category), LayoutItems(list));
        QCOMPARE(FixedItems(category).size(), count);
    }
};

QTEST_GUILESS_MAIN(StatsTest)
#include "tst_stats.moc"
