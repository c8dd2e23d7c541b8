#include "gui/widgets/ImageView.h"

#include "gui/image/QImageConversion.h"
#include "render/GraphicManager.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <new>

namespace vx {

TImageView::TImageView(QWidget* parent, int tag) : QWidget(parent), tag_(tag)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTipDuration(4000); // the hint time of every image control
}

void TImageView::SetBitmap(std::unique_ptr<TNkDIB> bitmap)
{
    bitmap_ = std::move(bitmap);
    cachedBitmap_ = nullptr;
    update();
}

void TImageView::Redraw()
{
    if (!bitmap_ || cachedBitmap_ != bitmap_.get() || cachedVersion_ != bitmap_->Version())
        update();
}

const QImage& TImageView::Picture()
{
    if (!bitmap_) {
        cache_ = QImage();
        cachedBitmap_ = nullptr;
        return cache_;
    }
    // A bitmap larger than the control (the map page's chip table) is converted at the
    // control's size: a quarter of the pixels, the same ones a scaled paint would show.
    const QSize size(std::min(width(), bitmap_->Width()), std::min(height(), bitmap_->Height()));
    const bool reduced = size != QSize(bitmap_->Width(), bitmap_->Height()) && !size.isEmpty();
    if (cachedBitmap_ != bitmap_.get() || cachedVersion_ != bitmap_->Version() ||
        (reduced ? cache_.size() != size : cache_.size() != QSize(bitmap_->Width(), bitmap_->Height()))) {
        if (reduced)
            ToQImage(*bitmap_, cache_, size.width(), size.height());
        else
            ToQImage(*bitmap_, cache_);
        cachedBitmap_ = bitmap_.get();
        cachedVersion_ = bitmap_->Version();
    }
    return cache_;
}

void TImageView::paintEvent(QPaintEvent*)
{
    bool converted = true;
    try {
        Picture();
    } catch (const std::bad_alloc&) {
        // A half-written picture is not shown: the control is cleared, the application
        // reports the lack of memory, and the next paint converts again.
        cache_ = QImage();
        cachedBitmap_ = nullptr;
        converted = false;
    }
    {
        QPainter painter(this);
        if (cache_.isNull()) {
            painter.fillRect(rect(), palette().window());
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.drawImage(rect(), cache_);
        }
    }
    if (!converted)
        throw std::bad_alloc();
}

void TImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit mousePressed(at.x(), at.y(), event->button(), event->modifiers());
}

void TImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit mouseMoved(at.x(), at.y(), event->buttons(), event->modifiers());
}

void TImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit mouseReleased(at.x(), at.y(), event->button(), event->modifiers());
}

void TImageView::enterEvent(QEnterEvent*) { emit mouseEntered(); }

void TImageView::leaveEvent(QEvent*) { emit mouseLeft(); }

void GiveDisplayBitmap(TImageView* view, const TGraphicManager& graphics, int width, int height)
{
    if (view && !view->HasBitmap())
        view->SetBitmap(graphics.CreateDisplayBitmap(width, height));
}

TImageView* MakeImageView(QWidget* parent, const QString& name, const QRect& geometry, TViewHandlers handlers, int tag)
{
    auto* view = new TImageView(parent, tag);
    view->setObjectName(name);
    view->setGeometry(geometry);
    if (handlers.pressed)
        QObject::connect(view, &TImageView::mousePressed, view, std::move(handlers.pressed));
    if (handlers.moved)
        QObject::connect(view, &TImageView::mouseMoved, view, std::move(handlers.moved));
    if (handlers.entered)
        QObject::connect(view, &TImageView::mouseEntered, view, std::move(handlers.entered));
    if (handlers.left)
        QObject::connect(view, &TImageView::mouseLeft, view, std::move(handlers.left));
    return view;
}

} // namespace vx
