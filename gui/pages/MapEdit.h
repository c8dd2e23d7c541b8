#pragma once
#include <array>
#include <memory>
#include <cstdint>

#include "gui/pages/EditorUnit.h"
#include "gui/widgets/RoomViewPair.h"
#include "rules/MapRules.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace vx {

class TImageView;
class TMapEditGridForm;
struct TWorkingSheets;

// The map page: two rooms side by side painted with 32x32 chips, the chip table to pick
// from, and the selected chip's panel. Room copies, pastes and the hex grid dialog too.
class TMapEdit : public TEditorUnit {
public:
    TMapEdit(TEditorContext& context, TWorkingSheets& sheets, TMapEditGridForm& gridForm)
        : context_(context), sheets_(sheets), gridForm_(gridForm)
    {
    }

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;

    // The chip a left click paints (the chip page's plain pick sets it too).
    void SelectChip(int chip);
    int SelectedChip() const { return selectedChip_; }
    // Puts a room in the left view, the next one beside it (2B stands in the right view).
    void ShowRoom(int room);
    int ViewRoom(int view) const { return view == 0 ? rooms_.left : rooms_.right; }
    const std::array<std::uint8_t, 64>& RoomCopyBuffer() const { return roomCopyBuffer_; }

private:
    void BuildViews(QWidget* page);
    void BuildRoomGroup(QWidget* page);
    void BuildSelectedGroup(QWidget* page);

    void ImgMapEditXMouseDown(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void ImgMapEditXMouseMove(int view, int x, int y);
    void ImgMapEditXMouseLeave(int view);
    void Img32x32ChipTableMouseDown(int x, int y, Qt::MouseButton button);
    void Img32x32ChipTableMouseMove(int x, int y);
    void Img32x32ChipTableMouseLeave();
    void ScrollBarMapEditScroll(int left);
    void ScrollBarEditedMapPageXScroll(int view, int position);

    // A write to room `view` shows: that view, and the other when it shows the same room.
    void RedrawAfterWrite(int view);
    void DrawAll();
    void DrawView(int view);
    void DrawChipTable();
    void DrawSelectedChip();
    void SetRooms(TViewRooms rooms);
    int& Room(int view) { return view == 0 ? rooms_.left : rooms_.right; }

    TEditorContext& context_;
    TWorkingSheets& sheets_;
    TMapEditGridForm& gridForm_;
    bool updating_ = false;

    TViewRooms rooms_{0, 1};
    std::array<int, 2> hoverCell_{-1, -1};
    int hoverChip_ = -1;
    int selectedChip_ = 0;
    std::array<std::uint8_t, 64> roomCopyBuffer_{};

    std::unique_ptr<TRoomViewPair> pair_;
    TImageView* chipTable_ = nullptr;
    TImageView* selectedView_ = nullptr;
    std::array<QScrollBar*, 2> pageBars_{};
    std::array<QLabel*, 2> pageLabels_{};
    QLabel* selectedIndex_ = nullptr;
    std::array<QLabel*, 4> entryLabels_{};
    std::array<QLabel*, 4> attributeLabels_{};
    QPushButton* reloadButton_ = nullptr;
};

} // namespace vx
