#pragma once
// Private to backup/. A ZIP archive in memory, through libzip: written with
// Deflate and UTF-8 names, read back with its checksums checked.

#include "files/IoResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace claims {

// The member that lists every other one with its size and SHA-256.
inline constexpr char kManifestFileName[] = "kiboru-manifest.txt";

struct ZipMember {
    QString name;   // with "/"
    QByteArray bytes;
    QDateTime modified;
};

// The archive's bytes.
Result<QByteArray> WriteZip(const QList<ZipMember>& members);

// The entries of a backup's members, checked against its manifest (in
// Backup.cpp): every file listed, none more, each with its size and SHA-256.
struct BackupEntry;
Result<QList<BackupEntry>> CheckAgainstManifest(const QList<ZipMember>& members);

// Every member of the archive, in its order; a damaged archive (a checksum,
// a size or a header that does not hold) fails with libzip's reason.
Result<QList<ZipMember>> ReadZip(const QByteArray& zip);

} // namespace claims
