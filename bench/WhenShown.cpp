#include "bench/WhenShown.h"

#include "bench/Process.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace bench {

WhenShown::WhenShown(const char* windowClass, std::function<void(QWidget*)> act)
    : windowClass_(windowClass), act_(std::move(act))
{
    qApp->installEventFilter(this);
}

WhenShown::~WhenShown()
{
    qApp->removeEventFilter(this);
}

// A paint of the window, or of a control in it, while it is exposed: the
// frame is complete once the event that carries this paint has been handled,
// so the clock is read from the next turn of the event loop.
bool WhenShown::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint || window_ || !watched->isWidgetType())
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (!window->inherits(windowClass_) || !window->windowHandle() || !window->windowHandle()->isExposed())
        return false;
    window_ = window;
    QMetaObject::invokeMethod(this, &WhenShown::Fire, Qt::QueuedConnection);
    return false;
}

void WhenShown::Fire()
{
    shownNs_ = MonotonicNs();
    if (window_ && act_)
        act_(window_);
}

} // namespace bench
