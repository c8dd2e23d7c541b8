// Any text in the room text dialog: every line read back is three bytes, and the text the
// dialog would show for the resulting room reads back to the same objects.
#include "core/model/StageObjects.h"
#include "rules/ObjectRules.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<ObjectLine> lines = parseRoomObjectsText(text);
    std::vector<std::uint8_t> room(256, 0xFF), x(256), y(256), kind(256);
    StageObjects objects(room, x, y, kind, EnemyCapacity);
    if (!roomObjectsFit(objects, 7, lines.size()) != (lines.size() > EnemyCapacity))
        std::abort();
    for (const ObjectLine& line : lines)
        if (!objects.addObject(7, line.x, line.y, line.kind))
            break;
    const std::vector<ObjectLine> again = parseRoomObjectsText(roomObjectsText(objects.lists(7)));
    const std::size_t kept = std::min<std::size_t>(lines.size(), EnemyCapacity);
    if (again.size() != kept || !std::equal(again.begin(), again.end(), lines.begin()))
        std::abort();
    return 0;
}
