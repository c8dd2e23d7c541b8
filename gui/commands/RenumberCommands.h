#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace vx {

struct EditorContext;
class InfoListDialog;
class PageUnits;

// The Edit and Tools menu items that renumber chips and tiles or look up colours.
enum class Renumber {
    SwapChip,
    MoveChip,
    MergeChips,
    SwapTiles,
    ColourUses,
    UnusedColours
};

// The items in the menus: four at the end of Edit, two in Tools before `toolsBefore`, their
// captions in the user's language as either menu opens. Each calls `run` with its command
// (and, for the check item, its state).
struct RenumberItems {
    QAction* swapChip = nullptr;
    QAction* moveChip = nullptr;
    QAction* mergeChips = nullptr;
    QAction* swapTiles = nullptr;
    QAction* colourUses = nullptr;
    QAction* unusedColours = nullptr;
    std::vector<QAction*> all() const { return {swapChip, moveChip, mergeChips, swapTiles, colourUses, unusedColours}; }
};
RenumberItems addRenumberItems(QMenu* edit, QMenu* tools, QAction* toolsBefore,
                               const std::function<void(Renumber, bool checked)>& run);

// Chips and tiles renumbered with every map and chip entry naming them, so that nothing
// moves on screen: each asks for the other number, says what changes and asks before it
// acts, or shows why it cannot. The chip is the one a chip tool starts on, the tile the
// tiles page's selection, the palette entry the palette page's.
class RenumberCommands {
public:
    // Also the tiles page's swap and the duplicated-chip list's Merge.
    RenumberCommands(EditorContext& context, PageUnits& units, QWidget* dialogParent);

    // `checked`: the state of a check item (Show Unused Colours).
    void run(Renumber command, bool checked = false);

    // An edit was made: what it did, for the status bar; the pages follow.
    std::function<void(const QString& said)> edited;

private:
    void swapChip(bool move);
    void mergeChips();
    void swapTiles();
    void showColourUses();
    void showUnusedColours(bool shown);
    // A number typed in hex; nothing when cancelled or not hex (said then).
    std::optional<int> askNumber(const QString& caption, const QString& prompt, const QString& initial = {});

    EditorContext& context_;
    PageUnits& units_;
    InfoListDialog* list_ = nullptr;
};

} // namespace vx
