#include "core/model/ScrollPath.h"

#include "core/model/ScrollEntry.h"

namespace vx {

ScrollPath walkScrollPath(std::span<const std::uint8_t> scroll, int startRoom, int startEntry)
{
    ScrollPath path;
    path.segmentLeftRoom.fill(startRoom);
    int room = startRoom, entry = startEntry;
    while (entry >= 0 && entry < ScrollEntryCount && room >= 0 && room < RoomCount) {
        path.segmentLeftRoom[static_cast<std::size_t>(entry)] = room;
        const ScrollEntry step = ScrollEntry::decode(
            static_cast<std::size_t>(entry) < scroll.size() ? scroll[static_cast<std::size_t>(entry)] : 0);
        for (int n = step.count; n > 0 && room < RoomCount; --n)
            path.roomFlags[static_cast<std::size_t>(room++)] = rmForward;
        if (room >= RoomCount)
            break;
        // The last room of the entry: its turns, with the unknown bit as the forward mark.
        path.roomFlags[static_cast<std::size_t>(room++)] = step.roomMark();
        ++entry;
    }
    return path;
}

} // namespace vx
