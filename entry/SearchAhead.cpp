#include "entry/SearchAhead.h"

#include "files/FileAccess.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <future>

namespace entry {

namespace {

// What one stat tells of a file: enough to see that it was written since.
struct Stamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const QString& path)
{
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified().toMSecsSinceEpoch()};
}

// The searches' own threads. Qt's global pool is not used: Qt's painter
// hands its larger fills to those threads and waits for them, so searches
// running there, dropped or not, could hold up a paint, and a new search
// queued there behind dropped ones. A few threads, so that a new search
// seldom finds them all still running dropped ones.
QThreadPool& SearchThreads()
{
    static QThreadPool pool;
    pool.setMaxThreadCount(4);
    return pool;
}

} // namespace

struct SearchAhead::Job {
    QString rosterPath;   // the inputs, set before the worker starts
    QString text;
    QString roster;       // set by the worker before stamped is set
    Stamp stamp;
    std::atomic<bool> stamped{false};
    claims::Result<claims::FoundLines> found;   // set by the worker before done is set
    std::atomic<bool> dropped{false};   // before it started: it never reads
    std::promise<void> done;
    std::shared_future<void> ready = done.get_future().share();

    void Run()
    {
        if (dropped) {
            done.set_value();
            return;
        }
        roster = claims::FindExistingEntry(rosterPath);
        if (!roster.isEmpty())
            stamp = StampOf(roster);
        stamped = true;
        if (!roster.isEmpty())
            found = claims::FindTextInRosterFile(roster, text);
        done.set_value();
    }

    // Whether the search, once begun, reads the roster as it is now.
    bool Reads(const QString& current, const Stamp& now) const
    {
        return !stamped || (roster == current && stamp == now);
    }
};

SearchAhead::SearchAhead(QObject* parent) : QObject(parent) {}

SearchAhead::~SearchAhead()
{
    Drop();
}

void SearchAhead::Start(const QString& rosterPath, const QString& text)
{
    Drop();
    auto job = std::make_shared<Job>();
    job->rosterPath = rosterPath;
    job->text = text;
    if (SearchThreads().tryStart([job] { job->Run(); }))
        job_ = job;
}

void SearchAhead::Drop()
{
    if (job_)
        job_->dropped = true;
    job_.reset();
}

std::optional<claims::FoundLines> SearchAhead::Take(const QString& rosterPath, const QString& roster,
                                                    const QString& text)
{
    if (!job_ || job_->rosterPath != rosterPath || job_->text != text) {
        Drop();
        return std::nullopt;
    }
    const std::shared_ptr<Job> job = std::move(job_);
    if (!job->Reads(roster, StampOf(roster)))
        return std::nullopt;
    job->ready.wait();
    if (!job->found || !job->Reads(roster, StampOf(roster)))
        return std::nullopt;
    return std::move(*job->found);
}

bool SearchAhead::Running() const
{
    return job_ && job_->ready.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

const claims::FoundLines* SearchAhead::Found() const
{
    if (!job_ || Running())
        return nullptr;
    return job_->found && !job_->roster.isEmpty() ? &*job_->found : nullptr;
}

bool SearchAhead::Wait()
{
    if (!job_)
        return false;
    job_->ready.wait();
    return true;
}

} // namespace entry
