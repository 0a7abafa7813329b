#include "files/FileAccess.h"

#include "files/FileAccessPlatform.h"

// What both platforms share. The file calls themselves are in
// FileAccess_posix.cpp and FileAccess_win.cpp.
namespace claims {
namespace {

using platform::EntryId;

// ".CSV" in all eight spellings, the capitals first.
QString CsvSpelling(int lowerMask)
{
    QString ext = QStringLiteral("CSV");
    for (int i = 0; i < 3; ++i) {
        if (lowerMask & (1 << i))
            ext[i] = ext[i].toLower();
    }
    return ext;
}

QString FolderOf(const QString& target) { return target.left(target.lastIndexOf(u'/') + 1); }

} // namespace

QStringList FindExistingEntries(const QString& path)
{
    QStringList candidates{path};
    if (path.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive)) {
        for (int mask = 0; mask < 8; ++mask)
            candidates.append(path.chopped(3) + CsvSpelling(mask));
    }
    // Names of one entry (a file system may ignore case) count once, under
    // the name the folder holds.
    QStringList found;
    QList<EntryId> seen;
    for (const QString& candidate : std::as_const(candidates)) {
        const std::optional<EntryId> id = platform::IdentifyEntry(candidate);
        if (!id || (id->known && seen.contains(*id)))
            continue;
        seen.append(*id);
        found.append(platform::SpellingOnDisk(candidate));
    }
    found.removeDuplicates();
    return found;
}

QString FindExistingEntry(const QString& path)
{
    if (EntryExists(path))
        return platform::SpellingOnDisk(path);
    const QStringList found = FindExistingEntries(path);
    return found.isEmpty() ? QString() : found.first();
}

FileBytes ReadWholeFile(const QString& path)
{
    FileBytes file;
    FileReader reader(path);
    QByteArray& bytes = file.bytes;
    bytes.resize(qMax<qsizetype>(reader.Size() + 1, 4096));
    qsizetype size = 0;
    qsizetype n = 0;
    while ((n = reader.Read(bytes.data() + size, bytes.size() - size)) > 0) {
        size += n;
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(n < 0 ? 0 : size);
    file.result = reader.Result();
    return file;
}

IoResult ReplaceFileContents(const QString& path, QByteArrayView data,
                             const std::function<IoResult()>& beforeRename)
{
    const platform::SaveCalls& calls = platform::Calls();
    platform::RemoveStaleTemps(FolderOf(path));
    platform::TempFile temp;
    IoResult result = calls.createTemp(path, temp);
    if (result.ok())
        result = calls.write(temp, data, path);
    if (result.ok())
        result = calls.flush(temp, path);
    if (result.ok() && beforeRename)
        result = beforeRename();   // the caller's last look
    // The new content is on disk; one move puts it in the old one's place.
    if (result.ok())
        result = calls.moveIntoPlace(temp, path);
    if (!result.ok())
        platform::Discard(temp);
    return result;
}

namespace platform {
namespace {

// A version is a new file of its own, written as any save writes.
IoResult WriteVersionFile(const QString& versionPath, QByteArrayView bytes)
{
    return ReplaceFileContents(versionPath, bytes);
}

constexpr SaveCalls kSystemCalls{CreateTempBeside, WriteAll, Flush, MoveIntoPlace, WriteVersionFile};
const SaveCalls* current = &kSystemCalls;

} // namespace

const SaveCalls& SystemCalls() { return kSystemCalls; }

const SaveCalls& Calls() { return *current; }

void UseCalls(const SaveCalls* calls) { current = calls ? calls : &kSystemCalls; }

} // namespace platform

} // namespace claims
