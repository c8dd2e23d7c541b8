#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "gui/pages/EditorUnit.h"
#include "gui/widgets/HoverCell.h"
#include "gui/widgets/RoomViewPair.h"
#include "rules/MapRules.h"
#include "rules/MapStamp.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;

namespace vx {

class ImageView;
class MapGridDialog;
struct WorkingSheets;

// The map page: two rooms side by side painted with 32x32 chips, the chip table to pick
// from, and the selected chip's panel. Room copies, pastes and the hex grid dialog too.
class MapEdit : public EditorUnit {
public:
    MapEdit(EditorContext& context, WorkingSheets& sheets, MapGridDialog& gridForm)
        : context_(context), sheets_(sheets), gridForm_(gridForm)
    {
    }

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    // The chip a left click paints (the chip page's plain pick sets it too).
    void selectChip(int chip);
    int selectedChip() const { return selectedChip_; }
    // Puts a room in the left view, the next one beside it (2B stands in the right view).
    void showRoom(int room);
    int viewRoom(int view) const { return view == 0 ? rooms_.left : rooms_.right; }
    const std::array<std::uint8_t, 64>& roomCopyBuffer() const { return roomCopyBuffer_; }
    // The rectangle a left click paints instead of one chip: taken by a right drag or pasted
    // (Ctrl+V) as the grid's text; Escape or a chip pick drops it. It stays over a stage change.
    const std::optional<MapStamp>& stamp() const { return stamp_; }
    // Frames every cell of the chip in both views (-1: none), while the uses window is shown.
    void highlightChip(int chip);
    // Shows a room in the left view with one of its cells framed until the next click.
    void showCell(int room, int cell);
    // A right click on the chip table offers to find where the chip is used.
    std::function<void(int chip)> findUses;
    void copyStamp();
    void pasteStamp();
    void dropStamp();

private:
    void buildViews(QWidget* page);
    void buildRoomGroup(QWidget* page);
    void buildSelectedGroup(QWidget* page);

    void onRoomPressed(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void onRoomCellHovered(int view, int cell);
    // The status bar and the tool tip name the cell and the chip it holds.
    void showCellHint(int view, int cell);
    void onRoomMoved(int view, int x, int y, Qt::MouseButtons buttons);
    void onRoomReleased(Qt::MouseButton button);
    // The cell under a point of a view, which a drag carries past its edge into the other
    // view or nowhere.
    std::optional<ViewCell> viewCellAt(int view, int x, int y) const;
    void paintStamp(ViewCell at);
    // A stamp stroke's step closes on release, or before anything else begins.
    void endStampStroke();
    // The stamp under the pointer, or the rectangle a right drag is taking, in one view.
    void drawStampFrame(int view, IndexedBitmap& bitmap);
    // The uses window's frames and the cell it led to.
    void drawMarks(int view, IndexedBitmap& bitmap);
    void onChipTablePressed(int x, int y, Qt::MouseButton button);
    void onBothRoomsBarMoved(int left);
    // An arrow past a view's edge: into the other view, or on into the next room.
    void carryCursor(int view, int columns);
    static QString chipWord(int chip);
    void onRoomBarMoved(int view, int position);

    // A write to room `view` shows: that view, and the other when it shows the same room.
    void redrawAfterWrite(int view);
    void drawAll();
    void drawView(int view);
    void drawChipTable();
    void drawSelectedChip();
    void setRooms(ViewRooms rooms);
    int& roomOfView(int view) { return view == 0 ? rooms_.left : rooms_.right; }

    EditorContext& context_;
    WorkingSheets& sheets_;
    MapGridDialog& gridForm_;
    bool updating_ = false;

    ViewRooms rooms_{0, 1};
    std::array<HoverCell, 2> roomHover_;
    HoverCell chipHover_;
    int selectedChip_ = 0;
    std::array<std::uint8_t, 64> roomCopyBuffer_{};
    std::optional<MapStamp> stamp_;
    QString stampNote_;                               // what the status bar was told of the stamp
    std::optional<ViewCell> captureFrom_, captureTo_; // a right drag under way
    std::optional<ViewCell> stampPainted_;            // where the stroke last painted
    int strokeStage_ = -1;                            // the stage whose step a stamp stroke gathers; -1: no stroke
    int highlightedChip_ = -1;
    int markedCell_ = -1; // room x 64 + cell, framed after showCell

    std::unique_ptr<RoomViewPair> pair_;
    ImageView* chipTable_ = nullptr;
    ImageView* selectedView_ = nullptr;
    std::array<QScrollBar*, 2> pageBars_{};
    std::array<QLabel*, 2> pageLabels_{};
    QLabel* selectedIndex_ = nullptr;
    std::array<QLabel*, 4> entryLabels_{};
    std::array<QLabel*, 4> attributeLabels_{};
    QPushButton* reloadButton_ = nullptr;
};

} // namespace vx
