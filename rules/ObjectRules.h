#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/MapRules.h"

namespace vx {

class RoomObjectList;
class StageObjects;
class PlacedObject;

constexpr int ObjectHitReach = 9; // pixels either way

// A pointer position in a view of `size` pixels as a room pixel: trunc(position x 256 / size).
int objectCoordinate(int position, int size);
// The first object of the room's list, in list order, within 9 pixels both ways of
// (px, py); not the nearest.
const PlacedObject* hitTestObject(const RoomObjectList& room, int px, int py);
// Where a drag puts the object: Ctrl snaps to multiples of 8, Shift to multiples of 4;
// both held means no move (nothing). Not yet clamped.
struct ObjectPoint {
    int x;
    int y;
    bool operator==(const ObjectPoint&) const = default;
};
std::optional<ObjectPoint> dragPosition(int px, int py, bool ctrl, bool shift);
// value + step within lowest..highest.
int stepWithin(int value, int step, int lowest, int highest);

// The left room of a stage's first view: its start room, at most 2A.
int firstLeftRoom(int startRoom);
// The left room after making `room` shown: the views move only as far as needed.
int leftRoomShowing(int left, int room);

// Tool tip of an object: placement number, X, Y and kind name on five lines (CR LF).
std::string objectHintText(int orderIndex, const PlacedObject& object, const std::vector<std::string>& kindNames);

// The display labels: "0A-0B", per-room counts "3-0", totals "57 / 128".
std::string shownRoomsText(int left);
std::string roomCountsText(const StageObjects& objects, int left);
std::string totalCountText(const StageObjects& objects, int limit);

// The view menu's items for the object under the right click (or none) and the copied kind
// (-1 when nothing was copied).
struct ObjectMenuItem {
    bool enabled;
    std::string caption;
};
struct ObjectMenuState {
    ObjectMenuItem create, copy, paste, select, remove;
};
ObjectMenuState objectMenuState(const PlacedObject* hovered, int clipboard);

// The room text dialog: one line "X Y KIND" per object of the room, CR LF after each.
std::string roomObjectsText(const RoomObjectList& room);
// Its lines read back: each line's first three tokens (blanks and tabs separate) as hex,
// low byte of each; a line with fewer than three valid tokens gives nothing.
struct ObjectLine {
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t kind;
    bool operator==(const ObjectLine&) const = default;
};
std::vector<ObjectLine> parseRoomObjectsText(std::string_view text);
// How many objects a room can hold: the capacity less the other rooms' objects (0 outside).
int roomObjectsLimit(const StageObjects& objects, int room);
// Whether a room's objects can be replaced by `lines` objects without passing capacity.
bool roomObjectsFit(const StageObjects& objects, int room, std::size_t lines);

// Texts in the user's language.
std::string roomTextCaption(int room);
std::string cannotCreateObjectText();
std::string failedToAddObjectsText();
// The room text dialog's refusal: `typed` objects where the room holds at most `fit`.
std::string roomObjectsDoNotFitText(int typed, int fit);
std::string orderTypeQuestion();

} // namespace vx
