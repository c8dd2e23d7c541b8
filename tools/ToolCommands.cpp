#include "tools/ToolCommands.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/DataFiles.h"
#include "core/files/FileSystem.h"
#include "core/files/IniFile.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/files/Patch.h"
#include "core/model/AddressData.h"
#include "core/model/ChipSearch.h"
#include "core/model/ImageAccess.h"
#include "core/model/RestartPoint.h"
#include "core/model/RomImage.h"
#include "core/model/SampleImage.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"
#include "core/model/TileSheet.h"
#include "rules/ChipRules.h"
#include "rules/ObjectRules.h"
#include "rules/RestartPointRules.h"
#include "rules/ScrollRules.h"
#include "tools/OutputGuard.h"
#include "tools/ReorderCommands.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>

namespace vx::tool {
namespace {

const char* groupName(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return "chips";
    case SharedGroup::Map: return "map";
    case SharedGroup::Scroll: return "scroll";
    case SharedGroup::EnemyObjects: return "enemies";
    case SharedGroup::ItemObjects: return "items";
    case SharedGroup::RestartPoints: return "mid-points";
    }
    return "?";
}

// What every per-stage command does first: the image opened as the editor would; then
// print shows the stage that --stage names.
int withStage(const ToolRequest& request, const std::function<void(const StageData&)>& print)
{
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, request.files[0]))
        return ExitRefused;
    print(rom.stage(request.stage.value_or(0)));
    return ExitOk;
}

// One sort's section of a room; nothing when the room has none of that sort.
void printRoomObjects(const StageObjects& objects, int room, const char* sort)
{
    const RoomObjectList& list = objects.lists(room);
    if (list.empty())
        return;
    // The lines keep their CR LF so a script compares them with the dialog's text as is.
    std::cout << "room " << formatHex(static_cast<std::uint32_t>(room), 2) << ' ' << sort << "\n"
              << roomObjectsText(list);
}

} // namespace

static std::string nothingWritten()
{
    return localized("何も書き込んでいません"
                     "。",
                     "Nothing was written.");
}

std::string colourFileOf(const ToolRequest& request)
{
    if (!request.palette.empty())
        return request.palette;
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return findDataFolder(error ? std::string(".") : self.parent_path().string()) + "/fcpalette.pal";
}

std::unique_ptr<AddressData> loadAddresses(const ToolRequest& request)
{
    // A named file that is not there is a slip of the keyboard, not a wish for the defaults.
    if (!request.settings.empty() && !pathExists(request.settings))
        throw UserError(fileErrorText(FileAction::Open, request.settings, systemReason(ENOENT)));
    SettingsFile settings(request.settings);
    auto addresses = std::make_unique<AddressData>(settings);
    // A value the user wrote is never quietly replaced by a default.
    if (!addresses->problems().empty())
        throw UserError(settingsProblemsText(addresses->problems()) + "\n" + nothingWritten());
    return addresses;
}

int exitRefused(const std::string& message)
{
    std::cerr << "vexalon2-tool: " << message << "\n";
    return ExitRefused;
}

bool loadImage(RomImage& rom, const std::string& file)
{
    const Result<void> loaded = rom.loadFromFile(file);
    if (loaded.ok())
        return true;
    const std::string reason = loaded.error().text();
    exitRefused(reason.find(file) == std::string::npos ? file + ": " + reason : reason);
    return false;
}

int makeSample(const ToolRequest& request)
{
    const std::string& out = request.files[0];
    if (auto refused = outputRefusal(out, {}, request.force))
        return exitRefused(*refused);
    const auto image = makeSampleImage();
    writeImageFile(out, image);
    std::cout << "wrote " << out << " (" << image.size() << " bytes)\n";
    return ExitOk;
}

int settings(const ToolRequest& request)
{
    // Completed in place; the reading path refuses a file that is no settings file.
    const std::string& file = request.files[0];
    SettingsFile settings(file);
    if (const int line = settings.firstStrayLine())
        return exitRefused(file + ": line " + std::to_string(line) +
                           " is neither a [section] nor a key=value line of one: this is no settings file, and it "
                           "was not replaced.");
    const AddressData addresses(settings);
    if (!addresses.problems().empty())
        return exitRefused(settingsProblemsText(addresses.problems()) + "\n" + nothingWritten());
    settings.updateFile();
    std::cout << "wrote " << file << ": " << settings.readSection(AddressSection).size() << " address keys, "
              << settings.readSection(DefaultSection).size() << " default keys\n";
    return ExitOk;
}

int info(const ToolRequest& request)
{
    const auto addresses = loadAddresses(request);
    const auto bytes = readInputFile(request.files[0], InputKind::Image);
    const auto size = static_cast<std::int64_t>(bytes.size());
    std::cout << "size: " << size << " (0x" << formatHex(static_cast<std::uint32_t>(size)) << ")\n";
    std::cout << "header:";
    for (std::size_t i = 0; i < 16 && i < bytes.size(); ++i)
        std::cout << ' ' << formatHex(bytes[i], 2);
    std::cout << "\n";
    for (int stage = 0; stage < StageCount; ++stage) {
        std::cout << "stage " << formatHex(static_cast<std::uint32_t>(stage), 2) << ":";
        bool shares = false;
        for (SharedGroup group : SharedGroups) {
            const int source = shareSource(*addresses, group, stage);
            if (source >= 0) {
                std::cout << ' ' << groupName(group) << "=" << formatHex(static_cast<std::uint32_t>(source), 2);
                shares = true;
            }
        }
        if (!shares)
            std::cout << " no shared tables";
        std::cout << "\n";
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int32_t address = addresses->address(key, stage);
            if (!rangeInside(address, infoOf(key).length, size))
                std::cout << "  outside the image: " << infoOf(key).name << "[" << stage << "] at "
                          << formatHex(static_cast<std::uint32_t>(address), 8) << ", length "
                          << formatHex(static_cast<std::uint32_t>(infoOf(key).length)) << "\n";
        }
    }
    if (const Result<void> checked = checkImage(bytes, *addresses); !checked.ok()) {
        std::cerr << "the editor would refuse this image: " << checked.error().text() << "\n";
        return ExitRefused;
    }
    return ExitOk;
}

int roundtrip(const ToolRequest& request)
{
    const std::string &image = request.files[0], &out = request.files[1];
    // Onto itself is a deliberate re-save; any other file is an output like every other.
    if (auto refused = sameFile(out, image) ? outputRefusal(out, {request.settings}, true)
                                            : outputRefusal(out, {image, request.settings}, request.force))
        return exitRefused(*refused);
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    rom.saveToFile(out);
    std::cout << "wrote " << out << " (" << rom.imageSize() << " bytes)\n";
    return ExitOk;
}

namespace {

// The map cells holding a chip, for chips --where.
int chipUsesOf(const ToolRequest& request)
{
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, request.files[0]))
        return ExitRefused;
    const std::vector<ChipUse> uses =
        chipUses(rom, *request.whereChip, request.allStages ? -1 : request.stage.value_or(0));
    for (const ChipUse& use : uses) {
        std::cout << "stage " << formatHex(static_cast<std::uint32_t>(use.stage), 2) << " room "
                  << formatHex(static_cast<std::uint32_t>(use.room), 2) << " column " << use.column << " row "
                  << use.row;
        if (use.stages.size() > 1)
            std::cout << " (stages " << hexListText(use.stages) << ")";
        std::cout << "\n";
    }
    const UseCount count = countUses(uses);
    std::cout << count.cells << (count.cells == 1 ? " cell" : " cells") << " in " << count.rooms
              << (count.rooms == 1 ? " room\n" : " rooms\n");
    return ExitOk;
}

} // namespace

int chips(const ToolRequest& request)
{
    const bool change = !request.chipPair.empty() || request.mergeDuplicates;
    if (change != !request.out.empty() || (change && (!request.stage || request.whereChip))) {
        std::cerr << "vexalon2-tool chips: --swap, --move and --merge-duplicates go with --stage N and --out OUT\n";
        return ExitUsage;
    }
    if (change)
        return reorderChips(request);
    if (request.whereChip)
        return chipUsesOf(request);
    if (!request.stage) {
        std::cerr << "vexalon2-tool chips: --all-stages goes with --where; the lists are of one stage (--stage N)\n";
        return ExitUsage;
    }
    return withStage(request, [](const StageData& stage) {
        // The lists keep their CR LF so a script compares them with the window's text as is.
        std::cout << "unused\n"
                  << unusedChipListText(stage.map()) << "duplicated\n"
                  << duplicatedChipListText(stage.chip32x32(), stage.chip32x32Attribute());
    });
}

int objects(const ToolRequest& request)
{
    const std::optional<int> onlyRoom = request.room;
    return withStage(request, [&](const StageData& stage) {
        const StageObjects& enemies = stage.enemyObjects();
        const StageObjects& items = stage.itemObjects();
        const int first = onlyRoom.value_or(0);
        const int last = onlyRoom.value_or(RoomCount - 1);
        for (int room = first; room <= last; ++room) {
            printRoomObjects(enemies, room, "enemies");
            printRoomObjects(items, room, "items");
        }
        std::cout << "enemies " << totalCountText(enemies, EnemyCapacity) << "\n"
                  << "items " << totalCountText(items, ItemCapacity) << "\n";
    });
}

int scroll(const ToolRequest& request)
{
    return withStage(request, [](const StageData& stage) {
        const EnglishTexts english;
        const RestartPoint& start = stage.restartPoints(stage.defaultStartPoint());
        const std::vector<std::uint8_t>& scroll = stage.scroll();
        std::cout << "entries\n";
        for (int i = 0; i < ScrollEntryCount; ++i) {
            const std::uint8_t entry =
                static_cast<std::size_t>(i) < scroll.size() ? scroll[static_cast<std::size_t>(i)] : 0;
            std::cout << scrollLineText(i, entry, i == start.startScroll) << "\n";
        }
        // Words rather than the page's arrows, so the lines stay plain ASCII.
        static constexpr std::pair<RoomMark, const char*> MarkWords[] = {
            {rmForward, ">>"}, {rmRight, "right"}, {rmDown, "down"}, {rmUp, "up"}};
        const ScrollPath path = walkScrollPath(scroll, start.startRoom(), start.startScroll);
        std::cout << "path\n";
        for (int room = 0; room < RoomCount; ++room) {
            const std::uint8_t flags = path.roomFlags[static_cast<std::size_t>(room)];
            if (flags == 0)
                continue;
            std::cout << "room " << formatHex(static_cast<std::uint32_t>(room), 2) << ':';
            for (const auto& [mark, word] : MarkWords)
                if (flags & mark)
                    std::cout << ' ' << word;
            std::cout << "\n";
        }
    });
}

int restartPoints(const ToolRequest& request)
{
    return withStage(request, [](const StageData& stage) {
        std::cout << "point StartY StartRoom EnemyIndex ItemIndex MapBackAddr MapForwardAddr StartScroll "
                     "LeftRoom RightRoom\n";
        for (int i = 0; i < RestartPointCount; ++i) {
            std::cout << i;
            for (int field = 0; field < RestartPointFieldCount; ++field)
                std::cout << ' ' << restartPointFieldText(stage.restartPoints(i), field);
            std::cout << (i == stage.defaultStartPoint() ? " start\n" : "\n");
        }
    });
}

int makePatchFile(const ToolRequest& request)
{
    const std::string &original = request.files[0], &edited = request.files[1], &target = request.files[2];
    const auto format = patchFormatOfPath(target);
    if (!format) {
        std::cerr << "vexalon2-tool patch: the patch file's name must end in .ips or .bps: " << target << "\n";
        return ExitUsage;
    }
    if (auto refused = outputRefusal(target, {original, edited}, request.force))
        return exitRefused(*refused);
    const auto before = readInputFile(original, InputKind::Image);
    const auto after = readInputFile(edited, InputKind::Image);
    const Result<MadePatch> made = makePatchBetween(before, after, *format);
    if (!made.ok())
        return exitRefused(made.error().text());
    const MadePatch& patch = made.value();
    writeOutputFile(target, patch.bytes);
    const char* unit = *format == PatchFormat::Ips ? " record" : " action";
    std::cout << "wrote " << target << " (" << patch.bytes.size() << " bytes, " << patch.records << unit
              << (patch.records == 1 ? ")\n" : "s)\n");
    return ExitOk;
}

int applyPatchFile(const ToolRequest& request)
{
    const std::string &imageFile = request.files[0], &patchFile = request.files[1], &out = request.files[2];
    if (auto refused = outputRefusal(out, {imageFile, patchFile}, request.force))
        return exitRefused(*refused);
    const auto image = readInputFile(imageFile, InputKind::Image);
    const auto patch = readInputFile(patchFile, InputKind::Patch);
    const Result<std::vector<std::uint8_t>> applied = applyPatch(patch, image, static_cast<std::size_t>(MaxImageSize));
    if (!applied.ok())
        return exitRefused(patchFile + ": " + applied.error().text());
    const std::vector<std::uint8_t>& patched = applied.value();
    // An IPS knows nothing of its source: only the result can tell a wrong or cut patch.
    if (const Result<void> format = checkImageFormat(patched); !format.ok())
        return exitRefused(patchFile +
                           ": the patched result is not an image the editor opens, so nothing was written.\n" +
                           format.error().text());
    writeImageFile(out, patched);
    std::cout << "wrote " << out << " (" << patched.size() << " bytes)\n";
    return ExitOk;
}

} // namespace vx::tool
