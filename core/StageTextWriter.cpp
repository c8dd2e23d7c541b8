#include "core/StageText.h"

#include "core/ChipEntry.h"
#include "core/FileSystem.h"
#include "core/RomImgManager.h"
#include "core/SharedStages.h"
#include "core/StageTextKeys.h"
#include "core/VxObject.h"

#include <nlohmann/json.hpp>

namespace vx {
namespace {

using nlohmann::ordered_json;
using namespace stage_text;

constexpr char Digits[] = "0123456789ABCDEF";

std::string Key(std::string_view key) { return std::string(key); }

std::string Hex2(std::uint8_t value) { return {Digits[value >> 4], Digits[value & 15]}; }

std::string Hex4(std::uint16_t value)
{
    return Hex2(static_cast<std::uint8_t>(value >> 8)) + Hex2(static_cast<std::uint8_t>(value));
}

// "0F 10 20 30": bytes as two hex digits each, one space apart.
std::string ByteLine(std::span<const std::uint8_t> bytes)
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

ordered_json Lines(std::span<const std::uint8_t> bytes, int perLine)
{
    ordered_json lines = ordered_json::array();
    for (std::size_t at = 0; at < bytes.size(); at += static_cast<std::size_t>(perLine))
        lines.push_back(ByteLine(bytes.subspan(at, static_cast<std::size_t>(perLine))));
    return lines;
}

ordered_json Objects(const std::vector<TStageTextObject>& objects)
{
    ordered_json list = ordered_json::array();
    for (const TStageTextObject& o : objects)
        list.push_back(ordered_json{{Key(ObjectKeys[0]), Hex2(o.room)}, {Key(ObjectKeys[1]), Hex2(o.x)},
                                    {Key(ObjectKeys[2]), Hex2(o.y)}, {Key(ObjectKeys[3]), Hex2(o.kind)}});
    return list;
}

ordered_json RestartPoint(const MidPointBytes& bytes)
{
    ordered_json point = ordered_json::object();
    for (const TPointField& field : PointFields) {
        const auto at = static_cast<std::size_t>(field.byte);
        point[Key(field.key)] = field.word ? Hex4(static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]))
                                      : Hex2(bytes[at]);
    }
    return point;
}

// Row r of a room holds the cells x = 0..7 of that row: the map stores column x 8 + row.
ordered_json Room(std::span<const std::uint8_t, MapSize> map, int room)
{
    ordered_json rows = ordered_json::array();
    for (int row = 0; row < RoomSide; ++row) {
        std::array<std::uint8_t, RoomSide> cells{};
        for (int x = 0; x < RoomSide; ++x)
            cells[static_cast<std::size_t>(x)] = map[static_cast<std::size_t>(room * RoomSize + x * RoomSide + row)];
        rows.push_back(ByteLine(cells));
    }
    return rows;
}

ordered_json Chip(const TStageText& text, int chip)
{
    std::array<std::uint8_t, QuarterCount> quarters{}, palettes{};
    for (std::size_t k = 0; k < QuarterCount; ++k) {
        const std::uint8_t entry = text.chipEntries[static_cast<std::size_t>(chip) * QuarterCount + k];
        const TChipEntry quarter = TChipEntry::Decode(entry);
        quarters[k] = static_cast<std::uint8_t>(quarter.chip);
        palettes[k] = static_cast<std::uint8_t>(quarter.palette);
    }
    const auto attributes = std::span(text.chipAttributes).subspan(static_cast<std::size_t>(chip) * QuarterCount, QuarterCount);
    return ordered_json{{Key(ChipKeys[0]), ByteLine(quarters)}, {Key(ChipKeys[1]), ByteLine(palettes)},
                        {Key(ChipKeys[2]), ByteLine(attributes)}};
}

} // namespace

bool TStageText::SameStage(const TStageText& o) const
{
    return stage == o.stage && shared == o.shared && bgPalette == o.bgPalette &&
           spritePalette == o.spritePalette && frameCount == o.frameCount && frameTimer == o.frameTimer &&
           animationColours == o.animationColours && patternTableSetting == o.patternTableSetting &&
           scroll == o.scroll && restartPoints == o.restartPoints && enemies == o.enemies &&
           items == o.items && map == o.map && chipEntries == o.chipEntries && chipAttributes == o.chipAttributes;
}

std::string TStageTextRefusal::Message() const
{
    return file + ": " + (path.empty() ? "" : path + ": ") + Sentence(reason);
}

TStageText StageTextOf(const TRomImgManager& rom, int stage)
{
    const TStageData& data = rom.Stage(stage);
    TStageText text;
    text.fileName = rom.FileName();
    text.stage = stage;
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        text.shared[g] = StagesSharing(rom.Addresses(), SharedGroups[g], stage);
    std::ranges::copy(data.BGPalette(), text.bgPalette.begin());
    std::ranges::copy(data.SpritePalette(), text.spritePalette.begin());
    text.frameCount = data.PaletteAnimeFrameCount();
    text.frameTimer = data.PaletteAnimeFrameTimer();
    std::ranges::copy(data.PaletteAnimePalette(), text.animationColours.begin());
    text.patternTableSetting = data.PatternTableSetting();
    std::ranges::copy(data.Scroll(), text.scroll.begin());
    for (int p = 0; p < MidPointCount; ++p)
        text.restartPoints[static_cast<std::size_t>(p)] = data.MidPoints(p).ToBytes();
    for (const TVxObjectNode* node : data.EnemyObjects().ObjectsInOrder())
        text.enemies.push_back({node->Room, node->X, node->Y, node->Kind});
    for (const TVxObjectNode* node : data.ItemObjects().ObjectsInOrder())
        text.items.push_back({node->Room, node->X, node->Y, node->Kind});
    std::ranges::copy(data.Map(), text.map.begin());
    std::ranges::copy(data.Chip32x32(), text.chipEntries.begin());
    std::ranges::copy(data.Chip32x32Attribute(), text.chipAttributes.begin());
    return text;
}

std::string StageTextToJson(const TStageText& text)
{
    // Each table is built whole before it goes in: root's members live in a vector.
    ordered_json shared = ordered_json::object();
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        ordered_json stages = ordered_json::array();
        for (int s : text.shared[g])
            stages.push_back(Hex2(static_cast<std::uint8_t>(s)));
        shared[Key(GroupKeys[g])] = std::move(stages);
    }
    ordered_json points = ordered_json::array();
    for (const MidPointBytes& bytes : text.restartPoints)
        points.push_back(RestartPoint(bytes));
    ordered_json rooms = ordered_json::array();
    for (int room = 0; room < RoomCount; ++room)
        rooms.push_back(Room(text.map, room));
    ordered_json chips = ordered_json::array();
    for (int chip = 0; chip < ChipCount; ++chip)
        chips.push_back(Chip(text, chip));

    ordered_json root = ordered_json::object();
    root[Key(RootKeys[0])] = StageTextFormat;
    root[Key(RootKeys[1])] = StageTextVersion;
    root[Key(RootKeys[2])] = Hex2(static_cast<std::uint8_t>(text.stage));
    root[Key(RootKeys[3])] = std::move(shared);
    root[Key(RootKeys[4])] = ordered_json{{Key(PaletteKeys[0]), Lines(text.bgPalette, PaletteLineBytes)},
                                          {Key(PaletteKeys[1]), Lines(text.spritePalette, PaletteLineBytes)}};
    root[Key(RootKeys[5])] = ordered_json{{Key(AnimationKeys[0]), Hex2(text.frameCount)},
                                          {Key(AnimationKeys[1]), Hex2(text.frameTimer)},
                                          {Key(AnimationKeys[2]), Lines(text.animationColours, AnimationLineBytes)}};
    root[Key(RootKeys[6])] = Lines(text.patternTableSetting, PatternLineBytes);
    root[Key(RootKeys[7])] = Lines(text.scroll, 1);
    root[Key(RootKeys[8])] = std::move(points);
    root[Key(RootKeys[9])] = Objects(text.enemies);
    root[Key(RootKeys[10])] = Objects(text.items);
    root[Key(RootKeys[11])] = std::move(rooms);
    root[Key(RootKeys[12])] = std::move(chips);
    return root.dump(2) + "\n";
}

std::string StageToText(const TRomImgManager& rom, int stage) { return StageTextToJson(StageTextOf(rom, stage)); }

} // namespace vx
