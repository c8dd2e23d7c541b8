#pragma once
#include <functional>

class QObject;

namespace vx {

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal, kill) end the editor the
// way Exit does: `end` runs in the event loop, never inside the signal handler.
void endOnSignals(QObject* owner, std::function<void()> end);

} // namespace vx
