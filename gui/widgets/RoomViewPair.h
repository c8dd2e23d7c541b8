#pragma once
#include <QString>
#include <array>
#include <functional>

#include "gui/widgets/ImageView.h"

class QScrollBar;
class QWidget;

namespace vx {

// Marks the bar that moves both views, so the window's keys find it on any room page.
constexpr const char* RoomPairBarProperty = "roomPairBar";

// Two rooms side by side with the bar under them that moves both, as the map, object and
// scroll pages show them: views "<name>0" and "<name>1" at (48, 3) and (306, 3), 256 x 256,
// and the bar at (48, 260), 514 wide, whose position is the left view's room (00..2A).
class RoomViewPair {
public:
    // `handlers` gives each view (0 left, 1 right) its mouse handlers; `scrolled` hears of
    // the left room the user moved the bar to, never of setLeft.
    RoomViewPair(QWidget* page, const QString& viewName, const QString& barName,
                 const std::function<ViewHandlers(int view)>& handlers, std::function<void(int left)> scrolled);

    ImageView* view(int view) const { return views_[static_cast<std::size_t>(view & 1)]; }
    QScrollBar* bar() const { return bar_; }
    int left() const { return left_; }
    // The room a view shows when the right view follows the left one.
    int room(int view) const { return left_ + view; }
    // Moves the bar to a room (clamped to 00..2A) without telling the page.
    void setLeft(int left);
    void giveBitmaps(const GraphicManager& graphics);
    // Names a view for screen readers by its page and the room it shows: "Map, left view, room 05".
    void nameView(int view, const QString& page, int room);

private:
    void barMoved(int position);

    std::array<ImageView*, 2> views_{};
    QScrollBar* bar_ = nullptr;
    std::function<void(int)> scrolled_;
    int left_ = 0;
    bool updating_ = false;
};

} // namespace vx
