#pragma once
// The roster search of 検　索, run ahead on a worker thread while the office
// pauses in typing the reading, so that the click finds its lines ready.
// A result serves only the click for the same roster and reading, and only
// while the roster's size and time of last change are still those taken
// before it was read; anything else searches again as without it.

#include "rosters/RosterFile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace entry {

class SearchAhead : public QObject {
    Q_OBJECT
public:
    explicit SearchAhead(QObject* parent = nullptr);
    ~SearchAhead() override;

    // Searches the roster at rosterPath (as the click names it, before its
    // spelling on disk is found) for text on a thread of the window's own
    // (never on Qt's shared threads, whose painting waits for them). An older
    // search is dropped: one that has not begun never begins, one that runs
    // runs on, but its result is never used. When every search thread still
    // runs a dropped search, none is started: the click then searches itself
    // rather than wait behind them.
    void Start(const QString& rosterPath, const QString& text);
    void Drop();

    // The lines found ahead for this roster path and text, waiting for the
    // search when it still runs; none when there is no such search, it found
    // another file than roster (the path's spelling on disk), it failed, or
    // the roster changed since. A running search that is already known to
    // read another file or the roster as it was before a change is not
    // waited for. The search is dropped either way.
    std::optional<claims::FoundLines> Take(const QString& rosterPath, const QString& roster,
                                           const QString& text);

    // The lines of the search started last once it has found them, without
    // waiting; null while it runs, and when it failed or there is none.
    const claims::FoundLines* Found() const;
    bool Running() const;   // the search started last has not ended yet

    // Waits for the search that was started last; whether there is one.
    bool Wait();

private:
    struct Job;
    std::shared_ptr<Job> job_;
};

} // namespace entry
