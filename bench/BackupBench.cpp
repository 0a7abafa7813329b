// Backups of a data folder of 10,000 claims, 2,000 status files and 20,000
// kept versions: made and verified locally, made over the 1 ms file
// server's stand-in (the time to the first progress and in all), the
// restore preview, and the reminder's check at exit when nothing is due.

#include "bench/Benchmarks.h"

#include "backup/Backup.h"
#include "backup/Restore.h"
#include "backupwindow/BackupSettings.h"
#include "bench/BenchData.h"
#include "tests/support/SlowMount.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

constexpr int kClaims = 10000;
constexpr int kStatusFiles = 2000;
constexpr int kVersions = 20000;

void Put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A claim's fifteen lines, of a claim's usual size.
QByteArray ClaimBytes(int i)
{
    QByteArray text = Sjis(QStringLiteral("請%1-%2,2024/05/%3,骨折,左足首,体育の授業中\r\n").arg(50000 + i / 8).arg(i % 8 + 1).arg(i % 28 + 1));
    for (int line = 1; line < 15; ++line)
        text += "2024," + QByteArray::number((i + line) % 2) + ",0,1,0,0,0,0,0,0,0,0,0\r\n";
    return text;
}

QString MakeFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/backup10000/学校");
    for (int i = 0; i < kClaims; ++i) {
        const QString stem = QStringLiteral("請%1-%2").arg(50000 + i / 8).arg(i % 8 + 1);
        Put(folder + QStringLiteral("/seikyu/") + stem + QStringLiteral(".CSV"), ClaimBytes(i));
        if (i < kStatusFiles)
            Put(folder + QStringLiteral("/請求状況/") + stem + QStringLiteral(".CSV"), Sjis(QStringLiteral("診療月,状態\r\n2024/05,請求済\r\n")));
        if (i < kVersions / 2) {
            for (int v = 0; v < 2; ++v)
                Put(folder + QStringLiteral("/履歴/seikyu/%1/2026120%2-090000-%3-PC1.CSV").arg(stem).arg(v + 1).arg(i % 1000, 3, 10, QChar(u'0')),
                    ClaimBytes(i + v));
        }
    }
    Put(folder + QStringLiteral("/R06入学.CSV"), ReadAll(SmallRosterPath()));
    return folder;
}

QString DataFolder()
{
    static const QString folder = MakeFolder();
    return folder;
}

QString FreshTarget(const QString& name)
{
    const QString target = RunFolder() + QStringLiteral("/backup10000/") + name;
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    return target;
}

void BackupLocal(benchmark::State& state)
{
    for (auto _ : state) {
        const QString target = FreshTarget(QStringLiteral("USB"));
        QElapsedTimer timer;
        timer.start();
        const claims::Result<QString> made = claims::MakeBackup(DataFolder(), target);
        state.SetIterationTime(double(timer.nsecsElapsed()) * 1e-9);
        if (!made)
            state.SkipWithError(qPrintable(made.error().message));
    }
}

// Over the stand-in: the first progress (the bar, busy while the files are
// listed), the first count of files read, and the whole.
void BackupOverShare(benchmark::State& state)
{
    static testsupport::SlowMount share(QFileInfo(DataFolder()).path(), 1.0);
    if (!share.Mounted()) {
        state.SkipWithError(qPrintable(QStringLiteral("no slowfs: ") + share.WhyNot()));
        return;
    }
    for (auto _ : state) {
        const QString target = FreshTarget(QStringLiteral("USB-share"));
        QElapsedTimer timer;
        timer.start();
        qint64 firstProgressNs = -1;
        qint64 firstCountNs = -1;   // the files counted, the first of them read
        const claims::Result<QString> made = claims::MakeBackup(
            share.Path() + QStringLiteral("/学校"), target, claims::kBackupsKept, [&](int done, int total) {
                if (firstProgressNs < 0)
                    firstProgressNs = timer.nsecsElapsed();
                if (total > 0 && done > 0 && firstCountNs < 0)
                    firstCountNs = timer.nsecsElapsed();
                return true;
            });
        state.SetIterationTime(double(timer.nsecsElapsed()) * 1e-9);
        state.counters["first_progress_ms"] = double(firstProgressNs) * 1e-6;
        state.counters["first_count_ms"] = double(firstCountNs) * 1e-6;
        if (!made)
            state.SkipWithError(qPrintable(made.error().message));
    }
}

void RestorePreview(benchmark::State& state)
{
    const QString target = FreshTarget(QStringLiteral("USB-restore"));
    const claims::Result<QString> made = claims::MakeBackup(DataFolder(), target);
    if (!made) {
        state.SkipWithError(qPrintable(made.error().message));
        return;
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const claims::Result<claims::RestorePlan> plan = claims::PlanRestore(DataFolder(), *made);
        state.SetIterationTime(double(timer.nsecsElapsed()) * 1e-9);
        if (!plan || !plan->items.isEmpty())
            state.SkipWithError("the preview found differences in a folder just backed up");
    }
}

void ReminderNothingDue(benchmark::State& state)
{
    QStandardPaths::setTestModeEnabled(true);
    backupwindow::BackupSettings settings(DataFolder());
    settings.SetFolder(FreshTarget(QStringLiteral("USB-reminder")));
    settings.SetLastMade(QDateTime::currentDateTime().addDays(-1));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const QString question = backupwindow::DueReminder(DataFolder(), QDateTime::currentDateTime());
        state.SetIterationTime(double(timer.nsecsElapsed()) * 1e-9);
        if (!question.isEmpty())
            state.SkipWithError("the reminder asked although a backup was made yesterday");
    }
}

} // namespace

void RegisterBackupBenchmarks()
{
    AddTimedRuns("backup_local/10000", BackupLocal, 5);
    AddTimedRuns("backup_share/10000", BackupOverShare, 1);
    AddTimedRuns("restore_preview/10000", RestorePreview, 5);
    AddTimedRuns("backup_reminder_nothing_due", ReminderNothingDue, 21);
}

} // namespace bench
