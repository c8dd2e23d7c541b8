#include "gui/widgets/RoomViewPair.h"

#include "core/model/Rooms.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpdatingGuard.h"
#include "rules/MapRules.h"

#include <QScrollBar>
#include <algorithm>

namespace vx {

RoomViewPair::RoomViewPair(QWidget* page, const QString& viewName, const QString& barName,
                           const std::function<ViewHandlers(int view)>& handlers,
                           std::function<void(int left)> scrolled)
    : scrolled_(std::move(scrolled))
{
    for (int v = 0; v < 2; ++v)
        views_[static_cast<std::size_t>(v)] =
            makeImageView(page, viewName + QString::number(v), QRect(v == 0 ? 48 : 306, 3, RoomPixels, RoomPixels),
                          handlers ? handlers(v) : ViewHandlers{}, v);
    for (ImageView* view : views_)
        view->setFollowsZoom(true);
    bar_ = makeRoomScrollBar(barName, page, 48, 260, 514, LastLeftViewRoom);
    bar_->setProperty(RoomPairBarProperty, true); // Alt+Left and Alt+Right find it
    bar_->setAccessibleName(captionOf("表示する部屋", "Shown rooms"));
    QObject::connect(bar_, &QScrollBar::valueChanged, bar_, [this](int position) { barMoved(position); });
}

void RoomViewPair::setLeft(int left)
{
    left_ = std::clamp(left, 0, LastLeftViewRoom);
    const UpdatingGuard updating(updating_);
    bar_->setValue(left_);
}

void RoomViewPair::giveBitmaps(const GraphicManager& graphics)
{
    for (ImageView* view : views_)
        giveDisplayBitmap(view, graphics, RoomPixels, RoomPixels);
}

void RoomViewPair::barMoved(int position)
{
    const int left = std::clamp(position, 0, LastLeftViewRoom);
    if (updating_ || left == left_)
        return;
    left_ = left;
    if (scrolled_)
        scrolled_(left);
}

void RoomViewPair::nameView(int view, const QString& page, int room)
{
    this->view(view)->announceName(page +
                                   (view == 0 ? captionOf("、左の表示、部屋 ", ", left view, room ")
                                              : captionOf("、右の表示、部屋 ", ", right view, room ")) +
                                   hex2Text(static_cast<unsigned>(room)));
}

} // namespace vx
