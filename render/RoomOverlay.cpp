#include "render/RoomOverlay.h"

#include "core/base/Language.h"
#include "core/model/RestartPoint.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"
#include "render/GraphicManager.h"

namespace vx {

void drawRoomLabel(const GraphicManager& graphics, IndexedBitmap& bitmap, int x, int y, int size,
                   const std::string& text)
{
    BitmapCanvas canvas(bitmap, graphics.glyphRenderer());
    canvas.font.name = "MS Gothic";
    canvas.font.size = size;
    canvas.font.color = RGB(255, 255, 255);
    canvas.brushColor = RGB(0, 0, 0);
    canvas.textOut(x, y, text);
}

std::array<MarkText, 4> markTexts()
{
    return {{{rmForward, 128, 128, ">>"},
             {rmRight, 208, 128, localized("→", "->")},
             {rmDown, 128, 208, localized("↓", "v")},
             {rmUp, 128, 16, localized("↑", "^")}}};
}

void drawPathMarks(const GraphicManager& graphics, IndexedBitmap& bitmap, std::uint8_t flags)
{
    if (flags == 0)
        return;
    for (const MarkText& mark : markTexts())
        if (flags & mark.mark)
            drawRoomLabel(graphics, bitmap, mark.x, mark.y, 24, mark.text);
}

void drawLandingMarker(const GraphicManager& graphics, IndexedBitmap& bitmap, const RestartPoint& point)
{
    graphics.drawFrame(bitmap, 120, point.startY - 12, 16, 24, RGB(255, 255, 255));
}

void dimRoom(IndexedBitmap& bitmap)
{
    const std::uint8_t black = bitmap.indexOf(RGB(0, 0, 0));
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        for (int x = y & 1; x < bitmap.width(); x += 2)
            row[x] = black;
    }
}

void drawRoomObjects(const GraphicManager& graphics, IndexedBitmap& bitmap, const StageData& stage, int room,
                     bool enemiesEdited)
{
    const StageObjects& edited = enemiesEdited ? stage.enemyObjects() : stage.itemObjects();
    const StageObjects& other = enemiesEdited ? stage.itemObjects() : stage.enemyObjects();
    graphics.drawObjectMarkersEx(bitmap, other.lists(room), true, GraphicManager::CursorColor,
                                 GraphicManager::CursorColor);
    graphics.drawObjectMarkers(bitmap, edited.lists(room));
}

} // namespace vx
