#include "stats/Stats.h"

#include "rosters/EntryYears.h"

#include <QSet>

#include <algorithm>

using namespace claims;

namespace stats {
namespace {

// The entry window's header lists, in their order.
const QStringList kSituations{u"授業前"_qs, u"授業中"_qs, u"休み時間"_qs, u"昼休み"_qs, u"掃除中"_qs,
                              u"部活中"_qs, u"放課後"_qs, u"通学中"_qs, u"学校行事中"_qs, u"その他"_qs};
const QStringList kPlaces{u"校舎内教室・実験自習室"_qs, u"校舎内体育館・武道場"_qs, u"校舎内廊下・昇降口・階段"_qs,
                          u"校舎内その他"_qs, u"校舎外運動場・校庭"_qs, u"校舎外体育施設等"_qs, u"校舎外その他"_qs,
                          u"学校外道路"_qs, u"学校外運動場"_qs, u"学校外体育館・屋内運動場"_qs, u"学校外その他"_qs};
const QStringList kBodyParts{u"頭部"_qs, u"前額部"_qs, u"眼部"_qs, u"頬部"_qs, u"耳部"_qs, u"鼻部"_qs, u"口部"_qs,
                             u"歯部"_qs, u"顎部"_qs, u"頸部"_qs, u"肩部"_qs, u"胸部（含内臓損傷）"_qs,
                             u"腹部（含内臓損傷）"_qs, u"背部"_qs, u"腰部"_qs, u"臀部"_qs, u"上腕部"_qs, u"肘部"_qs,
                             u"前腕部"_qs, u"手関節部"_qs, u"手・手指部"_qs, u"大腿部・股関節"_qs, u"膝部"_qs,
                             u"下腿部"_qs, u"足関節部"_qs, u"足・足指部"_qs, u"その他"_qs};
const QStringList kInjuries{u"打撲"_qs, u"捻挫"_qs, u"骨折"_qs, u"挫傷・裂傷"_qs, u"靱帯損傷"_qs,
                            u"眼科"_qs, u"歯科"_qs, u"頭部外傷"_qs, u"その他"_qs};
const QStringList kClubs{u"弓道"_qs, u"柔道"_qs, u"剣道"_qs, u"テニス"_qs, u"ｿﾌﾄﾃﾆｽ"_qs, u"卓球"_qs, u"登山"_qs,
                         u"陸上競技"_qs, u"野球"_qs, u"ダンス"_qs, u"ﾊﾞﾄﾞﾐﾝﾄﾝ"_qs, u"ﾊﾞｽｹｯﾄﾎﾞｰﾙ"_qs, u"ホッケー"_qs,
                         u"ﾊﾞﾚｰﾎﾞｰﾙ"_qs, u"ﾊﾝﾄﾞﾎﾞｰﾙ"_qs, u"サッカー"_qs, u"生物"_qs, u"物理"_qs, u"地学"_qs,
                         u"化学"_qs, u"美術"_qs, u"吹奏楽"_qs, u"コーラス"_qs, u"ｷﾞﾀｰﾏﾝﾄﾞﾘﾝ"_qs, u"書道"_qs,
                         u"茶道"_qs, u"華道"_qs, u"演劇"_qs, u"写真"_qs, u"新聞"_qs, u"放送"_qs, u"文芸"_qs,
                         u"地歴"_qs, u"英語"_qs, u"ＪＲＣ"_qs, u"囲碁将棋"_qs, u"弦楽"_qs, u"総合活動"_qs,
                         u"ＶＹＳ"_qs, u"応援団"_qs, u"パソコン"_qs, u"数学"_qs, u"その他"_qs};
const QStringList kMonths{u"4月"_qs, u"5月"_qs, u"6月"_qs, u"7月"_qs, u"8月"_qs, u"9月"_qs,
                          u"10月"_qs, u"11月"_qs, u"12月"_qs, u"1月"_qs, u"2月"_qs, u"3月"_qs};
const QStringList kWeekdays{u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs};
const QStringList kGrades{u"1年"_qs, u"2年"_qs, u"3年"_qs};
const QStringList kSexes{u"男"_qs, u"女"_qs};

constexpr int kRosterSexField = 8;

// 月別, 曜日別, 学年別 and 男女別 keep their own order and show every item.
bool KeepsOwnOrder(Category category)
{
    return category >= Category::Month;
}

QString HeaderLabel(const QString& text)
{
    return text.isEmpty() ? UnfilledText() : text;
}

QString ItemOrUnknown(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : UnknownText();
}

// 男 or 女 as a roster writes it (男子, 女子 too); empty for anything else.
QString SexOf(const QString& text)
{
    for (const QString& sex : kSexes) {
        if (text.startsWith(sex))
            return sex;
    }
    return {};
}

qint64 PaidAmount(const StatusFile& status)
{
    qint64 sum = 0;
    for (const MonthStatus& month : status.months) {
        if (month.state == ClaimState::Paid)
            sum += month.amount.value_or(0);
    }
    return sum;
}

qint64 ValueOf(const InjuryFacts& facts, Measure measure)
{
    switch (measure) {
    case Measure::Count: return 1;
    case Measure::TreatedMonths: return facts.treatedMonths;
    case Measure::Paid: return facts.paid;
    }
    return 0;
}

bool InSpan(const InjuryFacts& facts, int from, int to)
{
    if (!facts.injured.isValid())
        return false;
    const int year = SchoolYear(facts.injured);
    return year >= from && year <= to;
}

bool IsLast(const QString& label)
{
    return label == UnfilledText() || label == UnknownText();
}

// The labels in the order of the rows or columns (see StatsTable).
QStringList OrderedLabels(Category category, const QHash<QString, qint64>& values)
{
    const QStringList items = FixedItems(category);
    QStringList labels = KeepsOwnOrder(category) ? items : QStringList();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!labels.contains(it.key()))
            labels.append(it.key());
    }
    auto rank = [&](const QString& label) {
        const int i = items.indexOf(label);
        return i >= 0 ? i : int(items.size());
    };
    const bool ownOrder = KeepsOwnOrder(category);
    std::sort(labels.begin(), labels.end(), [&](const QString& a, const QString& b) {
        if (IsLast(a) != IsLast(b))
            return IsLast(b);
        if (!ownOrder && values.value(a) != values.value(b))
            return values.value(a) > values.value(b);
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return a < b;
    });
    return labels;
}

struct Sums {
    QHash<QString, qint64> rows, previous, columns;
    QHash<QString, QHash<QString, qint64>> cells;
};

Sums Sum(const QList<InjuryFacts>& facts, const StatsQuery& query)
{
    Sums sums;
    for (const InjuryFacts& f : facts) {
        const qint64 value = ValueOf(f, query.measure);
        const QString label = LabelOf(f, query.by);
        if (query.compare && InSpan(f, query.from - 1, query.to - 1)) {
            sums.previous[label] += value;
            sums.rows[label] += 0;
        }
        if (!InSpan(f, query.from, query.to))
            continue;
        sums.rows[label] += value;
        if (query.cross) {
            const QString column = LabelOf(f, *query.cross);
            sums.columns[column] += value;
            sums.cells[label][column] += value;
        }
    }
    return sums;
}

void FillCross(const Sums& sums, Category cross, StatsTable& table)
{
    table.columns = OrderedLabels(cross, sums.columns);
    for (const QString& column : table.columns)
        table.columnTotals.append(sums.columns.value(column));
    for (const StatsRow& row : table.rows) {
        QList<qint64> cells;
        for (const QString& column : table.columns)
            cells.append(sums.cells.value(row.label).value(column));
        table.cells.append(cells);
    }
}

QString Percent(double share)
{
    return QString::number(share, 'f', 1);
}

} // namespace

QString CategoryText(Category category)
{
    static const QStringList texts{u"場合別"_qs, u"場所別"_qs, u"部位別"_qs, u"傷病別"_qs, u"部活動別"_qs,
                                   u"月別"_qs,   u"曜日別"_qs, u"学年別"_qs, u"男女別"_qs};
    return texts.value(int(category));
}

QString MeasureText(Measure measure)
{
    static const QStringList texts{u"件数"_qs, u"診療月数"_qs, u"支払額"_qs};
    return texts.value(int(measure));
}

QString UnfilledText()
{
    return u"未記入"_qs;
}

QString UnknownText()
{
    return u"不明"_qs;
}

QStringList FixedItems(Category category)
{
    switch (category) {
    case Category::Situation: return kSituations;
    case Category::Place: return kPlaces;
    case Category::BodyPart: return kBodyParts;
    case Category::Injury: return kInjuries;
    case Category::Club: return kClubs;
    case Category::Month: return kMonths;
    case Category::Weekday: return kWeekdays;
    case Category::Grade: return kGrades;
    case Category::Sex: return kSexes;
    }
    return {};
}

int GradeOn(QDate injured, int entryYear)
{
    if (entryYear <= 0 || !injured.isValid())
        return 0;
    const int grade = SchoolYear(injured) - entryYear + 1;
    return grade < 1 ? 0 : std::min(grade, 3);
}

InjuryFacts FactsOf(const ClaimOverview& claim, const RosterEntry* student)
{
    InjuryFacts facts;
    facts.injured = QDate::fromString(claim.injuryDate, u"yyyy/M/d"_qs);
    facts.situation = claim.situation;
    facts.place = claim.place;
    facts.bodyPart = claim.bodyPart;
    facts.injury = claim.injury;
    facts.club = claim.club;
    facts.treatedMonths = claim.treated.size();
    facts.paid = PaidAmount(claim.status);
    if (student) {
        facts.grade = GradeOn(facts.injured, student->entryYear);
        facts.sex = SexOf(student->Text(kRosterSexField));
    }
    return facts;
}

QList<InjuryFacts> FactsOf(const ClaimListing& listing, const QHash<QByteArray, RosterEntry>& students)
{
    QList<InjuryFacts> facts;
    for (const ClaimOverview& claim : listing.claims) {
        const auto found = students.constFind(claim.id);
        facts.append(FactsOf(claim, found != students.cend() ? &*found : nullptr));
    }
    return facts;
}

QList<InjuryFacts> ReadFacts(const QString& workDir, const ClaimListing& listing)
{
    QSet<QByteArray> ids;
    for (const ClaimOverview& claim : listing.claims)
        ids.insert(claim.id);
    return FactsOf(listing, FindStudentsById(workDir, ids));
}

QString LabelOf(const InjuryFacts& facts, Category category)
{
    switch (category) {
    case Category::Situation: return HeaderLabel(facts.situation);
    case Category::Place: return HeaderLabel(facts.place);
    case Category::BodyPart: return HeaderLabel(facts.bodyPart);
    case Category::Injury: return HeaderLabel(facts.injury);
    case Category::Club: return HeaderLabel(facts.club);
    case Category::Month:
        return facts.injured.isValid() ? kMonths[(facts.injured.month() + 8) % 12] : UnknownText();
    case Category::Weekday:
        return facts.injured.isValid() ? kWeekdays[facts.injured.dayOfWeek() % 7] : UnknownText();
    case Category::Grade: return ItemOrUnknown(kGrades, facts.grade - 1);
    case Category::Sex: return facts.sex.isEmpty() ? UnknownText() : facts.sex;
    }
    return UnknownText();
}

StatsTable CountInjuries(const QList<InjuryFacts>& facts, const StatsQuery& query)
{
    const Sums sums = Sum(facts, query);
    StatsTable table;
    for (const QString& label : OrderedLabels(query.by, sums.rows)) {
        const qint64 value = sums.rows.value(label);
        table.rows.append({label, value, 0, sums.previous.value(label)});
        table.total += value;
        table.previousTotal += sums.previous.value(label);
    }
    for (StatsRow& row : table.rows)
        row.share = table.total > 0 ? 100.0 * double(row.value) / double(table.total) : 0;
    if (query.cross)
        FillCross(sums, *query.cross, table);
    return table;
}

QString SpanText(int from, int to)
{
    return from == to ? EntryYearText(from) : EntryYearText(from) + u"～"_qs + EntryYearText(to);
}

QList<QStringList> TableLines(const StatsTable& table, const StatsQuery& query)
{
    const QString by = CategoryText(query.by).chopped(1);   // 場合別 -> 場合
    QList<QStringList> lines;
    if (query.cross) {
        lines.append(QStringList{by} + table.columns + QStringList{u"合計"_qs});
        for (int r = 0; r < table.rows.size(); ++r) {
            QStringList line{table.rows[r].label};
            for (qint64 cell : table.cells[r])
                line.append(QString::number(cell));
            lines.append(line + QStringList{QString::number(table.rows[r].value)});
        }
        QStringList foot{u"合計"_qs};
        for (qint64 total : table.columnTotals)
            foot.append(QString::number(total));
        lines.append(foot + QStringList{QString::number(table.total)});
        return lines;
    }
    const QString measure = MeasureText(query.measure);
    const QString previous = u"前年度"_qs + measure;
    lines.append(QStringList{by, measure, u"割合(%)"_qs} + (query.compare ? QStringList{previous} : QStringList()));
    for (const StatsRow& row : table.rows) {
        QStringList line{row.label, QString::number(row.value), Percent(row.share)};
        lines.append(line + (query.compare ? QStringList{QString::number(row.previous)} : QStringList()));
    }
    QStringList foot{u"合計"_qs, QString::number(table.total), table.total > 0 ? Percent(100) : Percent(0)};
    lines.append(foot + (query.compare ? QStringList{QString::number(table.previousTotal)} : QStringList()));
    return lines;
}

} // namespace stats
