// 「統計」 over 10,000 claims with their headers filled in: the first
// opening (no cache on this PC), the second (through the cache, nothing
// changed), each to the table and the chart painted, and a change of the
// category to both painted again.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "claims/ClaimFile.h"
#include "claimstatus/ListingCache.h"
#include "files/ShiftJis.h"
#include "statswindow/StatsWindow.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

constexpr int kClaims = 10000;
const QDate kToday(2026, 12, 9);

const char16_t* const kSituations[] = {u"授業中", u"休み時間", u"昼休み", u"部活中", u"放課後", u"学校行事中"};
const char16_t* const kPlaces[] = {u"校舎内教室・実験自習室", u"校舎内体育館・武道場", u"校舎外運動場・校庭"};
const char16_t* const kBodyParts[] = {u"足関節部", u"手・手指部", u"膝部", u"頭部", u"歯部"};
const char16_t* const kInjuries[] = {u"捻挫", u"骨折", u"打撲", u"挫傷・裂傷"};
const char16_t* const kClubs[] = {u"サッカー", u"野球", u"陸上競技", u"", u"吹奏楽"};

template <std::size_t N>
QByteArray Pick(const char16_t* const (&items)[N], int i)
{
    return Sjis(QString::fromUtf16(items[i % N]));
}

// 1,250 students of R06入学.CSV to R08入学.CSV, eight injuries each, from
// 2024/4 to 2027/3: every header field filled, a treated month or two.
QString MakeStatsFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/stats10000");
    QDir().mkpath(folder + QStringLiteral("/seikyu"));
    QByteArray rosters[3];
    for (QByteArray& roster : rosters)
        roster = Sjis(QStringLiteral("ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"));
    claims::t_sick header;
    for (int i = 0; i < kClaims; ++i) {
        const int student = i / 8;
        const QByteArray id = QByteArray::number(60000 + student);
        const QDate injured = QDate(2024, 4, 1).addDays((i * 37) % 1090);
        const int schoolYear = injured.month() >= 4 ? injured.year() : injured.year() - 1;
        claims::TTreatmentTable table;
        claims::ResetClaim(header, table, schoolYear);
        header.year = QByteArray::number(injured.year());
        header.month = QByteArray::number(injured.month());
        header.day = QByteArray::number(injured.day());
        header.situation = Pick(kSituations, i);
        header.place = Pick(kPlaces, i / 3);
        header.body_part = Pick(kBodyParts, i / 2);
        header.injury = Pick(kInjuries, i / 5);
        header.club = Pick(kClubs, i / 7);
        const int month = injured.month() >= 4 ? injured.month() - 3 : injured.month() + 9;
        claims::ToggleMark(table.row(1), month);
        if (month < 12)
            claims::ToggleMark(table.row(1), month + 1);
        const QByteArray name = claims::ClaimFileName(id, i % 8 + 1);
        QFile file(folder + QStringLiteral("/seikyu/") + claims::FromShiftJis(name) + ".CSV");
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(claims::FormatClaim(name, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")), header, table));
        if (i % 8 == 0) {
            rosters[student % 3] += id + Sjis(QStringLiteral(",,,1-1,札幌　花子,さっぽろ　はなこ,札幌　一郎,中学校,%1,普通科,H22.4.19,札幌市\r\n")
                                                  .arg(student % 2 ? QStringLiteral("女") : QStringLiteral("男")));
        }
    }
    for (int r = 0; r < 3; ++r) {
        QFile roster(folder + QStringLiteral("/R0%1入学.CSV").arg(6 + r));
        if (!roster.open(QIODevice::WriteOnly))
            return QString();
        roster.write(rosters[r]);
    }
    return folder;
}

QString StatsFolder()
{
    static const QString folder = MakeStatsFolder();
    return folder;
}

std::unique_ptr<statswindow::StatsWindow> OpenStats(const QString& cache)
{
    auto window = std::make_unique<statswindow::StatsWindow>(
        StatsFolder(), nullptr, kToday, [cache](const QString& w, const std::function<bool(int, int)>& progress) {
            return claims::ReadAllClaimsThroughCache(w, cache, progress);
        });
    window->show();
    while (!window->IsLoaded())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    window->ui->StatsTable->viewport()->repaint();
    window->ui->StatsChart->repaint();
    return window;
}

bool CountsEveryInjury(const statswindow::StatsWindow& window)
{
    return window.Table().total > 0 && window.Table().rows.size() > 1;
}

// again: through the cache of an opening before; otherwise with no cache.
void TimeOpening(benchmark::State& state, bool again)
{
    const QString cache = RunFolder() + QStringLiteral("/stats-cache");
    if (again) {
        WaitUntilSettled(StatsFolder());
        claims::ReadAllClaimsThroughCache(StatsFolder(), cache);
    }
    for (auto _ : state) {
        if (!again)
            QDir(cache).removeRecursively();
        const std::int64_t start = MonotonicNs();
        const auto window = OpenStats(cache);
        const std::int64_t end = MonotonicNs();
        if (!CountsEveryInjury(*window)) {
            state.SkipWithError("the statistics counted nothing");
            break;
        }
        state.SetIterationTime(double(end - start) * 1e-9);
    }
}

// Each run another category, from 場合別 on: the table and the chart made
// again and painted.
void TimeCategoryChange(benchmark::State& state)
{
    const QString cache = RunFolder() + QStringLiteral("/stats-cache");
    WaitUntilSettled(StatsFolder());
    const auto window = OpenStats(cache);
    int next = 0;
    for (auto _ : state) {
        next = (next + 1) % window->ui->StatsBy->count();
        const std::int64_t start = MonotonicNs();
        window->ui->StatsBy->setCurrentIndex(next);
        window->ui->StatsTable->viewport()->repaint();
        window->ui->StatsChart->repaint();
        const std::int64_t end = MonotonicNs();
        if (!CountsEveryInjury(*window)) {
            state.SkipWithError("the statistics counted nothing");
            break;
        }
        state.SetIterationTime(double(end - start) * 1e-9);
    }
}

} // namespace

void RegisterStatsBenchmarks()
{
    AddTimedRuns("stats_first/10000", [](benchmark::State& state) { TimeOpening(state, false); }, 5);
    AddTimedRuns("stats_again/10000", [](benchmark::State& state) { TimeOpening(state, true); }, 11);
    AddTimedRuns("stats_by_change/10000", TimeCategoryChange, 27);
}

} // namespace bench
