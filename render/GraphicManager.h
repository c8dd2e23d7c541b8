#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "render/NkDIB.h"
#include "render/PaletteManager.h"

namespace vx {

class TVxObjectList;
class TVxObjectNode;

constexpr int PatternDataSize = 8192;
constexpr int PatternTableSize = 4096;

// Turns a stage's graphics into pictures: tile decoding, chip composition, rooms, palette
// swatches and overlays. Owns the two colour tables: DisplayPalette for shown bitmaps,
// StagePalette for the working sheets.
class TGraphicManager {
public:
    static constexpr TColor CursorColor = RGB(255, 0, 255);
    static constexpr int DisplayCursorIndex = 128;
    static constexpr int StageCursorIndex = 32;
    static constexpr int DisplayInvalidIndex = 129;

    // Binds the palette manager's change notification to UpdateStagePalette.
    explicit TGraphicManager(TPaletteManager& paletteManager, const TGlyphRenderer* glyphs = nullptr);
    ~TGraphicManager();
    TGraphicManager(const TGraphicManager&) = delete;
    TGraphicManager& operator=(const TGraphicManager&) = delete;

    TPaletteManager& PaletteManager() const { return palette_; }
    const TNkDIB& DisplayPalette() const { return displayPalette_; }
    const TNkDIB& StagePalette() const { return stagePalette_; }
    void SetGlyphRenderer(const TGlyphRenderer* glyphs) { glyphs_ = glyphs; }
    const TGlyphRenderer* GlyphRenderer() const { return glyphs_; }

    void UpdateStagePalette();
    void SetPatternData(std::span<const std::uint8_t, PatternDataSize> data) { patternData_ = data.data(); }
    void SetPatternTable(std::span<const std::uint8_t, PatternTableSize> table) { patternTable_ = table.data(); }
    const std::uint8_t* PatternData() const { return patternData_; }

    // The 256 tiles into a 128x128 area at (x, y), pixel = subPalette * 4 + colour.
    void DecodePatternTable(TNkDIB& bitmap, int x, int subPalette, int y) const;
    // The pattern table four times, with sub-palettes 0 to 3, into a 128x512 sheet.
    void DecodeChipSheet(TNkDIB& bitmap) const;
    // All 256 32x32 chips from the chip sheet and the 1024 entry bytes.
    void ComposeChip32Sheet(TNkDIB& bitmap, const TNkDIB& chipSheet, std::span<const std::uint8_t> entries) const;
    // One room of 64 chip numbers, column after column, from the 32x32 sheet.
    void DrawRoom(TNkDIB& bitmap, const TNkDIB& chip32Sheet, std::span<const std::uint8_t> room) const;

    void DrawColorTable(TNkDIB& bitmap) const;
    void DrawAnimePalettes(TNkDIB& bitmap, bool showNumbers) const;
    void DrawCurrentPalette(TNkDIB& bitmap) const;
    void DrawObjectMarkers(TNkDIB& bitmap, const TVxObjectList& objects) const;
    void DrawObjectMarkersEx(TNkDIB& bitmap, const TVxObjectList& objects, bool transparentText,
                             TColor textColor, TColor frameColor) const;
    void DrawObjectFrame(TNkDIB& bitmap, const TVxObjectNode& object, int size) const;
    void DrawFrame(TNkDIB& bitmap, int left, int top, int width, int height, TColor color) const;
    void DrawCursorFrame(TNkDIB& bitmap, int left, int top, int width, int height) const;
    void DrawCursorFrame(TNkDIBCanvas& canvas, int left, int top, int width, int height) const;
    void FillBitmap(TNkDIB& bitmap, TColor color) const;

    std::unique_ptr<TNkDIB> CreateDisplayBitmap(int width, int height) const;
    std::unique_ptr<TNkDIB> CreateStageBitmap(int width, int height) const;
    // Gives the bitmap the current StagePalette, keeping its pixels.
    void ApplyStagePalette(TNkDIB& bitmap) const;

    void SetBGPalette(std::span<const std::uint8_t, 16> data) { palette_.SetBGPalette(data); }
    void SetPaletteAnime(int frameCount, int frameTimer, std::span<const std::uint8_t, 64> data)
    {
        palette_.SetPaletteAnime(frameCount, frameTimer, data);
    }
    TColor GetRGB(int colorIndex) const { return palette_.GetRGB(colorIndex); }
    int GetAnimeFrame() const { return palette_.GetAnimeFrame(); }

private:
    TPaletteManager& palette_;
    const TGlyphRenderer* glyphs_;
    TNkDIB displayPalette_;
    TNkDIB stagePalette_;
    const std::uint8_t* patternTable_ = nullptr;
    const std::uint8_t* patternData_ = nullptr;
};

// Copies a size x size square, clipped to both bitmaps, matching colours.
void CopySquare(TNkDIB& destination, int x, int y, const TNkDIB& source, int sourceX, int sourceY, int size);

} // namespace vx
