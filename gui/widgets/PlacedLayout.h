#pragma once
#include <QLayout>
#include <QRect>
#include <vector>

namespace vx {

// Lays a page out as its controls were placed at zoom 1: each keeps its place relative to the
// views before it. A view that grows (zoom, or a box whose views grew) moves what lies wholly
// right of it or below it by its growth, and stretches a control that spans it (the bar under
// two rooms). At zoom 1 every control stands exactly where it was placed.
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
        QSize growth;
        QRect shown;
    };
    void arrange() const;

    std::vector<Place> places_;
    QSize unzoomedSize_;
    mutable QSize extent_;
};

// Gives a page and every plain box on it a PlacedLayout, innermost first.
void placeControls(QWidget* page);
// Lays out again, innermost first, every PlacedLayout under `top` after views changed size.
void relayoutPlaced(QWidget* top);

} // namespace vx
