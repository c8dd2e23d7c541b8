#include "core/model/PlayCopy.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ImageAccess.h"
#include "core/model/Rooms.h"
#include "core/model/ScrollEntry.h"
#include "core/model/ScrollPath.h"
#include "core/model/StageObjects.h"

#include <algorithm>
#include <memory>
#include <string>

namespace vx {
namespace {

using Image = std::vector<std::uint8_t>;

TableKey keyAfter(TableKey key, int by) { return static_cast<TableKey>(static_cast<int>(key) + by); }

std::vector<std::uint8_t> tableOf(const Image& image, std::int32_t address, int length)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    readFromImage(image, address, bytes);
    return bytes;
}

struct ObjectList {
    TableKey first;
    int capacity;
};
constexpr ObjectList Enemies{TableKey::EnemyObjectRoom, EnemyCapacity};
constexpr ObjectList Items{TableKey::ItemObjectRoom, ItemCapacity};

std::optional<ObjectList> listOf(TableKey key)
{
    const int k = static_cast<int>(key);
    for (const ObjectList list : {Enemies, Items})
        if (k >= static_cast<int>(list.first) && k < static_cast<int>(list.first) + 4)
            return list;
    return std::nullopt;
}

// Entries as the lists read them: up to a room byte past the last room, at most capacity.
int objectCount(const Image& image, std::int32_t roomTable, int capacity)
{
    int count = 0;
    while (count < capacity && imageByte(image, roomTable + count) < RoomCount)
        ++count;
    return count;
}

// The bytes a table may take at its address: up to the next table of any stage that begins
// inside it, so a list longer than its place never runs into its neighbour.
std::int64_t placeAt(const AddressData& addresses, TableKey key, int stage, std::int64_t imageSize)
{
    const std::int64_t at = addresses.address(key, stage);
    std::int64_t end = std::min<std::int64_t>(at + infoOf(key).length, imageSize);
    for (int k = 0; k < TableKeyCount; ++k)
        for (int s = 0; s < StageCount; ++s)
            if (const std::int64_t other = addresses.address(TableKey(k), s); other > at && other < end)
                end = other;
    return std::max<std::int64_t>(0, end - at);
}

std::shared_ptr<StageObjects> objectsOf(const Image& image, const AddressData& addresses, ObjectList list, int stage)
{
    const int length = infoOf(list.first).length;
    std::array<std::vector<std::uint8_t>, 4> tables;
    for (int t = 0; t < 4; ++t)
        tables[t] = tableOf(image, addresses.address(keyAfter(list.first, t), stage), length);
    return std::make_shared<StageObjects>(tables[0], tables[1], tables[2], tables[3], list.capacity);
}

RestartPointBytes recordOf(const Image& image, const AddressData& addresses, int stage, int point)
{
    RestartPointBytes bytes{};
    for (int t = 0; t < RestartPointTableCount; ++t)
        bytes[t] = imageByte(image, addresses.address(keyAfter(TableKey::MidPointStartY, t), stage) + point);
    return bytes;
}

void writeRecord(Image& image, const AddressData& addresses, int point, const RestartPointBytes& bytes)
{
    for (int t = 0; t < RestartPointTableCount; ++t)
        setImageByte(image, addresses.address(keyAfter(TableKey::MidPointStartY, t), 0) + point, bytes[t]);
}

std::string stageText(int stage) { return formatHex(static_cast<std::uint32_t>(stage), 2); }

Error outOfRange(const char* japanese, const char* english, int highest)
{
    return Error{localized(std::string(japanese) + "は0から" + std::to_string(highest) + "までです。",
                           std::string(english) + " must be 0 to " + std::to_string(highest) + ".")};
}

Error tooLong(TableKey key, int stage, int needed, std::int64_t place)
{
    const std::string name(infoOf(key).name), of = stageText(stage);
    const std::string takes = std::to_string(needed), holds = std::to_string(place);
    return Error{localized(name + "の表はステージ" + of + "で" + takes +
                               "バイトですが、最初の"
                               "ステージの場所は" +
                               holds + "バイトです。",
                           "The " + name + " table of stage " + of + " takes " + takes +
                               " bytes; the first stage's place holds " + holds + ".")};
}

Result<void> checkStart(const PlayStart& start)
{
    if (start.stage < 0 || start.stage >= StageCount)
        return outOfRange("ステージ", "The stage", StageCount - 1);
    if (start.point && (*start.point < 0 || *start.point >= RestartPointCount))
        return outOfRange("復帰地点", "The restart point", RestartPointCount - 1);
    if (!start.point && (start.room < 0 || start.room > LastRoom))
        return outOfRange("ルーム", "The room", LastRoom);
    if (!start.point && start.y && (*start.y < 0 || *start.y > 255))
        return outOfRange("着地の高さ", "The landing height", 255);
    return {};
}

} // namespace

int scrollEntryAt(std::span<const std::uint8_t> scroll, int startRoom, int startEntry, int room)
{
    // As the path walk goes: each entry covers its forward rooms and the room it turns in.
    int at = startRoom, entry = std::clamp(startEntry, 0, ScrollEntryCount - 1);
    while (at < RoomCount) {
        const std::uint8_t byte = static_cast<std::size_t>(entry) < scroll.size() ? scroll[entry] : 0;
        at += ScrollEntry::decode(byte).count + 1;
        if (room < at || entry + 1 >= ScrollEntryCount)
            break;
        ++entry;
    }
    return entry;
}

Result<PlayCopy> makePlayCopy(std::span<const std::uint8_t> image, const AddressData& addresses, const PlayStart& start)
{
    if (Result<void> checked = checkStart(start); !checked.ok())
        return checked.error();
    const Image source(image.begin(), image.end());
    PlayCopy copy{source, {}, {}};
    const auto size = static_cast<std::int64_t>(source.size());
    for (int k = 0; k < TableKeyCount; ++k) {
        const auto key = TableKey(k);
        const std::int32_t from = addresses.address(key, start.stage), to = addresses.address(key, 0);
        int needed = infoOf(key).length;
        if (const auto list = listOf(key)) {
            // A list takes its entries and, on the room table, the end mark after them.
            const int count = objectCount(source, addresses.address(list->first, start.stage), list->capacity);
            needed = std::min(needed, count + (key == list->first && count < list->capacity ? 1 : 0));
        }
        if (const std::int64_t place = placeAt(addresses, key, 0, size); needed > place)
            return tooLong(key, start.stage, needed, place);
        if (from != to)
            writeToImage(copy.image, to, tableOf(source, from, needed));
        copy.tables.push_back({key, from, to, needed});
    }
    // Map addresses and first-object numbers follow the tables to their new place.
    const std::int32_t map = addresses.address(TableKey::Map, 0);
    const auto enemies = objectsOf(copy.image, addresses, Enemies, 0);
    const auto items = objectsOf(copy.image, addresses, Items, 0);
    auto recalculated = [&](const RestartPointBytes& bytes) {
        RestartPoint point(bytes, map, enemies, items);
        point.recalc();
        return point.toBytes();
    };
    for (int p = 0; p < RestartPointCount; ++p)
        writeRecord(copy.image, addresses, p, recalculated(recordOf(copy.image, addresses, 0, p)));
    RestartPointBytes chosen;
    if (start.point) {
        chosen = recordOf(source, addresses, start.stage, *start.point);
    } else {
        const RestartPointBytes base =
            recordOf(source, addresses, start.stage, addresses.defaultStartPoint(start.stage));
        RestartPoint point(base, map, enemies, items);
        const auto scroll = tableOf(source, addresses.address(TableKey::Scroll, start.stage), ScrollEntryCount);
        point.startScroll =
            static_cast<std::uint8_t>(scrollEntryAt(scroll, point.startRoom(), point.startScroll, start.room));
        point.setStartRoom(static_cast<std::uint8_t>(start.room));
        if (start.y)
            point.startY = static_cast<std::uint8_t>(*start.y);
        chosen = point.toBytes();
    }
    copy.start = recalculated(chosen);
    writeRecord(copy.image, addresses, PlayStartRecord, copy.start);
    return copy;
}

} // namespace vx
