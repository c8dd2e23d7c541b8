#include "gui/widgets/ClickLabel.h"

#include <QMouseEvent>

namespace vx {

void ClickLabel::mousePressEvent(QMouseEvent* event) { emit mousePressed(event->button()); }

} // namespace vx
