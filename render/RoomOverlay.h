#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/model/ScrollPath.h"

namespace vx {

class GraphicManager;
class RestartPoint;
class IndexedBitmap;
class StageData;

// What is drawn over a room, the same on the pages and in the stage picture.

// White text on an opaque black cell, as the scroll page writes its marks.
void drawRoomLabel(const GraphicManager& graphics, IndexedBitmap& bitmap, int x, int y, int size,
                   const std::string& text);

// The path marks' texts in the user's language, and where each stands.
struct MarkText {
    RoomMark mark;
    int x;
    int y;
    std::string text;
};
std::array<MarkText, 4> markTexts();
// The marks a room has on the path (its ScrollPath room flags).
void drawPathMarks(const GraphicManager& graphics, IndexedBitmap& bitmap, std::uint8_t flags);

// Where the player lands: a white frame centred on x = 128, its middle at the landing height.
void drawLandingMarker(const GraphicManager& graphics, IndexedBitmap& bitmap, const RestartPoint& point);

// A room no restart point's walk reaches: every other pixel black, a shade that keeps the
// room readable in an indexed bitmap.
void dimRoom(IndexedBitmap& bitmap);

// The room's objects as the object page shows them: the edited kind in white with its
// numbers, the other kind in magenta.
void drawRoomObjects(const GraphicManager& graphics, IndexedBitmap& bitmap, const StageData& stage, int room,
                     bool enemiesEdited);

} // namespace vx
