// The deadline list over 10,000 claim files: from 請求状況 clicked to the
// window painted with its list filled, in its first view and in 未渡し.

#include "bench/Benchmarks.h"

#include "app/KiboruMain.h"
#include "bench/BenchData.h"
#include "bench/Process.h"
#include "bench/WhenShown.h"
#include "claims/ClaimFile.h"
#include "files/ShiftJis.h"
#include "claimstatus/ListingCache.h"
#include "claimstatus/StatusFile.h"
#include "entry/EntryState.h"
#include "status/LedgerWindow.h"
#include "status/StatusWindow.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

constexpr int kClaimCount = 10000;

constexpr int kAwaitingHandover = 2000;

// 10,000 claims of 1,250 students, eight each, treated in one to four
// months of 2023 to 2026; every tenth has a status file: a month claimed,
// and three months paid of which the last was handed over (2,000 months
// awaiting handover in all; none of them is treated, so the open lines are
// as they were before the handover was recorded).
void AddStatusFile(const QString& folder, const QByteArray& id, int occurrence, int i)
{
    claims::StatusFile status;
    status.Edit({2024, 4}).state = claims::ClaimState::Claimed;
    for (int month = 5; month <= 7; ++month) {
        claims::MonthStatus& paid = status.Edit({2024, month});
        paid.state = claims::ClaimState::Paid;
        paid.paidDate = QDate(2026, 8, 1).addDays(i % 120 + month);
        if (month == 7)
            paid.handedDate = paid.paidDate.addDays(10);
    }
    claims::WriteStatusFile(folder, id, occurrence, status);
}

QString MakeStatusFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/status10000");
    QDir().mkpath(folder + QStringLiteral("/seikyu"));
    claims::t_sick header;
    for (int i = 0; i < kClaimCount; ++i) {
        const QByteArray id = QByteArray::number(30000 + i / 8);
        const int occurrence = i % 8 + 1;
        claims::TTreatmentTable table;
        claims::ResetClaim(header, table, 2023 + i % 4);
        for (int k = 1; k <= 1 + i % 4; ++k)
            claims::ToggleMark(table.row(1), (i + k * 3) % 12 + 1);
        header.year = QByteArray::number(2023 + i % 4);
        const QByteArray name = claims::ClaimFileName(id, occurrence);
        QFile file(folder + QStringLiteral("/seikyu/") + claims::FromShiftJis(name) + ".CSV");
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(claims::FormatClaim(name, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")), header, table));
        if (i % 10 == 0)
            AddStatusFile(folder, id, occurrence, i);
    }
    return folder;
}

QString StatusFolder10000()
{
    static const QString folder = MakeStatusFolder();
    return folder;
}

// handover: the window opened on 「未渡し」, as the office would choose it
// before the reading ends.
void TimeStatusList(benchmark::State& state, bool handover)
{
    QDir::setCurrent(StatusFolder10000());
    entry::EntryState entryState;
    TForm1 form1(entryState);
    form1.SetToday();
    form1.show();
    if (!QTest::qWaitForWindowExposed(&form1))
        state.SkipWithError("the main window did not come on screen");
    // Any number of lines but none: the list's lines are its treated months.
    TimeListWindow(
        state,
        [&] {
            // Every claim read each time, as on a PC's first opening: no cache.
            auto window = std::make_unique<status::StatusWindow>(
                QDir::currentPath(), form1.ui->DateTimePicker1->date(), &form1,
                [](const QString& w, const std::function<bool(int, int)>& progress) {
                    return claims::ReadAllClaims(w, progress);
                });
            if (handover)
                window->ui->StatusFilter->setCurrentText(QStringLiteral("未渡し"));
            return window;
        },
        [](status::StatusWindow& w) { return w.ui->StatusTable; }, handover ? kAwaitingHandover : -1);
}

constexpr int kPaidIn2026 = 3000;

// 「給付金台帳」 of 2026年度 over the same folder, opened a second time: the
// listing through this run's cache of the first opening (nothing changed
// since), the window made, its 3,000 paid months in their groups (a notice
// box each) filled and painted.
void TimeLedgerAgain(benchmark::State& state)
{
    const QString folder = StatusFolder10000();
    const QString cache = RunFolder() + QStringLiteral("/ledger-cache");
    WaitUntilSettled(folder);
    claims::ReadAllClaimsThroughCache(folder, cache);
    qsizetype months = 0;
    for (auto _ : state) {
        const std::int64_t start = MonotonicNs();
        const claims::ClaimListing listing = claims::ReadAllClaimsThroughCache(folder, cache);
        status::LedgerWindow window(folder, listing.claims, QDate(2026, 12, 9));
        window.show();
        QCoreApplication::processEvents();
        window.ui->LedgerTable->viewport()->repaint();
        const std::int64_t end = MonotonicNs();
        months = 0;
        for (const claims::LedgerGroup& group : window.Shown().groups)
            months += group.rows.size();
        if (months != kPaidIn2026) {
            state.SkipWithError("the ledger did not hold every month paid in 2026年度");
            break;
        }
        state.SetIterationTime(double(end - start) * 1e-9);
    }
    state.counters["months"] = double(months);
}

} // namespace

void RegisterStatusBenchmarks()
{
    AddTimedRuns("ledger_again/10000", TimeLedgerAgain, 11);
    for (const bool handover : {false, true}) {
        const char* name = handover ? "window_status_handover/10000" : "window_status_list/10000";
        AddTimedRuns(name, [handover](benchmark::State& state) { TimeStatusList(state, handover); }, 11);
    }
}

} // namespace bench
