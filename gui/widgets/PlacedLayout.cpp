#include "gui/widgets/PlacedLayout.h"

#include "gui/widgets/ImageView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <numeric>

namespace vx {

namespace {

// The width a caption is drawn at: "&&" is one ampersand, a lone "&" marks the access letter.
int textWidth(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

// How much larger than at zoom 1 a view or a laid-out box is now.
QSize growthOf(const QLayoutItem* item, QSize unzoomed)
{
    QWidget* widget = item->widget();
    if (!widget)
        return QSize(0, 0); // QSize() is (-1, -1)
    // A box's own extent, without the margins its style adds around the layout.
    if (const auto* placed = dynamic_cast<const PlacedLayout*>(widget->layout()))
        return (placed->sizeHint() - unzoomed).expandedTo(QSize(0, 0));
    if (const auto* view = qobject_cast<const ImageView*>(widget))
        return (view->sizeHint() - unzoomed).expandedTo(QSize(0, 0));
    return QSize(0, 0);
}

// A plain box whose children are placed by hand: exactly a QWidget or QFrame (a label or a
// scroll area is a QFrame too), or a group box.
bool isPlainBox(const QWidget* widget)
{
    const QMetaObject* kind = widget->metaObject();
    return kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject ||
        qobject_cast<const QGroupBox*>(widget);
}

} // namespace

int captionShortfall(const QWidget* widget, int width)
{
    const QRect placed(0, 0, width, widget->height());
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        if (button->text().isEmpty())
            return 0;
        // Not by sizeHint: the style's least button width says nothing of the caption.
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = placed;
        option.text = button->text();
        return textWidth(button, button->text()) -
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) // check boxes, radio buttons
        return button->text().isEmpty() ? 0 : button->sizeHint().width() - width;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QString text = label->text();
        if (text.isEmpty() || label->wordWrap() || Qt::mightBeRichText(text))
            return 0;
        // Without a buddy an ampersand is shown as it is.
        const int needed =
            textWidth(label, label->buddy() ? text : QString(text).replace(QStringLiteral("&"), QStringLiteral("&&"))) +
            2 * label->margin() + label->width() - label->contentsRect().width();
        return needed - width;
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.rect = placed;
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return box->title().isEmpty() ? 0 : title.left() + textWidth(box, box->title()) - width;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        int longest = 0;
        for (int item = 0; item < combo->count(); ++item)
            longest = std::max(longest, combo->fontMetrics().horizontalAdvance(combo->itemText(item)));
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.rect = placed;
        return longest -
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    }
    return 0;
}

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
        places_.push_back(Place{new QWidgetItem(child), child->geometry()});
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
    places_.push_back(Place{item, at});
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

PlacedLayout::Arrangement PlacedLayout::arranged() const
{
    const std::size_t total = places_.size();
    std::vector<QSize> growth(total);
    std::vector<QSize> viewGrowth(total); // without the captions'
    Arrangement arrangement{std::vector<QRect>(total), unzoomedSize_};
    std::vector<QRect>& shown = arrangement.shown;
    for (std::size_t i = 0; i < total; ++i) {
        viewGrowth[i] = growthOf(places_[i].item, places_[i].unzoomed.size());
        const QWidget* widget = places_[i].item->widget();
        const int caption = widget && !widget->isHidden() ? captionShortfall(widget, places_[i].unzoomed.width()) : 0;
        growth[i] = QSize(std::max(viewGrowth[i].width(), caption), viewGrowth[i].height());
        shown[i] = places_[i].unzoomed;
    }
    const auto nearOf = [](const QRect& at, bool horizontal) { return horizontal ? at.left() : at.top(); };
    const auto lengthOf = [](const QRect& at, bool horizontal) { return horizontal ? at.width() : at.height(); };
    const auto grownOf = [&](std::size_t i, bool horizontal) {
        return horizontal ? growth[i].width() : growth[i].height();
    };
    // A point's shift along one axis: the largest of the shifted far edges of the growing
    // items that end at or before it (and, for a far edge, start at or after the near one).
    const auto shiftOf = [&](int at, int from, bool horizontal) {
        int shift = 0;
        for (std::size_t other = 0; other < total; ++other) {
            const int grown = grownOf(other, horizontal);
            if (grown == 0)
                continue;
            const int start = nearOf(places_[other].unzoomed, horizontal);
            if (start + lengthOf(places_[other].unzoomed, horizontal) <= at && start >= from)
                shift = std::max(shift, nearOf(shown[other], horizontal) - start + grown);
        }
        return shift;
    };
    // Items are shifted in the order of their near edges, so a view's own shift is known before
    // what lies past it is placed; then a plain control stretches over the views it spans.
    std::vector<std::size_t> order(total);
    std::iota(order.begin(), order.end(), std::size_t{0});
    for (const bool horizontal : {true, false}) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return nearOf(places_[a].unzoomed, horizontal) < nearOf(places_[b].unzoomed, horizontal);
        });
        std::vector<int> nearShift(total);
        for (const std::size_t i : order) {
            const QRect& at = places_[i].unzoomed;
            nearShift[i] = shiftOf(nearOf(at, horizontal), INT_MIN, horizontal);
            if (horizontal)
                shown[i].setRect(at.left() + nearShift[i], shown[i].top(), at.width() + grownOf(i, true),
                                 shown[i].height());
            else
                shown[i].setRect(shown[i].left(), at.top() + nearShift[i], shown[i].width(),
                                 at.height() + grownOf(i, false));
        }
        for (std::size_t i = 0; i < total; ++i) {
            if ((horizontal ? viewGrowth[i].width() : viewGrowth[i].height()) != 0)
                continue;
            const int nearEdge = nearOf(places_[i].unzoomed, horizontal);
            const int length = lengthOf(places_[i].unzoomed, horizontal);
            const int stretch = shiftOf(nearEdge + length, nearEdge, horizontal) - nearShift[i];
            if (stretch > grownOf(i, horizontal)) {
                if (horizontal)
                    shown[i].setWidth(length + stretch);
                else
                    shown[i].setHeight(length + stretch);
            }
        }
    }
    QSize extra(0, 0);
    for (std::size_t i = 0; i < total; ++i)
        extra = extra.expandedTo(
            QSize(shown[i].right() - places_[i].unzoomed.right(), shown[i].bottom() - places_[i].unzoomed.bottom()));
    arrangement.extent += extra;
    return arrangement;
}

QSize PlacedLayout::sizeHint() const { return arranged().extent; }

void PlacedLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const Arrangement arrangement = arranged();
    // Places are the container's own coordinates, whatever margins its style gives it.
    // Set on the widget itself: a layout item would bound it by the style's idea of its size.
    for (std::size_t i = 0; i < places_.size(); ++i)
        if (QWidget* widget = places_[i].item->widget())
            widget->setGeometry(arrangement.shown[i]);
        else
            places_[i].item->setGeometry(arrangement.shown[i]);
}

namespace {

void placeInside(QWidget* container, QSize size)
{
    for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (isPlainBox(child) && !child->layout() && !child->children().isEmpty())
            placeInside(child, child->size());
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
