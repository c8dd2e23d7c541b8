#pragma once
#include <cstddef>

namespace vx {

// Whether this many more bytes could be had now: under an address-space limit or strict
// overcommit the answer is real, with lax overcommit nearly always yes. Nothing is kept.
// Qt's Gui and Widgets code and fontconfig crash where an allocation fails; their callers
// ask first and report a lack of memory instead.
bool hasRoom(std::size_t bytes) noexcept;

} // namespace vx
