#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/ScrollPath.h"

namespace vx {

class TGraphicManager;
class TMidPoint;
class TNkDIB;
class TStageData;

// What is drawn over a room, the same on the pages and in the stage picture.

// White text on an opaque black cell, as the scroll page writes its marks.
void DrawRoomLabel(const TGraphicManager& graphics, TNkDIB& bitmap, int x, int y, int size, const std::string& text);

// The path marks' texts in the user's language, and where each stands.
struct TMarkText {
    TRoomMark mark;
    int x;
    int y;
    std::string text;
};
std::array<TMarkText, 4> MarkTexts();
// The marks a room has on the path (its TScrollPath room flags).
void DrawPathMarks(const TGraphicManager& graphics, TNkDIB& bitmap, std::uint8_t flags);

// Where the player lands: a white frame centred on x = 128, its middle at the landing height.
void DrawLandingMarker(const TGraphicManager& graphics, TNkDIB& bitmap, const TMidPoint& point);

// A room no restart point's walk reaches: every other pixel black, a shade that keeps the
// room readable in an indexed bitmap.
void DimRoom(TNkDIB& bitmap);

// The room's objects as the object page shows them: the edited kind in white with its
// numbers, the other kind in magenta.
void DrawRoomObjects(const TGraphicManager& graphics, TNkDIB& bitmap, const TStageData& stage, int room,
                     bool enemiesEdited);

} // namespace vx
