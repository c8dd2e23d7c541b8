#include "gui/tools/StageCheckNavigation.h"

#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "gui/pages/PageNavigator.h"

namespace vx {
namespace {

int pageOf(FindingPlace place)
{
    switch (place) {
    case FindingPlace::RestartPoint: return pgRestartPointEdit;
    case FindingPlace::ScrollEntry: return pgScrollEdit;
    case FindingPlace::MapRoom: return pgMapEdit;
    case FindingPlace::ObjectRoom:
    case FindingPlace::EnemyList:
    case FindingPlace::ItemList: return pgObjectEdit;
    case FindingPlace::PaletteEntry:
    case FindingPlace::SpritePaletteEntry:
    case FindingPlace::AnimationEntry:
    case FindingPlace::AnimationFrames: return pgPaletteEdit;
    case FindingPlace::Chip: return pg32x32ChipEdit;
    case FindingPlace::Stage: break;
    }
    return -1;
}

} // namespace

void showFinding(PageNavigator& pages, const RomImage& rom, const Finding& finding)
{
    if (!rom.isLoaded() || finding.stage < 0 || finding.stage >= StageCount)
        return;
    // The selector's own change handling selects the stage, so both always agree.
    pages.showStage(finding.stage);
    const int page = pageOf(finding.place);
    if (page < 0)
        return;
    // The page refreshes as it comes to the front; the selection follows on what it shows.
    pages.showPage(page);
    using Entry = PageNavigator::Entry;
    const int index = finding.index;
    switch (finding.place) {
    case FindingPlace::RestartPoint: pages.selectEntry(Entry::RestartPoint, index); break;
    case FindingPlace::ScrollEntry: pages.selectEntry(Entry::ScrollLine, index); break;
    case FindingPlace::MapRoom:
    case FindingPlace::ObjectRoom:
        if (index >= 0 && index < RoomCount)
            pages.showRoom(page, index);
        break;
    case FindingPlace::EnemyList: pages.selectEntry(Entry::ObjectType, 0); break;
    case FindingPlace::ItemList: pages.selectEntry(Entry::ObjectType, 1); break;
    case FindingPlace::PaletteEntry: pages.selectEntry(Entry::PaletteEntry, index); break;
    case FindingPlace::SpritePaletteEntry: break; // the page shows no sprite entries
    case FindingPlace::AnimationEntry: pages.selectEntry(Entry::AnimationCell, index); break;
    case FindingPlace::AnimationFrames: pages.selectEntry(Entry::FrameCount, index); break;
    case FindingPlace::Chip: pages.selectEntry(Entry::Chip, index); break;
    case FindingPlace::Stage: break;
    }
}

} // namespace vx
