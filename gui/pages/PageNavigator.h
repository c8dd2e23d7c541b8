#pragma once
#include <functional>
#include <utility>

class QObject;
class QString;
class QWidget;

namespace vx {

// The pages of the page control, in order.
enum Page {
    pgMapEdit,
    pg32x32ChipEdit,
    pgPaletteEdit,
    pgObjectEdit,
    pgRestartPointEdit,
    pgScrollEdit,
    pgTileEdit,
    PageCount
};

// What the windows beside the editor (and test play) may ask of the main window: bring a
// stage, page, room, cell or list entry to the front, and hear what changed. They get this,
// never the window itself, so they cannot reach into the pages.
class PageNavigator {
public:
    // The lists a tool window can lead to, each on its own page.
    enum class Entry {
        RestartPoint,
        ScrollLine,
        ObjectType, // 0 enemies, 1 items
        PaletteEntry,
        AnimationCell,
        FrameCount,
        Chip
    };
    enum class Change {
        StageShown,
        Edited,         // an edit on any page, after the window's own handling
        HistoryStepped, // undo or redo
        ImageClosed
    };

    virtual ~PageNavigator() = default;

    // What tool windows stand on: their parent, and where the keys go back to.
    virtual QWidget* editorWindow() = 0;
    // As a choice in the stage selector.
    virtual void showStage(int stage) = 0;
    virtual int shownPage() const = 0;
    virtual void showPage(int page) = 0;
    // On the map, objects or scroll page, brought to the front; `atLeft` puts it in the left view.
    virtual void showRoom(int page, int room, bool atLeft = false) = 0;
    // The rooms the shown page has in its two views; -1 where it has none.
    virtual std::pair<int, int> shownRooms() const = 0;
    // The point the restart page shows.
    virtual int shownRestartPoint() const = 0;
    // The map page frames one cell of a room (cell = column x 8 + row), brought to the front.
    virtual void showCell(int room, int cell) = 0;
    // The entry's page comes to the front and selects it.
    virtual void selectEntry(Entry entry, int index) = 0;
    // The map page frames every cell of the chip; -1 none.
    virtual void highlightChip(int chip) = 0;
    // An edit made outside the pages: `said` goes to the status bar, the title and page follow.
    virtual void showEditMade(const QString& said) = 0;
    virtual void showNote(const QString& text) = 0;
    // Calls `heard` for each change for as long as `listener` lives.
    virtual void listen(QObject* listener, std::function<void(Change)> heard) = 0;
};

} // namespace vx
