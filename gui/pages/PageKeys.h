#pragma once

class QMainWindow;
class QTabWidget;

namespace vx {

// The page a step of Ctrl+Tab (direction 1) or Ctrl+Shift+Tab (-1) goes to: the next page
// whose tab is shown, around the end; `from` itself when no other is shown.
int nextShownPage(const QTabWidget& pages, int from, int direction);

// The window's keys for pages and rooms, from any control of the window: Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp go through the pages whose tabs are shown;
// Alt+Left and Alt+Right step the two rooms of a page that shows them.
void installPageKeys(QMainWindow& window, QTabWidget& pages);

} // namespace vx
