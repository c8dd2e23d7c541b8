#pragma once
#include <QString>

class QLineEdit;
class QWidget;

namespace vx {

// A small box for typed hex values. Ctrl+Z and Ctrl+Y inside it go to the window's Undo
// and Redo: the box's own undo would put back old text, which its change handling then
// records as a new edit.
QLineEdit* makeHexBox(const QString& name, QWidget* parent, int x, int y, int width, int height);

} // namespace vx
