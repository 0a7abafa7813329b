#pragma once
// What the deadline list read of each claim and status file at its last
// opening on this PC, kept in the user's own cache folder (never in the
// shared data folder) with each file's listing: name, size and times. The
// next opening takes what was kept for every file whose listing is the
// same and reads only the files that are new or changed.
//
// The cache file: a magic and a version, then the data folder's canonical
// path and the kept files, then a SHA-256 of all before it. A file that is
// damaged, of another version or of another folder reads as an empty
// cache, and the next save replaces it whole (a temporary file that takes
// its place), so that two processes never leave a torn one.

#include "claimstatus/ClaimList.h"
#include "files/FileAccess.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

namespace claims {

// What the list shows of a claim file.
struct KeptClaim {
    ListedFile file;
    QString name, injuryDate, injury, bodyPart, situation, club, place;
    QList<YearMonth> treated;
};

// A status file whole: it is small, and read again as a file is, so that
// what the list makes of it is always what the reading of today makes.
struct KeptStatus {
    ListedFile file;
    QByteArray bytes;
};

struct ListingCache {
    QHash<QString, KeptClaim> claims;      // by file name in seikyu
    QHash<QString, KeptStatus> statuses;   // by file name in 請求状況
};

// QStandardPaths::CacheLocation: where Kiboru keeps its caches on this PC.
QString UserCacheFolder();

// The cache file of a data folder: named by a hash of its canonical path.
QString ListingCachePath(const QString& cacheFolder, const QString& workDir);

ListingCache LoadListingCache(const QString& cacheFolder, const QString& workDir);
bool SaveKeptFiles(const QString& cacheFolder, const QString& workDir, const QList<KeptClaim>& claims,
                   const QList<KeptStatus>& statuses);

// Whether what was read of a file listed at listedAt (the PC's clock, in
// the listing's nanoseconds) may be taken at the next opening. A file
// written in the last seconds before the listing is read again next time:
// its time may not yet have moved past a rewrite of the same size (FAT
// keeps times in 2-second steps) or the server's clock may be a little
// ahead of the PC's.
bool MayKeep(const ListedFile& file, qint64 listedAt);

// The kept entry of a file whose listing is unchanged; nullptr otherwise.
template <class Kept>
const Kept* KeptFor(const QHash<QString, Kept>& kept, const ListedFile& file)
{
    const auto found = kept.constFind(file.name);
    return found != kept.cend() && found->file == file ? &*found : nullptr;
}

// Reads every claim of the working folder's seikyu folder, sorted by ID and
// occurrence, without a cache. progress(done, total) is called now and
// then; when it answers false, reading stops and what was read so far is
// returned.
ClaimListing ReadAllClaims(const QString& workDir, const std::function<bool(int, int)>& progress = {});

// ReadAllClaims through the cache of cacheFolder (none when it is empty):
// the same listing, with only new and changed files read. The cache is
// saved again when it changed, unless the reading was stopped.
ClaimListing ReadAllClaimsThroughCache(const QString& workDir, const QString& cacheFolder,
                                       const std::function<bool(int, int)>& progress = {});

} // namespace claims
