#include "stats/Stats.h"

#include "rosters/EntryYears.h"

#include <QSet>

#include <algorithm>

using namespace claims;

namespace stats {
namespace {

// The entry window's header lists, in their order.
const QStringList kSituations = QStringLiteral("授業前,授業中,休み時間,昼休み,掃除中,部活中,放課後"
                                               ",通学中,学校行事中,その他").split(u',');
const QStringList kPlaces = QStringLiteral("校舎内教室・実験自習室,校舎内体育館・武道場"
                                           ",校舎内廊下・昇降口・階段,校舎内その他,校舎外運動場・校庭"
                                           ",校舎外体育施設等,校舎外その他,学校外道路,学校外運動場"
                                           ",学校外体育館・屋内運動場,学校外その他").split(u',');
const QStringList kBodyParts = QStringLiteral("頭部,前額部,眼部,頬部,耳部,鼻部,口部,歯部,顎部,頸部"
                                              ",肩部,胸部（含内臓損傷）,腹部（含内臓損傷）,背部,腰部"
                                              ",臀部,上腕部,肘部,前腕部,手関節部,手・手指部"
                                              ",大腿部・股関節,膝部,下腿部,足関節部,足・足指部,その他").split(u',');
const QStringList kInjuries = QStringLiteral("打撲,捻挫,骨折,挫傷・裂傷,靱帯損傷,眼科,歯科,頭部外傷"
                                             ",その他").split(u',');
const QStringList kClubs = QStringLiteral("弓道,柔道,剣道,テニス,ｿﾌﾄﾃﾆｽ,卓球,登山,陸上競技"
                                          ",野球,ダンス,ﾊﾞﾄﾞﾐﾝﾄﾝ,ﾊﾞｽｹｯﾄﾎﾞｰﾙ"
                                          ",ホッケー,ﾊﾞﾚｰﾎﾞｰﾙ,ﾊﾝﾄﾞﾎﾞｰﾙ,サッカー"
                                          ",生物,物理,地学,化学,美術,吹奏楽,コーラス"
                                          ",ｷﾞﾀｰﾏﾝﾄﾞﾘﾝ,書道,茶道,華道,演劇,写真,新聞"
                                          ",放送,文芸,地歴,英語,ＪＲＣ,囲碁将棋,弦楽,総合活動"
                                          ",ＶＹＳ,応援団,パソコン,数学,その他").split(u',');

const QStringList kMonths = QStringLiteral("4月,5月,6月,7月,8月,9月,10月,11月,12月"
                                           ",1月,2月,3月").split(u',');
const QStringList kWeekdays = QStringLiteral("日,月,火,水,木,金,土").split(u',');
const QStringList kGrades = QStringLiteral("1年,2年,3年").split(u',');
const QStringList kSexes = QStringLiteral("男,女").split(u',');

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

// The category's name as a column's: 場合別 -> 場合.
QString ColumnName(Category category)
{
    return CategoryText(category).chopped(1);
}

QList<QStringList> CrossLines(const StatsTable& table, const StatsQuery& query)
{
    const QString total = QStringLiteral("合計");
    QList<QStringList> lines{QStringList{ColumnName(query.by)} + table.columns + QStringList{total}};
    for (int r = 0; r < table.rows.size(); ++r) {
        QStringList line{table.rows[r].label};
        for (qint64 cell : table.cells[r])
            line.append(QString::number(cell));
        lines.append(line << QString::number(table.rows[r].value));
    }
    QStringList foot{total};
    for (qint64 column : table.columnTotals)
        foot.append(QString::number(column));
    lines.append(foot << QString::number(table.total));
    return lines;
}

QList<QStringList> PlainLines(const StatsTable& table, const StatsQuery& query)
{
    const QString measure = MeasureText(query.measure);
    auto before = [&](qint64 previous) { return query.compare ? QStringList{QString::number(previous)} : QStringList(); };
    QStringList head{ColumnName(query.by), measure, QStringLiteral("割合(%)")};
    QList<QStringList> lines{head + (query.compare ? QStringList{QStringLiteral("前年度") + measure} : QStringList())};
    for (const StatsRow& row : table.rows)
        lines.append(QStringList{row.label, QString::number(row.value), Percent(row.share)} + before(row.previous));
    const QStringList foot{QStringLiteral("合計"), QString::number(table.total), Percent(table.total > 0 ? 100 : 0)};
    lines.append(foot + before(table.previousTotal));
    return lines;
}

} // namespace

QString CategoryText(Category category)
{
    static const QStringList texts =
        QStringLiteral("場合別,場所別,部位別,傷病別,部活動別,月別,曜日別,学年別,男女別").split(u',');
    return texts.value(int(category));
}

QString MeasureText(Measure measure)
{
    static const QStringList texts = QStringLiteral("件数,診療月数,支払額").split(u',');
    return texts.value(int(measure));
}

QString UnfilledText()
{
    return QStringLiteral("未記入");
}

QString UnknownText()
{
    return QStringLiteral("不明");
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
    facts.injured = QDate::fromString(claim.injuryDate, QStringLiteral("yyyy/M/d"));
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
    return from == to ? EntryYearText(from) : EntryYearText(from) + QStringLiteral("～") + EntryYearText(to);
}

QList<QStringList> TableLines(const StatsTable& table, const StatsQuery& query)
{
    return query.cross ? CrossLines(table, query) : PlainLines(table, query);
}

} // namespace stats
