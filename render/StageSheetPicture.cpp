#include "render/StageSheetPicture.h"

#include "core/base/HexText.h"
#include "core/model/ScrollPath.h"
#include "core/model/StageCheck.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"

#include <algorithm>

namespace vx {
namespace {

void drawStageRoom(const GraphicManager& graphics, IndexedBitmap& bitmap, const IndexedBitmap& chip32Sheet,
                   const StageData& stage, int room)
{
    graphics.drawRoom(bitmap, chip32Sheet, stage.mapRoom(room));
}

} // namespace

void drawRoomWithObjects(const GraphicManager& graphics, IndexedBitmap& bitmap, const IndexedBitmap& chip32Sheet,
                         const StageData& stage, int room, bool objects)
{
    drawStageRoom(graphics, bitmap, chip32Sheet, stage, room);
    if (objects)
        drawRoomObjects(graphics, bitmap, stage, room, true);
}

std::unique_ptr<IndexedBitmap> drawStageSheetPicture(const GraphicManager& graphics, const StageData& stage,
                                                     const IndexedBitmap& chip32Sheet,
                                                     const SheetPictureOptions& options)
{
    const int columns = std::clamp(options.columns, 1, RoomCount);
    const int rows = (RoomCount + columns - 1) / columns;
    auto sheet = graphics.createDisplayBitmap(columns * RoomPixels, rows * RoomPixels);
    graphics.fillBitmap(*sheet, RGB(0, 0, 0));
    ScrollPath path;
    if (options.scroll) {
        const RestartPoint& start = stage.restartPoints(stage.defaultStartPoint());
        path = walkScrollPath(stage.scroll(), start.startRoom(), start.startScroll);
    }
    const auto covered = coveredRooms(stage);
    const auto room = graphics.createDisplayBitmap(RoomPixels, RoomPixels);
    for (int r = 0; r < RoomCount; ++r) {
        drawStageRoom(graphics, *room, chip32Sheet, stage, r);
        if (options.scroll)
            drawPathMarks(graphics, *room, path.roomFlags[static_cast<std::size_t>(r)]);
        if (options.restartPoints)
            for (int p = 0; p < RestartPointCount; ++p) {
                const RestartPoint& point = stage.restartPoints(p);
                if (point.startRoom() != r)
                    continue;
                drawLandingMarker(graphics, *room, point);
                drawRoomLabel(graphics, *room, 138, point.startY - 12, 12, std::to_string(p));
            }
        if (options.objects)
            drawRoomObjects(graphics, *room, stage, r, true);
        if (options.path && !covered[static_cast<std::size_t>(r)])
            dimRoom(*room);
        drawRoomLabel(graphics, *room, 2, 2, 12, formatHex(static_cast<std::uint32_t>(r), 2));
        copySquare(*sheet, (r % columns) * RoomPixels, (r / columns) * RoomPixels, *room, 0, 0, RoomPixels);
    }
    return sheet;
}

} // namespace vx
