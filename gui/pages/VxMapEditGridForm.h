#pragma once
#include <QDialog>
#include <array>
#include <cstdint>
#include <span>

#include "rules/MapGridRules.h"

class QAction;
class QMenu;
class QPushButton;
class QTableWidget;

namespace vx {

class TPrompts;

// One room as an 8 x 8 grid of hex chip numbers: typing, copy, paste and fill. Nothing
// reaches the stage while it is open; after OK the caller writes RoomData as one edit.
// Made once and reused.
class TMapEditGridForm : public QDialog {
    Q_OBJECT
public:
    TMapEditGridForm(TPrompts& prompts, QWidget* parent = nullptr);

    // Caption, cells from the room's 64 bytes, current cell and selection at (0, 0).
    void LoadRoom(int room, std::span<const std::uint8_t> roomBytes);
    // Valid after the dialog closed with OK.
    const std::array<std::uint8_t, 64>& RoomData() const { return roomData_; }

    // The grid's events; its widget forwards them.
    bool SGridMapEditKeyPress(const QString& text);
    void NormalizeCells();
    // A right press at the cell (column, row): the menu opens at `global`.
    void SGridMapEditRightMouseDown(int column, int row, const QPoint& global);
    void MenuItemCopyToClipBoardClick();
    void MenuItemPasteFromClipBoardClick();
    void MenuItemFillCellsClick();
    // Whether the clipboard holds text to paste (the menu item's state when it opens).
    static bool ClipboardHasText();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TGridRange Selection() const;
    void ShowCells();
    void BtnOKClick();

    TPrompts& prompts_;
    TGridCells cells_;
    std::array<std::uint8_t, 64> roomData_{};
    QTableWidget* grid_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QMenu* menu_;
    QAction* copy_;
    QAction* paste_;
    QAction* fill_;
};

} // namespace vx
