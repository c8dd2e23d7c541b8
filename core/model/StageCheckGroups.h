#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/StageCheck.h"

namespace vx {

class AddressData;

// One place a repeated check found, with the byte it found there.
struct Spot {
    int index;
    std::uint8_t value;
};

// The checks that can fire on many places of one table.
enum class RepeatKind {
    ForeignColour,       // a colour above 3F that is shown
    HiddenForeignColour, // one in an animation row that is never shown
    UnknownScrollBit,    // a scroll entry with bit 4 set on the start point's path
};

// One finding for every spot of one kind in one table: the plain sentence for one spot, else
// the values, the count and the first ListedPlaces places in one line. Nothing for no spots.
std::optional<Finding> repeatedFinding(Severity severity, int stage, FindingPlace place, RepeatKind kind,
                                       const std::vector<Spot>& spots);

// A room holding objects that no restart point's walk passes.
struct UnreachedRoom {
    int room, enemies, items;
};

// One note for all such rooms, ascending; nothing for none.
std::optional<Finding> unreachedRoomsFinding(int stage, const std::vector<UnreachedRoom>& rooms);

// One note per other stage that shares any table with this one, naming those tables.
std::vector<Finding> sharingFindings(const AddressData& addresses, int stage);

} // namespace vx
