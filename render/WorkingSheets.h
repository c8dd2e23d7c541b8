#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "render/IndexedBitmap.h"

namespace vx {

class GraphicManager;

// The pair of working sheets every page copies chip pictures from: the pattern table
// decoded in the four sub-palettes, and the stage's 256 32x32 chips composed from it.
// Both always carry the same colour table, so composing copies pixels unchanged.
struct WorkingSheets {
    std::unique_ptr<IndexedBitmap> chipSheet;   // 128x512
    std::unique_ptr<IndexedBitmap> chip32Sheet; // 512x512

    bool ready() const { return chipSheet && chip32Sheet; }
    // Makes the sheets where there are none, in the stage colours of now.
    void create(const GraphicManager& graphics);
    // Decodes the renderer's pattern table, composes the chips from the 1024 entries and
    // gives both sheets the stage colours.
    void rebuild(const GraphicManager& graphics, std::span<const std::uint8_t> chipEntries);
    // After a chip edit: all 256 chips again.
    void recompose(const GraphicManager& graphics, std::span<const std::uint8_t> chipEntries);
    // A new animation frame: the colours change, the pixels stay.
    void applyPalette(const GraphicManager& graphics);
};

} // namespace vx
