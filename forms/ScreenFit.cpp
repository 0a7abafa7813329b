#include "forms/ScreenFit.h"
#include "forms/ScreenPlace.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

namespace forms {
namespace {

const char* const kLayoutSize = "forms_layoutSize";

// Scrolls the focus into view within the area's surface. A focus that a
// mouse press gave waits for the release: moving the control from under a
// pressed button would lose the click.
class FocusFollower : public QObject {
public:
    explicit FocusFollower(QScrollArea* area) : QObject(area), area_(area)
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (pending_ && event->type() == QEvent::MouseButtonRelease
            && QApplication::mouseButtons() == Qt::NoButton) {
            QPointer<QWidget> control = pending_;
            pending_ = nullptr;
            // After the release has reached the control.
            QMetaObject::invokeMethod(this, [this, control] { if (control) Show(control); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Follow(QWidget* now)
    {
        if (!now || !area_->widget() || !area_->widget()->isAncestorOf(now))
            return;
        if (QApplication::mouseButtons() != Qt::NoButton)
            pending_ = now;
        else
            Show(now);
    }

    // The whole control: the focus may sit in a part of it that it hands the
    // focus to (the edit part of a combo box).
    void Show(QWidget* focus)
    {
        QWidget* control = focus;
        while (control->parentWidget() && control->parentWidget()->focusProxy() == control)
            control = control->parentWidget();
        QWidget* surface = area_->widget();
        if (!surface || !surface->isAncestorOf(control))
            return;
        // Not ensureWidgetVisible(): that shows only the text cursor of an edit.
        const QRect place(control->mapTo(surface, QPoint(0, 0)), control->size());
        area_->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 8, place.height() / 2 + 8);
    }

    QScrollArea* area_;
    QPointer<QWidget> pending_;
};

// Moves the window's controls onto a surface of the layout's size inside a
// scroll area that fills the window. The surface takes the window's name, so
// that the window's style sheet paints it as it painted the window.
QScrollArea* ShowInScrollArea(QWidget* window, QSize layoutSize)
{
    auto* surface = new QWidget(window);   // same window: the tab order stays
    surface->setObjectName(window->objectName());
    surface->setAttribute(Qt::WA_StyledBackground);
    surface->resize(layoutSize);
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != surface && !control->isWindow())
            control->setParent(surface);   // keeps its place and, if hidden, stays so
    }
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("qt_screenfit_area"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->viewport()->setBackgroundRole(QPalette::Window);
    area->setWidget(surface);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    new FocusFollower(area);
    area->show();
    surface->show();
    return area;
}

} // namespace

QSize FittedSize(QSize layout, QSize room, int scrollBar)
{
    QSize size = layout.boundedTo(room);
    if (size.height() < layout.height())
        size.setWidth(qMin(layout.width() + scrollBar, room.width()));
    if (size.width() < layout.width())
        size.setHeight(qMin(layout.height() + scrollBar, room.height()));
    return size;
}

void NoteWindowResize(QObject* receiver, QEvent* event)
{
    if (event->type() != QEvent::Resize || !receiver->isWindowType())
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowHandle() == receiver && !window->isVisible())
            window->setProperty(kLayoutSize, window->size());
    }
}

void FitOnScreen(QWidget* window)
{
    const QList<QRect> areas = ScreenAreas();
    if (areas.isEmpty())
        return;
    const QRect frame = window->frameGeometry();
    const QSize room = (areas[AreaHoldingMost(frame, areas)].size() - (frame.size() - window->size()))
                           .expandedTo(QSize(1, 1));
    const QVariant noted = window->property(kLayoutSize);
    const QSize size = noted.isValid() ? noted.toSize() : window->size();
    if (size.width() <= room.width() && size.height() <= room.height())
        return;
    if (window->layout()) {   // its layout shrinks it, down to the layout's minimum
        window->resize(size.boundedTo(room));
        return;
    }
    const QScrollArea* area = ShowInScrollArea(window, size);
    window->resize(FittedSize(size, room, area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area)));
}

} // namespace forms
