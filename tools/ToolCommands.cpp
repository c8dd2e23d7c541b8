#include "tools/ToolCommands.h"

#include "core/AddressData.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/HexText.h"
#include "core/ImageAccess.h"
#include "core/Language.h"
#include "core/MidPoint.h"
#include "core/Patch.h"
#include "core/RomImgManager.h"
#include "core/SampleImage.h"
#include "core/StageData.h"
#include "editors/ChipEditRules.h"
#include "editors/MidPointEditRules.h"
#include "editors/ScrollEditRules.h"
#include "objects/ObjectEditRules.h"
#include "objects/VxObject.h"
#include "tools/RenderCommand.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>

namespace vx::tool {
namespace {

const char* const Usage = R"(Usage: vexalon2-tool COMMAND ...

Commands:
  make-sample OUT                      write the synthetic sample image to OUT
  settings FILE                        read a settings file (missing is fine), resolve
                                       all 434 values and write FILE back completed
  info IMAGE [--settings FILE]         size, header, shared tables per stage, and any
                                       table outside the image
  roundtrip IMAGE OUT [--settings FILE]
                                       open IMAGE and save it unchanged to OUT
  render IMAGE --stage N (--room R | --map | --chips | --sheet | --sheet-of-rooms)
         --out FILE.png [--settings FILE] [--palette FILE] [--objects]
         [--columns C] [--scroll] [--midpoints]
                                       draw room R (256x256), all 44 rooms side by side
                                       (11264x256), the 32x32 chips (512x512) or the chip
                                       sheet (128x512) of stage N as the editor shows them
                                       with the palette animation off; --objects adds the
                                       enemy and item markers; the colours come from
                                       --palette (default: fcpalette.pal beside the tool).
                                       --sheet-of-rooms: the 44 rooms in C columns (default
                                       11), each numbered in its corner; --scroll adds the
                                       path marks, --midpoints each restart point's landing
                                       marker and number
  chips IMAGE --stage N [--settings FILE]
                                       the information window's two lists for stage N:
                                       a line "unused", the 32x32 chips no room uses, then
                                       a line "duplicated", the groups of equal chips; the
                                       lists are chip numbers in hex, each of their lines
                                       ending CR LF, byte for byte as the window has them
  objects IMAGE --stage N [--room R] [--settings FILE]
                                       for each room (00..2B, or room R only, decimal
                                       0..43) with objects: a line "room RR enemies",
                                       then its lines "X Y KIND" in hex ending CR LF,
                                       byte for byte as the room text dialog has them,
                                       and likewise "room RR items"; a sort the room
                                       lacks is left out; then the two totals, lines
                                       "enemies 57 / 128" and "items 11 / 32"
  scroll IMAGE --stage N [--settings FILE]
                                       a line "entries", then the 32 scroll entries as
                                       the scroll page lists them, in English, "[Start]"
                                       after the default start point's entry; then a
                                       line "path", then for each room on the path from
                                       that point a line "room RR: >> right down up"
                                       (room in hex, only the room's marks)
  midpoints IMAGE --stage N [--settings FILE]
                                       a line naming the columns, then the six restart
                                       points: number and the nine boxes in hex as the
                                       restart-point page shows them, "start" after the
                                       default start point
  patch ORIGINAL EDITED OUT.ips|OUT.bps
                                       write a patch that turns ORIGINAL into EDITED, as
                                       IPS or BPS by OUT's extension
  apply IMAGE PATCH OUT                apply an IPS or BPS patch to IMAGE and write OUT;
                                       a patch for another image is refused
  --help                               this text

--settings FILE reads a settings file without writing it; without it every default applies.
Exit status: 0 success, 1 an input was refused or failed, 2 wrong usage.
)";

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // "--name" -> value ("" for flags)
};

// Options with a value; the others are flags.
bool TakesValue(const std::string& option)
{
    return option == "--settings" || option == "--stage" || option == "--room" || option == "--out" ||
           option == "--palette" || option == "--columns";
}

std::optional<Arguments> Parse(const std::vector<std::string>& words, const std::vector<std::string>& allowed)
{
    Arguments parsed;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0) {
            parsed.positional.push_back(word);
            continue;
        }
        if (std::find(allowed.begin(), allowed.end(), word) == allowed.end()) {
            std::cerr << "vexalon2-tool: unknown option " << word << "\n";
            return std::nullopt;
        }
        if (TakesValue(word)) {
            if (i + 1 >= words.size()) {
                std::cerr << "vexalon2-tool: " << word << " needs a value\n";
                return std::nullopt;
            }
            parsed.options[word] = words[++i];
        } else {
            parsed.options[word] = "";
        }
    }
    return parsed;
}

// Reads the settings of --settings (never written back) or the defaults.
std::unique_ptr<TAddressData> LoadAddresses(const Arguments& arguments)
{
    const auto found = arguments.options.find("--settings");
    TMyMemIniFile settings(found == arguments.options.end() ? std::string{} : found->second);
    return std::make_unique<TAddressData>(settings);
}

int UsageError(const std::string& message)
{
    std::cerr << "vexalon2-tool: " << message << "\n" << "Try 'vexalon2-tool --help'.\n";
    return ExitUsage;
}

int MakeSample(const Arguments& arguments)
{
    if (arguments.positional.size() != 1)
        return UsageError("make-sample takes one output file");
    const auto image = MakeSampleImage();
    WriteFileAtomically(arguments.positional[0], image);
    std::cout << "wrote " << arguments.positional[0] << " (" << image.size() << " bytes)\n";
    return ExitOk;
}

int Settings(const Arguments& arguments)
{
    if (arguments.positional.size() != 1)
        return UsageError("settings takes one settings file");
    TMyMemIniFile settings(arguments.positional[0]);
    const TAddressData addresses(settings);
    settings.UpdateFile();
    std::cout << "wrote " << arguments.positional[0] << ": "
              << settings.ReadSection(AddressSection).size() << " address keys, "
              << settings.ReadSection(DefaultSection).size() << " default keys\n";
    return ExitOk;
}

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

int Info(const Arguments& arguments)
{
    if (arguments.positional.size() != 1)
        return UsageError("info takes one image file");
    const auto addresses = LoadAddresses(arguments);
    const auto bytes = ReadWholeFile(arguments.positional[0]);
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
                          << FormatHex(static_cast<std::uint32_t>(address)) << ", length "
                          << FormatHex(static_cast<std::uint32_t>(InfoOf(key).length)) << "\n";
        }
    }
    if (auto refused = CheckImage(bytes, *addresses)) {
        std::cerr << "the editor would refuse this image: " << *refused << "\n";
        return ExitRefused;
    }
    return ExitOk;
}

// Opens the image as the editor would; false (the reason on stderr) when it refuses.
bool LoadImage(TRomImgManager& rom, const std::string& file)
{
    std::string reason;
    if (rom.LoadFromFile(file, &reason))
        return true;
    std::cerr << "vexalon2-tool: " << reason << "\n";
    return false;
}

int Roundtrip(const Arguments& arguments)
{
    if (arguments.positional.size() != 2)
        return UsageError("roundtrip takes an image file and an output file");
    const auto addresses = LoadAddresses(arguments);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, arguments.positional[0]))
        return ExitRefused;
    rom.SaveToFile(arguments.positional[1]);
    std::cout << "wrote " << arguments.positional[1] << " (" << rom.ImageSize() << " bytes)\n";
    return ExitOk;
}

// The decimal value of an option from 0 to highest; nullopt when missing or out of range.
std::optional<int> NumberOption(const Arguments& arguments, const std::string& option, int highest)
{
    const auto found = arguments.options.find(option);
    return found == arguments.options.end() ? std::nullopt : NumberUpTo(found->second, highest);
}

// What every per-stage command does first: one image, --stage, the image opened as the
// editor would; then print shows the stage.
int WithStage(const Arguments& arguments, const std::string& command,
              const std::function<void(const TStageData&)>& print)
{
    if (arguments.positional.size() != 1)
        return UsageError(command + " takes one image file");
    const auto stageIndex = NumberOption(arguments, "--stage", StageCount - 1);
    if (!stageIndex)
        return UsageError(command + " needs --stage with a stage number from 0 to 13");
    const auto addresses = LoadAddresses(arguments);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, arguments.positional[0]))
        return ExitRefused;
    print(rom.Stage(*stageIndex));
    return ExitOk;
}

int Chips(const Arguments& arguments)
{
    return WithStage(arguments, "chips", [](const TStageData& stage) {
        // The lists keep their CR LF so a script compares them with the window's text as is.
        std::cout << "unused\n" << UnusedChipListText(stage.Map()) << "duplicated\n"
                  << DuplicatedChipListText(stage.Chip32x32(), stage.Chip32x32Attribute());
    });
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

int Objects(const Arguments& arguments)
{
    std::optional<int> onlyRoom;
    if (arguments.options.contains("--room")) {
        onlyRoom = NumberOption(arguments, "--room", RoomCount - 1);
        if (!onlyRoom)
            return UsageError("objects takes --room with a room number from 0 to 43");
    }
    return WithStage(arguments, "objects", [&](const TStageData& stage) {
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

// Scripts compare the texts whatever the user's locale; the locale comes back afterwards.
class EnglishTexts {
public:
    EnglishTexts() { ForceLanguage(Language::English); }
    ~EnglishTexts() { ForceLanguage(std::nullopt); }
    EnglishTexts(const EnglishTexts&) = delete;
    EnglishTexts& operator=(const EnglishTexts&) = delete;
};

int Scroll(const Arguments& arguments)
{
    return WithStage(arguments, "scroll", [](const TStageData& stage) {
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
        for (int room = 0; room < PathRoomCount; ++room) {
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

int MidPoints(const Arguments& arguments)
{
    return WithStage(arguments, "midpoints", [](const TStageData& stage) {
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

[[noreturn]] void ThrowTooLarge(const std::string& path, std::uintmax_t size, std::uintmax_t limit)
{
    const std::string bytes = std::to_string(size), most = std::to_string(limit);
    throw VxError(IsJapanese() ? "\"" + path + "\" は " + bytes + " バイトで、上限の " + most + " バイトを超えています。"
                               : "\"" + path + "\" has " + bytes + " bytes, more than the limit of " + most + " bytes.");
}

// Reads an image or patch file; one over limit is refused before it is read.
std::vector<std::uint8_t> ReadLimited(const std::string& path, std::uintmax_t limit)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > limit)
        ThrowTooLarge(path, size, limit);
    auto bytes = ReadWholeFile(path);
    if (bytes.size() > limit)
        ThrowTooLarge(path, bytes.size(), limit);
    return bytes;
}

constexpr auto ImageLimit = static_cast<std::uintmax_t>(MaxImageSize);
// An IPS may rewrite bytes many times over, but not without end.
constexpr std::uintmax_t PatchFileLimit = 64 * ImageLimit;

int MakePatchFile(const Arguments& arguments)
{
    if (arguments.positional.size() != 3)
        return UsageError("patch takes the original image, the edited image and the patch file");
    const std::string& target = arguments.positional[2];
    const auto format = PatchFormatOfPath(target);
    if (!format)
        return UsageError("the patch file's name must end in .ips or .bps: " + target);
    const auto original = ReadLimited(arguments.positional[0], ImageLimit);
    const auto edited = ReadLimited(arguments.positional[1], ImageLimit);
    std::size_t records = 0;
    const auto patch = MakePatch(*format, original, edited, &records);
    WriteFileAtomically(target, patch);
    const char* unit = *format == TPatchFormat::Ips ? " record" : " action";
    std::cout << "wrote " << target << " (" << patch.size() << " bytes, " << records << unit
              << (records == 1 ? ")\n" : "s)\n");
    return ExitOk;
}

int ApplyPatchFile(const Arguments& arguments)
{
    if (arguments.positional.size() != 3)
        return UsageError("apply takes the image, the patch file and the output file");
    const auto image = ReadLimited(arguments.positional[0], ImageLimit);
    const auto patch = ReadLimited(arguments.positional[1], PatchFileLimit);
    std::vector<std::uint8_t> patched;
    std::string reason;
    if (!ApplyPatch(patch, image, static_cast<std::size_t>(MaxImageSize), patched, reason)) {
        std::cerr << "vexalon2-tool: " << arguments.positional[1] << ": " << reason << "\n";
        return ExitRefused;
    }
    WriteFileAtomically(arguments.positional[2], patched);
    std::cout << "wrote " << arguments.positional[2] << " (" << patched.size() << " bytes)\n";
    return ExitOk;
}

} // namespace

std::optional<int> NumberUpTo(const std::string& text, int highest)
{
    const auto value = ParseDecimal(text);
    if (!value || *value < 0 || *value > highest)
        return std::nullopt;
    return *value;
}

int Run(const std::vector<std::string>& words)
{
    if (words.empty())
        return UsageError("no command given");
    const std::string& command = words[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << Usage;
        return ExitOk;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    try {
        if (command == "make-sample") {
            auto arguments = Parse(rest, {});
            return arguments ? MakeSample(*arguments) : ExitUsage;
        }
        if (command == "settings") {
            auto arguments = Parse(rest, {});
            return arguments ? Settings(*arguments) : ExitUsage;
        }
        if (command == "info") {
            auto arguments = Parse(rest, {"--settings"});
            return arguments ? Info(*arguments) : ExitUsage;
        }
        if (command == "roundtrip") {
            auto arguments = Parse(rest, {"--settings"});
            return arguments ? Roundtrip(*arguments) : ExitUsage;
        }
        if (command == "render") {
            auto arguments = Parse(rest, {"--settings", "--stage", "--room", "--map", "--chips", "--sheet",
                                          "--out", "--palette", "--objects", "--sheet-of-rooms", "--columns",
                                          "--scroll", "--midpoints"});
            return arguments ? Render(arguments->positional, arguments->options) : ExitUsage;
        }
        if (command == "chips") {
            auto arguments = Parse(rest, {"--settings", "--stage"});
            return arguments ? Chips(*arguments) : ExitUsage;
        }
        if (command == "objects") {
            auto arguments = Parse(rest, {"--settings", "--stage", "--room"});
            return arguments ? Objects(*arguments) : ExitUsage;
        }
        if (command == "scroll") {
            auto arguments = Parse(rest, {"--settings", "--stage"});
            return arguments ? Scroll(*arguments) : ExitUsage;
        }
        if (command == "midpoints") {
            auto arguments = Parse(rest, {"--settings", "--stage"});
            return arguments ? MidPoints(*arguments) : ExitUsage;
        }
        if (command == "patch") {
            auto arguments = Parse(rest, {});
            return arguments ? MakePatchFile(*arguments) : ExitUsage;
        }
        if (command == "apply") {
            auto arguments = Parse(rest, {});
            return arguments ? ApplyPatchFile(*arguments) : ExitUsage;
        }
    } catch (const VxError& error) {
        std::cerr << "vexalon2-tool: " << error.what() << "\n";
        return ExitRefused;
    }
    return UsageError("unknown command " + command);
}

} // namespace vx::tool
