#include "gui/widgets/PlacedLayout.h"

#include "gui/widgets/ImageView.h"

#include <QFrame>
#include <QGroupBox>
#include <QWidget>
#include <algorithm>

namespace vx {

namespace {

// How much larger than at zoom 1 an item is now: only views and laid-out boxes grow.
QSize growthOf(const QLayoutItem* item, QSize unzoomed)
{
    QWidget* widget = item->widget();
    if (!widget)
        return QSize(0, 0);
    // A box's own extent, without the margins its style adds around the layout.
    if (const auto* placed = dynamic_cast<const PlacedLayout*>(widget->layout()))
        return (placed->sizeHint() - unzoomed).expandedTo(QSize(0, 0));
    if (const auto* view = qobject_cast<const ImageView*>(widget))
        return (view->sizeHint() - unzoomed).expandedTo(QSize(0, 0));
    return QSize(0, 0); // QSize() is (-1, -1)
}

} // namespace

PlacedLayout::PlacedLayout(QWidget* container, QSize size) : QLayout(nullptr)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    // A box is given its size by the layout it stands in, whatever margins its style adds.
    setSizeConstraint(QLayout::SetNoConstraint);
    QRect extent;
    for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        places_.push_back(Place{new QWidgetItem(child), child->geometry(), QSize(0, 0), child->geometry()});
        extent |= child->geometry();
    }
    // A page ends 3 pixels beyond its lowest, rightmost control, as its controls start.
    unzoomedSize_ = size.isEmpty() ? QSize(extent.right() + 4, extent.bottom() + 4) : size;
    container->setLayout(this);
}

PlacedLayout::~PlacedLayout()
{
    for (Place& place : places_)
        delete place.item;
}

void PlacedLayout::addItem(QLayoutItem* item)
{
    // A control added later keeps the place it has when added.
    const QRect at = item->widget() ? item->widget()->geometry() : item->geometry();
    places_.push_back(Place{item, at, QSize(0, 0), at});
    invalidate();
}

QLayoutItem* PlacedLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? places_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* PlacedLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = places_[static_cast<std::size_t>(index)].item;
    places_.erase(places_.begin() + index);
    invalidate();
    return item;
}

void PlacedLayout::arrange() const
{
    auto& places = const_cast<std::vector<Place>&>(places_);
    for (Place& place : places)
        place.growth = growthOf(place.item, place.unzoomed.size());
    // A point's shift along one axis: the largest of the shifted far edges of the growing
    // items that end at or before it (and, for a far edge, start at or after the near one).
    const auto shiftOf = [&](int at, int from, bool horizontal) {
        int shift = 0;
        for (const Place& other : places) {
            const int grown = horizontal ? other.growth.width() : other.growth.height();
            if (grown == 0)
                continue;
            const int start = horizontal ? other.unzoomed.left() : other.unzoomed.top();
            const int end = start + (horizontal ? other.unzoomed.width() : other.unzoomed.height());
            if (end <= at && start >= from) {
                const int shownStart = horizontal ? other.shown.left() : other.shown.top();
                shift = std::max(shift, shownStart - start + grown);
            }
        }
        return shift;
    };
    // Items are shifted in the order of their edges, so a view's own shift is known before
    // what lies past it is placed.
    std::vector<Place*> order;
    for (Place& place : places)
        order.push_back(&place);
    for (const bool horizontal : {true, false}) {
        std::stable_sort(order.begin(), order.end(), [horizontal](const Place* a, const Place* b) {
            return horizontal ? a->unzoomed.left() < b->unzoomed.left() : a->unzoomed.top() < b->unzoomed.top();
        });
        for (Place* place : order) {
            const QRect& at = place->unzoomed;
            const int nearEdge = horizontal ? at.left() : at.top();
            const int length = horizontal ? at.width() : at.height();
            const int nearShift = shiftOf(nearEdge, INT_MIN, horizontal);
            int grown = horizontal ? place->growth.width() : place->growth.height();
            if (grown == 0) // a plain control stretches over the views it spans
                grown = std::max(0, shiftOf(nearEdge + length, nearEdge, horizontal) - nearShift);
            if (horizontal)
                place->shown.setRect(at.left() + nearShift, place->shown.top(), at.width() + grown,
                                     place->shown.height());
            else
                place->shown.setRect(place->shown.left(), at.top() + nearShift, place->shown.width(),
                                     at.height() + grown);
        }
    }
    QSize extra(0, 0);
    for (const Place& place : places)
        extra = extra.expandedTo(
            QSize(place.shown.right() - place.unzoomed.right(), place.shown.bottom() - place.unzoomed.bottom()));
    extent_ = unzoomedSize_ + extra;
}

QSize PlacedLayout::sizeHint() const
{
    arrange();
    return extent_;
}

void PlacedLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange();
    // Places are the container's own coordinates, whatever margins its style gives it.
    // Set on the widget itself: a layout item would bound it by the style's idea of its size.
    for (const Place& place : places_)
        if (QWidget* widget = place.item->widget())
            widget->setGeometry(place.shown);
        else
            place.item->setGeometry(place.shown);
}

namespace {

void placeInside(QWidget* container, QSize size)
{
    for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const char* kind = child->metaObject()->className();
        const bool box =
            qobject_cast<QGroupBox*>(child) || qstrcmp(kind, "QWidget") == 0 || qstrcmp(kind, "QFrame") == 0;
        if (box && !child->layout() && !child->children().isEmpty())
            placeInside(child, child->size());
    }
    new PlacedLayout(container, size);
}

} // namespace

void placeControls(QWidget* page) { placeInside(page, QSize()); }

void relayoutPlaced(QWidget* top)
{
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    // findChildren lists parents before children: walk back so a box knows its views' size.
    for (auto it = widgets.crbegin(); it != widgets.crend(); ++it)
        if (auto* placed = dynamic_cast<PlacedLayout*>((*it)->layout())) {
            placed->invalidate();
            (*it)->updateGeometry();
            if ((*it)->isVisible())
                placed->setGeometry((*it)->rect());
        }
    // The boxes above keep their sizes cached until told; told now, a size asked at once is true.
    for (QWidget* above = top; above && !above->isWindow(); above = above->parentWidget())
        above->updateGeometry();
}

} // namespace vx
