#include "gui/widgets/RoomViewPair.h"

#include "core/Rooms.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpdatingGuard.h"
#include "rules/MapRules.h"

#include <QScrollBar>
#include <algorithm>

namespace vx {

TRoomViewPair::TRoomViewPair(QWidget* page, const QString& viewName, const QString& barName,
                             const std::function<TViewHandlers(int view)>& handlers,
                             std::function<void(int left)> scrolled)
    : scrolled_(std::move(scrolled))
{
    for (int v = 0; v < 2; ++v)
        views_[static_cast<std::size_t>(v)] =
            MakeImageView(page, viewName + QString::number(v), QRect(v == 0 ? 48 : 306, 3, RoomPixels, RoomPixels),
                          handlers ? handlers(v) : TViewHandlers{}, v);
    bar_ = MakeRoomScrollBar(barName, page, 48, 260, 514, LastLeftViewRoom);
    QObject::connect(bar_, &QScrollBar::valueChanged, bar_, [this](int position) { BarMoved(position); });
}

void TRoomViewPair::SetLeft(int left)
{
    left_ = std::clamp(left, 0, LastLeftViewRoom);
    const TUpdatingGuard updating(updating_);
    bar_->setValue(left_);
}

void TRoomViewPair::GiveBitmaps(const TGraphicManager& graphics)
{
    for (TImageView* view : views_)
        GiveDisplayBitmap(view, graphics, RoomPixels, RoomPixels);
}

void TRoomViewPair::BarMoved(int position)
{
    const int left = std::clamp(position, 0, LastLeftViewRoom);
    if (updating_ || left == left_)
        return;
    left_ = left;
    if (scrolled_)
        scrolled_(left);
}

} // namespace vx
