#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "core/model/PatternSources.h"

namespace vx {

// Tile bytes painted since the image was last saved, by image offset. The pattern data
// copies them from anywhere in the image, so one set serves every stage of the image.
class TileEdits {
public:
    // The byte as the user sees it now: painted, else the image's (0 outside it).
    std::uint8_t byteAt(const std::vector<std::uint8_t>& image, std::int64_t offset) const;
    void set(std::int64_t offset, std::uint8_t value) { bytes_[offset] = value; }
    // Writes the painted bytes into an image (those outside it are never written).
    void writeInto(std::vector<std::uint8_t>& image) const;
    // Puts the painted bytes into pattern data assembled from the image.
    void overlay(const PatternSources& sources, std::span<std::uint8_t, PatternDataLength> patternData) const;
    void clear() { bytes_.clear(); }

private:
    std::map<std::int64_t, std::uint8_t> bytes_;
};

// A stage's pattern data as the user sees it: assembled from the image with the painted
// bytes on top.
void workingPatternData(const PatternSources& sources, const std::vector<std::uint8_t>& image, const TileEdits& edits,
                        std::span<std::uint8_t, PatternDataLength> out);

} // namespace vx
