#include "gui/pages/PageUnits.h"

#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/MapGridDialog.h"
#include "gui/pages/ObjectDialog.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PageTabs.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/RestartPointEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/pages/TileEdit.h"
#include "gui/widgets/KeyboardReach.h"
#include "gui/widgets/PlacedLayout.h"

#include <QTabWidget>

namespace vx {

PageUnits::PageUnits(EditorContext& context, QTabWidget& tabs, QWidget* dialogParent) : tabs_(tabs)
{
    auto* subForm = new InfoListDialog(dialogParent);
    auto* gridForm = new MapGridDialog(context.prompts, dialogParent);
    auto* objectForm = new ObjectDialog(dialogParent);
    paletteEdit_ = add(std::make_unique<PaletteEdit>(context), pgPaletteEdit);
    tileEdit_ = add(std::make_unique<TileEdit>(context), pgTileEdit);
    chipEdit_ = add(std::make_unique<Chip32x32Edit>(context, *subForm), pg32x32ChipEdit);
    mapEdit_ = add(std::make_unique<MapEdit>(context, chipEdit_->sheets(), *gridForm), pgMapEdit);
    chipEdit_->chipPicked = [this](int chip) { mapEdit_->selectChip(chip); };
    tileEdit_->useSheets(&chipEdit_->sheets());
    objectEdit_ = add(std::make_unique<ObjectEdit>(context, chipEdit_->sheets(), *objectForm), pgObjectEdit);
    restartPointEdit_ = add(std::make_unique<RestartPointEdit>(context, chipEdit_->sheets()), pgRestartPointEdit);
    scrollEdit_ = add(std::make_unique<ScrollEdit>(context, chipEdit_->sheets()), pgScrollEdit);
    for (auto& [unit, page] : units_) {
        unit->bindControls(pageSheet(tabs_, page));
        placeControls(pageSheet(tabs_, page));
        nameControls(pageSheet(tabs_, page));
        orderFocus(pageSheet(tabs_, page));
    }
}

PageUnits::~PageUnits() = default;

EditorUnit* PageUnits::unitOfPage(int page) const
{
    for (const auto& [unit, unitPage] : units_)
        if (unitPage == page)
            return unit.get();
    return nullptr;
}

void PageUnits::open()
{
    for (auto& [unit, page] : units_)
        unit->open();
}

void PageUnits::stageChanged()
{
    for (auto& [unit, page] : units_)
        unit->stageChanged();
}

void PageUnits::imageClosed()
{
    for (auto& [unit, page] : units_)
        unit->imageClosed();
}

void PageUnits::refresh(int page)
{
    if (EditorUnit* unit = unitOfPage(page))
        unit->refresh();
}

void PageUnits::refreshShown() { refresh(tabs_.currentIndex()); }

void PageUnits::animationTick()
{
    if (EditorUnit* unit = unitOfPage(tabs_.currentIndex()))
        unit->animationTick();
}

void PageUnits::showRoom(int page, int room, bool atLeft)
{
    // The page refreshes as it comes to the front; the room follows on what it shows.
    tabs_.setCurrentIndex(page);
    switch (page) {
    case pgMapEdit: mapEdit_->showRoom(room); break;
    case pgObjectEdit: atLeft ? objectEdit_->showRoomAtLeft(room) : objectEdit_->showRoom(room); break;
    case pgScrollEdit: scrollEdit_->showRoom(room); break;
    default: break;
    }
}

std::pair<int, int> PageUnits::shownRooms() const
{
    switch (tabs_.currentIndex()) {
    case pgMapEdit: return {mapEdit_->viewRoom(0), mapEdit_->viewRoom(1)};
    case pgObjectEdit: return {objectEdit_->shownRoom(0), objectEdit_->shownRoom(1)};
    case pgScrollEdit: return {scrollEdit_->viewRoom(0), scrollEdit_->viewRoom(1)};
    default: return {-1, -1};
    }
}

int PageUnits::shownRestartPoint() const { return restartPointEdit_->selectedPoint(); }

void PageUnits::showCell(int room, int cell)
{
    tabs_.setCurrentIndex(pgMapEdit);
    mapEdit_->showCell(room, cell);
}

void PageUnits::selectEntry(PageNavigator::Entry entry, int index)
{
    using Entry = PageNavigator::Entry;
    switch (entry) {
    case Entry::RestartPoint:
        tabs_.setCurrentIndex(pgRestartPointEdit);
        restartPointEdit_->selectPoint(index);
        break;
    case Entry::ScrollLine:
        tabs_.setCurrentIndex(pgScrollEdit);
        scrollEdit_->selectLine(index);
        break;
    case Entry::ObjectType:
        tabs_.setCurrentIndex(pgObjectEdit);
        objectEdit_->selectObjectType(index);
        break;
    case Entry::PaletteEntry:
    case Entry::AnimationCell:
    case Entry::FrameCount:
        tabs_.setCurrentIndex(pgPaletteEdit);
        if (entry == Entry::PaletteEntry)
            paletteEdit_->selectEntry(index);
        else if (entry == Entry::AnimationCell)
            paletteEdit_->markAnimationCell(index);
        else
            paletteEdit_->focusFrameCount();
        break;
    case Entry::Chip:
        tabs_.setCurrentIndex(pg32x32ChipEdit);
        chipEdit_->selectChip(index);
        break;
    }
}

int PageUnits::pickedChip() const
{
    return tabs_.currentIndex() == pg32x32ChipEdit ? chipEdit_->editedChip() : mapEdit_->selectedChip();
}

} // namespace vx
