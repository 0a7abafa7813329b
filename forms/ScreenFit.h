#pragma once

#include <QSize>

class QEvent;
class QObject;
class QWidget;

namespace forms {

// The size of a window whose fixed layout is layout, within room (the usable
// area less the window's frame): the layout's own size where it fits;
// otherwise no larger than room, and where one direction is cut (a scroll bar
// of scrollBar pixels appears) the other gets room for that bar.
QSize FittedSize(QSize layout, QSize room, int scrollBar);

// Makes a top-level window that is being shown fit the usable area of the
// screen it goes to (the screen less the taskbar). forms::Application calls
// it for every window, before KeepOnScreen places it.
// A window with a layout is made no larger than the area (down to its
// layout's minimum). A window of fixed places larger than the area gets its
// controls, untouched in names, places and tab order, on a surface inside a
// scroll area that fills the window, and the window opens no larger than the
// area; the focus, moved by Tab or a click, is then scrolled into view. A
// window that fits stays exactly as it is.
void FitOnScreen(QWidget* window);

// Notes the size of a top-level window whose native window is being resized
// while the window is hidden: Windows makes a window that is created larger
// than the screen smaller before it shows, and FitOnScreen must know the
// layout's own size. forms::Application passes every event here.
void NoteWindowResize(QObject* receiver, QEvent* event);

} // namespace forms
