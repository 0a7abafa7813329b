#include "SlowMount.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace testsupport {
namespace {

const QString kCountsFile = QStringLiteral("/.slowfs-counts");

QString WhyFuseCannotBeUsed()
{
#if !defined(KIBORU_SLOWFS)
    return QStringLiteral("slowfs was not built (Linux with the fuse3 development files only)");
#else
    QFile device(QStringLiteral("/dev/fuse"));
    if (!device.open(QIODevice::ReadWrite))
        return QStringLiteral("/dev/fuse cannot be opened: ") + device.errorString();
    if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty())
        return QStringLiteral("fusermount3 is not installed");
    return QString();
#endif
}

} // namespace

SlowCounts SlowCounts::Since(const SlowCounts& before) const
{
    return {getattr - before.getattr, readdir - before.readdir, open - before.open, read - before.read,
            change - before.change, opened.mid(before.opened.size())};
}

SlowMount::SlowMount(const QString& source, double delayMs, double statDelayMs, Access access)
{
    whyNot_ = WhyFuseCannotBeUsed();
    if (!whyNot_.isEmpty())
        return;
#if defined(KIBORU_SLOWFS)
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{source, point_.path(), QString::number(delayMs)};
    if (statDelayMs >= 0)
        args.append(QString::number(statDelayMs));
    if (access == Access::Writable)
        args.append(QStringLiteral("writable"));
    process_.start(QStringLiteral(KIBORU_SLOWFS), args);
    const QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(point_.path() + kCountsFile) && process_.state() != QProcess::NotRunning
           && !deadline.hasExpired())
        QThread::msleep(20);
    mounted_ = QFileInfo::exists(point_.path() + kCountsFile);
    if (!mounted_)
        whyNot_ = QStringLiteral("slowfs did not mount (exit code %1)").arg(process_.exitCode());
#endif
}

SlowMount::~SlowMount()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    QProcess unmount;
    unmount.setStandardOutputFile(QProcess::nullDevice());
    unmount.setStandardErrorFile(QProcess::nullDevice());
    unmount.start(QStringLiteral("fusermount3"), {QStringLiteral("-u"), QStringLiteral("-z"), point_.path()});
    unmount.waitForFinished(5000);
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

SlowCounts SlowMount::Counts() const
{
    QFile file(point_.path() + kCountsFile);
    SlowCounts counts;
    if (!file.open(QIODevice::ReadOnly))
        return counts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray op = line.left(space), value = line.mid(space + 1);
        if (op == "opened")
            counts.opened.append(QString::fromUtf8(value));
        else if (long* count = op == "getattr"   ? &counts.getattr
                               : op == "readdir" ? &counts.readdir
                               : op == "open"    ? &counts.open
                               : op == "read"    ? &counts.read
                               : op == "change"  ? &counts.change
                                                 : nullptr)
            *count = value.toLong();
    }
    return counts;
}

} // namespace testsupport
