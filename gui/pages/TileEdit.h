#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "core/model/PatternSources.h"
#include "core/model/TileSheet.h"
#include "gui/pages/EditorUnit.h"
#include "gui/widgets/HoverCell.h"
#include "render/GraphicManager.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QMenu;

namespace vx {

class ImageView;
struct WorkingSheets;

// The tiles page. On every stage set-up it assembles the stage's pattern data, which all
// tile decoding reads, with the painted bytes on top. It shows the background and sprite
// tables in a chosen sub-palette and paints the selected tiles pixel by pixel: the bytes go
// where the stage's pattern list copies them from, so every page and stage drawing them
// shows the change.
class TileEdit : public EditorUnit {
public:
    explicit TileEdit(EditorContext& context) : context_(context) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    // The working sheets the other pages copy from, patched tile by tile while painting.
    void useSheets(WorkingSheets* sheets) { sheets_ = sheets; }
    // Tile bytes changed by undo, redo or an import: the pattern data again, quietly.
    void tilesChanged();

    const std::array<std::uint8_t, PatternDataSize>& patternData() const { return patternData_; }
    TileTable table() const { return table_; }
    int subPalette(TileTable table) const;
    // The selected tile, and the pixel colour the left button paints with (0-3).
    int tile() const { return tile_; }
    int colour() const { return colour_; }
    // The edited size: a 16x16 chip's four tiles, or one 8x8 tile.
    bool editsChips() const;
    // Offered by a right click on the background table, after selecting the tile there.
    std::function<void()> swapRequested;
    QMenu* tableMenu() const { return tableMenu_; }

private:
    void buildEditor(QWidget* page);
    void assemble(bool warn);
    void onTablePressed(TileTable table, int x, int y, Qt::MouseButton button);
    void onTableHover(TileTable table, int x, int y);
    void offerSwap(int x, int y);
    void onEditorPressed(int x, int y, Qt::MouseButton button);
    void onEditorMoved(int x, int y, Qt::MouseButtons buttons);
    void onEditorReleased();
    // The tile and the pixel in it under a point of the editor view; tile -1 outside.
    TilePixel editorPixel(int x, int y) const;
    // Pixels a side the editor shows: 16 of a chip, 8 of a tile.
    int editorCellGrid() const;
    void paintAt(int x, int y);
    // Pattern data, chip sheets and views after bytes at these image offsets changed.
    void showPainted(std::span<const std::int32_t> offsets);

    std::array<std::uint32_t, 4> colours(TileTable table) const;
    void drawTables();
    void drawTable(TileTable table);
    void drawEditor();
    void drawSwatches();
    void showSelection();
    QString tileStatus(TileTable table, int tile, int x, int y) const;

    EditorContext& context_;
    WorkingSheets* sheets_ = nullptr;
    std::array<std::uint8_t, PatternDataSize> patternData_{};
    PatternSources sources_{};
    ImageView* bgView_ = nullptr;
    ImageView* spriteView_ = nullptr;
    ImageView* editorView_ = nullptr;
    ImageView* swatchView_ = nullptr;
    QComboBox* bgPaletteBox_ = nullptr;
    QComboBox* spritePaletteBox_ = nullptr;
    QButtonGroup* sizeGroup_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QMenu* tableMenu_ = nullptr;
    TileTable table_ = TileTable::Background;
    int tile_ = 0;
    int colour_ = 1;
    bool painting_ = false;
    HoverCell editorHover_; // cell: 256 * tile + 8 * y + x of the pixel under the pointer
};

} // namespace vx
