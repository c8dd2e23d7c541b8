#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "render/IndexedBitmap.h"
#include "render/PaletteManager.h"

namespace vx {

class RoomObjectList;
class PlacedObject;

constexpr int PatternDataSize = 8192;
constexpr int PatternTableSize = 4096;

// Turns a stage's graphics into pictures: tile decoding, chip composition, rooms, palette
// swatches and overlays. Owns the two colour tables: displayPalette for shown bitmaps,
// stagePalette for the working sheets.
class GraphicManager {
public:
    static constexpr Color CursorColor = RGB(255, 0, 255);
    static constexpr int DisplayCursorIndex = 128;
    static constexpr int StageCursorIndex = 32;
    static constexpr int DisplayInvalidIndex = 129;

    // Binds the palette manager's change notification to updateStagePalette.
    explicit GraphicManager(PaletteManager& paletteManager, const GlyphRenderer* glyphs = nullptr);
    ~GraphicManager();
    GraphicManager(const GraphicManager&) = delete;
    GraphicManager& operator=(const GraphicManager&) = delete;

    PaletteManager& paletteManager() const { return palette_; }
    const IndexedBitmap& displayPalette() const { return displayPalette_; }
    const IndexedBitmap& stagePalette() const { return stagePalette_; }
    void setGlyphRenderer(const GlyphRenderer* glyphs) { glyphs_ = glyphs; }
    const GlyphRenderer* glyphRenderer() const { return glyphs_; }

    void updateStagePalette();
    void setPatternData(std::span<const std::uint8_t, PatternDataSize> data) { patternData_ = data.data(); }
    void setPatternTable(std::span<const std::uint8_t, PatternTableSize> table) { patternTable_ = table.data(); }
    const std::uint8_t* patternData() const { return patternData_; }

    // The 256 tiles into a 128x128 area at (x, y), pixel = subPalette * 4 + colour.
    void decodePatternTable(IndexedBitmap& bitmap, int x, int subPalette, int y) const;
    // The same from any table of 256 tiles (a sprite table, say).
    void decodeTileTable(IndexedBitmap& bitmap, std::span<const std::uint8_t, PatternTableSize> table, int x,
                         int subPalette, int y) const;
    // One tile of the pattern table again into the four bands of a chip sheet.
    void decodeChipSheetTile(IndexedBitmap& bitmap, int tile) const;
    // The pattern table four times, with sub-palettes 0 to 3, into a 128x512 sheet.
    void decodeChipSheet(IndexedBitmap& bitmap) const;
    // All 256 32x32 chips from the chip sheet and the 1024 entry bytes.
    void composeChip32Sheet(IndexedBitmap& bitmap, const IndexedBitmap& chipSheet,
                            std::span<const std::uint8_t> entries) const;
    // One room of 64 chip numbers, column after column, from the 32x32 sheet.
    void drawRoom(IndexedBitmap& bitmap, const IndexedBitmap& chip32Sheet, std::span<const std::uint8_t> room) const;

    void drawColorTable(IndexedBitmap& bitmap) const;
    void drawAnimePalettes(IndexedBitmap& bitmap, bool showNumbers) const;
    void drawCurrentPalette(IndexedBitmap& bitmap) const;
    void drawObjectMarkers(IndexedBitmap& bitmap, const RoomObjectList& objects) const;
    void drawObjectMarkersEx(IndexedBitmap& bitmap, const RoomObjectList& objects, bool transparentText,
                             Color textColor, Color frameColor) const;
    void drawObjectFrame(IndexedBitmap& bitmap, const PlacedObject& object, int size) const;
    void drawFrame(IndexedBitmap& bitmap, int left, int top, int width, int height, Color color) const;
    void drawCursorFrame(IndexedBitmap& bitmap, int left, int top, int width, int height) const;
    void drawCursorFrame(BitmapCanvas& canvas, int left, int top, int width, int height) const;
    void fillBitmap(IndexedBitmap& bitmap, Color color) const;

    std::unique_ptr<IndexedBitmap> createDisplayBitmap(int width, int height) const;
    std::unique_ptr<IndexedBitmap> createStageBitmap(int width, int height) const;
    // Gives the bitmap the current stagePalette, keeping its pixels.
    void applyStagePalette(IndexedBitmap& bitmap) const;

    void setBGPalette(std::span<const std::uint8_t, 16> data) { palette_.setBGPalette(data); }
    void setPaletteAnime(int frameCount, int frameTimer, std::span<const std::uint8_t, 64> data)
    {
        palette_.setPaletteAnime(frameCount, frameTimer, data);
    }
    Color getRGB(int colorIndex) const { return palette_.getRGB(colorIndex); }
    int getAnimeFrame() const { return palette_.getAnimeFrame(); }

private:
    PaletteManager& palette_;
    const GlyphRenderer* glyphs_;
    IndexedBitmap displayPalette_;
    IndexedBitmap stagePalette_;
    const std::uint8_t* patternTable_ = nullptr;
    const std::uint8_t* patternData_ = nullptr;
};

// Copies a size x size square, clipped to both bitmaps, matching colours.
void copySquare(IndexedBitmap& destination, int x, int y, const IndexedBitmap& source, int sourceX, int sourceY,
                int size);

} // namespace vx
