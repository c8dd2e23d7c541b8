#pragma once

namespace vx {

// Screen readers see the cells of an image view's keyboard grid as its children, and the
// cursor's cell as the focused one: a reader says a cell when the focus moves to it, where a
// changed description of the view itself goes unsaid. Installed once, before any view is asked.
void installViewAccessibility();

} // namespace vx
