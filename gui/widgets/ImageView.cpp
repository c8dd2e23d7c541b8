#include "gui/widgets/ImageView.h"

#include "core/base/Language.h"
#include "gui/image/QImageConversion.h"
#include "gui/widgets/ViewAccessible.h"
#include "render/GraphicManager.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace vx {

ImageView::ImageView(QWidget* parent, int tag) : QWidget(parent), tag_(tag)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTipDuration(4000); // the hint time of every image control
    installViewAccessibility();
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
        paintCursor(painter);
    }
    if (!converted)
        throw std::bad_alloc();
}

void ImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = unzoomedPoint(event->position());
    if (hasCellGrid() && cell_.width() > 0 && cell_.height() > 0) // the keys go on from the cell clicked
        setCursorCell(QPoint((at.x() - origin_.x()) / cell_.width(), (at.y() - origin_.y()) / cell_.height()));
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

void ImageView::setCellGrid(QSize cell, int columns, int rows, QPoint origin)
{
    cell_ = cell;
    columns_ = columns;
    rows_ = rows;
    origin_ = origin;
    setFocusPolicy(columns > 0 ? Qt::StrongFocus : Qt::NoFocus);
    setCursorCell(cursor_);
}

void ImageView::setCursorCell(QPoint cell)
{
    if (!hasCellGrid())
        return;
    const QPoint clamped(std::clamp(cell.x(), 0, columns_ - 1), std::clamp(cell.y(), 0, rows_ - 1));
    const bool moved = clamped != cursor_;
    cursor_ = clamped;
    describeCursor();
    if (moved) {
        focusCursorCell();
        update();
        emit cursorMoved(cursor_.x(), cursor_.y());
        if (hasFocus() && !keyDrag_)
            hoverCursor();
    }
}

QRect ImageView::cellRect(QPoint cell) const
{
    return QRect((origin_ + QPoint(cell.x() * cell_.width(), cell.y() * cell_.height())) * zoom_, cell_ * zoom_);
}

QString ImageView::cellText(QPoint cell) const
{
    QString text = cellCount() == 1
        ? QString()
        : QString::fromStdString(localized("列 %1、行 %2", "column %1, row %2")).arg(cell.x()).arg(cell.y());
    if (const QString content = describeCell ? describeCell(cell) : QString(); !content.isEmpty())
        text += (text.isEmpty() ? QString() : QString::fromStdString(localized("、", ", "))) + content;
    return text;
}

void ImageView::describe(bool announced)
{
    if (!hasCellGrid())
        return;
    const QString text = cellText(cursor_);
    if (text == accessibleDescription())
        return;
    setAccessibleDescription(text);
    QAccessibleEvent said(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&said);
    if (announced && announce && cellCount() == 1 && hasFocus() && !text.isEmpty())
        announce(text);
}

void ImageView::focusCursorCell()
{
    if (!hasFocus() || cellCount() < 2)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(cellIndex(cursor_));
    QAccessible::updateAccessibility(&focus);
}

void ImageView::announceName(const QString& name)
{
    if (name == accessibleName())
        return;
    setAccessibleName(name);
    QAccessibleEvent said(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&said);
}

QPoint ImageView::cellCentre(QPoint cell) const
{
    return origin_ +
        QPoint(cell.x() * cell_.width() + cell_.width() / 2, cell.y() * cell_.height() + cell_.height() / 2);
}

void ImageView::clickCursor(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const QPoint at = cellCentre(cursor_);
    emit mouseMoved(at.x(), at.y(), Qt::NoButton, modifiers);
    emit mousePressed(at.x(), at.y(), button, modifiers);
    emit mouseReleased(at.x(), at.y(), button, modifiers);
}

bool ImageView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && takeKey) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && takeKey(key))
            return true;
    }
    return QWidget::event(event);
}

void ImageView::keyPressEvent(QKeyEvent* event)
{
    if (takeKey && takeKey(event))
        return;
    if (!hasCellGrid()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left: step = {-1, 0}; break;
    case Qt::Key_Right: step = {1, 0}; break;
    case Qt::Key_Up: step = {0, -1}; break;
    case Qt::Key_Down: step = {0, 1}; break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: clickCursor(Qt::LeftButton, modifiers); return;
    case Qt::Key_C:
        if (modifiers & ~Qt::ShiftModifier)
            break;
        clickCursor(Qt::RightButton, modifiers);
        return;
    default: break;
    }
    if (step.isNull()) {
        emit cellKeyPressed(event->key(), cursor_.x(), cursor_.y());
        QWidget::keyPressEvent(event);
        return;
    }
    const QPoint to = cursor_ + step;
    if (to.x() < 0 || to.y() < 0 || to.x() >= columns_ || to.y() >= rows_) {
        emit cursorPastEdge(step.x(), step.y(), modifiers);
        return;
    }
    if ((modifiers & Qt::ShiftModifier) && shiftDrags_) {
        const QPoint from = cellCentre(cursor_);
        if (!keyDrag_) {
            keyDrag_ = true;
            emit mouseMoved(from.x(), from.y(), Qt::NoButton, Qt::NoModifier);
            emit mousePressed(from.x(), from.y(), Qt::RightButton, Qt::NoModifier);
        }
        setCursorCell(to);
        const QPoint at = cellCentre(cursor_);
        emit mouseMoved(at.x(), at.y(), Qt::RightButton, Qt::NoModifier);
        return;
    }
    endKeyDrag();
    setCursorCell(to);
}

void ImageView::keyReleaseEvent(QKeyEvent* event)
{
    if (takeKey && takeKey(event))
        return;
    if (event->key() == Qt::Key_Shift)
        endKeyDrag();
    QWidget::keyReleaseEvent(event);
}

void ImageView::endKeyDrag()
{
    if (!std::exchange(keyDrag_, false))
        return;
    const QPoint at = cellCentre(cursor_);
    emit mouseReleased(at.x(), at.y(), Qt::RightButton, Qt::NoModifier);
}

void ImageView::hoverCursor()
{
    // The page shows the cell as it shows the one under the pointer: status bar, hover frame,
    // a stamp's preview.
    const QPoint at = cellCentre(cursor_);
    emit mouseMoved(at.x(), at.y(), Qt::NoButton, Qt::NoModifier);
}

void ImageView::focusInEvent(QFocusEvent* event)
{
    describe(false); // the focus itself is said
    focusCursorCell();
    // Only for the keyboard: a focus given on closing or by the mouse is left alone.
    if (hasCellGrid() && (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason))
        hoverCursor();
    update();
    QWidget::focusInEvent(event);
}

void ImageView::focusOutEvent(QFocusEvent* event)
{
    endKeyDrag();
    update();
    QWidget::focusOutEvent(event);
}

void ImageView::paintCursor(QPainter& painter) const
{
    if (!hasCellGrid() || !hasFocus())
        return;
    // Black under a dashed yellow: unlike the pages' one-colour hover frames, and seen on any chip.
    const QRect frame = cellRect(cursor_).adjusted(1, 1, -2, -2);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(frame);
    painter.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
    painter.drawRect(frame);
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
