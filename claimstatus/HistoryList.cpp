#include "claimstatus/HistoryList.h"

#include "claims/ClaimFile.h"
#include "claimstatus/ClaimList.h"
#include "claimstatus/ListingCache.h"
#include "files/FileAccess.h"
#include "store/History.h"
#include "files/LineReader.h"
#include "files/Parallel.h"
#include "files/ShiftJis.h"
#include "claimstatus/StatusFile.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <vector>

namespace claims {
namespace {

constexpr int kTimeLength = 19;          // yyyyMMdd-hhmmss-zzz
constexpr qsizetype kFirstLineBytes = 512;

QString HistoryRoot(const QString& workDir)
{
    return QDir(workDir).filePath(QStringLiteral("履歴"));
}

// A claim file's first line: "請<ID>-<n>.CSV,<氏名>,<性別>".
QString NameOfFirstLine(QByteArrayView bytes)
{
    const QByteArrayView first = LineReader(TextBefore(bytes, '\x1A')).Next();
    const qsizetype comma = first.indexOf(',');
    return comma < 0 ? QString() : FromShiftJis(TextBefore(first.sliced(comma + 1), ',')).trimmed();
}

// The student's name from the first bytes of a claim file; empty when it
// cannot be read.
QString ReadName(const QString& path)
{
    FileReader reader(path);
    if (!reader.Outcome().has_value())
        return QString();
    QByteArray bytes(kFirstLineBytes, Qt::Uninitialized);
    const qsizetype got = reader.Read(bytes.data(), bytes.size());
    return got <= 0 ? QString() : NameOfFirstLine(QByteArrayView(bytes).first(got));
}

// The claim or status files of one folder (seikyu or 請求状況), by the
// stem of their name "請<ID>-<n>", which is also their folder's name in 履歴.
QHash<QString, ListedFile> CurrentFiles(const QString& folder)
{
    QHash<QString, ListedFile> files;
    QByteArray id;
    int occurrence = 0;
    for (const ListedFile& file : ListFiles(folder)) {
        if (SplitClaimFileName(file.name, id, occurrence))
            files.insert(file.name.chopped(4), file);
    }
    return files;
}

qint64 TimeNumber(QStringView name)
{
    qint64 number = 0;
    for (int i = 0; i < kTimeLength; ++i) {
        if (name[i] != u'-')
            number = number * 10 + name[i].digitValue();
    }
    return number;
}

struct Part {
    QList<HistoryFile> files;
    QList<HistoryVersion> versions;
};

// A folder of 履歴 with the listing of its current file (no name when the
// file is gone).
struct FileFolder {
    HistoryFile file;
    ListedFile current;
};

// The student's name from a claim file, or from what the deadline list
// kept of it while its listing is the same.
QString NameOfClaim(const QString& path, const ListedFile& listed, const ListingCache& kept)
{
    const KeptClaim* claim = KeptFor(kept.claims, listed);
    return claim ? claim->name : ReadName(path);
}

// One folder of 履歴/seikyu or 履歴/請求状況: its versions, and for a claim
// the student's name.
void ReadFileFolder(const FileFolder& folder, const ListingCache& kept, Part& part)
{
    HistoryFile file = folder.file;
    QString newest;
    for (const QString& name : ListFileNames(file.folder)) {
        if (!IsVersionFileName(name))
            continue;
        part.versions.append({int(part.files.size()), name, TimeNumber(name), -1});
        newest = std::max(newest, name);
    }
    if (newest.isEmpty())
        return;
    if (file.kind == HistoryKind::Claim)
        file.name = file.currentExists ? NameOfClaim(file.currentPath, folder.current, kept)
                                       : ReadName(file.folder + u'/' + newest);
    part.files.append(file);
}

// The folders of both kinds, each with where its current file is.
QList<FileFolder> FileFolders(const QString& workDir)
{
    QList<FileFolder> folders;
    const QString root = HistoryRoot(workDir);
    for (HistoryKind kind : {HistoryKind::Claim, HistoryKind::Status}) {
        const bool claim = kind == HistoryKind::Claim;
        const QString folder = claim ? SeikyuFolder(workDir) : StatusFolder(workDir);
        const QHash<QString, ListedFile> current = CurrentFiles(folder);
        const QDir kept(root + u'/' + QDir(folder).dirName());
        for (const QString& stem : kept.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            HistoryFile file{kind, {}, 0, kept.filePath(stem), {}, current.contains(stem), {}};
            if (!SplitClaimFileName(stem + QStringLiteral(".CSV"), file.id, file.occurrence))
                continue;
            const ListedFile listed = current.value(stem, {stem + QStringLiteral(".CSV")});
            file.currentPath = folder + u'/' + listed.name;
            folders.append({file, listed});
        }
    }
    return folders;
}

// A status file's student is the claim's: from its history when it has
// one, else from its claim file.
void NameStatusFiles(const QString& workDir, QList<HistoryFile>& files)
{
    QHash<QString, QString> names;
    for (const HistoryFile& file : files) {
        if (file.kind == HistoryKind::Claim)
            names.insert(QDir(file.folder).dirName(), file.name);
    }
    for (HistoryFile& file : files) {
        if (file.kind != HistoryKind::Status)
            continue;
        const auto known = names.constFind(QDir(file.folder).dirName());
        file.name = known != names.cend() ? *known : ReadName(ClaimFilePath(workDir, file.id, file.occurrence));
    }
}

// Newest first; each version learns which version of its file came next.
void OrderVersions(QList<HistoryVersion>& versions, int fileCount)
{
    std::sort(versions.begin(), versions.end(), [](const HistoryVersion& a, const HistoryVersion& b) {
        if (a.time != b.time)
            return a.time > b.time;
        return a.file != b.file ? a.file < b.file : a.fileName > b.fileName;
    });
    std::vector<int> newest(fileCount, -1);
    for (int i = 0; i < versions.size(); ++i) {
        versions[i].newer = newest[versions[i].file];
        newest[versions[i].file] = i;
    }
}

} // namespace

QString HistoryKindText(HistoryKind kind)
{
    return kind == HistoryKind::Claim ? QStringLiteral("請求") : QStringLiteral("請求状況");
}

QString HistoryListing::Path(int version) const
{
    const HistoryVersion& v = versions[version];
    return files[v.file].folder + u'/' + v.fileName;
}

QString VersionTimeText(QStringView n)
{
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(n.mid(0, 4), n.mid(4, 2), n.mid(6, 2), n.mid(9, 2), n.mid(11, 2), n.mid(13, 2));
}

QString VersionPc(QStringView fileName)
{
    return fileName.mid(kTimeLength + 1).chopped(4).toString();
}

HistoryListing ReadHistory(const QString& workDir, const std::function<bool(int, int)>& progress,
                           const QString& cacheFolder)
{
    const ListingCache kept = cacheFolder.isEmpty() ? ListingCache() : LoadListingCache(cacheFolder, workDir);
    const QList<FileFolder> folders = FileFolders(workDir);
    std::vector<Part> parts = InParallel<Part>(
        int(folders.size()), [&](int i, Part& part) { ReadFileFolder(folders[i], kept, part); }, progress);
    HistoryListing listing;
    for (Part& part : parts) {
        const int base = int(listing.files.size());
        for (HistoryVersion& v : part.versions)
            v.file += base;
        listing.files += std::move(part.files);
        listing.versions += std::move(part.versions);
    }
    NameStatusFiles(workDir, listing.files);
    OrderVersions(listing.versions, int(listing.files.size()));
    return listing;
}

} // namespace claims
