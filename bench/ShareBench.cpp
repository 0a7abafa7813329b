// The deadline list over a file server's stand-in (slowfs, 1 ms for every
// lookup, listing, open and read): 10,000 claims, a status file for one in
// five. Four openings: the first (no cache), again with nothing changed,
// again with 20 claims changed behind the list's back, and again locally.
// Beside each time, the operations the opening cost on the server.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "claims/ClaimFile.h"
#include "claimstatus/StatusFile.h"
#include "files/ShiftJis.h"
#include "status/StatusWindow.h"
#include "tests/support/SlowMount.h"

#if __has_include("claimstatus/ListingCache.h")
#include "claimstatus/ListingCache.h"
#define KIBORU_LISTING_CACHE 1
#endif

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

namespace bench {
namespace {

constexpr int kClaims = 10000;
constexpr int kChanged = 20;
const QDate kToday(2026, 12, 9);

QByteArray ClaimBytes(int i, int extraMark)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::ResetClaim(header, table, 2023 + i % 4);
    for (int k = 1; k <= 1 + i % 4; ++k)
        claims::ToggleMark(table.row(1), (i + k * 3) % 12 + 1);
    if (extraMark > 0)
        claims::ToggleMark(table.row(2), extraMark);
    header.year = QByteArray::number(2023 + i % 4);
    const QByteArray name = claims::ClaimFileName(QByteArray::number(40000 + i / 8), i % 8 + 1);
    return claims::FormatClaim(name, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")), header, table);
}

QString ClaimPath(const QString& folder, int i)
{
    const QByteArray name = claims::ClaimFileName(QByteArray::number(40000 + i / 8), i % 8 + 1);
    return folder + QStringLiteral("/seikyu/") + claims::FromShiftJis(name) + QStringLiteral(".CSV");
}

// Writes the file with a time of last write of an hour ago (plus seconds):
// older than any cache's caution about files just written.
bool WriteAged(const QString& path, const QByteArray& bytes, int seconds)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
           && file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600 + seconds),
                               QFileDevice::FileModificationTime);
}

QString MakeShareFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/share10000");
    QDir().mkpath(folder + QStringLiteral("/seikyu"));
    QDir().mkpath(folder + QStringLiteral("/請求状況"));
    for (int i = 0; i < kClaims; ++i) {
        WriteAged(ClaimPath(folder, i), ClaimBytes(i, 0), 0);
        if (i % 5 == 0) {
            claims::StatusFile status;
            status.Edit({2024, 4}).state = claims::ClaimState::Claimed;
            const QString path = claims::StatusFilePath(folder, QByteArray::number(40000 + i / 8), i % 8 + 1);
            WriteAged(path, *claims::FormatStatusFile(status), 0);
        }
    }
    return folder;
}

QString ShareSource()
{
    static const QString folder = MakeShareFolder();
    return folder;
}

testsupport::SlowMount& Share()
{
    static testsupport::SlowMount mount(ShareSource(), 1.0);
    return mount;
}

// The same server where a file's size and time come with its name in the
// listing, as FindFirstFileEx gives them on Windows: no wait for a lookup.
testsupport::SlowMount& ShareListingWithSizes()
{
    static testsupport::SlowMount mount(ShareSource(), 1.0, 0.0);
    return mount;
}

QString CacheFolder() { return RunFolder() + QStringLiteral("/cache"); }

status::StatusWindow::ClaimReader Reader()
{
#ifdef KIBORU_LISTING_CACHE
    return [](const QString& w, const std::function<bool(int, int)>& progress) {
        return claims::ReadAllClaimsThroughCache(w, CacheFolder(), progress);
    };
#else
    return claims::ReadAllClaims;
#endif
}

struct Opening {
    double seconds = 0, progressShown = -1, longestGap = 0;
    int lines = 0;
};

// From the window made to its list filled and painted; the longest wait
// of its event loop on the way tells whether it answers while it reads.
Opening Open(const QString& workDir)
{
    Opening o;
    const std::int64_t start = MonotonicNs();
    status::StatusWindow window(workDir, kToday, nullptr, Reader());
    window.show();
    std::int64_t last = MonotonicNs();
    while (!window.IsLoaded()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const std::int64_t now = MonotonicNs();
        o.longestGap = std::max(o.longestGap, double(now - last) * 1e-9);
        last = now;
        if (o.progressShown < 0 && window.ui->StatusProgress->isVisible())
            o.progressShown = double(now - start) * 1e-9;
    }
    window.ui->StatusTable->viewport()->repaint();
    o.seconds = double(MonotonicNs() - start) * 1e-9;
    o.lines = window.Model().rowCount();
    return o;
}

void ForgetCache()
{
    QDir(CacheFolder()).removeRecursively();
}

// kind: 0 first, 1 again, 2 again with 20 changed, 3 locally again, 4 again
// where the listing brings sizes and times.
void ListOverShare(benchmark::State& state)
{
    const int kind = int(state.range(0));
    const bool local = kind == 3;
    testsupport::SlowMount& share = kind == 4 ? ShareListingWithSizes() : Share();
    if (!local && !share.Mounted()) {
        state.SkipWithError(qPrintable(QStringLiteral("no slowfs: ") + share.WhyNot()));
        return;
    }
    const QString workDir = local ? ShareSource() : share.Path();
    if (kind != 0)
        Open(workDir);   // the cache of an earlier opening
    testsupport::SlowCounts total;
    double gap = 0, progress = 0;
    int lines = 0, round = 0;
    for (auto _ : state) {
        if (kind == 0)
            ForgetCache();
        for (int c = 0; kind == 2 && c < kChanged; ++c) {
            const int i = (round * kChanged + c) * 37 % kClaims;
            WriteAged(ClaimPath(ShareSource(), i), ClaimBytes(i, round % 12 + 1), 2 + round);
        }
        ++round;
        if (!local)
            QThread::msleep(1500);   // the mount's client forgets what it knew of the files (a second)
        const testsupport::SlowCounts before = local ? testsupport::SlowCounts() : share.Counts();
        const Opening o = Open(workDir);
        state.SetIterationTime(o.seconds);
        if (!local) {
            const testsupport::SlowCounts cost = share.Counts().Since(before);
            total = {total.getattr + cost.getattr, total.readdir + cost.readdir, total.open + cost.open,
                     total.read + cost.read, {}};
        }
        gap = std::max(gap, o.longestGap);
        progress = std::max(progress, o.progressShown);
        lines = o.lines;
    }
    const double n = std::max<double>(1, double(state.iterations()));
    state.counters["getattr"] = double(total.getattr) / n;
    state.counters["readdir"] = double(total.readdir) / n;
    state.counters["open"] = double(total.open) / n;
    state.counters["read"] = double(total.read) / n;
    state.counters["longest_gap_ms"] = gap * 1e3;
    state.counters["progress_shown_ms"] = progress * 1e3;
    state.counters["lines"] = lines;
}

} // namespace

void RegisterShareBenchmarks()
{
    const int repetitions = qEnvironmentVariableIsSet("KIBORU_SHARE_REPETITIONS")
                                ? qEnvironmentVariableIntValue("KIBORU_SHARE_REPETITIONS")
                                : 3;
    static const char* names[] = {"share_status_first/10000", "share_status_again/10000",
                                  "share_status_changed20/10000", "share_status_local_again/10000",
                                  "share_status_again_sizes_listed/10000"};
    for (int kind = 0; kind < 5; ++kind) {
        AddTimedRuns(names[kind], ListOverShare, kind == 3 ? 11 : repetitions)->Arg(kind);
    }
}

} // namespace bench
