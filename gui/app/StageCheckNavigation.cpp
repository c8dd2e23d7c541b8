#include "gui/app/StageCheckNavigation.h"

#include "core/RomImgManager.h"
#include "core/StageCheck.h"
#include "gui/app/MainForm.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/MidPointEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/ScrollEdit.h"

#include <QComboBox>
#include <QTabWidget>

namespace vx {
namespace {

int PageOf(TFindingPlace place)
{
    switch (place) {
    case TFindingPlace::RestartPoint: return pgMidPointEdit;
    case TFindingPlace::ScrollEntry: return pgScrollEdit;
    case TFindingPlace::MapRoom: return pgMapEdit;
    case TFindingPlace::ObjectRoom:
    case TFindingPlace::EnemyList:
    case TFindingPlace::ItemList: return pgObjectEdit;
    case TFindingPlace::PaletteEntry:
    case TFindingPlace::AnimationEntry:
    case TFindingPlace::AnimationFrames: return pgPaletteEdit;
    case TFindingPlace::Chip: return pg32x32ChipEdit;
    case TFindingPlace::Stage: break;
    }
    return -1;
}

} // namespace

void ShowFinding(TMainForm& main, const TFinding& finding)
{
    if (!main.Rom().IsLoaded() || finding.stage < 0 || finding.stage >= StageCount)
        return;
    // The selector's own change handling selects the stage, so both always agree.
    main.StageSelector()->setCurrentIndex(finding.stage);
    const int page = PageOf(finding.place);
    if (page < 0)
        return;
    // The page refreshes as it comes to the front; the selection follows on what it shows.
    main.Pages()->setCurrentIndex(page);
    const int index = finding.index;
    switch (finding.place) {
    case TFindingPlace::RestartPoint: main.MidPointEdit()->SelectPoint(index); break;
    case TFindingPlace::ScrollEntry: main.ScrollEdit()->SelectLine(index); break;
    case TFindingPlace::MapRoom:
        if (index >= 0 && index < RoomCount)
            main.MapEdit()->ShowRoom(index);
        break;
    case TFindingPlace::ObjectRoom:
        if (index >= 0 && index < RoomCount)
            main.ObjectEdit()->ShowRoom(index);
        break;
    case TFindingPlace::EnemyList: main.ObjectEdit()->SelectObjectType(0); break;
    case TFindingPlace::ItemList: main.ObjectEdit()->SelectObjectType(1); break;
    case TFindingPlace::PaletteEntry: main.PaletteEdit()->SelectEntry(index); break;
    case TFindingPlace::AnimationEntry: main.PaletteEdit()->MarkAnimationCell(index); break;
    case TFindingPlace::AnimationFrames: main.PaletteEdit()->FocusFrameCount(); break;
    case TFindingPlace::Chip: main.Chip32x32Edit()->SelectChip(index); break;
    case TFindingPlace::Stage: break;
    }
}

} // namespace vx
