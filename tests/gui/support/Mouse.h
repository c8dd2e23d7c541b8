#pragma once
#include <Qt>

class QWidget;

namespace vx::test {

// Mouse events as the window system delivers them, modifiers included: QTest's moves carry
// none without a held button and keep a button state of their own.
void move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier,
          Qt::MouseButtons held = Qt::NoButton);
void press(QWidget* widget, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier);
void release(QWidget* widget, int x, int y, Qt::MouseButton button);
void enter(QWidget* widget);
void leave(QWidget* widget);

} // namespace vx::test
