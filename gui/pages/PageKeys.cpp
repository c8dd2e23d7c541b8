#include "gui/pages/PageKeys.h"

#include "gui/widgets/RoomViewPair.h"

#include <QMainWindow>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

namespace vx {

int nextShownPage(const QTabWidget& pages, int from, int direction)
{
    const int count = pages.count();
    for (int step = 1; step < count; ++step) {
        const int page = ((from + direction * step) % count + count) % count;
        if (pages.tabBar()->isTabVisible(page) && pages.isTabEnabled(page))
            return page;
    }
    return from;
}

void installPageKeys(QMainWindow& window, QTabWidget& pages)
{
    const auto key = [&window](QKeySequence sequence, auto action) {
        auto* shortcut = new QShortcut(sequence, &window);
        QObject::connect(shortcut, &QShortcut::activated, &window, action);
    };
    const auto turn = [&pages](int direction) {
        return [&pages, direction] {
            if (pages.isVisible())
                pages.setCurrentIndex(nextShownPage(pages, pages.currentIndex(), direction));
        };
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Tab), turn(1));
    key(QKeySequence(Qt::CTRL | Qt::Key_PageDown), turn(1));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), turn(-1));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), turn(-1));
    key(QKeySequence(Qt::CTRL | Qt::Key_PageUp), turn(-1));
    // The bar under a page's two views moves both, as a click on its arrows does.
    const auto stepRooms = [&pages](int step) {
        return [&pages, step] {
            if (QWidget* page = pages.isVisible() ? pages.currentWidget() : nullptr)
                for (QScrollBar* bar : page->findChildren<QScrollBar*>())
                    if (bar->property(RoomPairBarProperty).toBool())
                        bar->setValue(bar->value() + step);
        };
    };
    key(QKeySequence(Qt::ALT | Qt::Key_Left), stepRooms(-1));
    key(QKeySequence(Qt::ALT | Qt::Key_Right), stepRooms(1));
}

} // namespace vx
