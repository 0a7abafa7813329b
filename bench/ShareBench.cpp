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
#include <QFileInfo>
#include <QProcess>
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

// The same folder on a real SMB share, copied once with its times, when
// KIBORU_BENCH_SMB names a folder of a mounted share (scripts/smb-share.sh);
// empty otherwise.
QString SmbFolder()
{
    static const QString folder = [] {
        const QString root = qEnvironmentVariable("KIBORU_BENCH_SMB");
        if (root.isEmpty())
            return QString();
        const QString copy = root + QStringLiteral("/share10000");
        if (!QFileInfo::exists(copy + QStringLiteral("/seikyu"))
            && QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), QStringLiteral("--preserve=timestamps"),
                                                        ShareSource(), copy}) != 0)
            return QString();
        return copy;
    }();
    return folder;
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

// Over a real SMB share: the first opening (no cache) and again; no
// operations are counted there.
void ListOverSmb(benchmark::State& state)
{
    const QString workDir = SmbFolder();
    if (workDir.isEmpty()) {
        state.SkipWithError("no SMB share: KIBORU_BENCH_SMB names none");
        return;
    }
    const bool first = state.range(0) == 0;
    if (!first)
        Open(workDir);
    for (auto _ : state) {
        if (first)
            ForgetCache();
        state.SetIterationTime(Open(workDir).seconds);
    }
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

// The server's operations, each a round trip, as counters.
void CountRoundTrips(benchmark::State& state, const testsupport::SlowCounts& total)
{
    const double n = std::max<double>(1, double(state.iterations()));
    state.counters["round_trips"] = double(total.Total()) / n;
    state.counters["getattr"] = double(total.getattr) / n;
    state.counters["readdir"] = double(total.readdir) / n;
    state.counters["open"] = double(total.open) / n;
    state.counters["read"] = double(total.read) / n;
    state.counters["change"] = double(total.change) / n;
}

testsupport::SlowCounts Add(const testsupport::SlowCounts& a, const testsupport::SlowCounts& b)
{
    return {a.getattr + b.getattr, a.readdir + b.readdir, a.open + b.open, a.read + b.read, a.change + b.change, {}};
}

// A student chosen in the entry window over the 10,000 claims of the share:
// the student's claims listed for the occurrence dialog, then the first
// one's file found and read.
void ChooseStudentOverShare(benchmark::State& state)
{
    testsupport::SlowMount& share = Share();
    if (!share.Mounted()) {
        state.SkipWithError(qPrintable(QStringLiteral("no slowfs: ") + share.WhyNot()));
        return;
    }
    const QByteArray id = QByteArray::number(40000 + 617);
    testsupport::SlowCounts total;
    for (auto _ : state) {
        QThread::msleep(1500);   // the mount's client forgets what it knew of the files (a second)
        const testsupport::SlowCounts before = share.Counts();
        const std::int64_t start = MonotonicNs();
        const QStringList names = claims::ListClaimFiles(share.Path(), id);
        claims::t_sick header;
        claims::TTreatmentTable table;
        const bool read = names.size() == 8
                          && claims::ReadClaimFile(claims::ClaimFilePath(share.Path(), id, 1), header, table).has_value();
        state.SetIterationTime(double(MonotonicNs() - start) * 1e-9);
        if (!read)
            state.SkipWithError("the student's eight claims were not found and read");
        total = Add(total, share.Counts().Since(before));
    }
    CountRoundTrips(state, total);
}

// A claim saved over a writable stand-in that, as a file server, moves no
// open file: the lock, the last look, the history's copy and the move.
void SaveOverShare(benchmark::State& state)
{
    const QString source = RunFolder() + QStringLiteral("/share-save");
    QDir().mkpath(source + QStringLiteral("/seikyu"));
    WriteAged(ClaimPath(source, 0), ClaimBytes(0, 0), 0);
    testsupport::SlowMount share(source, 1.0, -1, testsupport::SlowMount::Access::Writable);
    if (!share.Mounted()) {
        state.SkipWithError(qPrintable(QStringLiteral("no slowfs: ") + share.WhyNot()));
        return;
    }
    const QByteArray id = QByteArray::number(40000);
    const QString path = ClaimPath(share.Path(), 0);
    testsupport::SlowCounts total;
    int mark = 0;
    for (auto _ : state) {
        const claims::Result<claims::FileStamp> stamp = claims::GuardedFile(path).Stamp();
        QThread::msleep(1500);
        claims::t_sick header;
        claims::TTreatmentTable table;
        claims::ResetClaim(header, table, 2024);
        claims::ToggleMark(table.row(1), ++mark % 12 + 1);
        const testsupport::SlowCounts before = share.Counts();
        const std::int64_t start = MonotonicNs();
        const claims::Result<claims::FileStamp> written =
            claims::WriteClaimFile(share.Path(), id, 1, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")),
                                   header, table, stamp.value_or(claims::FileStamp()));
        state.SetIterationTime(double(MonotonicNs() - start) * 1e-9);
        if (!written.has_value())
            state.SkipWithError(qPrintable(QStringLiteral("save refused: ") + written.error().message));
        total = Add(total, share.Counts().Since(before));
    }
    CountRoundTrips(state, total);
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
    if (qEnvironmentVariableIsSet("KIBORU_BENCH_SMB")) {
        AddTimedRuns("smb_status_first/10000", ListOverSmb, repetitions)->Arg(0);
        AddTimedRuns("smb_status_again/10000", ListOverSmb, repetitions)->Arg(1);
    }
    AddTimedRuns("share_choose_student", ChooseStudentOverShare, 5);
    AddTimedRuns("share_save_claim", SaveOverShare, 5);
}

} // namespace bench
