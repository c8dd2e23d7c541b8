#include "core/base/HexText.h"
#include "core/model/PlayCopy.h"
#include "core/model/RomImage.h"
#include "rules/RestartPointRules.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <iostream>

namespace vx::tool {

int playCopy(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    if (auto refused = outputRefusal(request.out, {image, request.settings}, request.force))
        return exitRefused(*refused);
    if (request.point.has_value() == request.room.has_value())
        return exitRefused("give either --point or --room. Nothing was written.");
    if (request.y && !request.room)
        return exitRefused("--y goes with --room. Nothing was written.");
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    const int stage = request.stage.value_or(-1);
    const PlayStart start =
        request.point ? PlayStart::atPoint(stage, *request.point) : PlayStart::atRoom(stage, *request.room, request.y);
    const Result<PlayCopy> made = makePlayCopy(rom.editedImage(), *addresses, start);
    if (!made.ok())
        return exitRefused(made.error().text() + " Nothing was written.");
    const PlayCopy& copy = made.value();
    writeImageFile(request.out, copy.image);
    std::cout << "wrote " << request.out << " (" << copy.image.size() << " bytes): stage "
              << formatHex(static_cast<std::uint32_t>(stage), 2) << " in the first stage's place\n";
    for (const PlacedTable& table : copy.tables)
        std::cout << infoOf(table.key).name << ' ' << formatHex(static_cast<std::uint32_t>(table.from), 5) << " -> "
                  << formatHex(static_cast<std::uint32_t>(table.to), 5) << ' ' << table.bytes
                  << (table.bytes == 1 ? " byte\n" : " bytes\n");
    const RestartPoint point(copy.start, addresses->address(TableKey::Map, 0), nullptr, nullptr);
    std::cout << "start record " << PlayStartRecord << ":";
    for (int field = 0; field < RestartPointFieldCount; ++field)
        std::cout << ' ' << restartPointFieldText(point, field);
    std::cout << "\n";
    return ExitOk;
}

} // namespace vx::tool
