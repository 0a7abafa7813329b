// Linked into a program only for timing its start: once the first window has
// been painted, the probe writes the monotonic clock in nanoseconds to
// standard output and ends the process at once. The program's own main()
// stays as it is; the probe hooks in when the application object is made.

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class ShownProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow*>(watched)->isExposed())
            exposed_ = true;
        // The first paint after the window came on screen: report once it
        // and the flush that follows it are done.
        if (event->type() == QEvent::Paint && exposed_ && !reported_) {
            reported_ = true;
            QMetaObject::invokeMethod(this, &ShownProbe::Report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Report()
    {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        _exit(0);
    }

    bool exposed_ = false;
    bool reported_ = false;
};

void InstallShownProbe()
{
    QCoreApplication::instance()->installEventFilter(new ShownProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallShownProbe)
