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

class Prompts;

// One room as an 8 x 8 grid of hex chip numbers: typing, copy, paste and fill. Nothing
// reaches the stage while it is open; after OK the caller writes roomData as one edit.
// Made once and reused.
class MapGridDialog : public QDialog {
    Q_OBJECT
public:
    MapGridDialog(Prompts& prompts, QWidget* parent = nullptr);

    // Caption, cells from the room's 64 bytes, current cell and selection at (0, 0).
    void loadRoom(int room, std::span<const std::uint8_t> roomBytes);
    // Valid after the dialog closed with OK.
    const std::array<std::uint8_t, 64>& roomData() const { return roomData_; }

    // The grid's events; its widget forwards them.
    bool onCellKey(const QString& text);
    void normalizeCells();
    // A right press at the cell (column, row): the menu opens at `global`.
    void onCellMenu(int column, int row, const QPoint& global);
    void copyCells();
    void pasteCells();
    void fillSelection();
    // Whether the clipboard holds text to paste (the menu item's state when it opens).
    static bool clipboardHasText();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    GridRange selectedRange() const;
    void showCells();
    void acceptCells();

    Prompts& prompts_;
    GridCells cells_;
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
