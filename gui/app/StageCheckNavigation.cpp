#include "gui/app/StageCheckNavigation.h"

#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "gui/app/MainForm.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/RestartPointEdit.h"
#include "gui/pages/ScrollEdit.h"

#include <QComboBox>
#include <QTabWidget>

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

void showFinding(MainForm& main, const Finding& finding)
{
    if (!main.rom().isLoaded() || finding.stage < 0 || finding.stage >= StageCount)
        return;
    // The selector's own change handling selects the stage, so both always agree.
    main.stageSelector()->setCurrentIndex(finding.stage);
    const int page = pageOf(finding.place);
    if (page < 0)
        return;
    // The page refreshes as it comes to the front; the selection follows on what it shows.
    main.pages()->setCurrentIndex(page);
    const int index = finding.index;
    switch (finding.place) {
    case FindingPlace::RestartPoint: main.restartPointEdit()->selectPoint(index); break;
    case FindingPlace::ScrollEntry: main.scrollEdit()->selectLine(index); break;
    case FindingPlace::MapRoom:
        if (index >= 0 && index < RoomCount)
            main.mapEdit()->showRoom(index);
        break;
    case FindingPlace::ObjectRoom:
        if (index >= 0 && index < RoomCount)
            main.objectEdit()->showRoom(index);
        break;
    case FindingPlace::EnemyList: main.objectEdit()->selectObjectType(0); break;
    case FindingPlace::ItemList: main.objectEdit()->selectObjectType(1); break;
    case FindingPlace::PaletteEntry: main.paletteEdit()->selectEntry(index); break;
    case FindingPlace::SpritePaletteEntry: break; // the page shows no sprite entries
    case FindingPlace::AnimationEntry: main.paletteEdit()->markAnimationCell(index); break;
    case FindingPlace::AnimationFrames: main.paletteEdit()->focusFrameCount(); break;
    case FindingPlace::Chip: main.chip32x32Edit()->selectChip(index); break;
    case FindingPlace::Stage: break;
    }
}

} // namespace vx
