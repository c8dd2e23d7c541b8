#pragma once

namespace vx {

// The cell under a position along one axis of a control `size` pixels long that shows
// `cells` cells: position ÷ (size ÷ cells), truncated, so a stretched control hits the
// same cells as one shown 1:1. -1 outside the control (Qt reports such positions while a
// button is held).
int cellAt(int position, int size, int cells);

} // namespace vx
