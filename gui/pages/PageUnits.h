#pragma once
#include <memory>
#include <utility>
#include <vector>

#include "gui/pages/PageNavigator.h"

class QTabWidget;
class QWidget;

namespace vx {

class Chip32x32Edit;
class EditorUnit;
struct EditorContext;
class MapEdit;
class RestartPointEdit;
class ObjectEdit;
class PaletteEdit;
class ScrollEdit;
class TileEdit;

// The editor units in the fixed calling order (palette, tiles, 32x32 chip, map, object,
// restart point, scroll), each bound to its page of the
// control, with the dialogs they share; and the page side of the navigator.
class PageUnits {
public:
    // The dialogs stand on `dialogParent`.
    PageUnits(EditorContext& context, QTabWidget& tabs, QWidget* dialogParent);
    ~PageUnits();

    // Each calls every unit in order.
    void open();
    void stageChanged();
    void imageClosed();
    // The unit of a page, or of the page shown.
    void refresh(int page);
    void refreshShown();
    void animationTick();

    void showRoom(int page, int room, bool atLeft);
    std::pair<int, int> shownRooms() const;
    int shownRestartPoint() const;
    void showCell(int room, int cell);
    void selectEntry(PageNavigator::Entry entry, int index);
    // The chip a chip tool starts on: the chip page's edited chip there, else the map's.
    int pickedChip() const;

    PaletteEdit* paletteEdit() const { return paletteEdit_; }
    TileEdit* tileEdit() const { return tileEdit_; }
    Chip32x32Edit* chip32x32Edit() const { return chipEdit_; }
    MapEdit* mapEdit() const { return mapEdit_; }
    ObjectEdit* objectEdit() const { return objectEdit_; }
    RestartPointEdit* restartPointEdit() const { return restartPointEdit_; }
    ScrollEdit* scrollEdit() const { return scrollEdit_; }

private:
    template <typename Unit>
    Unit* add(std::unique_ptr<Unit> unit, int page)
    {
        Unit* kept = unit.get();
        units_.emplace_back(std::move(unit), page);
        return kept;
    }
    EditorUnit* unitOfPage(int page) const;

    QTabWidget& tabs_;
    std::vector<std::pair<std::unique_ptr<EditorUnit>, int>> units_;
    PaletteEdit* paletteEdit_ = nullptr;
    TileEdit* tileEdit_ = nullptr;
    Chip32x32Edit* chipEdit_ = nullptr;
    MapEdit* mapEdit_ = nullptr;
    ObjectEdit* objectEdit_ = nullptr;
    RestartPointEdit* restartPointEdit_ = nullptr;
    ScrollEdit* scrollEdit_ = nullptr;
};

} // namespace vx
