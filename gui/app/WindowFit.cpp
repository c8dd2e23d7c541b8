#include "gui/app/WindowFit.h"

#include "gui/pages/PageTabs.h"

#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QWidget>

namespace vx {

QSize fitInRoom(QSize wanted, QSize room, QSize scrollBars)
{
    bool vertical = false, horizontal = false;
    // Twice: the horizontal bar a too narrow room adds can make the height too large.
    for (int pass = 0; pass < 2; ++pass) {
        if (!vertical && wanted.height() > room.height()) {
            vertical = true;
            wanted.rwidth() += scrollBars.width();
        }
        if (!horizontal && wanted.width() > room.width()) {
            horizontal = true;
            wanted.rheight() += scrollBars.height();
        }
    }
    return wanted.boundedTo(room);
}

QSize roomOf(const QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return screen->availableGeometry().size() - (window.frameGeometry().size() - window.size());
}

QSize unscrolledSize(const QMainWindow& window, QTabWidget& pages)
{
    const QWidget* content = window.centralWidget();
    if (!content)
        return window.size();
    // The sheets told their new sizes (relayoutPlaced); the frame around them asks again.
    pages.updateGeometry();
    return content->sizeHint() + (window.size() - content->size());
}

QSize scrollBarSizes(const QTabWidget& pages)
{
    const QScrollArea* shown = pageScroll(pages, pages.currentIndex());
    if (!shown)
        return QSize(0, 0);
    return QSize(shown->verticalScrollBar()->sizeHint().width(), shown->horizontalScrollBar()->sizeHint().height());
}

} // namespace vx
