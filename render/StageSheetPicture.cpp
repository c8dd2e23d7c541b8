#include "render/StageSheetPicture.h"

#include "core/HexText.h"
#include "core/ScrollPath.h"
#include "core/StageCheck.h"
#include "core/StageData.h"
#include "core/VxObject.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"

#include <algorithm>

namespace vx {
namespace {

void DrawStageRoom(const TGraphicManager& graphics, TNkDIB& bitmap, const TNkDIB& chip32Sheet, const TStageData& stage,
                   int room)
{
    graphics.DrawRoom(bitmap, chip32Sheet, stage.MapRoom(room));
}

} // namespace

void DrawRoomWithObjects(const TGraphicManager& graphics, TNkDIB& bitmap, const TNkDIB& chip32Sheet,
                         const TStageData& stage, int room, bool objects)
{
    DrawStageRoom(graphics, bitmap, chip32Sheet, stage, room);
    if (objects)
        DrawRoomObjects(graphics, bitmap, stage, room, true);
}

std::unique_ptr<TNkDIB> DrawStageSheetPicture(const TGraphicManager& graphics, const TStageData& stage,
                                              const TNkDIB& chip32Sheet, const TSheetPictureOptions& options)
{
    const int columns = std::clamp(options.columns, 1, RoomCount);
    const int rows = (RoomCount + columns - 1) / columns;
    auto sheet = graphics.CreateDisplayBitmap(columns * RoomPixels, rows * RoomPixels);
    graphics.FillBitmap(*sheet, RGB(0, 0, 0));
    TScrollPath path;
    if (options.scroll) {
        const TMidPoint& start = stage.MidPoints(stage.DefaultStartPoint());
        path = WalkScrollPath(stage.Scroll(), start.StartRoom(), start.StartScroll);
    }
    const auto covered = CoveredRooms(stage);
    const auto room = graphics.CreateDisplayBitmap(RoomPixels, RoomPixels);
    for (int r = 0; r < RoomCount; ++r) {
        DrawStageRoom(graphics, *room, chip32Sheet, stage, r);
        if (options.scroll)
            DrawPathMarks(graphics, *room, path.roomFlags[static_cast<std::size_t>(r)]);
        if (options.midPoints)
            for (int p = 0; p < MidPointCount; ++p) {
                const TMidPoint& point = stage.MidPoints(p);
                if (point.StartRoom() != r)
                    continue;
                DrawLandingMarker(graphics, *room, point);
                DrawRoomLabel(graphics, *room, 138, point.StartY - 12, 12, std::to_string(p));
            }
        if (options.objects)
            DrawRoomObjects(graphics, *room, stage, r, true);
        if (options.path && !covered[static_cast<std::size_t>(r)])
            DimRoom(*room);
        DrawRoomLabel(graphics, *room, 2, 2, 12, FormatHex(static_cast<std::uint32_t>(r), 2));
        CopySquare(*sheet, (r % columns) * RoomPixels, (r / columns) * RoomPixels, *room, 0, 0, RoomPixels);
    }
    return sheet;
}

} // namespace vx
