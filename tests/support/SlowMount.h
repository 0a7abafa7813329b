#pragma once
// A folder mounted through slowfs (tests/support/slowfs), the stand-in for a
// slow file server: every lookup, listing, open and read (and, writable,
// every change) waits a delay and is counted. Linux only; where FUSE cannot be used, Mounted() is false and
// WhyNot() tells why. The mount is gone when the object is: unmounted
// lazily (it never waits for a file still open), and slowfs ends with the
// process that started it and then unmounts by itself.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

struct SlowCounts {
    long getattr = 0, readdir = 0, open = 0, read = 0;
    long change = 0;      // writable: makes, writes, flushes, moves, removals …
    QStringList opened;   // paths in the mount ("/seikyu/請1-1.CSV"), in order

    long Total() const { return getattr + readdir + open + read + change; }
    SlowCounts Since(const SlowCounts& before) const;
};

class SlowMount {
public:
    // Writable: changes pass too, and a file open through the mount is
    // neither moved nor removed (EBUSY), as on a file server.
    enum class Access { ReadOnly, Writable };

    // statDelayMs < 0: the same delay for a stat as for the rest.
    SlowMount(const QString& source, double delayMs, double statDelayMs = -1, Access access = Access::ReadOnly);
    ~SlowMount();
    SlowMount(const SlowMount&) = delete;
    SlowMount& operator=(const SlowMount&) = delete;

    bool Mounted() const { return mounted_; }
    QString WhyNot() const { return whyNot_; }
    QString Path() const { return point_.path(); }
    SlowCounts Counts() const;

private:
    QTemporaryDir point_;
    QProcess process_;
    bool mounted_ = false;
    QString whyNot_;
};

} // namespace testsupport
