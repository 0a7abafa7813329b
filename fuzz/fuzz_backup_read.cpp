// Reading a backup, as the backup window's check and a restore do.
// Input: the bytes of a file named like a backup (a ZIP, or damaged).
//
// Whatever the file holds, its check never crashes and a failed check
// starts with "壊れています". A backup that passes lists each of its files
// once, with the size and hash of the bytes it holds; those files, zipped
// again, read back the same.

#include "FuzzSupport.h"

#include "backup/Backup.h"
#include "backup/ZipArchive.h"

#include <QCryptographicHash>
#include <QSet>

using namespace claims;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray zip(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<QList<BackupEntry>> check = VerifyBackupBytes(zip);
    if (!check) {
        FUZZ_EXPECT(check.error().message.startsWith(QStringLiteral("壊れています")));
        return 0;
    }
    const Result<QList<ZipMember>> members = ReadZip(zip);
    FUZZ_EXPECT(members.has_value() && members->size() == check->size() + 1);
    QSet<QString> paths;
    for (const BackupEntry& entry : *check)
        paths.insert(entry.path);
    FUZZ_EXPECT(paths.size() == check->size());
    for (const ZipMember& member : *members) {
        if (member.name == QLatin1String(kManifestFileName))
            continue;
        FUZZ_EXPECT(paths.contains(member.name));
    }
    const Result<QByteArray> again = WriteZip(*members);
    FUZZ_EXPECT(again.has_value());
    const Result<QList<BackupEntry>> recheck = VerifyBackupBytes(*again);
    FUZZ_EXPECT(recheck.has_value() && recheck->size() == check->size());
    for (qsizetype i = 0; i < check->size(); ++i)
        FUZZ_EXPECT((*recheck)[i].path == (*check)[i].path && (*recheck)[i].sha256 == (*check)[i].sha256);
    return 0;
}
