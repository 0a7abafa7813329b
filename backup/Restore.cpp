#include "backup/Restore.h"

#include "backup/ZipArchive.h"
#include "files/FileAccess.h"
#include "files/Parallel.h"
#include "store/GuardedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace claims {
namespace {

constexpr int kReadersAtOnce = 16;   // as a backup reads: mostly waiting for the disk or the server

bool GoOn(const BackupProgress& progress, int done, int total)
{
    return !progress || progress(done, total);
}

// The backup's files, each with its bytes, checked against its manifest.
Result<QList<ZipMember>> CheckedMembers(const QString& backupPath)
{
    const Result<QByteArray> zip = ReadWholeFile(backupPath);
    if (!zip)
        return NamingFile(Failure(zip.error()), backupPath);
    Result<QList<ZipMember>> members = ReadZip(*zip);
    if (!members)
        return Failed(0, QStringLiteral("壊れています：") + members.error().message);
    if (const Result<QList<BackupEntry>> check = CheckAgainstManifest(*members); !check)
        return Failure(check.error());
    members->removeIf([](const ZipMember& m) { return m.name == QLatin1String(kManifestFileName); });
    return members;
}

// A member's item against the file as it is now, or nothing when they agree.
Result<std::optional<RestoreItem>> Compare(const QString& dataFolder, ZipMember& member)
{
    const Result<StampedBytes> now = GuardedFile(dataFolder + u'/' + member.name).Read();
    if (!now)
        return NamingFile(Failure(now.error()), dataFolder + u'/' + member.name);
    if (now->stamp.exists && now->bytes == member.bytes)
        return std::optional<RestoreItem>();
    const RestoreKind kind = now->stamp.exists ? RestoreKind::Changed : RestoreKind::New;
    return std::optional<RestoreItem>(RestoreItem{member.name, kind, std::move(member.bytes), now->stamp});
}

} // namespace

int RestorePlan::Count(RestoreKind kind) const
{
    return int(std::count_if(items.cbegin(), items.cend(), [&](const RestoreItem& i) { return i.kind == kind; }));
}

Result<RestorePlan> PlanRestore(const QString& dataFolder, const QString& backupPath, const BackupProgress& progress)
{
    Result<QList<ZipMember>> members = CheckedMembers(backupPath);
    if (!members)
        return Failure(members.error());
    const int total = int(members->size());
    members->detach();   // its items are moved from on several threads: shared with no other list
    QList<Result<std::optional<RestoreItem>>> compared(total, std::optional<RestoreItem>());
    bool stopped = false;
    InParallel<int>(total, [&](int i, int&) { compared[i] = Compare(dataFolder, (*members)[i]); },
                    [&](int done, int) { return !(stopped = !GoOn(progress, done, total)); }, kReadersAtOnce);
    if (stopped)
        return Failed(0, kCancelledText);
    RestorePlan plan;
    QSet<QString> inBackup;
    for (int i = 0; i < total; ++i) {
        inBackup.insert((*members)[i].name);
        if (!compared[i])
            return Failure(compared[i].error());
        if (*compared[i])
            plan.items.append(std::move(*compared[i].value()));
    }
    for (const QString& path : FilesToBackUp(dataFolder)) {
        if (!inBackup.contains(path))
            plan.items.append({path, RestoreKind::OnlyNow, {}, {}});
    }
    std::sort(plan.items.begin(), plan.items.end(),
              [](const RestoreItem& a, const RestoreItem& b) { return a.path < b.path; });
    return plan;
}

Result<FileStamp> RestoreFile(const QString& dataFolder, const RestoreItem& item,
                              const std::optional<FileStamp>& expected)
{
    const QString path = dataFolder + u'/' + item.path;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return NamingFile(IoFailure(AccessDenied), QFileInfo(path).path());
    return GuardedFile(path).Write(item.bytes, expected);
}

RestoreOutcome RestoreFiles(const QString& dataFolder, const QList<RestoreItem>& items,
                            const BackupProgress& progress)
{
    RestoreOutcome outcome;
    const int total = int(items.size());
    for (int i = 0; i < total; ++i) {
        if (!GoOn(progress, i, total)) {
            outcome.failure = Failed(0, kCancelledText).error();
            return outcome;
        }
        const RestoreItem& item = items[i];
        if (item.kind == RestoreKind::OnlyNow)
            continue;
        const Result<FileStamp> written = RestoreFile(dataFolder, item, item.now);
        if (written) {
            ++outcome.restored;
        } else if (written.error().refusal == Refusal::ChangedElsewhere) {
            outcome.changedElsewhere.append(item);
        } else {
            outcome.failure = written.error();
            return outcome;
        }
    }
    GoOn(progress, total, total);
    return outcome;
}

} // namespace claims
