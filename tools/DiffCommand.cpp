#include "tools/DiffCommand.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/files/InputFile.h"
#include "core/model/ImageDiff.h"
#include "core/model/RomImage.h"
#include "core/text/StageTextKeys.h"
#include "rules/ScrollRules.h"
#include "tools/LowMemory.h"
#include "tools/ToolCommands.h"

#include <array>
#include <iostream>
#include <new>
#include <nlohmann/json.hpp>

namespace vx::tool {

const char* const DiffHelp = R"(Compares BEFORE with AFTER table by table at the addresses in force and prints one
line per difference, "stage 03 map room 05 column 2 row 3: 01 -> 35" (rows and columns
as the map page shows a room). A table several stages read at one address is told once,
"stages 03, 0B map ...". The header's bytes and the bytes of no table follow, as ranges:
"bytes 0x0001F000-0x0001F0FF: 12 differ". Images of different lengths are compared over
the length both hold, and a first line says so. With --stage N only the tables stage N
reads are compared, not the header nor the bytes of no table.
--json prints a list of objects with these keys:
  stage     the lowest stage that reads the table, "03"; null for header, bytes, length
  stages    every stage that reads it, ["03", "0B"]; [] for header, bytes, length
  table     map, background-palette, sprite-palette, animation-frame-count,
            animation-frame-timer, animation-colours, pattern-table-setting, chips,
            enemies, items, restart-points, scroll, header, bytes or length
  (place)   by table: map: room, column, row; chips: chip, quarter ("top left",
            "bottom left", "top right", "bottom right"), field ("chip", "sub-palette",
            "attribute"); background-palette, sprite-palette, scroll: entry;
            animation-colours: row, entry; pattern-table-setting, header: index;
            restart-points: point, field ("StartY", "StartRoom", "EnemyIndex",
            "ItemIndex", "MapBackAddr", "MapForwardAddr", "StartScroll", "LeftRoom",
            "RightRoom"); enemies, items: index, change ("changed", "added", "removed",
            or "past-end" with count, the bytes past both lists' ends); bytes: first,
            last, count; length: common, the length compared
  before, after  the values in hex as the pages show them ("35", "84E0"); an object as
            {room, x, y, kind}; bytes as a line of bytes when the range holds at most 32,
            else null; a length in eight digits; null for what is not there; scroll
            adds beforeWords, afterWords in the scroll page's words
  compared  false, with no place, before or after, for a table that reaches past the
            shorter image's end
Numbers the pages show in hex are hex text; column, row and point are numbers.
Exit status: 0 the images are equal, 1 they differ, 2 trouble (a file that cannot be
read or is no image, a settings value that does not read, wrong usage).)";

namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<const char*, 4> QuarterNames{"top left", "bottom left", "top right", "bottom right"};
constexpr std::array<const char*, 3> ChipFieldNames{"16x16 chip", "sub-palette", "attribute"};
constexpr std::array<const char*, 3> ChipFieldKeys{"chip", "sub-palette", "attribute"};
constexpr std::int64_t LongestByteLine = 32;

struct PartNames {
    const char* key;   // the JSON table
    const char* words; // the part as a whole in a line
};
constexpr std::array<PartNames, 14> Names{{
    {"map", "map"},
    {"background-palette", "background palette"},
    {"sprite-palette", "sprite palette"},
    {"animation-frame-count", "animation frame count"},
    {"animation-frame-timer", "animation frame timer"},
    {"animation-colours", "animation colours"},
    {"pattern-table-setting", "pattern-table setting"},
    {"chips", "chips"},
    {"enemies", "enemies"},
    {"items", "items"},
    {"restart-points", "restart points"},
    {"scroll", "scroll entries"},
    {"header", "header"},
    {"bytes", "bytes"},
}};
const PartNames& namesOf(DiffPart part) { return Names.at(static_cast<std::size_t>(part)); }

std::string hex(std::uint32_t value, int digits = 2) { return formatHex(value, digits); }
std::string address(std::int64_t value) { return "0x" + formatHex(static_cast<std::uint32_t>(value), 8); }
std::string pointField(int field)
{
    return std::string(stage_text::PointFields.at(static_cast<std::size_t>(field)).key);
}

// The value as the page shows it: restart-point words with four digits.
std::string valueText(const Difference& difference, std::uint32_t value)
{
    const bool word = difference.part == DiffPart::RestartPoints && restartPointFieldIsWord(difference.field);
    return hex(value, word ? 4 : 2);
}

std::string stagesText(std::uint16_t stages)
{
    const std::vector<int> list = stagesOf(stages);
    std::string text = list.size() == 1 ? "stage " : "stages ";
    for (std::size_t i = 0; i < list.size(); ++i)
        text += (i ? ", " : "") + hex(static_cast<std::uint32_t>(list[i]));
    return text;
}

std::string objectText(const ObjectValue& object)
{
    return "room " + hex(object.room) + " x " + hex(object.x) + " y " + hex(object.y) + " kind " + hex(object.kind);
}

// "(room 03): x 40 -> 48" or, when it moved to another room, ": room 03 -> 04, x 40 -> 48".
std::string objectChangeText(const ObjectValue& from, const ObjectValue& to)
{
    const std::array<std::pair<const char*, std::pair<int, int>>, 4> fields{
        {{"room", {from.room, to.room}}, {"x", {from.x, to.x}}, {"y", {from.y, to.y}}, {"kind", {from.kind, to.kind}}}};
    std::string text = from.room == to.room ? " (room " + hex(from.room) + "):" : ":";
    bool first = true;
    for (const auto& [name, values] : fields)
        if (values.first != values.second) {
            text += std::string(first ? " " : ", ") + name + " " + hex(static_cast<std::uint32_t>(values.first)) +
                " -> " + hex(static_cast<std::uint32_t>(values.second));
            first = false;
        }
    return text;
}

// Where in the part, as the line names it, after the stages.
std::string placeText(const Difference& d)
{
    const std::string index = hex(static_cast<std::uint32_t>(d.index));
    switch (d.part) {
    case DiffPart::Map:
        return "map room " + hex(static_cast<std::uint32_t>(d.room)) + " column " + std::to_string(d.column) + " row " +
            std::to_string(d.row);
    case DiffPart::BackgroundPalette: return "background palette entry " + index;
    case DiffPart::SpritePalette: return "sprite palette entry " + index;
    case DiffPart::AnimationColours: return "animation row " + std::to_string(d.row) + " entry " + index;
    case DiffPart::PatternTable: return "pattern-table setting byte " + index;
    case DiffPart::Chips:
        return "chip " + index + " " + QuarterNames.at(static_cast<std::size_t>(d.quarter)) + " " +
            ChipFieldNames.at(static_cast<std::size_t>(d.field));
    case DiffPart::Enemies: return "enemy " + index;
    case DiffPart::Items: return "item " + index;
    case DiffPart::RestartPoints: return "restart point " + std::to_string(d.index) + " " + pointField(d.field);
    case DiffPart::Scroll: return "scroll entry " + index;
    case DiffPart::Header: return "header byte " + index;
    default: return namesOf(d.part).words;
    }
}

std::string lineOf(const Difference& d)
{
    const std::string stages = d.stages ? stagesText(d.stages) + " " : std::string();
    switch (d.kind) {
    case DiffKind::PartPastEnd:
        return stages + namesOf(d.part).words + ": past the end of the shorter image, not compared";
    case DiffKind::ObjectChanged: return stages + placeText(d) + objectChangeText(d.objectBefore, d.objectAfter);
    case DiffKind::ObjectAdded: return stages + placeText(d) + " added: " + objectText(d.objectAfter);
    case DiffKind::ObjectRemoved: return stages + placeText(d) + " removed: " + objectText(d.objectBefore);
    case DiffKind::BytesPastObjects:
        return stages + (d.part == DiffPart::Enemies ? "enemy" : "item") +
            " tables past the list's end: " + std::to_string(d.count) +
            (d.count == 1 ? " byte differs" : " bytes differ");
    case DiffKind::ByteRange:
        if (d.count == 1)
            return "byte " + address(d.first) + ": " + hex(d.before) + " -> " + hex(d.after);
        return "bytes " + address(d.first) + "-" + address(d.last) + ": " + std::to_string(d.count) + " differ";
    case DiffKind::Value: break;
    }
    // A scroll entry with its count and directions, as the scroll page lists it.
    auto shown = [&](std::uint32_t value) {
        return d.part == DiffPart::Scroll
            ? hex(value) + " (" + scrollDescription(static_cast<std::uint8_t>(value)) + ")"
            : valueText(d, value);
    };
    return stages + placeText(d) + ": " + shown(d.before) + " -> " + shown(d.after);
}

Json objectJson(const ObjectValue& object)
{
    return Json{{"room", hex(object.room)}, {"x", hex(object.x)}, {"y", hex(object.y)}, {"kind", hex(object.kind)}};
}

std::string byteLine(std::span<const std::uint8_t> image, std::int64_t first, std::int64_t last)
{
    std::string line;
    for (std::int64_t i = first; i <= last; ++i)
        line += (i > first ? " " : "") + hex(image[static_cast<std::size_t>(i)]);
    return line;
}

void addWhere(Json& entry, const Difference& d)
{
    const std::string index = hex(static_cast<std::uint32_t>(d.index));
    switch (d.part) {
    case DiffPart::Map:
        entry["room"] = hex(static_cast<std::uint32_t>(d.room));
        entry["column"] = d.column;
        entry["row"] = d.row;
        break;
    case DiffPart::Chips:
        entry["chip"] = index;
        entry["quarter"] = QuarterNames.at(static_cast<std::size_t>(d.quarter));
        entry["field"] = ChipFieldKeys.at(static_cast<std::size_t>(d.field));
        break;
    case DiffPart::AnimationColours:
        entry["row"] = d.row;
        entry["entry"] = index;
        break;
    case DiffPart::BackgroundPalette:
    case DiffPart::SpritePalette:
    case DiffPart::Scroll: entry["entry"] = index; break;
    case DiffPart::PatternTable:
    case DiffPart::Header: entry["index"] = index; break;
    case DiffPart::RestartPoints:
        entry["point"] = d.index;
        entry["field"] = pointField(d.field);
        break;
    default: break;
    }
}

Json jsonOf(const Difference& d, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after)
{
    Json entry;
    const std::vector<int> stages = stagesOf(d.stages);
    entry["stage"] = stages.empty() ? Json() : Json(hex(static_cast<std::uint32_t>(stages.front())));
    entry["stages"] = Json::array();
    for (int stage : stages)
        entry["stages"].push_back(hex(static_cast<std::uint32_t>(stage)));
    entry["table"] = namesOf(d.part).key;
    switch (d.kind) {
    case DiffKind::PartPastEnd: entry["compared"] = false; return entry;
    case DiffKind::ObjectChanged:
    case DiffKind::ObjectAdded:
    case DiffKind::ObjectRemoved:
        entry["index"] = hex(static_cast<std::uint32_t>(d.index));
        entry["change"] = d.kind == DiffKind::ObjectChanged ? "changed"
            : d.kind == DiffKind::ObjectAdded               ? "added"
                                                            : "removed";
        entry["before"] = d.kind == DiffKind::ObjectAdded ? Json() : objectJson(d.objectBefore);
        entry["after"] = d.kind == DiffKind::ObjectRemoved ? Json() : objectJson(d.objectAfter);
        return entry;
    case DiffKind::BytesPastObjects:
        entry["change"] = "past-end";
        entry["count"] = d.count;
        entry["before"] = nullptr;
        entry["after"] = nullptr;
        return entry;
    case DiffKind::ByteRange: {
        entry["first"] = hex(static_cast<std::uint32_t>(d.first), 8);
        entry["last"] = hex(static_cast<std::uint32_t>(d.last), 8);
        entry["count"] = d.count;
        const bool shown = d.last - d.first < LongestByteLine;
        entry["before"] = shown ? Json(byteLine(before, d.first, d.last)) : Json();
        entry["after"] = shown ? Json(byteLine(after, d.first, d.last)) : Json();
        return entry;
    }
    case DiffKind::Value: break;
    }
    addWhere(entry, d);
    entry["before"] = valueText(d, d.before);
    entry["after"] = valueText(d, d.after);
    if (d.part == DiffPart::Scroll) {
        entry["beforeWords"] = scrollDescription(static_cast<std::uint8_t>(d.before));
        entry["afterWords"] = scrollDescription(static_cast<std::uint8_t>(d.after));
    }
    return entry;
}

std::vector<std::uint8_t> readImage(const std::string& file)
{
    std::vector<std::uint8_t> bytes = readInputFile(file, InputKind::Image);
    if (const Result<void> checked = checkImageFormat(bytes); !checked.ok())
        throw UserError(file + ": " + checked.error().text());
    return bytes;
}

} // namespace

int compareImages(const ToolRequest& request)
{
    try {
        const EnglishTexts english;
        const auto addresses = loadAddresses(request);
        const std::vector<std::uint8_t> before = readImage(request.files[0]);
        const std::vector<std::uint8_t> after = readImage(request.files[1]);
        const ImageDiff diff = diffImages(before, after, *addresses, request.stage.value_or(-1));
        const std::int64_t common = std::min(diff.beforeSize, diff.afterSize);
        const bool lengthsDiffer = diff.beforeSize != diff.afterSize;
        if (request.json) {
            Json list = Json::array();
            if (lengthsDiffer)
                list.push_back(Json{{"stage", nullptr},
                                    {"stages", Json::array()},
                                    {"table", "length"},
                                    {"common", hex(static_cast<std::uint32_t>(common), 8)},
                                    {"before", hex(static_cast<std::uint32_t>(diff.beforeSize), 8)},
                                    {"after", hex(static_cast<std::uint32_t>(diff.afterSize), 8)}});
            for (const Difference& difference : diff.differences)
                list.push_back(jsonOf(difference, before, after));
            std::cout << list.dump(2) << "\n";
        } else {
            std::string text;
            if (lengthsDiffer)
                text += "lengths differ: " + address(diff.beforeSize) + " and " + address(diff.afterSize) +
                    " bytes; the first " + address(common) + " are compared\n";
            for (const Difference& difference : diff.differences)
                text += lineOf(difference) + "\n";
            std::cout << text;
        }
        std::cout.flush();
        return diff.imagesDiffer() ? ExitRefused : ExitOk;
    } catch (const std::bad_alloc&) {
        return exitOutOfMemory(ExitUsage);
    } catch (const std::exception& error) {
        // As diff(1): trouble is 2, never to be taken for "different".
        std::cerr << "vexalon2-tool: " << error.what() << "\n";
        return ExitUsage;
    }
}

} // namespace vx::tool
