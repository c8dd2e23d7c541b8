#include "gui/widgets/ImageView.h"

#include "gui/image/QImageConversion.h"
#include "render/GraphicManager.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>

namespace vx {

ImageView::ImageView(QWidget* parent, int tag) : QWidget(parent), tag_(tag)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTipDuration(4000); // the hint time of every image control
}

void ImageView::setBitmap(std::unique_ptr<IndexedBitmap> bitmap)
{
    bitmap_ = std::move(bitmap);
    cachedBitmap_ = nullptr;
    update();
}

void ImageView::redraw()
{
    if (!bitmap_ || cachedBitmap_ != bitmap_.get() || cachedVersion_ != bitmap_->version())
        update();
}

const QImage& ImageView::picture()
{
    if (!bitmap_) {
        cache_ = QImage();
        cachedBitmap_ = nullptr;
        return cache_;
    }
    // A bitmap larger than the control (the map page's chip table) is converted at the
    // control's size: a quarter of the pixels, the same ones a scaled paint would show. At a
    // zoom each pixel is converted as a block, so the paint is a plain copy.
    const QSize size(std::min(unzoomedWidth(), bitmap_->width()), std::min(unzoomedHeight(), bitmap_->height()));
    const bool converted = !size.isEmpty() && size * zoom_ != QSize(bitmap_->width(), bitmap_->height());
    const QSize pictureSize = converted ? size * zoom_ : QSize(bitmap_->width(), bitmap_->height());
    if (cachedBitmap_ != bitmap_.get() || cachedVersion_ != bitmap_->version() || cache_.size() != pictureSize) {
        if (converted)
            toQImage(*bitmap_, cache_, size.width(), size.height(), zoom_);
        else
            toQImage(*bitmap_, cache_);
        cachedBitmap_ = bitmap_.get();
        cachedVersion_ = bitmap_->version();
    }
    return cache_;
}

void ImageView::paintEvent(QPaintEvent*)
{
    bool converted = true;
    try {
        picture();
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
            if (cache_.size() == size())
                painter.drawImage(QPoint(0, 0), cache_);
            else
                painter.drawImage(rect(), cache_);
        }
    }
    if (!converted)
        throw std::bad_alloc();
}

void ImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = unzoomedPoint(event->position());
    emit mousePressed(at.x(), at.y(), event->button(), event->modifiers());
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = unzoomedPoint(event->position());
    emit mouseMoved(at.x(), at.y(), event->buttons(), event->modifiers());
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = unzoomedPoint(event->position());
    emit mouseReleased(at.x(), at.y(), event->button(), event->modifiers());
}

QPoint ImageView::unzoomedPoint(QPointF at) const
{
    // Floor, not round: every screen pixel of a block is the block's pixel, outside ones too.
    return {static_cast<int>(std::floor(at.x() / zoom_)), static_cast<int>(std::floor(at.y() / zoom_))};
}

void ImageView::setZoom(int zoom)
{
    if (zoom == zoom_ || zoom < 1)
        return;
    if (unzoomed_.isEmpty())
        unzoomed_ = size() / zoom_;
    zoom_ = zoom;
    setFixedSize(unzoomed_ * zoom_);
    updateGeometry();
}

void ImageView::enterEvent(QEnterEvent*) { emit mouseEntered(); }

void ImageView::leaveEvent(QEvent*) { emit mouseLeft(); }

void giveDisplayBitmap(ImageView* view, const GraphicManager& graphics, int width, int height)
{
    if (view && !view->hasBitmap())
        view->setBitmap(graphics.createDisplayBitmap(width, height));
}

ImageView* makeImageView(QWidget* parent, const QString& name, const QRect& geometry, ViewHandlers handlers, int tag)
{
    auto* view = new ImageView(parent, tag);
    view->setObjectName(name);
    view->setGeometry(geometry);
    view->unzoomed_ = geometry.size();
    if (handlers.pressed)
        QObject::connect(view, &ImageView::mousePressed, view, std::move(handlers.pressed));
    if (handlers.moved)
        QObject::connect(view, &ImageView::mouseMoved, view, std::move(handlers.moved));
    if (handlers.entered)
        QObject::connect(view, &ImageView::mouseEntered, view, std::move(handlers.entered));
    if (handlers.left)
        QObject::connect(view, &ImageView::mouseLeft, view, std::move(handlers.left));
    return view;
}

} // namespace vx
