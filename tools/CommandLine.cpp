#include "tools/CommandLine.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"
#include "tools/CheckCommand.h"
#include "tools/DiffCommand.h"
#include "tools/LowMemory.h"
#include "tools/MergeCommand.h"
#include "tools/ProjectCommands.h"
#include "tools/RenderCommand.h"
#include "tools/ReorderCommands.h"
#include "tools/StageTextCommands.h"
#include "tools/TileCommands.h"
#include "tools/ToolCommands.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <new>

namespace vx::tool {
namespace {

const char* const Footer = R"(
Numbers (stage, room, columns) are decimal or hexadecimal with 0x.
A command that writes never writes over one of its inputs, and replaces an existing
output only with --force (settings completes its file in place; roundtrip may re-save
an image onto itself).
Exit status: 0 success, 1 an input was refused or failed, 2 wrong usage
(check: 1 findings, 2 not checked; diff: 1 different, 2 trouble; see their --help).
Each command's own help: vexalon2-tool COMMAND --help)";

// Decimal, or hexadecimal after "0x"; nothing else (no sign, blank or octal).
std::optional<int> parseNumber(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto value = parseHex(std::string_view(text).substr(2));
        return value && *value <= 0x7FFFFFFF ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return parseDecimal(text);
}

// A chip as the pages show it: hex, with or without 0x, 00 to FF.
std::optional<int> parseChipNumber(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const auto value = text.size() <= 2 ? parseHex(text) : std::nullopt;
    return value && *value <= 0xFF ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// A number option from lowest to highest, refused by the parser (exit 2) otherwise.
CLI::Option* addNumber(CLI::App* command, const std::string& name, std::string& text, int lowest, int highest,
                       const std::string& what, const std::string& description = {})
{
    const std::string range = what + " from " + std::to_string(lowest) + " to " + std::to_string(highest);
    return command->add_option(name, text, description.empty() ? range : description + ", " + range)
        ->type_name(name == "--columns"       ? "C"
                        : name == "--room"    ? "R"
                        : name == "--palette" ? "P"
                                              : "N")
        ->check(CLI::Validator(
            [=](std::string& value) -> std::string {
                const auto number = parseNumber(value);
                return number && *number >= lowest && *number <= highest ? std::string{} : "needs a " + range;
            },
            "", "number"));
}

struct CommandLine {
    CLI::App app{"Works on images of the editor without the GUI.", "vexalon2-tool"};
    ToolRequest request;
    std::string stage, room, columns, subPalette, whereChip, point, y;
    std::vector<std::string> swapPair, movePair;
    std::function<int()> run;
    std::deque<std::string> slots; // the files of every command; a deque keeps their addresses

    using Files = std::initializer_list<std::pair<const char*, const char*>>;
    // A command with its files, in the order its usage names them.
    CLI::App* addCommand(const std::string& name, const std::string& summary, const std::string& details,
                         int (*command)(const ToolRequest&), Files files)
    {
        return addCommandTo(&app, name, summary, details, command, files);
    }
    // The same below another command ("tiles export").
    CLI::App* addCommandTo(CLI::App* parent, const std::string& name, const std::string& summary,
                           const std::string& details, int (*command)(const ToolRequest&), Files files)
    {
        CLI::App* sub = parent->add_subcommand(name, summary);
        sub->footer(details);
        std::vector<const std::string*> bound;
        for (const auto& [file, about] : files) {
            slots.emplace_back();
            sub->add_option(file, slots.back(), about)->required()->type_name("");
            bound.push_back(&slots.back());
        }
        sub->callback([this, command, bound] {
            for (const std::string* file : bound)
                request.files.push_back(*file);
            run = [this, command] { return command(request); };
        });
        return sub;
    }
    void settingsOption(CLI::App* command)
    {
        command
            ->add_option("--settings", request.settings,
                         "read this settings file (never written) instead of "
                         "every default")
            ->type_name("FILE");
    }
    // A command that prints one stage of IMAGE.
    CLI::App* stageCommand(const std::string& name, const std::string& summary, const std::string& details,
                           int (*command)(const ToolRequest&))
    {
        CLI::App* sub = addCommand(name, summary, details, command, {{"IMAGE", "the image"}});
        stageOption(sub);
        settingsOption(sub);
        return sub;
    }
    void baseOption(CLI::App* command)
    {
        command->add_option("--base", request.base, "the clean image the project starts from")
            ->required()
            ->type_name("BASE");
    }
    void stageOption(CLI::App* command)
    {
        addNumber(command, "--stage", stage, 0, StageCount - 1, "stage")->required();
    }
    void forceFlag(CLI::App* command) { flag(command, "--force", request.force, "replace an existing output file"); }
    CLI::Option* flag(CLI::App* command, const std::string& name, bool& value, const std::string& description)
    {
        return command->add_flag(name, value, description)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    }

    // The options both tiles commands take.
    void tileOptions(CLI::App* command, const std::string& out, const std::string& outType)
    {
        stageOption(command);
        flag(command, "--sprites", request.sprites, "the sprite table (default: the background table)");
        addNumber(command, "--palette", subPalette, 0, 3, "sub-palette", "the sub-palette's colours (default 0)");
        command
            ->add_option("--layout", request.layout,
                         "tiles: 16 tiles a row in tile order (default); chips: each 16x16 chip a square")
            ->type_name("LAYOUT")
            ->check(CLI::IsMember({"tiles", "chips"}));
        command
            ->add_option("--colours", request.palette,
                         "the colour file (default: fcpalette.pal beside the tool, else in ../share/vexalon2editor)")
            ->type_name("FILE");
        command->add_option("--out", request.out, out)->required()->type_name(outType);
        settingsOption(command);
        forceFlag(command);
    }

    CommandLine();
};

CommandLine::CommandLine()
{
    app.set_version_flag("--version", "vexalon2-tool " VX_VERSION);
    app.require_subcommand(1);
    app.footer(Footer);
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);

    CLI::App* command = addCommand("make-sample", "write the synthetic sample image to OUT", "", makeSample,
                                   {{"OUT", "the image to write"}});
    forceFlag(command);

    addCommand("settings", "complete a settings file with every value in force",
               "Reads FILE (missing is fine), resolves all 434 values and writes FILE back completed.\n"
               "A file that is no settings file (an iNES image, or one holding NUL bytes) is refused.",
               settings, {{"FILE", "the settings file"}});

    command = addCommand("info", "size, header, shared tables per stage, and any table outside the image", "", info,
                         {{"IMAGE", "the image"}});
    settingsOption(command);

    command = addCommand("roundtrip", "open IMAGE as the editor would and save it unchanged to OUT", "", roundtrip,
                         {{"IMAGE", "the image"}, {"OUT", "the image to write (IMAGE itself re-saves it)"}});
    settingsOption(command);
    forceFlag(command);

    command = addCommand("render", "draw rooms or chips of a stage as a PNG picture",
                         "Draws stage N as the editor shows it, with the palette animation off: room R\n"
                         "(256x256), all 44 rooms side by side (11264x256), the 32x32 chips (512x512), the\n"
                         "chip sheet (128x512), or the 44 rooms in C columns (default 11), each numbered.",
                         render, {{"IMAGE", "the image"}});
    stageOption(command);
    auto* kind = command->add_option_group("kind", "exactly one of")->require_option(1);
    addNumber(kind, "--room", room, 0, RoomCount - 1, "room");
    flag(kind, "--map", request.map, "all 44 rooms side by side");
    flag(kind, "--chips", request.chips, "the 256 32x32 chips");
    flag(kind, "--sheet", request.sheet, "the 16x16 chip sheet");
    flag(kind, "--sheet-of-rooms", request.sheetOfRooms, "the 44 rooms in C columns, each numbered in its corner");
    command->add_option("--out", request.out, "the PNG file to write")->required()->type_name("FILE.png");
    settingsOption(command);
    command
        ->add_option("--palette", request.palette,
                     "the colour file (default: fcpalette.pal beside the tool, else in ../share/vexalon2editor)")
        ->type_name("FILE");
    flag(command, "--objects", request.objects, "add the enemy and item markers");
    CLI::Option* sheetOfRooms = kind->get_option("--sheet-of-rooms");
    addNumber(command, "--columns", columns, 1, RoomCount, "columns")->needs(sheetOfRooms);
    flag(command, "--scroll", request.scroll, "the path marks")->needs(sheetOfRooms);
    flag(command, "--midpoints", request.restartPoints, "each restart point's landing marker and number")
        ->needs(sheetOfRooms);
    flag(command, "--path", request.path, "dim the rooms no restart point's walk covers")->needs(sheetOfRooms);
    forceFlag(command);

    command = addCommand("chips", "the unused and the duplicated 32x32 chips of a stage, or where one is used",
                         "Prints a line \"unused\", the 32x32 chips no room uses, then a line \"duplicated\",\n"
                         "the groups of equal chips: chip numbers in hex, each line ending CR LF, byte for\n"
                         "byte as the information window has them.\n"
                         "With --where CHIP (in hex, as the pages show chips: 35 or 0x35): one line per map\n"
                         "cell holding it, \"stage 03 room 12 column 4 row 7\" (a map several stages share\n"
                         "is listed once, \"... (stages 03, 08)\"), then \"N cells in M rooms\"; of stage N,\n"
                         "or with --all-stages of every map.\n"
                         "With --swap A B, --move A B (onto a number no map uses) or --merge-duplicates\n"
                         "(each group's cells onto its lowest number) and --out OUT: stage N's chips\n"
                         "renumbered in its chip table and every map drawn with it, so every room looks\n"
                         "as before; prints what changed and writes OUT. Refused (exit 1, nothing\n"
                         "written): a chip out of range, a move onto a used chip, nothing to merge.",
                         chips, {{"IMAGE", "the image"}});
    auto* chipsStages = command->add_option_group("which", "exactly one of")->require_option(1);
    addNumber(chipsStages, "--stage", stage, 0, StageCount - 1, "stage");
    flag(chipsStages, "--all-stages", request.allStages, "every map (with --where)");
    command->add_option("--where", whereChip, "list the map cells holding this chip")
        ->type_name("CHIP")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                return parseChipNumber(value) ? std::string{} : "needs a chip number in hex, 00 to FF";
            },
            "", "chip"));
    auto* change = command->add_option_group("change", "at most one of, with --stage and --out");
    change->add_option("--swap", swapPair, "swap two chips (hex) and every map cell naming them")
        ->expected(2)
        ->type_name("A B");
    change->add_option("--move", movePair, "move chip A onto unused number B")->expected(2)->type_name("A B");
    flag(change, "--merge-duplicates", request.mergeDuplicates, "point every cell of equal chips at the lowest");
    change->require_option(0, 1);
    command->add_option("--out", request.out, "the image to write, with a change")->type_name("OUT");
    settingsOption(command);
    forceFlag(command);

    command = addCommand("palette", "where a palette entry of a stage shows, or the entries no chip draws with",
                         PaletteHelp, paletteUses, {{"IMAGE", "the image"}});
    stageOption(command);
    auto* entry = command->add_option_group("which", "exactly one of")->require_option(1);
    entry->add_option("--uses", request.paletteEntry, "the chips and rooms drawing this entry (hex)")->type_name("E");
    flag(entry, "--unused", request.unusedEntries, "the background entries no chip draws with");
    settingsOption(command);

    command = stageCommand("objects", "each room's enemies and items, and the totals",
                           "For each room with objects (00..2B, or room R only): a line \"room RR enemies\", then\n"
                           "its lines \"X Y KIND\" in hex ending CR LF, byte for byte as the room text dialog\n"
                           "has them, and likewise \"room RR items\"; then the lines \"enemies 57 / 128\" and\n"
                           "\"items 11 / 32\".",
                           objects);
    addNumber(command, "--room", room, 0, RoomCount - 1, "room", "only this room");

    command = stageCommand("scroll", "the 32 scroll entries and the rooms of the path",
                           "Prints a line \"entries\", the 32 entries as the scroll page lists them, in English,\n"
                           "\"[Start]\" after the default start point's; then a line \"path\" and for each room on\n"
                           "the path from that point a line \"room RR: >> right down up\" (only its marks).",
                           scroll);

    command = stageCommand("midpoints", "the six restart points' nine boxes in hex",
                           "Prints a line naming the columns, then each restart point's number and nine\n"
                           "boxes in hex as the restart-point page shows them, \"start\" after the default one.",
                           restartPoints);

    command = addCommand("check", "what is wrong or worth knowing about the stages",
                         "Prints one line per finding, \"stage 03 warning restart point 2: EnemyIndex 05,\n"
                         "recalculation gives 07\", for every stage or stage N only; repeats of one kind in\n"
                         "one table make one line with their count and first places. With --json, one JSON\n"
                         "object: format, version, image, errors, warnings and notes (how many of each),\n"
                         "and findings (stage, severity, place, index, where, text; count and indexes\n"
                         "for a group; fields for a restart point), as docs/check-json.md describes.\n"
                         "--min-severity chooses what is listed (the numbers count every finding); with\n"
                         "error, warnings neither show nor fail the check.\n"
                         "Exit status: 0 nothing at or above warning was found (notes or nothing),\n"
                         "1 an error or a warning was found (only an error, with --min-severity error),\n"
                         "2 not checked (wrong usage, or an image or\n"
                         "settings file that does not read).",
                         checkStages, {{"IMAGE", "the image"}});
    addNumber(command, "--stage", stage, 0, StageCount - 1, "stage", "only this stage");
    settingsOption(command);
    flag(command, "--json", request.json, "one JSON object for scripts");
    command->add_option("--min-severity", request.minSeverity, "list only findings this severe or worse (default note)")
        ->type_name("SEVERITY")
        ->check(CLI::IsMember({"note", "warning", "error"}));

    command = addCommand("export", "write stages as JSON text files a team can diff and review",
                         "Writes stage-00.json .. stage-13.json (or stage N's only) into DIR, made when\n"
                         "missing: every table of the stage as the image holds it.\n"
                         "The format is in docs/stage-text.md.",
                         exportStages, {{"IMAGE", "the image"}});
    auto* which = command->add_option_group("which", "exactly one of")->require_option(1);
    addNumber(which, "--stage", stage, 0, StageCount - 1, "stage");
    flag(which, "--all", request.all, "all 14 stages");
    command->add_option("--out", request.out, "the folder to write into")->required()->type_name("DIR");
    settingsOption(command);
    forceFlag(command);

    command = addCommand("import", "apply stage text files to a copy of IMAGE and write OUT",
                         "Reads and checks every FILE first (format, version, keys, ranges, 8x8 rooms,\n"
                         "object counts, hex). A table stages share is taken from the one file that\n"
                         "changes it; two files that change it differently are refused. Then the stage\n"
                         "check runs on the stages that changed: an error the image did not have refuses\n"
                         "the import (nothing is written) unless --allow-errors; new warnings are printed.\n"
                         "Only the tables that differ are written back, as the editor's save does; a last\n"
                         "line per changed stage names them with the bytes changed.",
                         importStages, {{"IMAGE", "the image"}});
    command->add_option("FILES", request.texts, "the stage text files")->required()->type_name("FILE.json...");
    flag(command, "--allow-errors", request.allowErrors, "write even when the check finds new errors");
    command->add_option("--out", request.out, "the image to write")->required()->type_name("OUT");
    settingsOption(command);
    forceFlag(command);

    addCommand("merge", "merge three versions of one stage text into OURS, as git's merge driver",
               "Each map cell, chip entry, palette, animation, pattern-table setting and scroll\n"
               "entry and restart-point field merges on its own: a value changed on one side\n"
               "takes that side's; objects merge room by room. OURS is replaced by the result.\n"
               "Both sides changing one value differently is a conflict: each is printed, OURS\n"
               "keeps ours' value there and lists them all under \"conflicts\", which import\n"
               "refuses until they are resolved and the list removed.\n"
               "Exit status: 0 merged, 1 conflicts or an input refused, 2 wrong usage.\n"
               "As git's driver: git config merge.vexalon2.driver \"vexalon2-tool merge %O %A %B\"\n"
               "and in .gitattributes: stage-*.json merge=vexalon2",
               mergeStages,
               {{"BASE", "the common ancestor"},
                {"OURS", "our version, replaced by the result"},
                {"THEIRS", "their version"}});

    command =
        addCommand("patch", "write an IPS or BPS patch from ORIGINAL to EDITED",
                   "The format follows OUT's extension, .ips or .bps. A BPS patch records CRCs of\n"
                   "both images and of itself, so applying it checks all three. The two images\n"
                   "must have one length and differ, as the editor's Create Patch asks.",
                   makePatchFile,
                   {{"ORIGINAL", "the image before"}, {"EDITED", "the image after"}, {"OUT", "OUT.ips or OUT.bps"}});
    forceFlag(command);

    command = addCommand("apply", "apply an IPS or BPS patch to IMAGE and write OUT",
                         "What each format can check before anything is written:\n"
                         "  BPS: the CRCs of the source, the target and the patch itself, so a patch made\n"
                         "       for another image, or a damaged one, is refused.\n"
                         "  IPS: nothing about the source: it carries no checksum, and a patch made for\n"
                         "       another image applies without a word.\n"
                         "Either way the result must be an image the editor opens (0x40010 to 0x100040\n"
                         "bytes, the iNES mark), or nothing is written.",
                         applyPatchFile,
                         {{"IMAGE", "the image"}, {"PATCH", "the .ips or .bps patch"}, {"OUT", "the patched image"}});
    forceFlag(command);

    command = addCommand("diff", "what differs between two images, by stage and table", DiffHelp, compareImages,
                         {{"BEFORE", "the image before"}, {"AFTER", "the image after"}});
    addNumber(command, "--stage", stage, 0, StageCount - 1, "stage", "only the tables this stage reads");
    settingsOption(command);
    flag(command, "--json", request.json, "a JSON list of objects, keys below");

    command = addCommand("playcopy", "write a copy of IMAGE whose first stage plays stage N from a chosen place",
                         "Every table of stage N is laid at the first stage's address, and the first\n"
                         "stage's start record (restart point 0) becomes restart point K of stage N, or\n"
                         "room R with the landing height of the stage's start point (or Y) and the\n"
                         "scroll entry the path has in force there. Map addresses and first-object\n"
                         "numbers of the restart records are recalculated for the new place. What the\n"
                         "game keys to the stage number (music, boss, status bar colours) stays the first\n"
                         "stage's. A table longer than the first stage's place, or a value out of its\n"
                         "range, is refused with exit 1 and nothing written.",
                         playCopy, {{"IMAGE", "the image"}});
    for (auto [name, text, about] : {std::tuple{"--stage", &stage, "the stage to play, 0 to 13"},
                                     std::tuple{"--point", &point, "start at this restart point, 0 to 5"},
                                     std::tuple{"--room", &room, "start in this room, 0 to 43"},
                                     std::tuple{"--y", &y, "the landing height with --room, 0 to 255"}})
        command->add_option(name, *text, about)->type_name(name == std::string("--room") ? "R" : "N");
    command->get_option("--stage")->required();
    command->add_option("--out", request.out, "the copy to write")->required()->type_name("COPY");
    settingsOption(command);
    forceFlag(command);

    command = addCommand("unpack", "write IMAGE as a project folder over a clean BASE, for keeping in git",
                         "Writes into DIR vexalon2-project.json (the base's file name, size and SHA-256, never\n"
                         "its bytes, and the steps in the order build runs them), stage-00.json ..\n"
                         "stage-13.json, and patches/outside.ips (or .bps) for the bytes no stage text\n"
                         "gives back. build DIR --base BASE then gives IMAGE back byte for byte.",
                         unpackProjectFolder, {{"IMAGE", "the hack"}, {"DIR", "the project folder"}});
    baseOption(command);
    settingsOption(command);
    forceFlag(command);

    command = addCommand("build", "run a project folder's steps over BASE and write OUT",
                         "Checks BASE's size and SHA-256 against the manifest, applies the patches, then\n"
                         "the stage texts as import does (new check errors refuse unless --allow-errors).\n"
                         "A patch that writes into a table a text sets is refused, naming both. Prints\n"
                         "both SHA-256 hashes and the tables changed per stage.\n"
                         "Exit status: 0 built, 1 refused, or OUT's SHA-256 is not --expect's.",
                         buildProjectFolder, {{"DIR", "the project folder"}});
    baseOption(command);
    command->add_option("--out", request.out, "the image to write")->required()->type_name("OUT");
    command->add_option("--expect", request.expect, "the SHA-256 OUT must have")->type_name("SHA256");
    command->add_option("--report", request.report, "write the report as JSON")->type_name("FILE");
    flag(command, "--allow-errors", request.allowErrors, "write even when the check finds new errors");
    settingsOption(command);
    forceFlag(command);

    command = addCommand("verify", "check that a project folder is what unpack writes for its build",
                         "Builds in memory, unpacks the result and compares file by file.\n"
                         "Exit status: 0 the same, 1 a difference (each named) or a refused build.",
                         verifyProjectFolder, {{"DIR", "the project folder"}});
    baseOption(command);
    settingsOption(command);

    CLI::App* tiles = app.add_subcommand("tiles", "a stage's tile table as a PNG picture, out and back in");
    tiles->require_subcommand(1);
    command = addCommandTo(tiles, "export", "write the table as a 128x128 palette PNG", TilesExportHelp, tilesExport,
                           {{"IMAGE", "the image"}});
    tileOptions(command, "the PNG file to write", "FILE.png");
    command = addCommandTo(tiles, "import", "read a 128x128 PNG into the table and write the image to OUT",
                           TilesImportHelp, tilesImport, {{"IMAGE", "the image"}, {"PICTURE", "the PNG picture"}});
    tileOptions(command, "the image to write", "OUT");
    command = addCommandTo(tiles, "swap", "swap two background tiles and renumber every chip entry naming them",
                           TilesSwapHelp, tilesSwap,
                           {{"IMAGE", "the image"}, {"A", "a tile (hex)"}, {"B", "the other tile (hex)"}});
    stageOption(command);
    flag(command, "--chips", request.chips, "A and B are 16x16 chips (00-3F), four tiles each");
    command->add_option("--out", request.out, "the image to write")->required()->type_name("OUT");
    settingsOption(command);
    forceFlag(command);
}

} // namespace

int run(int argc, const char* const* argv)
{
    // check and diff say trouble with 2, as 1 is a result of theirs.
    const bool troubleIsTwo = argc > 1 && (std::strcmp(argv[1], "check") == 0 || std::strcmp(argv[1], "diff") == 0);
    const int trouble = troubleIsTwo ? ExitUsage : ExitRefused;
    if (!prepareForLowMemory(trouble))
        return exitOutOfMemory(trouble);
    try {
        CommandLine line;
        // CLI11 would call a mistyped command a missing one.
        if (argc > 1 && argv[1][0] != '-' &&
            line.app.get_subcommands([&](CLI::App* command) { return command->check_name(argv[1]); }).empty()) {
            std::cerr << "vexalon2-tool: unknown command " << argv[1] << "\nTry 'vexalon2-tool --help'.\n";
            return ExitUsage;
        }
        try {
            line.app.parse(argc, argv);
        } catch (const CLI::CallForHelp& help) {
            return line.app.exit(help);
        } catch (const CLI::CallForAllHelp& help) {
            return line.app.exit(help);
        } catch (const CLI::CallForVersion& version) {
            return line.app.exit(version);
        } catch (const CLI::ParseError& error) {
            // The deepest command named ("tiles import"), whose help tells its options.
            std::string help;
            for (CLI::App* command = &line.app; !command->get_subcommands().empty();) {
                command = command->get_subcommands().front();
                help += command->get_name() + " ";
            }
            help += "--help";
            std::cerr << "vexalon2-tool: " << error.what() << "\nTry 'vexalon2-tool " << help << "'.\n";
            return ExitUsage;
        }
        ToolRequest& request = line.request;
        for (auto [text, number] :
             {std::pair{&line.stage, &request.stage}, std::pair{&line.room, &request.room},
              std::pair{&line.columns, &request.columns}, std::pair{&line.subPalette, &request.subPalette},
              std::pair{&line.point, &request.point}, std::pair{&line.y, &request.y}})
            if (!text->empty()) // what the parser let through unread is out of every range
                *number = parseNumber(*text).value_or(-1);
        if (!line.whereChip.empty())
            request.whereChip = parseChipNumber(line.whereChip);
        request.moveChip = !line.movePair.empty();
        request.chipPair = request.moveChip ? line.movePair : line.swapPair;
        return line.run ? line.run() : ExitUsage;
    } catch (const std::bad_alloc&) {
        return exitOutOfMemory(trouble);
    } catch (const std::exception& error) {
        exitRefused(error.what());
        return trouble;
    }
}

} // namespace vx::tool
