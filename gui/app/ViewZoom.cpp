#include "gui/app/ViewZoom.h"

#include "core/files/IniFile.h"
#include "gui/app/WindowFit.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PlacedLayout.h"

#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

namespace vx {
namespace {
constexpr const char* Section = "View";
constexpr const char* Key = "Zoom";
} // namespace

ViewZoom::ViewZoom(QWidget* pages, IniFile* preferences, QObject* parent)
    : QObject(parent), pages_(pages), preferences_(preferences)
{
    // Made after the window took its default size: a fitted window is never smaller.
    if (auto* window = qobject_cast<QWidget*>(parent))
        least_ = window->size();
    if (preferences_)
        level_ = std::clamp(preferences_->readInteger(Section, Key, Lowest), Lowest, Highest);
    show();
    // Ctrl+wheel anywhere over a view of the pages.
    qApp->installEventFilter(this);
}

void ViewZoom::setLevel(int level)
{
    level = std::clamp(level, Lowest, Highest);
    if (level == level_)
        return;
    level_ = level;
    show();
    if (preferences_) {
        preferences_->writeInteger(Section, Key, level_);
        preferences_->updateFile();
    }
    if (changed)
        changed(level_);
}

void ViewZoom::show()
{
    for (ImageView* view : pages_->findChildren<ImageView*>())
        if (view->followsZoom())
            view->setZoom(level_);
    relayoutPlaced(pages_);
}

void ViewZoom::fitFirstShownPages(QMainWindow& window)
{
    if (!fitted_ && level_ > Lowest)
        fitWindow(window);
    fitted_ = true;
}

void ViewZoom::fitOnScreen(QMainWindow& window, bool showing)
{
    // The first showing fits the default size to the screen. A window manager gives the frame
    // later (a move, once it has framed and placed the window): the window fits again then.
    const bool framed = window.frameGeometry().size() != window.size();
    if (showing ? shown_ : (!shown_ || frameSeen_ || !framed))
        return;
    shown_ = true;
    frameSeen_ = framed;
    fitWindow(window);
}

bool ViewZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        if (auto* window = qobject_cast<QMainWindow*>(watched); window && window == parent())
            fitOnScreen(*window, event->type() == QEvent::Show);
    if (event->type() != QEvent::Wheel)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    auto* view = qobject_cast<ImageView*>(watched);
    if (!view || !view->followsZoom() || !wheel->modifiers().testFlag(Qt::ControlModifier) ||
        !pages_->isAncestorOf(view))
        return false;
    // One step per notch; a touchpad's small deltas wait until they make one.
    wheelDelta_ += wheel->angleDelta().y();
    if (std::abs(wheelDelta_) >= 120) {
        setLevel(level_ + (wheelDelta_ > 0 ? 1 : -1));
        wheelDelta_ = 0;
    }
    return true;
}

void ViewZoom::fitWindow(QMainWindow& window) const
{
    auto* pages = qobject_cast<QTabWidget*>(pages_);
    if (!pages || window.isMaximized() || window.isFullScreen())
        return;
    QSize wanted = least_;
    if (pages->isVisibleTo(&window))
        wanted = wanted.expandedTo(unscrolledSize(window, *pages));
    window.resize(fitInRoom(wanted, roomOf(window), scrollBarSizes(*pages)));
}

} // namespace vx
