// Linked into a program only for timing the student dialog from outside the
// process (bench/outside.sh): the click on 「検　索」 in the entry window is
// delivered by the X server, and the probe notes the monotonic clock when
// the button gets the release that makes the click, when the student dialog
// is shown, exposed and first painted, and once that paint and its flush are
// done. Then it writes the marks to standard output, one "name nanoseconds"
// a line, and ends the process at once. With KIBORU_PROBE_DIALOGS=n it lets
// n - 1 dialogs pass first (marks written for each) and ends after the n-th.
// The program's own main() stays as it is, as with bench/ShownProbe.cpp.

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <string_view>
#include <unistd.h>

namespace {

long long NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool InWindowOf(QObject* object, const char* windowClass)
{
    return object->isWidgetType() && static_cast<QWidget*>(object)->window()->inherits(windowClass);
}

class ClickProbe : public QObject {
public:
    explicit ClickProbe(QObject* parent) : QObject(parent)
    {
        dialogs_ = qEnvironmentVariableIntValue("KIBORU_PROBE_DIALOGS");
        if (dialogs_ < 1)
            dialogs_ = 1;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (watched->objectName() == QLatin1String("BitBtn1") && InWindowOf(watched, "TForm2"))
                Mark("click");
            break;
        case QEvent::Show:
            if (waiting_ && watched->inherits("TForm3"))
                Mark("shown");
            break;
        case QEvent::Expose:
            if (waiting_ && watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()
                && static_cast<QWindow*>(watched)->title() == QStringLiteral("生徒選択"))
                Mark("exposed");
            break;
        case QEvent::Paint:
            if (waiting_ && !painted_ && InWindowOf(watched, "TForm3")
                && static_cast<QWidget*>(watched)->window()->windowHandle()->isExposed()) {
                painted_ = true;
                Mark("paint");
                QMetaObject::invokeMethod(this, &ClickProbe::Painted, Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Mark(const char* name)
    {
        if (std::string_view(name) == "click") {
            waiting_ = true;
            painted_ = false;
        }
        std::printf("%s %lld\n", name, NowNs());
    }

    // The paint and the flush that follows it are done.
    void Painted()
    {
        Mark("done");
        waiting_ = false;
        std::fflush(stdout);
        if (--dialogs_ == 0)
            _exit(0);
    }

    int dialogs_ = 1;
    bool waiting_ = false;
    bool painted_ = false;
};

void InstallClickProbe()
{
    QCoreApplication::instance()->installEventFilter(new ClickProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallClickProbe)
