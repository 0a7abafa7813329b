#include "files/FileAccess.h"

#include "files/FileAccessPlatform.h"

#include <QThread>

#include <algorithm>

// What both platforms share. The file calls themselves are in
// FileAccess_posix.cpp and FileAccess_win.cpp.
namespace claims {
namespace {

QString FolderOf(const QString& target) { return target.left(target.lastIndexOf(u'/') + 1); }

QString NameOf(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

bool EndsInCsv(const QString& name) { return name.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive); }

// Whether a listed name is the one looked for: the same but for the case of
// a ".CSV" ending.
bool SameName(const QString& listed, const QString& wanted)
{
    if (!EndsInCsv(wanted))
        return listed == wanted;
    return EndsInCsv(listed) && QStringView(listed).chopped(4) == QStringView(wanted).chopped(4);
}

} // namespace

QStringList FindExistingEntries(const QString& path)
{
    const QString wanted = NameOf(path);
    const QString folder = FolderOf(path);
    QStringList found;
    for (const QString& name : ListNamesStartingWith(folder.isEmpty() ? QStringLiteral(".") : folder,
                                                     EndsInCsv(wanted) ? wanted.chopped(4) : wanted)) {
        if (SameName(name, wanted))
            found.append(folder + name);
    }
    std::sort(found.begin(), found.end());
    // The name asked for first, where the folder spells it so.
    if (found.removeOne(path))
        found.prepend(path);
    return found;
}

QString FindExistingEntry(const QString& path)
{
    if (EntryExists(path))
        return platform::SpellingOnDisk(path);
    const QStringList found = FindExistingEntries(path);
    return found.isEmpty() ? QString() : found.first();
}

Result<QByteArray> ReadWholeFile(const QString& path)
{
    Result<TimedBytes> read = ReadWholeFileTimed(path);
    if (!read)
        return Failure(read.error());
    return std::move(read->bytes);
}

Result<TimedBytes> ReadWholeFileTimed(const QString& path)
{
    FileReader reader(path);
    QByteArray bytes;
    bytes.resize(qMax<qsizetype>(reader.Size() + 1, 4096));
    qsizetype size = 0;
    qsizetype n = 0;
    while ((n = reader.Read(bytes.data() + size, bytes.size() - size)) > 0) {
        size += n;
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
    }
    if (!reader.Outcome())
        return Failure(reader.Outcome().error());
    bytes.truncate(size);
    return TimedBytes{std::move(bytes), reader.Modified()};
}

namespace {

// The new file written beside path and flushed.
IoResult WriteTemp(const QString& path, QByteArrayView data, platform::TempFile& temp)
{
    const platform::SaveCalls& calls = platform::Calls();
    IoResult result = calls.createTemp(path, temp);
    if (result.has_value())
        result = calls.write(temp, data, path);
    if (result.has_value())
        result = calls.flush(temp, path);
    return result;
}

// How often a save writes its new file again when another program removed
// it for a stale one between its close and its move (each program sweeps a
// folder once a run).
constexpr int kWritesOfNewFile = 3;

} // namespace

IoResult ReplaceFileContents(const QString& path, QByteArrayView data,
                             const std::function<IoResult()>& beforeRename)
{
    platform::RemoveStaleTemps(FolderOf(path));
    IoResult result;
    for (int write = 1; write <= kWritesOfNewFile; ++write) {
        platform::TempFile temp;
        result = WriteTemp(path, data, temp);
        if (result.has_value() && beforeRename && write == 1)
            result = beforeRename();   // the caller's last look
        // The new content is on disk; one move puts it in the old one's place.
        if (result.has_value())
            result = platform::Calls().moveIntoPlace(temp, path);
        if (!result.has_value())
            platform::Discard(temp);
        if (!temp.gone)
            break;
    }
    return result;
}

bool WaitBeforeTryingAgain(int& waitedMs)
{
    constexpr int kLongestWaitMs = 1024;
    const int wait = waitedMs == 0 ? 1 : qMin(waitedMs + 1, kLongestWaitMs * 2);
    if (waitedMs >= kLongestWaitMs * 2 - 1)
        return false;
    QThread::msleep(ulong(wait));
    waitedMs += wait;
    return true;
}

namespace platform {
namespace {

// A version is a new file of its own, written as any save writes.
IoResult WriteVersionAsSave(const QString& versionPath, QByteArrayView bytes)
{
    return ReplaceFileContents(versionPath, bytes);
}

constexpr SaveCalls kSystemCalls{CreateTempBeside, WriteAll, Flush, MoveIntoPlace, WriteVersionAsSave};
const SaveCalls* current = &kSystemCalls;

} // namespace

const SaveCalls& SystemCalls() { return kSystemCalls; }

const SaveCalls& Calls() { return *current; }

void UseCalls(const SaveCalls* calls) { current = calls ? calls : &kSystemCalls; }

} // namespace platform

IoResult WriteVersionFile(const QString& versionPath, QByteArrayView bytes)
{
    return platform::Calls().keepVersion(versionPath, bytes);
}

} // namespace claims
