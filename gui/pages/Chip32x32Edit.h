#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "gui/pages/EditorUnit.h"
#include "gui/widgets/HoverCell.h"
#include "render/WorkingSheets.h"

class QLabel;
class QPushButton;

namespace vx {

class ClickLabel;
class ImageView;
class InfoListDialog;
class UpDown;

// The 32x32 chip page: the stage's 256 chips, each four 16x16 chips with a sub-palette and
// an attribute per quarter. It owns the shared working sheets that every page draws from,
// and rebuilds them on every stage change.
class Chip32x32Edit : public EditorUnit {
public:
    Chip32x32Edit(EditorContext& context, InfoListDialog& subForm) : context_(context), subForm_(subForm) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    // The shared pair: 16x16 chips in four sub-palettes (128x512), all 32x32 chips (512x512).
    WorkingSheets& sheets() { return sheets_; }
    IndexedBitmap* chipSheet() const { return sheets_.chipSheet.get(); }
    IndexedBitmap* chip32Sheet() const { return sheets_.chip32Sheet.get(); }
    // A plain left click on the chip table: the map page paints with that chip from now on.
    std::function<void(int chip)> chipPicked;
    // The Edit menu's merge of duplicate chips, offered by the duplicated-chip list.
    std::function<void()> mergeRequested;

    // Makes a chip the edited one, on the table page that holds it.
    void selectChip(int chip);
    int editPage() const { return editPage_; }
    int editedChip() const { return editedChip_; }
    std::uint8_t selectedEntry() const { return selectedEntry_; }
    const std::array<std::uint8_t, 8>& chipClipboard() const { return chipClipboard_; }

private:
    void buildTables(QWidget* page);
    void buildSelectedGroup(QWidget* page);
    void buildEditedGroup(QWidget* page);
    void buildButtons(QWidget* page);

    void onChipTablePressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void onChip16TablePressed(int table, int x, int y, Qt::MouseButton button);
    void onEditedChipPressed(int x, int y, Qt::MouseButton button);
    void stepQuarterSubPalette(int quarter, Qt::MouseButton button);
    void stepQuarterAttribute(int quarter, Qt::MouseButton button);
    void switchChipPage(int direction);
    void showUnusedChips();
    void showDuplicateChips();

    // Decode, compose and colour both sheets, then draw every view.
    void rebuildSheets();
    // After a chip changed: compose again, then the edited chip and the table.
    void recompose();
    void drawChip16Tables();
    void drawChipTable();
    void drawEditedChip();
    void drawEditedChipLabels();
    void drawSelectedChip();
    std::uint8_t entryOf(int chip, int quarter) const;

    EditorContext& context_;
    InfoListDialog& subForm_;
    WorkingSheets sheets_;

    int editPage_ = 0;
    int editedChip_ = 0;
    std::uint8_t selectedEntry_ = 0;
    HoverCell chipHover_;    // chip table: see chipTableCell
    HoverCell entryHover_;   // 16x16 chip tables: the entry
    HoverCell quarterHover_; // edited chip: the quarter
    std::array<std::uint8_t, 8> chipClipboard_{};

    ImageView* chipTable_ = nullptr;
    std::array<ImageView*, 4> chip16Tables_{};
    ImageView* selectedView_ = nullptr;
    ImageView* editedView_ = nullptr;
    UpDown* pageSwitch_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* selectedIndex_ = nullptr;
    QLabel* selectedPalette_ = nullptr;
    QLabel* editedIndex_ = nullptr;
    std::array<ClickLabel*, 4> entryLabels_{};
    std::array<ClickLabel*, 4> attributeLabels_{};
    QPushButton* unusedButton_ = nullptr;
    QPushButton* duplicatedButton_ = nullptr;
    QPushButton* reloadButton_ = nullptr;
};

} // namespace vx
