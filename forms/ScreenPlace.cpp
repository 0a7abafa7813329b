#include "forms/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace forms {

qsizetype AreaHoldingMost(const QRect& frame, const QList<QRect>& areas)
{
    qsizetype best = 0;
    qint64 most = 0;
    for (qsizetype i = 0; i < areas.size(); ++i) {
        const QRect common = areas[i].intersected(frame);
        const qint64 size = qint64(common.width()) * common.height();
        if (size > most) {
            most = size;
            best = i;
        }
    }
    return best;
}

namespace {

// The start of a span of length inside [low, high), the start first.
int Clamp(int start, int length, int low, int high)
{
    return qMax(low, qMin(start, high - length));
}

} // namespace

QPoint PlaceOnScreen(const QRect& frame, const QList<QRect>& areas)
{
    for (const QRect& area : areas) {
        if (area.contains(frame))
            return frame.topLeft();
    }
    if (areas.isEmpty())
        return frame.topLeft();
    const QRect area = areas[AreaHoldingMost(frame, areas)];
    return {Clamp(frame.left(), frame.width(), area.left(), area.left() + area.width()),
            Clamp(frame.top(), frame.height(), area.top(), area.top() + area.height())};
}

QList<QRect> ScreenAreas()
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.append(screen->availableGeometry());
    }
    return areas;
}

void KeepOnScreen(QWidget* window)
{
    const QList<QRect> areas = ScreenAreas();
    const QRect frame = window->frameGeometry();
    const QPoint place = PlaceOnScreen(frame, areas);
    if (place != frame.topLeft())
        window->move(place);
}

} // namespace forms
