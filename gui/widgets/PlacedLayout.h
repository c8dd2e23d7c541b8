#pragma once
#include <QLayout>
#include <QRect>
#include <vector>

namespace vx {

// Lays a page out as its controls were placed at zoom 1: each keeps its place relative to the
// views before it. A view that grows (zoom, or a box whose views grew) moves what lies wholly
// right of it or below it by its growth, and stretches a control that spans it (the bar under
// two rooms). A caption wider than its place (English, a larger font) grows its control the
// same way. At zoom 1, with captions that fit, every control stands exactly where it was placed.
class PlacedLayout : public QLayout {
public:
    // Takes the container's children at their present geometry; `size` is the container's
    // size at zoom 1, or empty for the children's extent.
    PlacedLayout(QWidget* container, QSize size);
    ~PlacedLayout() override;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(places_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override { return sizeHint(); }
    void setGeometry(const QRect& rect) override;

private:
    struct Place {
        QLayoutItem* item;
        QRect unzoomed;
    };
    struct Arrangement {
        std::vector<QRect> shown; // one a place
        QSize extent;
    };
    // Where each item stands with the views and captions as they are now.
    Arrangement arranged() const;

    std::vector<Place> places_;
    QSize unzoomedSize_;
};

// How much wider than `width` a control must be to show its caption whole, by its font and its
// style's margins (for a combo box, its longest item); 0 or less when it fits or has none.
int captionShortfall(const QWidget* control, int width);

// Gives a page and every plain box on it a PlacedLayout, innermost first.
void placeControls(QWidget* page);
// Lays out again, innermost first, every PlacedLayout under `top` after views changed size.
void relayoutPlaced(QWidget* top);

} // namespace vx
