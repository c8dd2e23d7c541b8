#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "render/NkDIB.h"

namespace vx {

class TGraphicManager;

// The pair of working sheets every page copies chip pictures from: the pattern table
// decoded in the four sub-palettes, and the stage's 256 32x32 chips composed from it.
// Both always carry the same colour table, so composing copies pixels unchanged.
struct TWorkingSheets {
    std::unique_ptr<TNkDIB> chipSheet;   // 128x512
    std::unique_ptr<TNkDIB> chip32Sheet; // 512x512

    bool Ready() const { return chipSheet && chip32Sheet; }
    // Makes the sheets where there are none, in the stage colours of now.
    void Create(const TGraphicManager& graphics);
    // Decodes the renderer's pattern table, composes the chips from the 1024 entries and
    // gives both sheets the stage colours.
    void Rebuild(const TGraphicManager& graphics, std::span<const std::uint8_t> chipEntries);
    // After a chip edit: all 256 chips again.
    void Recompose(const TGraphicManager& graphics, std::span<const std::uint8_t> chipEntries);
    // A new animation frame: the colours change, the pixels stay.
    void ApplyPalette(const TGraphicManager& graphics);
};

} // namespace vx
