#include "backup/Backup.h"

#include "backup/ZipArchive.h"
#include "files/FileAccess.h"
#include "files/Parallel.h"
#include "store/FileNames.h"
#include "store/History.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <QThread>

#include <algorithm>

namespace claims {
namespace {

const char kManifestTitle[] = "Kiboru backup 1";
const char kTimeFormat[] = "yyyyMMdd-hhmmss";
constexpr int kTimeLength = 15;
// The folders whose every file a backup takes, besides the rosters.
const QStringList& KeptFolders()
{
    static const QStringList folders{QStringLiteral("seikyu"), QStringLiteral("請求状況"), QStringLiteral("履歴")};
    return folders;
}

QString FolderName(const QString& dataFolder)
{
    return PcNameForFiles(QDir(dataFolder).dirName());
}

QString Prefix(const QString& dataFolder)
{
    return QStringLiteral("Kiboru-") + FolderName(dataFolder) + u'-';
}

// Locks, removal locks and a save's temporary files are no data.
bool IsData(const QString& name)
{
    return !name.startsWith(u'.') && !name.endsWith(QLatin1String(".lock"), Qt::CaseInsensitive)
           && !name.endsWith(QLatin1String(".rmlock"), Qt::CaseInsensitive);
}

BackupEntry EntryOf(const QString& path, const QByteArray& bytes, const QDateTime& modified)
{
    return {path, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256), modified};
}

QByteArray Manifest(const QList<BackupEntry>& entries)
{
    QByteArray text = QByteArray(kManifestTitle) + '\n';
    for (const BackupEntry& e : entries) {
        text += e.sha256.toHex() + '\t' + QByteArray::number(e.size) + '\t'
                + e.modified.toUTC().toString(Qt::ISODateWithMs).toUtf8() + '\t' + e.path.toUtf8() + '\n';
    }
    return text;
}

Result<QList<BackupEntry>> ParseManifest(const QByteArray& text)
{
    const Failure broken = Failed(0, QStringLiteral("目録が読めません"));
    QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.takeFirst() != kManifestTitle || lines.isEmpty() || !lines.takeLast().isEmpty())
        return broken;
    QList<BackupEntry> entries;
    for (const QByteArray& line : std::as_const(lines)) {
        const QList<QByteArray> fields = line.split('\t');
        bool sized = false;
        const qint64 size = fields.value(1).toLongLong(&sized);
        const QDateTime modified = QDateTime::fromString(QString::fromUtf8(fields.value(2)), Qt::ISODateWithMs);
        if (fields.size() != 4 || fields[0].size() != 64 || !sized || !modified.isValid())
            return broken;
        entries.append({QString::fromUtf8(fields[3]), size, QByteArray::fromHex(fields[0]), modified});
    }
    return entries;
}

Failure Broken(const QString& reason)
{
    return Failed(0, QStringLiteral("壊れています：") + reason);
}

} // namespace

// Each file listed in the manifest is in the archive with its size and
// hash, and the archive holds no other.
Result<QList<BackupEntry>> CheckAgainstManifest(const QList<ZipMember>& members)
{
    const auto manifest = std::find_if(members.cbegin(), members.cend(),
                                       [](const ZipMember& m) { return m.name == QLatin1String(kManifestFileName); });
    if (manifest == members.cend())
        return Broken(QStringLiteral("目録がありません"));
    const Result<QList<BackupEntry>> entries = ParseManifest(manifest->bytes);
    if (!entries)
        return Broken(entries.error().message);
    if (entries->size() != members.size() - 1)
        return Broken(QStringLiteral("目録と中のファイルの数が違います"));
    QHash<QString, const ZipMember*> byName;
    for (const ZipMember& m : members)
        byName.insert(m.name, &m);
    for (const BackupEntry& e : *entries) {
        const ZipMember* m = byName.value(e.path);
        if (!m)
            return Broken(QStringLiteral("%1 がありません").arg(e.path));
        if (EntryOf(e.path, m->bytes, e.modified) != e)
            return Broken(QStringLiteral("%1 の内容が目録と違います").arg(e.path));
    }
    return entries;
}

namespace {

// Reads of a backup at once: they mostly wait for the disk or the file
// server, not for the processor.
constexpr int kReadersAtOnce = 16;

// The files and the folders directly in folder, by name alone: a file's time
// comes with reading it (no look at each entry, a round trip on a server).
struct FolderListing {
    QList<ZipMember> files;
    QStringList folders;
};

FolderListing ListFolder(const QString& folder)
{
    FolderListing listing;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isDir())
            listing.folders.append(it.filePath());
        else if (IsData(it.fileName()))
            listing.files.append({it.filePath(), {}, {}});
    }
    return listing;
}

// Every file under the folders, their subfolders listed a level at a time,
// several at once (on a file server each listing is a round trip); goOn is
// told the count found after each level and may stop the listing.
QList<ZipMember> FilesUnder(QStringList folders, const QDir& data, const std::function<bool(int)>& goOn)
{
    QList<ZipMember> files;
    while (!folders.isEmpty() && goOn(int(files.size()))) {
        // Each thread writes only its own item; nothing is shared with
        // another list, so no write detaches while other threads read.
        folders.detach();
        QList<FolderListing> listings(folders.size());
        InParallel<int>(int(folders.size()), [&](int i, int&) { listings[i] = ListFolder(std::as_const(folders)[i]); },
                        {}, kReadersAtOnce);
        folders.clear();
        for (FolderListing& listing : listings) {
            for (ZipMember& file : listing.files)
                files.append({data.relativeFilePath(file.name), {}, file.modified});
            folders += listing.folders;
        }
    }
    return files;
}

// The files a backup takes, by relative path.
QList<ZipMember> KeptFiles(const QString& dataFolder, const std::function<bool(int)>& goOn = [](int) { return true; })
{
    QList<ZipMember> files;
    for (const QString& name : ListFileNames(dataFolder)) {
        if (IsRosterFileName(name))
            files.append({name, {}, {}});
    }
    const QDir data(dataFolder);
    QStringList folders;
    for (const QString& folder : KeptFolders()) {
        if (QFileInfo(data.filePath(folder)).isDir())
            folders.append(data.filePath(folder));
    }
    files += FilesUnder(folders, data, goOn);
    std::sort(files.begin(), files.end(), [](const ZipMember& a, const ZipMember& b) { return a.name < b.name; });
    return files;
}

bool GoOn(const BackupProgress& progress, int done, int total)
{
    return !progress || progress(done, total);
}

// The files as read now; one that another PC removed meanwhile is left out.
// The steps after reading are two more: the archive made, then written and
// checked.
// Several at once: on a file server each read waits for the server.
Result<QList<ZipMember>> TakeFiles(const QString& dataFolder, const BackupProgress& progress)
{
    // Until the files are counted, the count found so far, of none known.
    QList<ZipMember> files = KeptFiles(dataFolder, [&](int found) { return GoOn(progress, found, 0); });
    if (!GoOn(progress, 0, 0))
        return Failed(0, kCancelledText);
    const int total = int(files.size());
    files.detach();   // as above: written item by item from several threads
    QList<std::optional<IoError>> failures(total);
    InParallel<int>(total, [&](int i, int&) {
        Result<TimedBytes> read = ReadWholeFileTimed(dataFolder + u'/' + files[i].name);
        if (read) {
            files[i].bytes = std::move(read->bytes);
            files[i].modified = QDateTime::fromMSecsSinceEpoch(read->modified / 1'000'000);
        } else {
            failures[i] = read.error();
        }
    }, [&](int done, int) { return GoOn(progress, done, total + 2); }, kReadersAtOnce);
    if (!GoOn(progress, total, total + 2))
        return Failed(0, kCancelledText);
    QList<ZipMember> members;
    for (int i = 0; i < total; ++i) {
        if (failures[i] && failures[i]->code == FileNotFound)
            continue;   // removed by another PC meanwhile
        if (failures[i])
            return Failed(failures[i]->code, QStringLiteral("%1 を読み込めません（%2）")
                                                 .arg(QDir::toNativeSeparators(dataFolder + u'/' + files[i].name),
                                                      failures[i]->message));
        members.append(std::move(files[i]));
    }
    return members;
}

Failure NotWritten(const QString& backupFolder, const IoError& why)
{
    return Failed(why.code, QStringLiteral("バックアップを %1 に書き込めませんでした（%2）")
                                .arg(QDir::toNativeSeparators(backupFolder), why.message));
}

// A name no backup has yet: two backups in one second take turns.
QString NewBackupPath(const QString& dataFolder, const QString& backupFolder)
{
    for (;;) {
        const QString path =
            backupFolder + u'/' + BackupFileName(dataFolder, QDateTime::currentDateTime(), QSysInfo::machineHostName());
        if (!EntryExists(path) && !EntryExists(path + QStringLiteral(".part")))
            return path;
        QThread::msleep(100);
    }
}

// Writes the archive under a temporary name, reads it back and checks it
// against what was taken, then gives it its final name.
IoResult WriteVerified(const QString& path, const QByteArray& zip, const QList<BackupEntry>& taken,
                       const std::function<bool()>& goOn)
{
    const QString part = path + QStringLiteral(".part");
    const QString folder = QFileInfo(path).path();
    if (const IoResult written = ReplaceFileContents(part, zip); !written) {
        QFile::remove(part);
        return NotWritten(folder, written.error());
    }
    const Result<QList<BackupEntry>> check = VerifyBackup(part);
    if (!check || *check != taken) {
        QFile::remove(part);
        return NotWritten(folder, check ? Failed(0, QStringLiteral("読み返した内容が違います")).error() : check.error());
    }
    if (!goOn()) {
        QFile::remove(part);
        return Failed(0, kCancelledText);
    }
    if (!QFile::rename(part, path)) {
        QFile::remove(part);
        return NotWritten(folder, IoFailure(AccessDenied).error());
    }
    return {};
}

void RemoveOldBackups(const QString& dataFolder, const QString& backupFolder, int keep)
{
    const QStringList backups = BackupsOf(dataFolder, backupFolder);
    for (qsizetype i = keep; i < backups.size(); ++i)
        QFile::remove(backupFolder + u'/' + backups[i]);
}

} // namespace

QString BackupFileName(const QString& dataFolder, const QDateTime& time, const QString& pcName)
{
    return Prefix(dataFolder) + time.toString(QLatin1String(kTimeFormat)) + u'-' + PcNameForFiles(pcName)
           + QStringLiteral(".zip");
}

bool IsBackupOf(const QString& name, const QString& dataFolder)
{
    const QString prefix = Prefix(dataFolder);
    if (!name.startsWith(prefix, Qt::CaseInsensitive) || !name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        return false;
    const QString time = name.mid(prefix.size(), kTimeLength);
    return name.size() > prefix.size() + kTimeLength + 5 && name[prefix.size() + kTimeLength] == u'-'
           && QDateTime::fromString(time, QLatin1String(kTimeFormat)).isValid();
}

QString RefusedBackupFolder(const QString& dataFolder, const QString& backupFolder)
{
    const QString data = QFileInfo(dataFolder).canonicalFilePath();
    const QString backup = QFileInfo(backupFolder).canonicalFilePath();
    if (data.isEmpty() || backup.isEmpty())
        return QString();
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const auto inside = [](const QString& inner, const QString& outer) {
        return inner.compare(outer, cs) == 0 || inner.startsWith(outer + u'/', cs);
    };
    if (inside(backup, data))
        return QStringLiteral("バックアップ先がデータのフォルダの中にあります。別の場所を選んで下さい。");
    if (inside(data, backup))
        return QStringLiteral("データのフォルダがバックアップ先の中にあります。別の場所を選んで下さい。");
    return QString();
}

QStringList FilesToBackUp(const QString& dataFolder)
{
    QStringList paths;
    for (const ZipMember& file : KeptFiles(dataFolder))
        paths.append(file.name);
    return paths;
}

Result<QList<BackupEntry>> VerifyBackupBytes(const QByteArray& zip)
{
    const Result<QList<ZipMember>> members = ReadZip(zip);
    if (!members)
        return Broken(members.error().message);
    return CheckAgainstManifest(*members);
}

Result<QList<BackupEntry>> VerifyBackup(const QString& path)
{
    const Result<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return Failure(bytes.error());
    return VerifyBackupBytes(*bytes);
}

QStringList BackupsOf(const QString& dataFolder, const QString& backupFolder)
{
    QStringList names = ListFileNames(backupFolder);
    names.removeIf([&](const QString& name) { return !IsBackupOf(name, dataFolder); });
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

Result<QString> MakeBackup(const QString& dataFolder, const QString& backupFolder, int keep,
                           const BackupProgress& progress)
{
    if (!QFileInfo(backupFolder).isDir())
        return Failed(PathNotFound, QStringLiteral("バックアップ先のフォルダ %1 がありません。USBメモリなどが外されていないか確かめて下さい。")
                                                 .arg(QDir::toNativeSeparators(backupFolder)));
    if (const QString refused = RefusedBackupFolder(dataFolder, backupFolder); !refused.isEmpty())
        return Failed(0, refused);
    Result<QList<ZipMember>> members = TakeFiles(dataFolder, progress);
    if (!members)
        return Failure(members.error());
    const int total = int(members->size()) + 2;
    QList<BackupEntry> taken;
    for (const ZipMember& m : std::as_const(*members))
        taken.append(EntryOf(m.name, m.bytes, m.modified));
    members->append({QLatin1String(kManifestFileName), Manifest(taken), QDateTime::currentDateTime()});
    const Result<QByteArray> zip = WriteZip(*members);
    if (!zip)
        return NotWritten(backupFolder, zip.error());
    if (!GoOn(progress, total - 1, total))
        return Failed(0, kCancelledText);
    const QString path = NewBackupPath(dataFolder, backupFolder);
    const auto goOn = [&] { return GoOn(progress, total - 1, total); };
    if (const IoResult written = WriteVerified(path, *zip, taken, goOn); !written)
        return Failure(written.error());
    RemoveOldBackups(dataFolder, backupFolder, keep);
    GoOn(progress, total, total);
    return path;
}

BackupName ParseBackupName(const QString& name, const QString& dataFolder)
{
    if (!IsBackupOf(name, dataFolder))
        return {};
    const qsizetype at = Prefix(dataFolder).size();
    return {QDateTime::fromString(name.mid(at, kTimeLength), QLatin1String(kTimeFormat)),
            name.mid(at + kTimeLength + 1).chopped(4)};
}

BackupSummary SummarizeBackup(const QString& backupFolder, const QString& name, const QString& dataFolder)
{
    BackupSummary summary;
    summary.name = name;
    summary.made = ParseBackupName(name, dataFolder);
    const Result<QByteArray> bytes = ReadWholeFile(backupFolder + u'/' + name);
    if (!bytes) {
        summary.broken = bytes.error().message;
        return summary;
    }
    summary.size = bytes->size();
    const Result<QList<BackupEntry>> check = VerifyBackupBytes(*bytes);
    if (check)
        summary.files = int(check->size());
    else
        summary.broken = check.error().message;
    return summary;
}

std::optional<QDateTime> LastBackupTime(const QString& dataFolder, const QString& backupFolder)
{
    for (const QString& name : BackupsOf(dataFolder, backupFolder)) {
        if (const BackupName made = ParseBackupName(name, dataFolder); made.time.isValid())
            return made.time;
    }
    return std::nullopt;
}

} // namespace claims
