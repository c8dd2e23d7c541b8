#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "gui/pages/EditorUnit.h"
#include "render/WorkingSheets.h"

class QLabel;
class QPushButton;

namespace vx {

class TClickLabel;
class TImageView;
class TSubForm;
class TUpDown;

// The 32x32 chip page: the stage's 256 chips, each four 16x16 chips with a sub-palette and
// an attribute per quarter. It owns the shared working sheets that every page draws from,
// and rebuilds them on every stage change.
class TChip32x32Edit : public TEditorUnit {
public:
    TChip32x32Edit(TEditorContext& context, TSubForm& subForm) : context_(context), subForm_(subForm) {}

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;

    // The shared pair: 16x16 chips in four sub-palettes (128x512), all 32x32 chips (512x512).
    TWorkingSheets& Sheets() { return sheets_; }
    TNkDIB* ChipSheet() const { return sheets_.chipSheet.get(); }
    TNkDIB* Chip32Sheet() const { return sheets_.chip32Sheet.get(); }
    // A plain left click on the chip table: the map page paints with that chip from now on.
    std::function<void(int chip)> ChipPicked;

    // Makes a chip the edited one, on the table page that holds it.
    void SelectChip(int chip);
    int EditPage() const { return editPage_; }
    int EditedChip() const { return editedChip_; }
    std::uint8_t SelectedEntry() const { return selectedEntry_; }
    const std::array<std::uint8_t, 8>& ChipClipboard() const { return chipClipboard_; }

private:
    void BuildTables(QWidget* page);
    void BuildSelectedGroup(QWidget* page);
    void BuildEditedGroup(QWidget* page);
    void BuildButtons(QWidget* page);

    void Img32x32ChipEditTableMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void Img32x32ChipEditTableMouseMove(int x, int y, Qt::KeyboardModifiers keys);
    void Img32x32ChipEditTableMouseLeave();
    void Img16x16ChipTableXMouseDown(int table, int x, int y, Qt::MouseButton button);
    void Img16x16ChipTableXMouseMove(int table, int x, int y);
    void Img16x16ChipTableXMouseLeave();
    void ImgEdited32x32ChipMouseDown(int x, int y, Qt::MouseButton button);
    void ImgEdited32x32ChipMouseMove(int x, int y);
    void ImgEdited32x32ChipMouseLeave();
    void LblEdited32x32Chip16x16ChipXMouseDown(int quarter, Qt::MouseButton button);
    void LblEdited32x32Chip16x16ChipPropertyXMouseDown(int quarter, Qt::MouseButton button);
    void UpDown32x32ChipEditTableSwitchChangingEx(int direction);
    void BtnUnused32x32ChipViewClick();
    void BtnOverlapped32x32ChipViewClick();

    // Decode, compose and colour both sheets, then draw every view.
    void RebuildSheets();
    // After a chip changed: compose again, then the edited chip and the table.
    void Recompose();
    void DrawChip16Tables();
    void DrawChipTable();
    void DrawEditedChip();
    void DrawEditedChipLabels();
    void DrawSelectedChip();
    std::uint8_t EntryOf(int chip, int quarter) const;

    TEditorContext& context_;
    TSubForm& subForm_;
    TWorkingSheets sheets_;

    int editPage_ = 0;
    int editedChip_ = 0;
    std::uint8_t selectedEntry_ = 0;
    int hoveredChip_ = -1;
    int hoveredQuarter_ = 0;
    bool shiftHeld_ = false;
    int hoveredEntry_ = -1;
    int hoveredEditedQuarter_ = -1;
    std::array<std::uint8_t, 8> chipClipboard_{};

    TImageView* chipTable_ = nullptr;
    std::array<TImageView*, 4> chip16Tables_{};
    TImageView* selectedView_ = nullptr;
    TImageView* editedView_ = nullptr;
    TUpDown* pageSwitch_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* selectedIndex_ = nullptr;
    QLabel* selectedPalette_ = nullptr;
    QLabel* editedIndex_ = nullptr;
    std::array<TClickLabel*, 4> entryLabels_{};
    std::array<TClickLabel*, 4> attributeLabels_{};
    QPushButton* unusedButton_ = nullptr;
    QPushButton* duplicatedButton_ = nullptr;
    QPushButton* reloadButton_ = nullptr;
};

} // namespace vx
