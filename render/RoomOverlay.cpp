#include "render/RoomOverlay.h"

#include "core/Language.h"
#include "core/MidPoint.h"
#include "core/StageData.h"
#include "core/VxObject.h"
#include "render/GraphicManager.h"

namespace vx {

void DrawRoomLabel(const TGraphicManager& graphics, TNkDIB& bitmap, int x, int y, int size, const std::string& text)
{
    TNkDIBCanvas canvas(bitmap, graphics.GlyphRenderer());
    canvas.Font.name = "MS Gothic";
    canvas.Font.size = size;
    canvas.Font.color = RGB(255, 255, 255);
    canvas.BrushColor = RGB(0, 0, 0);
    canvas.TextOut(x, y, text);
}

std::array<TMarkText, 4> MarkTexts()
{
    return {{{rmForward, 128, 128, ">>"},
             {rmRight, 208, 128, Tr("→", "->")},
             {rmDown, 128, 208, Tr("↓", "v")},
             {rmUp, 128, 16, Tr("↑", "^")}}};
}

void DrawPathMarks(const TGraphicManager& graphics, TNkDIB& bitmap, std::uint8_t flags)
{
    if (flags == 0)
        return;
    for (const TMarkText& mark : MarkTexts())
        if (flags & mark.mark)
            DrawRoomLabel(graphics, bitmap, mark.x, mark.y, 24, mark.text);
}

void DrawLandingMarker(const TGraphicManager& graphics, TNkDIB& bitmap, const TMidPoint& point)
{
    graphics.DrawFrame(bitmap, 120, point.StartY - 12, 16, 24, RGB(255, 255, 255));
}

void DimRoom(TNkDIB& bitmap)
{
    const std::uint8_t black = bitmap.IndexOf(RGB(0, 0, 0));
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = y & 1; x < bitmap.Width(); x += 2)
            row[x] = black;
    }
}

void DrawRoomObjects(const TGraphicManager& graphics, TNkDIB& bitmap, const TStageData& stage, int room,
                     bool enemiesEdited)
{
    const TVxObjectManager& edited = enemiesEdited ? stage.EnemyObjects() : stage.ItemObjects();
    const TVxObjectManager& other = enemiesEdited ? stage.ItemObjects() : stage.EnemyObjects();
    graphics.DrawObjectMarkersEx(bitmap, other.Lists(room), true, TGraphicManager::CursorColor,
                                 TGraphicManager::CursorColor);
    graphics.DrawObjectMarkers(bitmap, edited.Lists(room));
}

} // namespace vx
