#include "gui/widgets/ClickLabel.h"

#include <QMouseEvent>

namespace vx {

void TClickLabel::mousePressEvent(QMouseEvent* event) { emit mousePressed(event->button()); }

} // namespace vx
