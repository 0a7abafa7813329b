// A second office PC saving into the same claim folder, for the tests of
// saves from several processes:
//
//   once <work folder> <ID> <k>        saves claim k of occurrence 1 over
//       whatever is there, then prints "saved"
//   loop <work folder> <ID> <k> <ms>   for that long, reads the claim and
//       saves claims k, k+1, ... over it as the entry window does: a file
//       changed by someone else since it was read counts as a conflict and
//       is then overwritten, as when the user answers yes. Prints
//       "saves=<n> conflicts=<n> failed=<n>".
//   status <work folder> <ID> <year> <ms>   for that long, saves the status
//       file of occurrence 1 as the month dialog does, with save k giving
//       month k % 12 + 1 of the year the points k; a file changed by someone
//       else since it was read counts as a conflict and is read again with
//       this change made anew. Prints the same.

#include "NumberedClaim.h"

#include "claimstatus/StatusFile.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstring>

namespace {

struct Counts {
    int saves = 0;
    int conflicts = 0;
    int failed = 0;
};

// One save as the window makes it: what was read is expected on disk.
void SaveAsTheWindowDoes(const QString& work, const QByteArray& id, int k, Counts& counts)
{
    const QString path = claims::ClaimFilePath(work, id, 1);
    const claims::Result<claims::FileStamp> read = claims::GuardedFile(path).Stamp();
    claims::Result<claims::FileStamp> written =
        rtest::SaveNumberedClaim(work, id, k, read ? *read : claims::FileStamp());
    while (!written && written.error().refusal == claims::Refusal::ChangedElsewhere) {
        ++counts.conflicts;
        written = rtest::SaveNumberedClaim(work, id, k, written.error().found);
    }
    ++(written.has_value() ? counts.saves : counts.failed);
    QThread::usleep(200);   // the other process's turn now and then
}

int Loop(const QString& work, const QByteArray& id, int first, int milliseconds)
{
    Counts counts;
    QElapsedTimer clock;
    clock.start();
    for (int k = first; clock.elapsed() < milliseconds; ++k)
        SaveAsTheWindowDoes(work, id, k, counts);
    std::printf("saves=%d conflicts=%d failed=%d\n", counts.saves, counts.conflicts, counts.failed);
    return counts.failed == 0 ? 0 : 2;
}

// One status save: read, change the month, save while the file is as read.
void SaveStatusAsTheDialogDoes(const QString& work, const QByteArray& id, int year, int k, Counts& counts)
{
    const QString path = claims::StatusFilePath(work, id, 1);
    for (;;) {
        claims::Result<claims::Stamped<claims::StatusFile>> read = claims::ReadStatusFile(path);
        if (!read) {
            ++counts.failed;
            return;
        }
        claims::MonthStatus& month = read->value.Edit({year, k % 12 + 1});
        month.state = claims::ClaimState::Claimed;
        month.points = k;
        month.note = QStringLiteral("%1-%2").arg(year).arg(k);
        const claims::Result<claims::FileStamp> written = claims::WriteStatusFile(work, id, 1, read->value, read->stamp);
        if (written || written.error().refusal != claims::Refusal::ChangedElsewhere) {
            ++(written.has_value() ? counts.saves : counts.failed);
            return;
        }
        ++counts.conflicts;
    }
}

int StatusLoop(const QString& work, const QByteArray& id, int year, int milliseconds)
{
    Counts counts;
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; clock.elapsed() < milliseconds; ++k) {
        SaveStatusAsTheDialogDoes(work, id, year, k, counts);
        QThread::usleep(200);
    }
    std::printf("saves=%d conflicts=%d failed=%d\n", counts.saves, counts.conflicts, counts.failed);
    return counts.failed == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "once") == 0) {
        const bool ok = rtest::SaveNumberedClaim(QString::fromLocal8Bit(argv[2]), argv[3], std::atoi(argv[4])).has_value();
        std::printf(ok ? "saved\n" : "failed\n");
        return ok ? 0 : 2;
    }
    if (argc >= 6 && std::strcmp(argv[1], "loop") == 0)
        return Loop(QString::fromLocal8Bit(argv[2]), argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (argc >= 6 && std::strcmp(argv[1], "status") == 0)
        return StatusLoop(QString::fromLocal8Bit(argv[2]), argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    std::fprintf(stderr, "usage: once|loop|status <work folder> <ID> <k or year> [<ms>]\n");
    return 1;
}
