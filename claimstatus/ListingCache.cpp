#include "claimstatus/ListingCache.h"

#include "claims/ClaimFile.h"
#include "store/FileNames.h"
#include "files/Parallel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <future>
#include <vector>

namespace claims {
namespace {

constexpr quint32 kMagic = 0x4B4C4331;   // "KLC1"
constexpr quint32 kVersion = 2;   // 2: body part, situation, club and place kept
constexpr qsizetype kHashSize = 32;      // SHA-256
constexpr qint64 kUnsettledNs = 10'000'000'000;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

QString CanonicalFolder(const QString& workDir)
{
    const QFileInfo info(workDir);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QByteArray Hash(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QDataStream& operator<<(QDataStream& s, const ListedFile& f)
{
    return s << f.name << f.size << f.modified;
}
QDataStream& operator>>(QDataStream& s, ListedFile& f)
{
    return s >> f.name >> f.size >> f.modified;
}
QDataStream& operator<<(QDataStream& s, const QList<YearMonth>& months)
{
    s << quint32(months.size());
    for (const YearMonth& m : months)
        s << qint32(m.year) << qint32(m.month);
    return s;
}
QDataStream& operator>>(QDataStream& s, QList<YearMonth>& months)
{
    quint32 count = 0;
    s >> count;
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        qint32 year = 0, month = 0;
        s >> year >> month;
        months.append({year, month});
    }
    return s;
}
QDataStream& operator<<(QDataStream& s, const KeptClaim& c)
{
    return s << c.file << c.name << c.injuryDate << c.injury << c.bodyPart << c.situation << c.club << c.place
             << c.treated;
}
QDataStream& operator>>(QDataStream& s, KeptClaim& c)
{
    return s >> c.file >> c.name >> c.injuryDate >> c.injury >> c.bodyPart >> c.situation >> c.club >> c.place
             >> c.treated;
}
QDataStream& operator<<(QDataStream& s, const KeptStatus& k)
{
    return s << k.file << k.bytes;
}
QDataStream& operator>>(QDataStream& s, KeptStatus& k)
{
    return s >> k.file >> k.bytes;
}

template <class Kept>
void Write(QDataStream& out, const QList<Kept>& kept)
{
    out << quint32(kept.size());
    for (const Kept& k : kept)
        out << k;
}

template <class Kept>
bool Read(QDataStream& in, QHash<QString, Kept>& kept)
{
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        Kept k;
        in >> k;
        kept.insert(k.file.name, k);
    }
    return in.status() == QDataStream::Ok;
}

} // namespace

QString UserCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString ListingCachePath(const QString& cacheFolder, const QString& workDir)
{
    const QByteArray key = QCryptographicHash::hash(CanonicalFolder(workDir).toUtf8(), QCryptographicHash::Sha1);
    return QDir(cacheFolder).filePath(QStringLiteral("listing-%1.cache").arg(QString::fromLatin1(key.toHex())));
}

ListingCache LoadListingCache(const QString& cacheFolder, const QString& workDir)
{
    QFile file(ListingCachePath(cacheFolder, workDir));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    const QByteArray body = data.chopped(std::min(kHashSize, data.size()));
    if (data.size() <= kHashSize || Hash(body) != data.right(kHashSize))
        return {};
    QDataStream in(body);
    in.setVersion(kStreamVersion);
    quint32 magic = 0, version = 0;
    QString folder;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        return {};
    in >> folder;
    ListingCache cache;
    if (folder != CanonicalFolder(workDir) || !Read(in, cache.claims) || !Read(in, cache.statuses) || !in.atEnd())
        return {};
    return cache;
}

bool SaveKeptFiles(const QString& cacheFolder, const QString& workDir, const QList<KeptClaim>& claims,
                   const QList<KeptStatus>& statuses)
{
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << kMagic << kVersion << CanonicalFolder(workDir);
        Write(out, claims);
        Write(out, statuses);
    }
    data += Hash(data);
    QSaveFile file(ListingCachePath(cacheFolder, workDir));
    return QDir().mkpath(cacheFolder) && file.open(QIODevice::WriteOnly) && file.write(data) == data.size()
           && file.commit();
}

bool MayKeep(const ListedFile& file, qint64 listedAt)
{
    return file.size >= 0 && file.modified < listedAt - kUnsettledNs;
}

namespace {

struct Part {
    ClaimListing listing;
    QList<KeptClaim> keptClaims;
    QList<KeptStatus> keptStatuses;
    int newlyKept = 0;   // files read and kept
};

// What a reading needs of the folders, listed once before any file is read.
struct Folders {
    QString seikyu;
    QList<ListedFile> claimFiles;
    QHash<QString, ListedFile> statusFiles;   // by name
    qint64 listedAt = 0;
};

Folders ListFolders(const QString& workDir)
{
    Folders folders{SeikyuFolder(workDir), {}, {}, QDateTime::currentMSecsSinceEpoch() * 1'000'000};
    folders.claimFiles = ListFiles(folders.seikyu);
    for (const ListedFile& file : ListFiles(StatusFolder(workDir)))
        folders.statusFiles.insert(file.name, file);
    return folders;
}

QString Problem(const ListedFile& file, const IoError& error)
{
    return QStringLiteral("%1: %2").arg(file.name, error.message);
}

void TakeClaim(const QString& path, const ListedFile& file, const ListingCache& before, qint64 listedAt,
               ClaimOverview& claim, Part& part)
{
    if (const KeptClaim* kept = KeptFor(before.claims, file)) {
        claim.name = kept->name;
        claim.injuryDate = kept->injuryDate;
        claim.injury = kept->injury;
        claim.bodyPart = kept->bodyPart;
        claim.situation = kept->situation;
        claim.club = kept->club;
        claim.place = kept->place;
        claim.treated = kept->treated;
        part.keptClaims.append(*kept);
        return;
    }
    const Result<QByteArray> read = ReadWholeFile(path);
    if (!read) {
        part.listing.problems.append(Problem(file, read.error()));
        return;
    }
    ReadClaimOverviewText(*read, claim);
    if (MayKeep(file, listedAt)) {
        part.keptClaims.append({file, claim.name, claim.injuryDate, claim.injury, claim.bodyPart, claim.situation,
                                claim.club, claim.place, claim.treated});
        ++part.newlyKept;
    }
}

void TakeStatus(const QString& path, const ListedFile& file, const ListingCache& before, qint64 listedAt,
                ClaimOverview& claim, Part& part)
{
    QByteArray bytes;
    if (const KeptStatus* kept = KeptFor(before.statuses, file)) {
        bytes = kept->bytes;
        part.keptStatuses.append(*kept);
    } else {
        const Result<QByteArray> read = ReadWholeFile(path);
        if (!read) {
            part.listing.problems.append(Problem(file, read.error()));
            return;
        }
        bytes = *read;
        if (MayKeep(file, listedAt)) {
            part.keptStatuses.append({file, bytes});
            ++part.newlyKept;
        }
    }
    claim.status = ParseStatusFile(bytes, file.name);
    part.listing.problems += claim.status.problems;
}

} // namespace

ClaimListing ReadAllClaimsThroughCache(const QString& workDir, const QString& cacheFolder,
                                       const std::function<bool(int, int)>& progress)
{
    // The cache is loaded while the folders are listed.
    std::future<ListingCache> loading = std::async(std::launch::async, [&] {
        return cacheFolder.isEmpty() ? ListingCache() : LoadListingCache(cacheFolder, workDir);
    });
    const Folders folders = ListFolders(workDir);
    const QString statusFolder = StatusFolder(workDir);
    const ListingCache before = loading.get();
    auto read = [&](int i, Part& part) {
        const ListedFile& file = folders.claimFiles[i];
        ClaimOverview claim;
        if (!SplitClaimFileName(file.name, claim.id, claim.occurrence))
            return;
        TakeClaim(folders.seikyu + u'/' + file.name, file, before, folders.listedAt, claim, part);
        const auto status = folders.statusFiles.constFind(ClaimName{claim.id, claim.occurrence}.FileName());
        if (status != folders.statusFiles.cend())   // most claims have none: no failed open for each
            TakeStatus(statusFolder + u'/' + status->name, *status, before, folders.listedAt, claim, part);
        part.listing.claims.append(std::move(claim));
    };
    bool stopped = false;
    auto tell = [&](int done, int total) {
        stopped = progress && !progress(done, total);
        return !stopped;
    };
    std::vector<Part> parts = InParallel<Part>(int(folders.claimFiles.size()), read, tell);
    ClaimListing listing;
    QList<KeptClaim> keptClaims;
    QList<KeptStatus> keptStatuses;
    int newlyKept = 0;
    for (Part& part : parts) {
        newlyKept += part.newlyKept;
        listing.claims += std::move(part.listing.claims);
        listing.problems += part.listing.problems;
        keptClaims += std::move(part.keptClaims);
        keptStatuses += std::move(part.keptStatuses);
    }
    std::sort(listing.claims.begin(), listing.claims.end(), [](const ClaimOverview& a, const ClaimOverview& b) {
        return a.id != b.id ? a.id < b.id : a.occurrence < b.occurrence;
    });
    listing.problems.sort();
    // Saved when it gained or lost a file; kept entries are as they were read.
    const bool same = newlyKept == 0 && keptClaims.size() == before.claims.size()
                      && keptStatuses.size() == before.statuses.size();
    if (!cacheFolder.isEmpty() && !stopped && !same)
        SaveKeptFiles(cacheFolder, workDir, keptClaims, keptStatuses);
    return listing;
}

ClaimListing ReadAllClaims(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    return ReadAllClaimsThroughCache(workDir, QString(), progress);
}

} // namespace claims
