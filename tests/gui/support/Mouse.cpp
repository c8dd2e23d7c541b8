#include "tests/gui/support/Mouse.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

namespace vx::test {

void move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys, Qt::MouseButtons held)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), Qt::NoButton, held, keys);
    QApplication::sendEvent(widget, &event);
}

void press(QWidget* widget, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), button, button,
                      keys);
    QApplication::sendEvent(widget, &event);
}

void release(QWidget* widget, int x, int y, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), button,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void enter(QWidget* widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(widget, &event);
}

void leave(QWidget* widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

} // namespace vx::test
