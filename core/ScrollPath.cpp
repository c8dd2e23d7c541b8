#include "core/ScrollPath.h"

namespace vx {

TScrollPath WalkScrollPath(std::span<const std::uint8_t> scroll, int startRoom, int startEntry)
{
    TScrollPath path;
    path.segmentLeftRoom.fill(startRoom);
    int room = startRoom, entry = startEntry;
    while (entry >= 0 && entry < ScrollEntryCount && room >= 0 && room < RoomCount) {
        path.segmentLeftRoom[static_cast<std::size_t>(entry)] = room;
        const std::uint8_t b = static_cast<std::size_t>(entry) < scroll.size() ? scroll[static_cast<std::size_t>(entry)] : 0;
        for (int n = b & 0x0F; n > 0 && room < RoomCount; --n)
            path.roomFlags[static_cast<std::size_t>(room++)] = rmForward;
        if (room >= RoomCount)
            break;
        // The last room of the entry: its direction bits, with bit 4 as the forward mark.
        path.roomFlags[static_cast<std::size_t>(room++)] = static_cast<std::uint8_t>(b >> 4);
        ++entry;
    }
    return path;
}

} // namespace vx
