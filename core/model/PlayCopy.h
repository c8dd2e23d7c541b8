#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/base/Result.h"
#include "core/model/AddressData.h"
#include "core/model/RestartPoint.h"

namespace vx {

// Where a test copy starts: one of the stage's restart points, or a room with a landing height
// (the stage's start point's when none is given).
struct PlayStart {
    int stage = 0;
    std::optional<int> point; // 0..5; without it, the room
    int room = 0;             // 0..43
    std::optional<int> y;     // 0..255

    static PlayStart atPoint(int stage, int point) { return {stage, point, 0, std::nullopt}; }
    static PlayStart atRoom(int stage, int room, std::optional<int> y = std::nullopt)
    {
        return {stage, std::nullopt, room, y};
    }
};

// A table of the shown stage laid at the first stage's address.
struct PlacedTable {
    TableKey key;
    std::int32_t from;
    std::int32_t to;
    int bytes; // written
};

struct PlayCopy {
    std::vector<std::uint8_t> image;
    std::vector<PlacedTable> tables;
    RestartPointBytes start{}; // the first stage's start record as written
};

// The restart record the game's first stage starts from.
constexpr int PlayStartRecord = 0;

// The image with the stage's 29 tables laid over the first stage's and the start record set to
// the chosen place, so the game's first stage plays it. Refused with a message, and nothing
// made, for a value outside its range or a table that does not fit the first stage's place.
Result<PlayCopy> makePlayCopy(std::span<const std::uint8_t> image, const AddressData& addresses,
                              const PlayStart& start);

// The scroll entry the path from the start room and entry has in force in a room.
int scrollEntryAt(std::span<const std::uint8_t> scroll, int startRoom, int startEntry, int room);

} // namespace vx
