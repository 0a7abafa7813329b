// A helper process for the reliability tests: one that is killed in the
// middle of saves, and one that reads a large roster in a fresh process so
// that its peak memory belongs to that reading alone.
//
//   save-loop <work folder> <ID> <k>   saves claims k, k+1, ... of the ID
//       until it is killed, writing each number (an int, as bytes) to
//       standard output once its save has returned
//   save-once <work folder> <ID> <k>   saves claim k of the ID once, as the
//       first save of a new run does
//   read-roster <path>                 ReadRosterLines, then every line cut
//       into fields
//   search-roster <path> <key>         FindRosterLinesInFile
//
// The last two print "code=<io code> lines=<lines> bytes=<bytes of the
// addresses, or of the lines found> start_kib=<peak at start>
// peak_kib=<peak at the end>".

#include "ReliabilitySupport.h"

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int SaveLoop(const QString& workDir, const QByteArray& id, int first)
{
    for (int k = first;; ++k) {
        const claims::Result<claims::FileStamp> result = rtest::SaveNumberedClaim(workDir, id, k);
        if (!result.has_value()) {
            std::fprintf(stderr, "save %d failed: %d\n", k, result.error().code);
            return 2;
        }
        if (::write(STDOUT_FILENO, &k, sizeof k) != sizeof k)
            return 3;
    }
}

void Report(int code, qsizetype lines, qsizetype bytes, long start)
{
    std::printf("code=%d lines=%lld bytes=%lld start_kib=%ld peak_kib=%ld\n", code,
                static_cast<long long>(lines), static_cast<long long>(bytes), start, rtest::PeakResidentKiB());
}

int ReadRoster(const QString& path)
{
    const long start = rtest::PeakResidentKiB();
    const claims::Result<claims::RosterLines> roster = claims::ReadRosterLines(path);
    const QList<QByteArray> lines = roster ? roster->lines : QList<QByteArray>();
    qsizetype addressBytes = 0;
    for (const QByteArray& line : lines)
        addressBytes += claims::SplitRosterLine(line).Address.size();
    Report(roster ? 0 : roster.error().code, lines.size(), addressBytes, start);
    return 0;
}

int SearchRoster(const QString& path, const QByteArray& key)
{
    const long start = rtest::PeakResidentKiB();
    const claims::Result<claims::FoundLines> found = claims::FindRosterLinesInFile(path, key);
    const claims::FoundLines lines = found ? *found : claims::FoundLines();
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        bytes += lines.at(i).size();
    Report(found ? 0 : found.error().code, lines.size(), bytes, start);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "save-once" && argc == 5)
        return rtest::SaveNumberedClaim(QFile::decodeName(argv[2]), argv[3], std::atoi(argv[4])).has_value() ? 0 : 2;
    if (mode == "save-loop" && argc == 5)
        return SaveLoop(QFile::decodeName(argv[2]), argv[3], std::atoi(argv[4]));
    if (mode == "read-roster" && argc == 3)
        return ReadRoster(QFile::decodeName(argv[2]));
    if (mode == "search-roster" && argc == 4)
        return SearchRoster(QFile::decodeName(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: %s save-loop DIR ID K | save-once DIR ID K | read-roster PATH | search-roster PATH KEY\n", argv[0]);
    return 1;
}
