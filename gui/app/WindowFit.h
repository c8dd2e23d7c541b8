#pragma once
#include <QSize>

class QMainWindow;
class QTabWidget;
class QWidget;

namespace vx {

// The size a window takes that wants `wanted` (nothing scrolled) in `room`: where a side does not
// fit, the other side takes the scroll bar that then shows (`scrollBars`: the vertical bar's width,
// the horizontal bar's height) as far as the room allows.
QSize fitInRoom(QSize wanted, QSize room, QSize scrollBars);
// What the window's screen leaves free (its panels aside), less the window's frame.
QSize roomOf(const QWidget& window);
// The size at which no page of `pages`, a control in the window's content, scrolls.
QSize unscrolledSize(const QMainWindow& window, QTabWidget& pages);
// The width of a vertical scroll bar and the height of a horizontal one on the pages.
QSize scrollBarSizes(const QTabWidget& pages);

} // namespace vx
