#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "render/IndexedBitmap.h"

namespace vx {

class GraphicManager;
struct ViewHandlers;

// An image control: shows its own indexed bitmap stretched to the control's size and
// reports the mouse in control coordinates. The bitmap is expanded to RGB only when its
// pixels or colours changed since the last paint.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr, int tag = 0);

    int tag() const { return tag_; }
    IndexedBitmap* bitmap() const { return bitmap_.get(); }
    bool hasBitmap() const { return bitmap_ != nullptr; }
    void setBitmap(std::unique_ptr<IndexedBitmap> bitmap);
    // Repaints if the bitmap changed since the last paint.
    void redraw();

    // Shown at a whole multiple of its size, pixel blocks never smoothed. Positions are
    // reported, and hit tests done, at zoom 1: the size the view was made with.
    int zoom() const { return zoom_; }
    void setZoom(int zoom);
    // Room views, chip tables, the colour table and the tiles follow the window's zoom.
    bool followsZoom() const { return followsZoom_; }
    void setFollowsZoom(bool follows) { followsZoom_ = follows; }
    QSize unzoomedSize() const { return unzoomed_.isEmpty() ? size() / zoom_ : unzoomed_; }
    int unzoomedWidth() const { return unzoomedSize().width(); }
    int unzoomedHeight() const { return unzoomedSize().height(); }
    QSize sizeHint() const override { return unzoomedSize() * zoom_; }
    // A position at zoom 1 on the screen, for pop-up menus.
    QPoint globalPosition(int x, int y) const { return mapToGlobal(QPoint(x, y) * zoom_); }
    // The position at zoom 1 of a point of the control.
    QPoint unzoomedPoint(QPointF at) const;

    // The picture as last painted; for tests and screenshots.
    const QImage& shown() const { return cache_; }
    // The picture a paint shows now: the bitmap's colours, converted only after a change.
    const QImage& picture();

    // A keyboard cursor over a grid of cells (sizes at zoom 1 from `origin`): the view takes
    // the focus and, while it has it, frames the cursor's cell over the picture (never in it).
    // Arrows move the cursor; Space or Enter click the cell's centre with the left button, C
    // with the right one, the keys held passed on.
    void setCellGrid(QSize cell, int columns, int rows, QPoint origin = {});
    // Shift+arrows drag with the right button from where they began until Shift is let go,
    // where a right drag takes something (the map's stamps).
    void setShiftDrags(bool drags) { shiftDrags_ = drags; }
    bool hasCellGrid() const { return columns_ > 0; }
    QPoint cursorCell() const { return cursor_; }
    // Clamped to the grid; the description follows and screen readers are told.
    void setCursorCell(QPoint cell);
    // The content of a cell as a screen reader should say it after its column and row
    // ("chip 35"); the page sets it and calls describeCursor when the content changes.
    std::function<QString(QPoint cell)> describeCell;
    void describeCursor() { describe(true); }
    // Where the new description of a focused one-cell view (a palette entry, an object view) is
    // sent to be said: readers say a cell as the focus reaches it, and such a view's never moves.
    static inline std::function<void(const QString& text)> announce;
    // The cells by index, row by row, as screen readers list them.
    int cellCount() const { return columns_ * rows_; }
    QPoint cellAt(int index) const { return columns_ > 0 ? QPoint(index % columns_, index / columns_) : QPoint(); }
    int cellIndex(QPoint cell) const { return cell.y() * columns_ + cell.x(); }
    // Where a cell is on the control, the zoom included.
    QRect cellRect(QPoint cell) const;
    // "column 2, row 3, chip 35"; a one-cell grid says only what it holds.
    QString cellText(QPoint cell) const;
    // The view's accessible name; screen readers hear of a change.
    void announceName(const QString& name);
    // A page's own keys, tried before the cursor's (Tab and Shift+Tab too, which otherwise
    // move the focus); true when the page used the press or release.
    std::function<bool(QKeyEvent* event)> takeKey;
    // Clicks the cursor's cell as the mouse does: a move there, a press and a release.
    void clickCursor(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

signals:
    void mousePressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // While a button is held Qt reports positions outside the control too.
    void mouseMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleased(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseEntered();
    void mouseLeft();
    void cursorMoved(int column, int row);
    // An arrow that would leave the grid: a page may carry the cursor on into another view.
    void cursorPastEdge(int columns, int rows, Qt::KeyboardModifiers modifiers);
    // A key the cursor does not use (a digit), with the cursor's cell.
    void cellKeyPressed(int key, int column, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QPoint cellCentre(QPoint cell) const;
    void endKeyDrag();
    void hoverCursor();
    void focusCursorCell();
    void describe(bool announced);
    void paintCursor(QPainter& painter) const;

    friend ImageView* makeImageView(QWidget*, const QString&, const QRect&, ViewHandlers, int);
    int tag_;
    int zoom_ = 1;
    bool followsZoom_ = false;
    QSize unzoomed_;
    std::unique_ptr<IndexedBitmap> bitmap_;
    QImage cache_;
    std::uint64_t cachedVersion_ = ~0ull;
    const IndexedBitmap* cachedBitmap_ = nullptr;
    QSize cell_;
    QPoint origin_;
    int columns_ = 0, rows_ = 0;
    QPoint cursor_;
    bool shiftDrags_ = false;
    bool keyDrag_ = false; // a right drag by Shift+arrows under way
};

// What a page does with the mouse over one of its views; empty handlers stay unconnected.
struct ViewHandlers {
    std::function<void(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)> pressed{};
    std::function<void(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)> moved{};
    std::function<void()> entered{};
    std::function<void()> left{};
};
// A named view at (x, y; width x height) of its parent, its handlers connected.
ImageView* makeImageView(QWidget* parent, const QString& name, const QRect& geometry, ViewHandlers handlers = {},
                         int tag = 0);

// Gives the view a display bitmap of the given size unless it has one already.
void giveDisplayBitmap(ImageView* view, const GraphicManager& graphics, int width, int height);

} // namespace vx
