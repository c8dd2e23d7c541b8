#include "core/model/SampleImage.h"

#include "core/files/IniFile.h"
#include "core/model/AddressData.h"
#include "core/model/ChipEntry.h"
#include "core/model/ImageAccess.h"
#include "core/model/RestartPoint.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>

namespace vx {
namespace {

using Pixels = std::function<int(int x, int y)>; // 16x16, colour 0..3

// ---- tiles ----

// A 16x16 picture as four tiles: top-left, bottom-left, top-right, bottom-right.
void putChip16(std::vector<std::uint8_t>& image, std::size_t tableOffset, int chip, const Pixels& pixels)
{
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int left = quarter >= 2 ? 8 : 0;
        const int top = quarter % 2 == 1 ? 8 : 0;
        const std::size_t tile = tableOffset + static_cast<std::size_t>((chip * 4 + quarter) * 16);
        for (int row = 0; row < 8; ++row) {
            std::uint8_t plane0 = 0, plane1 = 0;
            for (int column = 0; column < 8; ++column) {
                const int colour = pixels(left + column, top + row) & 3;
                plane0 = static_cast<std::uint8_t>(plane0 | ((colour & 1) << (7 - column)));
                plane1 = static_cast<std::uint8_t>(plane1 | ((colour >> 1) << (7 - column)));
            }
            image[tile + row] = plane0;
            image[tile + 8 + row] = plane1;
        }
    }
}

bool speckle(int x, int y, int seed) { return (x * 5 + y * 3 + seed) % 11 == 0; }

// The background chips every stage's rooms use, then textures that vary with the stage.
Pixels backgroundChip(int chip, int stage)
{
    switch (chip) {
    case 0: // empty sky
        return [](int, int) { return 0; };
    case 1: // grass over earth
        return [](int x, int y) {
            if (y < 3 || (y == 3 && x % 5 == 1))
                return 1;
            return speckle(x, y, 0) ? 3 : 2;
        };
    case 2: // earth
        return [](int x, int y) { return speckle(x, y, 4) ? 3 : 2; };
    case 3: // brick
        return [](int x, int y) {
            const int offset = (y / 8) % 2 * 8;
            if (y % 8 == 7 || (x + offset) % 16 == 15)
                return 3;
            return y % 8 == 0 ? 2 : 1;
        };
    case 4: // ladder on sky
        return [](int x, int y) {
            if (x == 2 || x == 3 || x == 12 || x == 13)
                return 3;
            return (y % 4 == 1 && x > 3 && x < 12) ? 2 : 0;
        };
    case 5: // platform top
        return [](int x, int y) {
            if (y < 2)
                return 3;
            if (y < 6)
                return x % 4 == 0 ? 2 : 1;
            return 0;
        };
    case 6: // spikes
        return [](int x, int y) {
            const int height = 8 - std::abs(2 * (x % 8) - 7) / 1;
            return y >= 16 - height ? ((x % 8 == 3 || x % 8 == 4) ? 2 : 3) : 0;
        };
    case 7: // cloud, left half
    case 8: // cloud, right half
        return [chip](int x, int y) {
            const double dx = (chip == 7 ? x - 16 : x) / 14.0, dy = (y - 9) / 6.0;
            const double d = dx * dx + dy * dy;
            return d < 0.7 ? 1 : (d < 1.0 ? 2 : 0);
        };
    case 9: // pillar
        return [](int x, int) {
            if (x < 2 || x > 13)
                return 0;
            if (x == 2 || x == 13)
                return 3;
            return x % 4 == 0 ? 2 : 1;
        };
    case 10: // ladder through earth
        return [](int x, int y) {
            if (x == 2 || x == 3 || x == 12 || x == 13)
                return 3;
            if (y % 4 == 1 && x > 3 && x < 12)
                return 1;
            return speckle(x, y, 2) ? 1 : 2;
        };
    case 11: // water
        return [](int x, int y) {
            const int wave = (x + (y / 4) * 3) % 8;
            if (y < 2)
                return wave < 4 ? 3 : 1;
            return wave < 2 ? 3 : (wave < 5 ? 2 : 1);
        };
    case 12: // window
        return [](int x, int y) {
            if (x == 0 || y == 0 || x == 15 || y == 15 || x == 7 || y == 7)
                return 3;
            return (x + y) % 6 == 0 ? 2 : 1;
        };
    default: break;
    }
    const int variant = (chip + stage) % 6, size = 2 + chip % 3;
    return [variant, size, chip](int x, int y) {
        switch (variant) {
        case 0: return ((x / size + y / size) % 2) ? 1 + chip % 3 : 0;
        case 1: return ((x + y) / size) % 4;
        case 2: return (x % (size + 2) == 1 && y % (size + 2) == 1) ? 3 : 1;
        case 3: return (x / size) % 3 + 1;
        case 4: return (x * y + chip) % 4;
        default: return (x == 0 || y == 0 || x == 15 || y == 15) ? 3 : (x > 4 && x < 11 && y > 4 && y < 11 ? 2 : 0);
        }
    };
}

// Sprite sheets: round creatures for enemies and small gems for items.
Pixels spriteChip(int chip)
{
    if (chip < 40)
        return [chip](int x, int y) {
            const double dx = x - 7.5, dy = y - 8.0 - chip % 3;
            const double d = dx * dx + dy * dy;
            const double radius = 36 + (chip % 5) * 6;
            if (d > radius)
                return 0;
            if ((x == 5 || x == 10) && y == 6)
                return 3;
            return d > radius - 12 ? 2 : 1;
        };
    return [chip](int x, int y) {
        const int d = std::abs(x - 8) + std::abs(y - 8);
        const int size = 4 + chip % 4;
        return d > size ? 0 : (d == size ? 3 : (d < 2 ? 2 : 1));
    };
}

// ---- chips ----

struct Chip32 {
    std::array<std::uint8_t, 4> chips16; // TL, BL, TR, BR
    std::array<std::uint8_t, 4> palettes;
    std::array<std::uint8_t, 4> attributes;
};

enum Chip32Name : std::uint8_t {
    cSky,
    cGround,
    cEarth,
    cBrick,
    cLadder,
    cPlatform,
    cSpikes,
    cCloud,
    cPillar,
    cLadderEarth,
    cWater,
    cWindow,
    cNamedCount
};

Chip32 chip32Of(int n)
{
    auto same = [](int chip, int palette, int attribute) {
        const auto c = static_cast<std::uint8_t>(chip), p = static_cast<std::uint8_t>(palette),
                   a = static_cast<std::uint8_t>(attribute);
        return Chip32{{c, c, c, c}, {p, p, p, p}, {a, a, a, a}};
    };
    switch (n) {
    case cSky: return same(0, 0, 0);
    case cGround: return {{1, 2, 1, 2}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    case cEarth: return same(2, 1, 1);
    case cBrick: return same(3, 2, 1);
    case cLadder: return same(4, 3, 2);
    case cPlatform: return {{5, 0, 5, 0}, {2, 0, 2, 0}, {1, 0, 1, 0}};
    case cSpikes: return {{0, 6, 0, 6}, {0, 3, 0, 3}, {0, 3, 0, 3}};
    case cCloud: return {{7, 0, 8, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
    case cPillar: return same(9, 2, 0);
    case cLadderEarth: return same(10, 1, 2);
    case cWater: return same(11, 3, 3);
    case cWindow: return same(12, 0, 0);
    default: break;
    }
    Chip32 chip{};
    for (int k = 0; k < 4; ++k) {
        chip.chips16[k] = static_cast<std::uint8_t>(13 + (n * 5 + k * 17) % 51);
        chip.palettes[k] = static_cast<std::uint8_t>((n + k) % 4);
        chip.attributes[k] = 0;
    }
    return chip;
}

// ---- stage layout ----

// Scroll entries per map: each covers count + 1 rooms, 44 in all.
const std::array<std::vector<std::uint8_t>, 8> ScrollPaths{{
    {0x29, 0x45, 0x27, 0x83, 0x2F},
    {0x27, 0x43, 0x2B, 0x83, 0x2F},
    {0x2F, 0x45, 0x29, 0x2B},
    {0x25, 0x85, 0x27, 0x45, 0x2F, 0x21},
    {0x2D, 0x43, 0x2D, 0x41, 0x29},
    {0x2B, 0x87, 0x2B, 0x2B},
    {0x29, 0x43, 0x43, 0x2F, 0x29},
    {0x23, 0x45, 0x25, 0x85, 0x2F, 0x25},
}};

enum Exit {
    Right,
    Down,
    Up
};

// The direction each room is left in: the last room of a segment leaves by its entry's
// direction, every other room to the right.
std::array<Exit, RoomCount> roomExits(const std::vector<std::uint8_t>& path)
{
    std::array<Exit, RoomCount> exits{};
    int room = 0;
    for (std::uint8_t entry : path) {
        room += entry & 0x0F;
        if (room < RoomCount)
            exits[room] = (entry & 0x40) ? Down : (entry & 0x80) ? Up : Right;
        ++room;
    }
    return exits;
}

std::vector<std::uint8_t> makeMap(const std::vector<std::uint8_t>& path)
{
    const auto exits = roomExits(path);
    std::vector<std::uint8_t> map(static_cast<std::size_t>(MapSize));
    for (int r = 0; r < RoomCount; ++r) {
        std::array<std::array<std::uint8_t, 8>, 8> cell{}; // [column][row]
        for (auto& column : cell) {
            column.fill(cSky);
            column[6] = cGround;
            column[7] = cEarth;
        }
        if (r % 2 == 0)
            cell[(r * 3) % 8][1] = cCloud;
        if (r % 3 == 1)
            cell[r % 5 + 1][3] = cell[r % 5 + 2][3] = cPlatform;
        if (r % 4 == 0 && r > 0)
            cell[6][3] = cell[6][4] = cell[6][5] = cPillar;
        if (r % 4 == 2)
            cell[5][5] = cSpikes;
        if (r % 5 == 4)
            cell[7][4] = cell[7][5] = cBrick;
        if (r % 6 == 3)
            cell[3][6] = cell[4][6] = cell[3][7] = cell[4][7] = cWater;
        if (r % 7 == 5)
            cell[1][2] = cWindow;

        const Exit previous = r > 0 ? exits[r - 1] : Right;
        if (previous == Down) { // a shaft entered from above
            for (int row = 0; row < 6; ++row) {
                cell[0][row] = cell[7][row] = cBrick;
                cell[3][row] = cLadder;
            }
        }
        if (previous == Up) // climbed into from below
            cell[4][6] = cell[4][7] = cLadderEarth;
        if (exits[r] == Down) {
            for (int row = 3; row < 6; ++row)
                cell[3][row] = cLadder;
            cell[3][6] = cell[3][7] = cLadderEarth;
        }
        if (exits[r] == Up) {
            for (int column = 0; column < 8; ++column)
                cell[column][0] = cBrick;
            for (int row = 0; row < 6; ++row)
                cell[4][row] = cLadder;
        }
        for (int column = 0; column < 8; ++column)
            for (int row = 0; row < 8; ++row)
                map[static_cast<std::size_t>(r * RoomSize + column * RoomSide + row)] = cell[column][row];
    }
    return map;
}

struct ObjectTables {
    std::vector<std::uint8_t> room, x, y, kind;
    explicit ObjectTables(std::size_t size) : room(size, 0xFF), x(size), y(size), kind(size) {}
    int count = 0;
    void add(int r, int px, int py, int k)
    {
        room[count] = static_cast<std::uint8_t>(r);
        x[count] = static_cast<std::uint8_t>(px);
        y[count] = static_cast<std::uint8_t>(py);
        kind[count] = static_cast<std::uint8_t>(k);
        ++count;
    }
};

ObjectTables makeEnemies(int map)
{
    ObjectTables enemies(256);
    // One map keeps its enemies in a free order: the first two rooms' enemies swapped.
    if (map == 5) {
        enemies.add(3, 0x70, 0xB8, 4);
        enemies.add(1, 0x60, 0xB8, 1);
    }
    for (int r = 1; r < RoomCount; ++r) {
        if (map == 5 && (r == 1 || r == 3))
            continue;
        if (r % 2 == 1)
            enemies.add(r, 0x40 + (r * 37) % 0x90, 0xB8, (r * 3 + map) % 23);
        if (r % 5 == 0)
            enemies.add(r, 0xA0 - (r * 11) % 0x40, 0x50, 2 + map % 3);
    }
    return enemies;
}

ObjectTables makeItems(int map)
{
    ObjectTables items(64);
    for (int r = 2; r < RoomCount; r += 4)
        items.add(r, 0x30 + (r * 23 + map * 8) % 0xA0, 0x98, 28 + (r / 4 + map) % 8);
    return items;
}

// ---- palettes ----

std::uint8_t shift(std::uint8_t colour, int by)
{
    const int hue = colour & 0x0F;
    if (hue < 1 || hue > 0x0C)
        return colour;
    return static_cast<std::uint8_t>((colour & 0x30) | (((hue - 1 + by) % 12) + 1));
}

std::array<std::uint8_t, 16> backgroundPalette(int stage)
{
    static const std::array<std::uint8_t, 14> skies{0x21, 0x0F, 0x12, 0x06, 0x2A, 0x31, 0x02,
                                                    0x0F, 0x22, 0x0C, 0x11, 0x07, 0x1B, 0x2C};
    const std::uint8_t sky = skies[stage];
    const int by = (stage * 5) % 12;
    return {sky,
            0x30,
            0x10,
            0x00,
            sky,
            shift(0x1A, by),
            shift(0x17, by),
            shift(0x27, by),
            sky,
            shift(0x16, by),
            shift(0x06, by),
            shift(0x36, by),
            sky,
            shift(0x28, by),
            shift(0x18, by),
            shift(0x38, by)};
}

bool animated(int stage) { return stage == 1 || stage == 3 || stage == 6 || stage == 10 || stage == 13; }

void putBytes(std::vector<std::uint8_t>& image, std::int32_t address, std::span<const std::uint8_t> bytes)
{
    writeToImage(image, address, bytes);
}

} // namespace

std::vector<std::uint8_t> makeSampleImage()
{
    std::vector<std::uint8_t> image(SampleImageSize, 0xFF);
    const std::uint8_t header[16] = {'N', 'E', 'S', 0x1A, 0x10, 0x00};
    std::copy(std::begin(header), std::end(header), image.begin());

    SettingsFile defaults(IniFile::fromText(""));
    const AddressData addresses(defaults);
    auto at = [&](TableKey key, int stage) { return addresses.address(key, stage); };

    // Tables that stages 8..13 share with 0..5 are written once, by the lower stage.
    for (int m = 0; m < 8; ++m) {
        std::vector<std::uint8_t> entries(ChipEntryCount), attributes(ChipEntryCount);
        for (int n = 0; n < ChipCount; ++n) {
            const Chip32 chip = chip32Of(n);
            for (int k = 0; k < 4; ++k) {
                entries[static_cast<std::size_t>(4 * n + k)] = ChipEntry{chip.palettes[k], chip.chips16[k]}.encode();
                attributes[static_cast<std::size_t>(4 * n + k)] = chip.attributes[k];
            }
        }
        const EncodedChips encoded = encodeChips(entries, attributes);
        putBytes(image, at(TableKey::Chip32x32, m), encoded.chip32x32);
        putBytes(image, at(TableKey::Chip32x32Palette, m), encoded.chip32x32Palette);

        const std::vector<std::uint8_t>& path = ScrollPaths[m];
        putBytes(image, at(TableKey::Map, m), makeMap(path));
        std::vector<std::uint8_t> scroll(32, 0);
        std::copy(path.begin(), path.end(), scroll.begin());
        putBytes(image, at(TableKey::Scroll, m), scroll);

        const ObjectTables enemies = makeEnemies(m), items = makeItems(m);
        putBytes(image, at(TableKey::EnemyObjectRoom, m), enemies.room);
        putBytes(image, at(TableKey::EnemyObjectX, m), enemies.x);
        putBytes(image, at(TableKey::EnemyObjectY, m), enemies.y);
        putBytes(image, at(TableKey::EnemyObjectKind, m), enemies.kind);
        putBytes(image, at(TableKey::ItemObjectRoom, m), items.room);
        putBytes(image, at(TableKey::ItemObjectX, m), items.x);
        putBytes(image, at(TableKey::ItemObjectY, m), items.y);
        putBytes(image, at(TableKey::ItemObjectKind, m), items.kind);

        // Mid-points at the start of each segment (the last ones inside the long last
        // segment), their derived values as Recalc gives them.
        auto enemyList =
            std::make_shared<StageObjects>(enemies.room, enemies.x, enemies.y, enemies.kind, EnemyCapacity);
        auto itemList = std::make_shared<StageObjects>(items.room, items.x, items.y, items.kind, ItemCapacity);
        std::vector<std::pair<int, int>> segments; // left room, entry
        int room = 0;
        for (std::size_t k = 0; k < path.size(); ++k) {
            segments.emplace_back(room, static_cast<int>(k));
            room += (path[k] & 0x0F) + 1;
        }
        for (int i = 0; i < RestartPointCount; ++i) {
            auto [left, entry] = segments[std::min<std::size_t>(static_cast<std::size_t>(i), segments.size() - 1)];
            const int startRoom =
                i < static_cast<int>(segments.size()) ? left : left + 2 * (i - static_cast<int>(segments.size()) + 1);
            RestartPoint point(RestartPointBytes{}, at(TableKey::Map, m), enemyList, itemList);
            point.startY = 0xB0;
            point.setStartRoom(static_cast<std::uint8_t>(startRoom));
            point.startScroll = static_cast<std::uint8_t>(entry);
            point.rightRoom = static_cast<std::uint8_t>(left + (path[static_cast<std::size_t>(entry)] & 0x0F));
            point.recalc();
            const RestartPointBytes bytes = point.toBytes();
            for (int t = 0; t < RestartPointTableCount; ++t)
                setImageByte(image, at(static_cast<TableKey>(static_cast<int>(TableKey::MidPointStartY) + t), m) + i,
                             bytes[t]);
        }
    }

    for (int stage = 0; stage < StageCount; ++stage) {
        // Pattern data: 16 pages of sprite tiles, then 16 of background tiles, in the
        // banks 8..15 that no stage's tables use.
        const int bank = 8 + stage / 2;
        const int high = 0x80 + (stage % 2) * 0x20;
        std::vector<std::uint8_t> setting(256, 0);
        const std::uint8_t entries[7] = {2,
                                         static_cast<std::uint8_t>(high),
                                         16,
                                         static_cast<std::uint8_t>(bank),
                                         static_cast<std::uint8_t>(high + 0x10),
                                         16,
                                         static_cast<std::uint8_t>(bank)};
        std::copy(std::begin(entries), std::end(entries), setting.begin());
        putBytes(image, at(TableKey::PatternTableSetting, stage), setting);
        const std::size_t source =
            0x10 + static_cast<std::size_t>(bank) * 0x4000 + static_cast<std::size_t>(high - 0x80) * 0x100;
        for (int chip = 0; chip < 64; ++chip) {
            putChip16(image, source, chip, spriteChip(chip));
            putChip16(image, source + 0x1000, chip, backgroundChip(chip, stage));
        }

        const auto bg = backgroundPalette(stage);
        putBytes(image, at(TableKey::BGPalette, stage), bg);
        const std::array<std::uint8_t, 16> sprites{0x0F, 0x16, 0x27, 0x30, 0x0F, 0x12, 0x21, 0x30,
                                                   0x0F, 0x19, 0x29, 0x30, 0x0F, 0x15, 0x25, 0x35};
        putBytes(image, at(TableKey::SpritePalette, stage), sprites);
        std::array<std::uint8_t, 64> frames{};
        for (int f = 0; f < 4; ++f)
            for (int e = 0; e < 16; ++e)
                frames[f * 16 + e] = e >= 13 ? bg[13 + (e - 13 + f) % 3] : bg[e];
        putBytes(image, at(TableKey::PaletteAnimePalette, stage), frames);
        setImageByte(image, at(TableKey::PaletteAnimeFrameCount, stage),
                     static_cast<std::uint8_t>(animated(stage) ? 2 + stage % 3 : 0));
        setImageByte(image, at(TableKey::PaletteAnimeFrameTimer, stage),
                     static_cast<std::uint8_t>(animated(stage) ? 8 + (stage % 3) * 4 : 0));
    }
    return image;
}

} // namespace vx
