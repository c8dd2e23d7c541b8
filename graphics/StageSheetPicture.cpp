#include "graphics/StageSheetPicture.h"

#include "core/HexText.h"
#include "core/StageData.h"
#include "editors/ScrollEditRules.h"
#include "graphics/GraphicManager.h"
#include "objects/VxObject.h"

#include <algorithm>

namespace vx {
namespace {

constexpr int RoomPixels = 256;

// White text on an opaque black cell, as the scroll page writes its marks.
void Label(const TGraphicManager& graphics, TNkDIB& bitmap, int x, int y, int size, const std::string& text)
{
    TNkDIBCanvas canvas(bitmap, graphics.GlyphRenderer());
    canvas.Font.name = "MS Gothic";
    canvas.Font.size = size;
    canvas.Font.color = RGB(255, 255, 255);
    canvas.BrushColor = RGB(0, 0, 0);
    canvas.TextOut(x, y, text);
}

void DrawObjectsOfRoom(const TGraphicManager& graphics, TNkDIB& bitmap, const TStageData& stage, int room)
{
    graphics.DrawObjectMarkersEx(bitmap, stage.ItemObjects().Lists(room), true, TGraphicManager::CursorColor,
                                 TGraphicManager::CursorColor);
    graphics.DrawObjectMarkers(bitmap, stage.EnemyObjects().Lists(room));
}

void DrawStageRoom(const TGraphicManager& graphics, TNkDIB& bitmap, const TNkDIB& chip32Sheet, const TStageData& stage,
                   int room)
{
    graphics.DrawRoom(bitmap, chip32Sheet, std::span(stage.Map()).subspan(static_cast<std::size_t>(room) * RoomSize, RoomSize));
}

} // namespace

void DrawRoomWithObjects(const TGraphicManager& graphics, TNkDIB& bitmap, const TNkDIB& chip32Sheet,
                         const TStageData& stage, int room, bool objects)
{
    DrawStageRoom(graphics, bitmap, chip32Sheet, stage, room);
    if (objects)
        DrawObjectsOfRoom(graphics, bitmap, stage, room);
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
    const auto room = graphics.CreateDisplayBitmap(RoomPixels, RoomPixels);
    for (int r = 0; r < RoomCount; ++r) {
        DrawStageRoom(graphics, *room, chip32Sheet, stage, r);
        if (options.scroll)
            for (const TMarkText& mark : MarkTexts())
                if (path.roomFlags[static_cast<std::size_t>(r)] & mark.mark)
                    Label(graphics, *room, mark.x, mark.y, 24, mark.text);
        if (options.midPoints)
            for (int p = 0; p < MidPointCount; ++p) {
                const TMidPoint& point = stage.MidPoints(p);
                if (point.StartRoom() != r)
                    continue;
                graphics.DrawFrame(*room, 120, point.StartY - 12, 16, 24, RGB(255, 255, 255));
                Label(graphics, *room, 138, point.StartY - 12, 12, std::to_string(p));
            }
        if (options.objects)
            DrawObjectsOfRoom(graphics, *room, stage, r);
        Label(graphics, *room, 2, 2, 12, FormatHex(static_cast<std::uint32_t>(r), 2));
        CopySquare(*sheet, (r % columns) * RoomPixels, (r / columns) * RoomPixels, *room, 0, 0, RoomPixels);
    }
    return sheet;
}

} // namespace vx
