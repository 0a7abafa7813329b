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

} // namespace

struct SearchAhead::Job {
    QString rosterPath;   // the inputs, set before the worker starts
    QString text;
    QString roster;       // the rest set by the worker before done is set
    Stamp stamp;
    claims::RosterSearch found;
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
        if (!roster.isEmpty()) {
            stamp = StampOf(roster);
            found = claims::FindTextInRosterFile(roster, text);
        }
        done.set_value();
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
    job_ = job;
    QThreadPool::globalInstance()->start([job] { job->Run(); });
}

void SearchAhead::Drop()
{
    if (job_)
        job_->dropped = true;
    job_.reset();
}

std::optional<claims::RosterSearch> SearchAhead::Take(const QString& rosterPath,
                                                     const QString& roster, const QString& text)
{
    if (!job_ || job_->rosterPath != rosterPath || job_->text != text) {
        Drop();
        return std::nullopt;
    }
    const std::shared_ptr<Job> job = std::move(job_);
    job->ready.wait();
    if (job->roster != roster || !job->found.result.ok() || StampOf(roster) != job->stamp)
        return std::nullopt;
    return std::move(job->found);
}

bool SearchAhead::Running() const
{
    return job_ && job_->ready.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

const claims::FoundLines* SearchAhead::Found() const
{
    if (!job_ || Running())
        return nullptr;
    return job_->found.result.ok() && !job_->roster.isEmpty() ? &job_->found.lines : nullptr;
}

bool SearchAhead::Wait()
{
    if (!job_)
        return false;
    job_->ready.wait();
    return true;
}

} // namespace entry
