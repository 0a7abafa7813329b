#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace forms {

// The usable areas of the screens (less the taskbar), the primary first.
QList<QRect> ScreenAreas();

// The index of the area that holds most of frame; 0 when none holds any.
qsizetype AreaHoldingMost(const QRect& frame, const QList<QRect>& areas);

// Where a window whose frame would be at frame goes so that the whole of it
// is on a screen: its own place when that lies within one of the screens'
// usable areas; otherwise inside the area that holds most of it (the first,
// the primary screen, when none holds any: a monitor that is gone). A window
// larger than the area keeps its title bar (top left) on it.
QPoint PlaceOnScreen(const QRect& frame, const QList<QRect>& areas);

// Moves a top-level window that is being shown onto the visible screens.
// forms::Application calls it for every window, so the fixed places the
// layouts give their windows never put one out of sight (a small screen, a
// second monitor removed).
void KeepOnScreen(QWidget* window);

} // namespace forms
