#include "backup/Restore.h"

#include "backup/ZipArchive.h"
#include "files/FileAccess.h"
#include "store/GuardedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace claims {
namespace {

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
    if (const Result<QList<BackupEntry>> check = VerifyBackupBytes(*zip); !check)
        return Failure(check.error());
    Result<QList<ZipMember>> members = ReadZip(*zip);
    if (members)
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
    RestorePlan plan;
    QSet<QString> inBackup;
    const int total = int(members->size());
    for (int i = 0; i < total; ++i) {
        if (!GoOn(progress, i, total))
            return Failed(0, kCancelledText);
        ZipMember& member = (*members)[i];
        inBackup.insert(member.name);
        Result<std::optional<RestoreItem>> item = Compare(dataFolder, member);
        if (!item)
            return Failure(item.error());
        if (*item)
            plan.items.append(std::move(**item));
    }
    for (const QString& path : FilesToBackUp(dataFolder)) {
        if (!inBackup.contains(path))
            plan.items.append({path, RestoreKind::OnlyNow, {}, {}});
    }
    std::sort(plan.items.begin(), plan.items.end(),
              [](const RestoreItem& a, const RestoreItem& b) { return a.path < b.path; });
    GoOn(progress, total, total);
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
