#pragma once
#include <functional>

class QObject;

namespace vx {

class RomImage;

// Calls `heard` after every edit's modified notice (on any page, undo and redo included)
// for as long as `listener` lives; the shell's own handling runs first.
void listenToEdits(RomImage& rom, QObject* listener, std::function<void()> heard);

} // namespace vx
