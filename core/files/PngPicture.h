#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/base/Result.h"

namespace vx {

// A decoded PNG: every pixel as opaque 0xRRGGBB (alpha dropped; a pixel that is not fully
// opaque is refused), and for a palette PNG also each pixel's palette index.
struct PngPicture {
    int width = 0;
    int height = 0;
    bool indexed = false;               // a palette PNG: indices holds each pixel's index
    std::vector<std::uint8_t> indices;  // width × height, row by row; empty unless indexed
    std::vector<std::uint32_t> colours; // width × height, row by row, 0xRRGGBB
    std::vector<std::uint32_t> palette; // the file's palette (0xRRGGBB); empty unless indexed
};

// Reads PNG bytes. Refused, with the reason, when they are not PNG, are cut short or broken
// (the decoder's own message), are larger than maxSide in either direction (before anything
// is allocated for the pixels), a pixel is not fully opaque or uses an index the palette
// lacks (the first such pixel named), or memory runs short.
Result<PngPicture> decodePng(std::span<const std::uint8_t> bytes, int maxSide = 4096);

// A palette PNG of width × height (indices row by row, each below palette.size(), at most
// 256 entries), its palette the given 0xRRGGBB colours in order. Throws std::bad_alloc
// when memory runs short.
std::vector<std::uint8_t> encodeIndexedPng(int width, int height, std::span<const std::uint8_t> indices,
                                           std::span<const std::uint32_t> palette);

} // namespace vx
