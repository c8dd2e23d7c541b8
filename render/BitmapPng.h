#pragma once
#include <cstdint>
#include <vector>

namespace vx {

class IndexedBitmap;

// The bitmap as a palette PNG: its pixels' indices as they are, its colour table up to the
// highest index used. The same bitmap gives the same bytes in the editor and the tool.
// Throws std::bad_alloc when memory is short.
std::vector<std::uint8_t> bitmapPng(const IndexedBitmap& bitmap);

} // namespace vx
