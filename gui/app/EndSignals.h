#pragma once
#include <functional>

class QObject;

namespace vx {

// Ends the process now with status 0, its output flushed; no destructor runs, so no window,
// dialog or question left open can hold it.
[[noreturn]] void endProcessNow();

// SIGTERM, SIGINT and SIGHUP (a logout, a closed terminal, Ctrl+C, kill) end the editor at
// once, whatever it shows. `keep` runs in the event loop that is running (a dialog's too),
// never inside the signal handler, and writes what the next start needs; `end` follows.
// Should that take over 5 s (a disk that hangs), the process ends all the same, status 1.
void endOnSignals(QObject* owner, std::function<void()> keep, std::function<void()> end = endProcessNow);

} // namespace vx
