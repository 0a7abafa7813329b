#pragma once
// Injury statistics for the school's safety plan: the claims of a span of
// school years (年度, April to March, by the injury date) counted by one
// category of the claim header or of the injury date, or by the student's
// grade or sex from the rosters, optionally crossed with a second category
// and compared with the same span one year earlier.

#include "claimstatus/ClaimList.h"
#include "rosters/RosterLookup.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace stats {

enum class Category { Situation, Place, BodyPart, Injury, Club, Month, Weekday, Grade, Sex };
inline constexpr int kCategoryCount = 9;

// 件数: one per claim file; 診療月数: its treated months; 支払額: the
// amounts of its 支払済 months in the status file, in yen.
enum class Measure { Count, TreatedMonths, Paid };
inline constexpr int kMeasureCount = 3;

QString CategoryText(Category category);   // 場合別, 場所別 ...
QString MeasureText(Measure measure);      // 件数, 診療月数, 支払額
QString UnfilledText();                    // 未記入: the header holds nothing
QString UnknownText();                     // 不明: the student is in no roster

// The items a category knows, in their own order: the entry window's
// lists for the header's categories, 4月 .. 3月, 日 .. 土, 1年 .. 3年, 男 女.
QStringList FixedItems(Category category);

// What the statistics take from one claim.
struct InjuryFacts {
    QDate injured;                                   // invalid when the header holds no date
    QString situation, place, bodyPart, injury, club;   // trimmed header texts
    int grade = 0;                                   // 1 .. 3; 0 when unknown
    QString sex;                                     // 男 or 女 (the roster's 男子 is 男); empty when unknown
    qint64 treatedMonths = 0;
    qint64 paid = 0;
};

// The grade on the injury date of a student who entered in entryYear: the
// entry 年度 is the 1st year; years beyond the 3rd count as the 3rd. 0 when
// the entry year is unknown or later than the injury.
int GradeOn(QDate injured, int entryYear);

// The facts of every claim, its student looked up among the rosters by ID.
InjuryFacts FactsOf(const claims::ClaimOverview& claim, const claims::RosterEntry* student);
QList<InjuryFacts> FactsOf(const claims::ClaimListing& listing, const QHash<QByteArray, claims::RosterEntry>& students);

// The same, the rosters read from the working folder.
QList<InjuryFacts> ReadFacts(const QString& workDir, const claims::ClaimListing& listing);

// The label a claim counts under: the header's text (a list's item or what
// was typed), 未記入 when empty; the month, weekday, grade or sex, 不明
// when unknown.
QString LabelOf(const InjuryFacts& facts, Category category);

struct StatsQuery {
    int from = 0, to = 0;                 // school years, both counted
    Category by = Category::Situation;
    std::optional<Category> cross;
    Measure measure = Measure::Count;
    bool compare = false;                 // the span one year earlier beside it
};

struct StatsRow {
    QString label;
    qint64 value = 0;
    double share = 0;                     // percent of the total
    qint64 previous = 0;                  // the span one year earlier
};

// Rows of the list categories come largest first, ties in the list's own
// order and what was typed after the items; 月別, 曜日別, 学年別 and 男女別
// keep their own order with every item. 未記入 and 不明 come last.
struct StatsTable {
    QList<StatsRow> rows;
    qint64 total = 0, previousTotal = 0;
    QStringList columns;                  // a cross: the second category's labels
    QList<QList<qint64>> cells;           // a cross: one list per row, one value per column
    QList<qint64> columnTotals;
};

StatsTable CountInjuries(const QList<InjuryFacts>& facts, const StatsQuery& query);

// "令和7年度", or "令和6年度～令和7年度".
QString SpanText(int from, int to);

// The table as lines of text, the column names first and a line 合計 last:
// for the CSV export and the clipboard.
QList<QStringList> TableLines(const StatsTable& table, const StatsQuery& query);

} // namespace stats
