#include "core/text/StageText.h"

#include "core/files/FileSystem.h"
#include "core/model/ChipEntry.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"
#include "core/model/StageObjects.h"
#include "core/text/StageTextKeys.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>

namespace vx {
namespace {

using nlohmann::ordered_json;
using namespace stage_text;

constexpr char Digits[] = "0123456789ABCDEF";

std::string jsonKey(std::string_view key) { return std::string(key); }

std::string hex2(std::uint8_t value) { return {Digits[value >> 4], Digits[value & 15]}; }

std::string hex4(std::uint16_t value)
{
    return hex2(static_cast<std::uint8_t>(value >> 8)) + hex2(static_cast<std::uint8_t>(value));
}

// "0F 10 20 30": bytes as two hex digits each, one space apart.
std::string byteLine(std::span<const std::uint8_t> bytes)
{
    std::string line;
    line.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!line.empty())
            line += ' ';
        line += Digits[b >> 4];
        line += Digits[b & 15];
    }
    return line;
}

ordered_json jsonLines(std::span<const std::uint8_t> bytes, int perLine)
{
    ordered_json lines = ordered_json::array();
    for (std::size_t at = 0; at < bytes.size(); at += static_cast<std::size_t>(perLine))
        lines.push_back(byteLine(bytes.subspan(at, static_cast<std::size_t>(perLine))));
    return lines;
}

ordered_json objects(const std::vector<StageTextObject>& objects)
{
    ordered_json list = ordered_json::array();
    for (const StageTextObject& o : objects)
        list.push_back(ordered_json{{jsonKey(ObjectKeys[0]), hex2(o.room)},
                                    {jsonKey(ObjectKeys[1]), hex2(o.x)},
                                    {jsonKey(ObjectKeys[2]), hex2(o.y)},
                                    {jsonKey(ObjectKeys[3]), hex2(o.kind)}});
    return list;
}

ordered_json restartPoint(const RestartPointBytes& bytes)
{
    ordered_json point = ordered_json::object();
    for (const PointField& field : PointFields) {
        const auto at = static_cast<std::size_t>(field.byte);
        point[jsonKey(field.key)] =
            field.word ? hex4(static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1])) : hex2(bytes[at]);
    }
    return point;
}

// Row r of a room holds the cells x = 0..7 of that row: the map stores column x 8 + row.
ordered_json roomJson(std::span<const std::uint8_t, MapSize> map, int room)
{
    ordered_json rows = ordered_json::array();
    for (int row = 0; row < RoomSide; ++row) {
        std::array<std::uint8_t, RoomSide> cells{};
        for (int x = 0; x < RoomSide; ++x)
            cells[static_cast<std::size_t>(x)] = map[static_cast<std::size_t>(room * RoomSize + x * RoomSide + row)];
        rows.push_back(byteLine(cells));
    }
    return ordered_json{{jsonKey(RoomKeys[0]), hex2(static_cast<std::uint8_t>(room))},
                        {jsonKey(RoomKeys[1]), std::move(rows)}};
}

// As dump(2), but an object of plain values stays on one line, so an object, a chip or a
// restart point is one line of a diff.
void writeJson(std::string& out, const ordered_json& j, int indent)
{
    const bool container = j.is_object() || j.is_array();
    if (!container || j.empty()) {
        out += j.dump();
        return;
    }
    const bool object = j.is_object();
    if (object && std::ranges::all_of(j, [](const ordered_json& value) { return value.is_primitive(); })) {
        out += '{';
        for (auto it = j.begin(); it != j.end(); ++it) {
            out += it == j.begin() ? "" : ", ";
            out += ordered_json(it.key()).dump() + ": " + it.value().dump();
        }
        out += '}';
        return;
    }
    out += object ? "{\n" : "[\n";
    for (auto it = j.begin(); it != j.end(); ++it) {
        out += it == j.begin() ? "" : ",\n";
        out.append(static_cast<std::size_t>(indent + 2), ' ');
        if (object)
            out += ordered_json(it.key()).dump() + ": ";
        writeJson(out, it.value(), indent + 2);
    }
    out += '\n';
    out.append(static_cast<std::size_t>(indent), ' ');
    out += object ? '}' : ']';
}

ordered_json chipJson(const StageText& text, int chip)
{
    std::array<std::uint8_t, QuarterCount> quarters{}, palettes{};
    for (std::size_t k = 0; k < QuarterCount; ++k) {
        const std::uint8_t entry = text.chipEntries[static_cast<std::size_t>(chip) * QuarterCount + k];
        const ChipEntry quarter = ChipEntry::decode(entry);
        quarters[k] = static_cast<std::uint8_t>(quarter.chip);
        palettes[k] = static_cast<std::uint8_t>(quarter.palette);
    }
    const auto attributes =
        std::span(text.chipAttributes).subspan(static_cast<std::size_t>(chip) * QuarterCount, QuarterCount);
    return ordered_json{{jsonKey(ChipKeys[0]), byteLine(quarters)},
                        {jsonKey(ChipKeys[1]), byteLine(palettes)},
                        {jsonKey(ChipKeys[2]), byteLine(attributes)}};
}

} // namespace

bool StageText::sameStage(const StageText& o) const
{
    return stage == o.stage && shared == o.shared && heldElsewhere == o.heldElsewhere &&
        palettesElsewhere == o.palettesElsewhere && bgPalette == o.bgPalette && spritePalette == o.spritePalette &&
        frameCount == o.frameCount && frameTimer == o.frameTimer && animationColours == o.animationColours &&
        patternTableSetting == o.patternTableSetting && scroll == o.scroll && restartPoints == o.restartPoints &&
        enemies == o.enemies && items == o.items && map == o.map && chipEntries == o.chipEntries &&
        chipAttributes == o.chipAttributes;
}

StageText stageTextOf(const RomImage& rom, int stage)
{
    const StageData& data = rom.stage(stage);
    StageText text;
    text.fileName = rom.fileName();
    text.stage = stage;
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        text.shared[g] = stagesSharing(rom.addresses(), SharedGroups[g], stage);
    std::ranges::copy(data.bgPalette(), text.bgPalette.begin());
    std::ranges::copy(data.spritePalette(), text.spritePalette.begin());
    text.frameCount = data.paletteAnimeFrameCount();
    text.frameTimer = data.paletteAnimeFrameTimer();
    std::ranges::copy(data.paletteAnimePalette(), text.animationColours.begin());
    text.patternTableSetting = data.patternTableSetting();
    std::ranges::copy(data.scroll(), text.scroll.begin());
    for (int p = 0; p < RestartPointCount; ++p)
        text.restartPoints[static_cast<std::size_t>(p)] = data.restartPoints(p).toBytes();
    for (const PlacedObject* node : data.enemyObjects().objectsInOrder())
        text.enemies.push_back({node->room, node->x, node->y, node->kind});
    for (const PlacedObject* node : data.itemObjects().objectsInOrder())
        text.items.push_back({node->room, node->x, node->y, node->kind});
    std::ranges::copy(data.map(), text.map.begin());
    std::ranges::copy(data.chip32x32(), text.chipEntries.begin());
    std::ranges::copy(data.chip32x32Attribute(), text.chipAttributes.begin());
    return text;
}

std::string stageTextToJson(const StageText& text)
{
    // Each table is built whole before it goes in: root's members live in a vector.
    ordered_json shared = ordered_json::object();
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        ordered_json stages = ordered_json::array();
        for (int s : text.shared[g])
            stages.push_back(hex2(static_cast<std::uint8_t>(s)));
        shared[jsonKey(GroupKeys[g])] = std::move(stages);
    }
    ordered_json points = ordered_json::array();
    for (const RestartPointBytes& bytes : text.restartPoints)
        points.push_back(restartPoint(bytes));
    ordered_json rooms = ordered_json::array();
    for (int room = 0; room < RoomCount; ++room)
        rooms.push_back(roomJson(text.map, room));
    ordered_json chips = ordered_json::array();
    for (int chip = 0; chip < ChipCount; ++chip)
        chips.push_back(chipJson(text, chip));

    ordered_json root = ordered_json::object();
    root[jsonKey(RootKeys[RootFormat])] = StageTextFormat;
    const bool namesFiles = text.palettesElsewhere || std::ranges::any_of(text.heldElsewhere, std::identity{});
    root[jsonKey(RootKeys[RootVersion])] = namesFiles ? StageTextVersion : WholeTablesVersion;
    root[jsonKey(RootKeys[RootStage])] = hex2(static_cast<std::uint8_t>(text.stage));
    root[jsonKey(RootKeys[RootShared])] = std::move(shared);
    root[jsonKey(RootKeys[RootPalettes])] =
        ordered_json{{jsonKey(PaletteKeys[0]), jsonLines(text.bgPalette, PaletteLineBytes)},
                     {jsonKey(PaletteKeys[1]), jsonLines(text.spritePalette, PaletteLineBytes)}};
    root[jsonKey(RootKeys[RootAnimation])] =
        ordered_json{{jsonKey(AnimationKeys[0]), hex2(text.frameCount)},
                     {jsonKey(AnimationKeys[1]), hex2(text.frameTimer)},
                     {jsonKey(AnimationKeys[2]), jsonLines(text.animationColours, AnimationLineBytes)}};
    root[jsonKey(RootKeys[RootPatternTableSetting])] = jsonLines(text.patternTableSetting, PatternLineBytes);
    root[jsonKey(RootKeys[RootScroll])] = jsonLines(text.scroll, 1);
    root[jsonKey(RootKeys[RootRestartPoints])] = std::move(points);
    root[jsonKey(RootKeys[RootEnemies])] = objects(text.enemies);
    root[jsonKey(RootKeys[RootItems])] = objects(text.items);
    root[jsonKey(RootKeys[RootRooms])] = std::move(rooms);
    root[jsonKey(RootKeys[RootChips])] = std::move(chips);
    if (text.palettesElsewhere)
        root[jsonKey(RootKeys[RootPalettes])] = ordered_json{{jsonKey(HeldInKey), paletteFileName(text.stage)}};
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        if (text.heldElsewhere[g] && !text.shared[g].empty())
            root[jsonKey(RootKeys[GroupRootKeys[g]])] =
                ordered_json{{jsonKey(HeldInKey), stageTextFileName(text.shared[g].front())}};
    std::string out;
    writeJson(out, root, 0);
    return out + "\n";
}

std::string stageToText(const RomImage& rom, int stage) { return stageTextToJson(stageTextOf(rom, stage)); }

std::string stageTextFileName(int stage) { return "stage-" + hex2(static_cast<std::uint8_t>(stage)) + ".json"; }

std::string paletteFileName(int stage) { return "palettes/stage-" + hex2(static_cast<std::uint8_t>(stage)) + ".gpl"; }

void holdSharedTablesOnce(StageText& text)
{
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        text.heldElsewhere[g] = !text.shared[g].empty() && text.shared[g].front() != text.stage;
    emptyTablesHeldElsewhere(text);
}

void emptyTablesHeldElsewhere(StageText& text)
{
    const StageText empty;
    if (text.palettesElsewhere) {
        text.bgPalette = empty.bgPalette;
        text.spritePalette = empty.spritePalette;
    }
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        if (!text.heldElsewhere[g])
            continue;
        switch (SharedGroups[g]) {
        case SharedGroup::Chips:
            text.chipEntries = empty.chipEntries;
            text.chipAttributes = empty.chipAttributes;
            break;
        case SharedGroup::Map: text.map = empty.map; break;
        case SharedGroup::Scroll: text.scroll = empty.scroll; break;
        case SharedGroup::EnemyObjects: text.enemies.clear(); break;
        case SharedGroup::ItemObjects: text.items.clear(); break;
        case SharedGroup::RestartPoints: text.restartPoints = empty.restartPoints; break;
        }
    }
}

} // namespace vx
