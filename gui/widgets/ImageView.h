#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "render/NkDIB.h"

namespace vx {

class TGraphicManager;

// An image control: shows its own indexed bitmap stretched to the control's size and
// reports the mouse in control coordinates. The bitmap is expanded to RGB only when its
// pixels or colours changed since the last paint.
class TImageView : public QWidget {
    Q_OBJECT
public:
    explicit TImageView(QWidget* parent = nullptr, int tag = 0);

    int Tag() const { return tag_; }
    TNkDIB* Bitmap() const { return bitmap_.get(); }
    bool HasBitmap() const { return bitmap_ != nullptr; }
    void SetBitmap(std::unique_ptr<TNkDIB> bitmap);
    // Repaints if the bitmap changed since the last paint.
    void Redraw();

    // The picture as last painted; for tests and screenshots.
    const QImage& Shown() const { return cache_; }
    // The picture a paint shows now: the bitmap's colours, converted only after a change.
    const QImage& Picture();

signals:
    void mousePressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // While a button is held Qt reports positions outside the control too.
    void mouseMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleased(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int tag_;
    std::unique_ptr<TNkDIB> bitmap_;
    QImage cache_;
    std::uint64_t cachedVersion_ = ~0ull;
    const TNkDIB* cachedBitmap_ = nullptr;
};

// What a page does with the mouse over one of its views; empty handlers stay unconnected.
struct TViewHandlers {
    std::function<void(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)> pressed{};
    std::function<void(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)> moved{};
    std::function<void()> entered{};
    std::function<void()> left{};
};
// A named view at (x, y; width x height) of its parent, its handlers connected.
TImageView* MakeImageView(QWidget* parent, const QString& name, const QRect& geometry, TViewHandlers handlers = {},
                          int tag = 0);

// Gives the view a display bitmap of the given size unless it has one already.
void GiveDisplayBitmap(TImageView* view, const TGraphicManager& graphics, int width, int height);

} // namespace vx
