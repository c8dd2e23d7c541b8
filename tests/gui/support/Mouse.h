#pragma once
#include <Qt>

class QWidget;

namespace vx::test {

// Mouse events as the window system delivers them, modifiers included: QTest's moves carry
// none without a held button and keep a button state of their own.
void Move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier,
          Qt::MouseButtons held = Qt::NoButton);
void Press(QWidget* widget, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier);
void Release(QWidget* widget, int x, int y, Qt::MouseButton button);
void Enter(QWidget* widget);
void Leave(QWidget* widget);

} // namespace vx::test
