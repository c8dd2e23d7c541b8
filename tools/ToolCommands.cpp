#include "tools/ToolCommands.h"

#include "core/AddressData.h"
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
#include "core/ImageAccess.h"
#include "core/InputFile.h"
#include "core/Language.h"
#include "core/MidPoint.h"
#include "core/MyIniFiles.h"
#include "core/OutputFile.h"
#include "core/Patch.h"
#include "core/RomImgManager.h"
#include "core/SampleImage.h"
#include "core/StageData.h"
#include "core/VxObject.h"
#include "rules/ChipRules.h"
#include "rules/MidPointRules.h"
#include "rules/ObjectRules.h"
#include "rules/ScrollRules.h"
#include "tools/OutputGuard.h"

#include <cerrno>
#include <functional>
#include <iostream>
#include <optional>

namespace vx::tool {
namespace {

const char* GroupName(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return "chips";
    case SharedGroup::Map: return "map";
    case SharedGroup::Scroll: return "scroll";
    case SharedGroup::EnemyObjects: return "enemies";
    case SharedGroup::ItemObjects: return "items";
    case SharedGroup::MidPoints: return "mid-points";
    }
    return "?";
}

// What every per-stage command does first: the image opened as the editor would; then
// print shows the stage that --stage names.
int WithStage(const TToolRequest& request, const std::function<void(const TStageData&)>& print)
{
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, request.files[0]))
        return ExitRefused;
    print(rom.Stage(request.stage.value_or(0)));
    return ExitOk;
}

// One sort's section of a room; nothing when the room has none of that sort.
void PrintRoomObjects(const TVxObjectManager& objects, int room, const char* sort)
{
    const TVxObjectList& list = objects.Lists(room);
    if (list.Empty())
        return;
    // The lines keep their CR LF so a script compares them with the dialog's text as is.
    std::cout << "room " << FormatHex(static_cast<std::uint32_t>(room), 2) << ' ' << sort << "\n"
              << RoomObjectsText(list);
}

} // namespace

static std::string NothingWritten() { return Tr("何も書き込んでいません。", "Nothing was written."); }

std::unique_ptr<TAddressData> LoadAddresses(const TToolRequest& request)
{
    // A named file that is not there is a slip of the keyboard, not a wish for the defaults.
    if (!request.settings.empty() && !PathExists(request.settings))
        throw VxError(FileErrorText(TFileAction::Open, request.settings, SystemReason(ENOENT)));
    TMyMemIniFile settings(request.settings);
    auto addresses = std::make_unique<TAddressData>(settings);
    // A value the user wrote is never quietly replaced by a default.
    if (!addresses->Problems().empty())
        throw VxError(SettingsProblemsText(addresses->Problems()) + "\n" + NothingWritten());
    return addresses;
}

int Refused(const std::string& message)
{
    std::cerr << "vexalon2-tool: " << message << "\n";
    return ExitRefused;
}

bool LoadImage(TRomImgManager& rom, const std::string& file)
{
    std::string reason;
    if (rom.LoadFromFile(file, &reason))
        return true;
    Refused(reason.find(file) == std::string::npos ? file + ": " + reason : reason);
    return false;
}

int MakeSample(const TToolRequest& request)
{
    const std::string& out = request.files[0];
    if (auto refused = OutputRefusal(out, {}, request.force))
        return Refused(*refused);
    const auto image = MakeSampleImage();
    WriteImageFile(out, image);
    std::cout << "wrote " << out << " (" << image.size() << " bytes)\n";
    return ExitOk;
}

int Settings(const TToolRequest& request)
{
    // Completed in place; the reading path refuses a file that is no settings file.
    const std::string& file = request.files[0];
    TMyMemIniFile settings(file);
    if (const int line = settings.FirstStrayLine())
        return Refused(file + ": line " + std::to_string(line) +
                       " is neither a [section] nor a key=value line of one: this is no settings file, and it "
                       "was not replaced.");
    const TAddressData addresses(settings);
    if (!addresses.Problems().empty())
        return Refused(SettingsProblemsText(addresses.Problems()) + "\n" + NothingWritten());
    settings.UpdateFile();
    std::cout << "wrote " << file << ": "
              << settings.ReadSection(AddressSection).size() << " address keys, "
              << settings.ReadSection(DefaultSection).size() << " default keys\n";
    return ExitOk;
}

int Info(const TToolRequest& request)
{
    const auto addresses = LoadAddresses(request);
    const auto bytes = ReadInputFile(request.files[0], TInputKind::Image);
    const auto size = static_cast<std::int64_t>(bytes.size());
    std::cout << "size: " << size << " (0x" << FormatHex(static_cast<std::uint32_t>(size)) << ")\n";
    std::cout << "header:";
    for (std::size_t i = 0; i < 16 && i < bytes.size(); ++i)
        std::cout << ' ' << FormatHex(bytes[i], 2);
    std::cout << "\n";
    for (int stage = 0; stage < StageCount; ++stage) {
        std::cout << "stage " << FormatHex(static_cast<std::uint32_t>(stage), 2) << ":";
        bool shares = false;
        for (SharedGroup group : SharedGroups) {
            const int source = ShareSource(*addresses, group, stage);
            if (source >= 0) {
                std::cout << ' ' << GroupName(group) << "=" << FormatHex(static_cast<std::uint32_t>(source), 2);
                shares = true;
            }
        }
        if (!shares)
            std::cout << " no shared tables";
        std::cout << "\n";
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int32_t address = addresses->Address(key, stage);
            if (!RangeInside(address, InfoOf(key).length, size))
                std::cout << "  outside the image: " << InfoOf(key).name << "[" << stage << "] at "
                          << FormatHex(static_cast<std::uint32_t>(address), 8) << ", length "
                          << FormatHex(static_cast<std::uint32_t>(InfoOf(key).length)) << "\n";
        }
    }
    if (auto refused = CheckImage(bytes, *addresses)) {
        std::cerr << "the editor would refuse this image: " << *refused << "\n";
        return ExitRefused;
    }
    return ExitOk;
}

int Roundtrip(const TToolRequest& request)
{
    const std::string &image = request.files[0], &out = request.files[1];
    // Onto itself is a deliberate re-save; any other file is an output like every other.
    if (auto refused = SameFile(out, image) ? OutputRefusal(out, {request.settings}, true)
                                            : OutputRefusal(out, {image, request.settings}, request.force))
        return Refused(*refused);
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, image))
        return ExitRefused;
    rom.SaveToFile(out);
    std::cout << "wrote " << out << " (" << rom.ImageSize() << " bytes)\n";
    return ExitOk;
}

int Chips(const TToolRequest& request)
{
    return WithStage(request, [](const TStageData& stage) {
        // The lists keep their CR LF so a script compares them with the window's text as is.
        std::cout << "unused\n" << UnusedChipListText(stage.Map()) << "duplicated\n"
                  << DuplicatedChipListText(stage.Chip32x32(), stage.Chip32x32Attribute());
    });
}

int Objects(const TToolRequest& request)
{
    const std::optional<int> onlyRoom = request.room;
    return WithStage(request, [&](const TStageData& stage) {
        const TVxObjectManager& enemies = stage.EnemyObjects();
        const TVxObjectManager& items = stage.ItemObjects();
        const int first = onlyRoom.value_or(0);
        const int last = onlyRoom.value_or(RoomCount - 1);
        for (int room = first; room <= last; ++room) {
            PrintRoomObjects(enemies, room, "enemies");
            PrintRoomObjects(items, room, "items");
        }
        std::cout << "enemies " << TotalCountText(enemies, EnemyCapacity) << "\n"
                  << "items " << TotalCountText(items, ItemCapacity) << "\n";
    });
}

int Scroll(const TToolRequest& request)
{
    return WithStage(request, [](const TStageData& stage) {
        const EnglishTexts english;
        const TMidPoint& start = stage.MidPoints(stage.DefaultStartPoint());
        const std::vector<std::uint8_t>& scroll = stage.Scroll();
        std::cout << "entries\n";
        for (int i = 0; i < ScrollEntryCount; ++i) {
            const std::uint8_t entry = static_cast<std::size_t>(i) < scroll.size() ? scroll[static_cast<std::size_t>(i)] : 0;
            std::cout << ScrollLineText(i, entry, i == start.StartScroll) << "\n";
        }
        // Words rather than the page's arrows, so the lines stay plain ASCII.
        static constexpr std::pair<TRoomMark, const char*> MarkWords[] = {
            {rmForward, ">>"}, {rmRight, "right"}, {rmDown, "down"}, {rmUp, "up"}};
        const TScrollPath path = WalkScrollPath(scroll, start.StartRoom(), start.StartScroll);
        std::cout << "path\n";
        for (int room = 0; room < RoomCount; ++room) {
            const std::uint8_t flags = path.roomFlags[static_cast<std::size_t>(room)];
            if (flags == 0)
                continue;
            std::cout << "room " << FormatHex(static_cast<std::uint32_t>(room), 2) << ':';
            for (const auto& [mark, word] : MarkWords)
                if (flags & mark)
                    std::cout << ' ' << word;
            std::cout << "\n";
        }
    });
}

int MidPoints(const TToolRequest& request)
{
    return WithStage(request, [](const TStageData& stage) {
        std::cout << "point StartY StartRoom EnemyIndex ItemIndex MapBackAddr MapForwardAddr StartScroll "
                     "LeftRoom RightRoom\n";
        for (int i = 0; i < MidPointCount; ++i) {
            std::cout << i;
            for (int field = 0; field < MidPointFieldCount; ++field)
                std::cout << ' ' << MidPointFieldText(stage.MidPoints(i), field);
            std::cout << (i == stage.DefaultStartPoint() ? " start\n" : "\n");
        }
    });
}

int MakePatchFile(const TToolRequest& request)
{
    const std::string &original = request.files[0], &edited = request.files[1], &target = request.files[2];
    const auto format = PatchFormatOfPath(target);
    if (!format) {
        std::cerr << "vexalon2-tool patch: the patch file's name must end in .ips or .bps: " << target << "\n";
        return ExitUsage;
    }
    if (auto refused = OutputRefusal(target, {original, edited}, request.force))
        return Refused(*refused);
    const auto before = ReadInputFile(original, TInputKind::Image);
    const auto after = ReadInputFile(edited, TInputKind::Image);
    const TPatchResult patch = MakePatchBetween(before, after, *format);
    if (!patch.Made())
        return Refused(patch.refusal);
    WriteOutputFile(target, patch.bytes);
    const char* unit = *format == TPatchFormat::Ips ? " record" : " action";
    std::cout << "wrote " << target << " (" << patch.bytes.size() << " bytes, " << patch.records << unit
              << (patch.records == 1 ? ")\n" : "s)\n");
    return ExitOk;
}

int ApplyPatchFile(const TToolRequest& request)
{
    const std::string &imageFile = request.files[0], &patchFile = request.files[1], &out = request.files[2];
    if (auto refused = OutputRefusal(out, {imageFile, patchFile}, request.force))
        return Refused(*refused);
    const auto image = ReadInputFile(imageFile, TInputKind::Image);
    const auto patch = ReadInputFile(patchFile, TInputKind::Patch);
    std::vector<std::uint8_t> patched;
    std::string reason;
    if (!ApplyPatch(patch, image, static_cast<std::size_t>(MaxImageSize), patched, reason))
        return Refused(patchFile + ": " + reason);
    // An IPS knows nothing of its source: only the result can tell a wrong or cut patch.
    if (auto refused = CheckImageFormat(patched))
        return Refused(patchFile + ": the patched result is not an image the editor opens, so nothing was written.\n" +
                       *refused);
    WriteImageFile(out, patched);
    std::cout << "wrote " << out << " (" << patched.size() << " bytes)\n";
    return ExitOk;
}

} // namespace vx::tool
