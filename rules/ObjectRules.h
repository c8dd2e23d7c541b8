#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/MapRules.h"

namespace vx {

class TVxObjectList;
class TVxObjectManager;
class TVxObjectNode;

constexpr int ObjectHitReach = 9;        // pixels either way

// A pointer position in a view of `size` pixels as a room pixel: trunc(position x 256 / size).
int ObjectCoordinate(int position, int size);
// The first object of the room's list, in list order, within 9 pixels both ways of
// (px, py); not the nearest.
TVxObjectNode* HitTestObject(const TVxObjectList& room, int px, int py);
// Where a drag puts the object: Ctrl snaps to multiples of 8, Shift to multiples of 4;
// both held means no move (nothing). Not yet clamped.
struct TObjectPoint {
    int x;
    int y;
    bool operator==(const TObjectPoint&) const = default;
};
std::optional<TObjectPoint> DragPosition(int px, int py, bool ctrl, bool shift);
// value + step within lowest..highest.
int StepWithin(int value, int step, int lowest, int highest);

// The left room of a stage's first view: its start room, at most 2A.
int FirstLeftRoom(int startRoom);
// The left room after making `room` shown: the views move only as far as needed.
int LeftRoomShowing(int left, int room);

// Tool tip of an object: placement number, X, Y and kind name on five lines (CR LF).
std::string ObjectHintText(int orderIndex, const TVxObjectNode& object, const std::vector<std::string>& kindNames);

// The display labels: "0A-0B", per-room counts "3-0", totals "57 / 128".
std::string ShownRoomsText(int left);
std::string RoomCountsText(const TVxObjectManager& objects, int left);
std::string TotalCountText(const TVxObjectManager& objects, int limit);

// The view menu's items for the object under the right click (or none) and the copied kind
// (-1 when nothing was copied).
struct TObjectMenuItem {
    bool enabled;
    std::string caption;
};
struct TObjectMenuState {
    TObjectMenuItem create, copy, paste, select, remove;
};
TObjectMenuState ObjectMenuState(const TVxObjectNode* hovered, int clipboard);

// The room text dialog: one line "X Y KIND" per object of the room, CR LF after each.
std::string RoomObjectsText(const TVxObjectList& room);
// Its lines read back: each line's first three tokens (blanks and tabs separate) as hex,
// low byte of each; a line with fewer than three valid tokens gives nothing.
struct TObjectLine {
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t kind;
    bool operator==(const TObjectLine&) const = default;
};
std::vector<TObjectLine> ParseRoomObjectsText(std::string_view text);
// How many objects a room can hold: the capacity less the other rooms' objects (0 outside).
int RoomObjectsLimit(const TVxObjectManager& objects, int room);
// Whether a room's objects can be replaced by `lines` objects without passing capacity.
bool RoomObjectsFit(const TVxObjectManager& objects, int room, std::size_t lines);

// Texts in the user's language.
std::string RoomTextCaption(int room);
std::string CannotCreateObjectText();
std::string FailedToAddObjectsText();
// The room text dialog's refusal: `typed` objects where the room holds at most `fit`.
std::string RoomObjectsDoNotFitText(int typed, int fit);
std::string OrderTypeQuestion();

} // namespace vx
