#include "core/model/StageData.h"

#include "core/base/Language.h"
#include "core/model/ChipEntry.h"
#include "core/model/EditCommands.h"
#include "core/model/ImageAccess.h"
#include "core/model/StageObjects.h"

#include <algorithm>

namespace vx {
namespace {

// Where quarter k's palette number sits in a Chip32x32Palette byte: TL, BL, TR, BR.
constexpr std::array<int, 4> QuarterPaletteShift{0, 4, 2, 6};

TableKey offset(TableKey key, int by) { return static_cast<TableKey>(static_cast<int>(key) + by); }

// A list as a save writes it: exported over the tables as the image holds them, which keep
// their bytes past the end mark, so undo gives back every byte.
std::array<std::vector<std::uint8_t>, 4> listTables(const StageObjects& manager,
                                                    std::array<std::vector<std::uint8_t>, 4> tables)
{
    manager.exportTables(tables[0], tables[1], tables[2], tables[3]);
    return tables;
}

} // namespace

EncodedChips encodeChips(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes)
{
    EncodedChips encoded{std::vector<std::uint8_t>(ChipEntryCount), std::vector<std::uint8_t>(ChipCount)};
    for (std::size_t c = 0; c < ChipCount; ++c) {
        int palette = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t at = 4 * c + k;
            const std::uint8_t entry = at < entries.size() ? entries[at] : 0;
            const std::uint8_t attribute = at < attributes.size() ? attributes[at] : 0;
            const ChipEntry quarter = ChipEntry::decode(entry);
            encoded.chip32x32[at] = ImageChipByte{attribute, quarter.chip}.encode();
            palette |= quarter.palette << QuarterPaletteShift[k];
        }
        encoded.chip32x32Palette[c] = static_cast<std::uint8_t>(palette);
    }
    return encoded;
}

TableKey decidingKey(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return TableKey::Chip32x32;
    case SharedGroup::Map: return TableKey::Map;
    case SharedGroup::Scroll: return TableKey::Scroll;
    case SharedGroup::EnemyObjects: return TableKey::EnemyObjectRoom;
    case SharedGroup::ItemObjects: return TableKey::ItemObjectRoom;
    case SharedGroup::RestartPoints: break;
    }
    return TableKey::MidPointStartY;
}

int shareSource(const AddressData& addresses, SharedGroup group, int stage)
{
    const TableKey key = decidingKey(group);
    for (int earlier = 0; earlier < stage; ++earlier)
        if (addresses.address(key, earlier) == addresses.address(key, stage))
            return earlier;
    return -1;
}

template <class T>
std::shared_ptr<T> StageData::sharedFrom(Earlier earlier, SharedGroup group,
                                         std::shared_ptr<T> StageData::*member) const
{
    const int source = shareSource(addresses_, group, stageIndex_);
    if (source < 0 || source >= static_cast<int>(earlier.size()) || !earlier[source])
        return nullptr;
    return (*earlier[source]).*member;
}

StageData::StageData(std::vector<std::uint8_t>& image, Earlier earlier, int stageIndex, const AddressData& addresses,
                     const StageHooks* hooks)
    : addresses_(addresses), stageIndex_(stageIndex), image_(image), hooks_(hooks)
{
    chips_ = sharedFrom(earlier, SharedGroup::Chips, &StageData::chips_);
    if (!chips_)
        chips_ = readChips();
    map_ = sharedFrom(earlier, SharedGroup::Map, &StageData::map_);
    if (!map_)
        map_ = readTable(TableKey::Map, MapSize);
    scroll_ = sharedFrom(earlier, SharedGroup::Scroll, &StageData::scroll_);
    if (!scroll_)
        scroll_ = readTable(TableKey::Scroll, ScrollSize);
    enemies_ = sharedFrom(earlier, SharedGroup::EnemyObjects, &StageData::enemies_);
    if (!enemies_)
        enemies_ = readObjects(TableKey::EnemyObjectRoom, 256, EnemyCapacity);
    items_ = sharedFrom(earlier, SharedGroup::ItemObjects, &StageData::items_);
    if (!items_)
        items_ = readObjects(TableKey::ItemObjectRoom, 64, ItemCapacity);
    tiles_ = earlier.empty() || !earlier.front() ? std::make_shared<TileEdits>() : earlier.front()->tiles_;
    // Restart points come after the object lists: each keeps both.
    const int restartPointSource = shareSource(addresses_, SharedGroup::RestartPoints, stageIndex_);
    if (restartPointSource >= 0 && restartPointSource < static_cast<int>(earlier.size()) && earlier[restartPointSource])
        restartPoints_ = earlier[restartPointSource]->restartPoints_;
    else
        readRestartPoints();

    readFromImage(image_, address(TableKey::PatternTableSetting), patternTableSetting_);
    readFromImage(image_, address(TableKey::BGPalette), std::span(palette_).subspan(0, 16));
    readFromImage(image_, address(TableKey::SpritePalette), std::span(palette_).subspan(16, 16));
    frameCount_ = imageByte(image_, address(TableKey::PaletteAnimeFrameCount));
    frameTimer_ = imageByte(image_, address(TableKey::PaletteAnimeFrameTimer));
    readFromImage(image_, address(TableKey::PaletteAnimePalette), std::span(palette_).subspan(32, 64));

    defaultChipEditPage_ = addresses_.default32x32ChipEditPage(stageIndex_);
    defaultStartPoint_ = addresses_.defaultStartPoint(stageIndex_);
}

StageData::~StageData() = default;

std::shared_ptr<StageData::ChipTables> StageData::readChips() const
{
    auto chips = std::make_shared<ChipTables>();
    std::vector<std::uint8_t> raw(ChipEntryCount), palettes(ChipCount);
    readFromImage(image_, address(TableKey::Chip32x32), raw);
    readFromImage(image_, address(TableKey::Chip32x32Palette), palettes);
    for (int c = 0; c < ChipCount; ++c) {
        for (int k = 0; k < 4; ++k) {
            const ImageChipByte quarter = ImageChipByte::decode(raw[4 * c + k]);
            const int palette = (palettes[c] >> QuarterPaletteShift[k]) & 3;
            chips->entries[4 * c + k] = ChipEntry{palette, quarter.chip}.encode();
            chips->attributes[4 * c + k] = static_cast<std::uint8_t>(quarter.attribute);
        }
    }
    return chips;
}

std::shared_ptr<StageData::ByteTable> StageData::readTable(TableKey key, int size) const
{
    auto table = std::make_shared<ByteTable>(static_cast<std::size_t>(size));
    readFromImage(image_, address(key), *table);
    return table;
}

std::shared_ptr<StageData::ObjectTables> StageData::readObjects(TableKey first, int size, int capacity) const
{
    auto objects = std::make_shared<ObjectTables>();
    for (int t = 0; t < 4; ++t) {
        objects->tables[t].resize(static_cast<std::size_t>(size));
        readFromImage(image_, address(offset(first, t)), objects->tables[t]);
    }
    objects->manager = std::make_shared<StageObjects>(objects->tables[0], objects->tables[1], objects->tables[2],
                                                      objects->tables[3], capacity);
    objects->tables = listTables(*objects->manager, objects->tables);
    return objects;
}

void StageData::readRestartPoints()
{
    for (int i = 0; i < RestartPointCount; ++i) {
        RestartPointBytes bytes{};
        for (int t = 0; t < RestartPointTableCount; ++t)
            bytes[t] = imageByte(image_, address(offset(TableKey::MidPointStartY, t)) + i);
        restartPoints_[i] =
            std::make_shared<RestartPoint>(bytes, address(TableKey::Map), enemies_->manager, items_->manager);
    }
}

// ---- edits ----

void StageData::changed(EditedFlag flag)
{
    editedFlags_.set(flag, true);
    if (hooks_ && hooks_->showModified)
        hooks_->showModified(localized("変更あり", "Modified"));
    if (flag == efPalette && hooks_ && hooks_->paletteChanged)
        hooks_->paletteChanged(*this);
    if (flag == efPaletteAnime && hooks_ && hooks_->paletteAnimeChanged)
        hooks_->paletteAnimeChanged(*this);
}

void StageData::record(std::unique_ptr<EditCommand> command)
{
    redoStack_.clear();
    if (group_) {
        group_->add(std::move(command));
        return;
    }
    EditCommand* top = undoStack_.top();
    if (!top || !top->mergeWith(*command))
        undoStack_.push(std::move(command));
}

bool StageData::execute(std::unique_ptr<EditCommand> command)
{
    command->apply(*this);
    changed(command->flag());
    record(std::move(command));
    return true;
}

template <class Command>
bool StageData::editByte(std::uint8_t current, int position, std::uint8_t value)
{
    return current != value && execute(std::make_unique<Command>(position, current, value));
}

bool StageData::setPaletteColor(int position, std::uint8_t color)
{
    return position >= 0 && position < 32 && editByte<PaletteColourEdit>(palette_[position], position, color);
}

bool StageData::setPaletteAnimeFrameCount(std::uint8_t count)
{
    return editByte<FrameCountEdit>(frameCount_, 0, count);
}

bool StageData::setPaletteAnimeFrameTimer(std::uint8_t timer)
{
    return editByte<FrameTimerEdit>(frameTimer_, 0, timer);
}

bool StageData::setPaletteAnimeColor(int position, std::uint8_t color)
{
    return position >= 0 && position < 64 && editByte<AnimeColourEdit>(palette_[32 + position], position, color);
}

bool StageData::setChipEntry(int position, std::uint8_t entry)
{
    return position >= 0 && position < ChipEntryCount &&
        editByte<ChipEntryEdit>(chips_->entries[position], position, entry);
}

bool StageData::setChipAttribute(int position, std::uint8_t attribute)
{
    return position >= 0 && position < ChipEntryCount &&
        editByte<ChipAttributeEdit>(chips_->attributes[position], position, attribute);
}

bool StageData::setChip(int position, std::span<const std::uint8_t, 8> bytes)
{
    if (position < 0 || position + 4 > ChipEntryCount)
        return false;
    ChipPasteEdit::Bytes old{}, value{};
    std::copy_n(chips_->entries.begin() + position, 4, old.begin());
    std::copy_n(chips_->attributes.begin() + position, 4, old.begin() + 4);
    std::copy(bytes.begin(), bytes.end(), value.begin());
    return old != value && execute(std::make_unique<ChipPasteEdit>(position, old, value));
}

bool StageData::setMapChip(int position, std::uint8_t chip)
{
    return position >= 0 && position < MapSize && editByte<MapCellEdit>((*map_)[position], position, chip);
}

bool StageData::setMapRoom(int position, std::span<const std::uint8_t, RoomSize> room, UndoKind kind)
{
    if (position < 0 || position + RoomSize > MapSize)
        return false;
    RoomEdit::Cells old{}, value{};
    std::copy_n(map_->begin() + position, RoomSize, old.begin());
    std::copy(room.begin(), room.end(), value.begin());
    return old != value && execute(std::make_unique<RoomEdit>(kind, position, old, value));
}

bool StageData::setScrollData(int position, std::uint8_t value)
{
    return position >= 0 && position < ScrollSize && editByte<ScrollEntryEdit>((*scroll_)[position], position, value);
}

std::array<RestartPointBytes, RestartPointCount> StageData::restartPointsNow() const
{
    std::array<RestartPointBytes, RestartPointCount> points{};
    for (int i = 0; i < RestartPointCount; ++i)
        points[i] = restartPoints_[i]->toBytes();
    return points;
}

bool StageData::setTileBytes(std::span<const std::pair<std::int64_t, std::uint8_t>> bytes)
{
    std::vector<TileByteChange> changes;
    for (const auto& [offset, value] : bytes) {
        if (!rangeInside(offset, 1, static_cast<std::int64_t>(image_.size())))
            return false;
        if (const std::uint8_t old = tiles_->byteAt(image_, offset); old != value)
            changes.push_back({offset, old, value});
    }
    return !changes.empty() && execute(std::make_unique<TileBytesEdit>(std::move(changes), gesture_));
}

void StageData::beginGesture() { gesture_ = ++gestureCount_; }

void StageData::beginGroup(UndoKind kind) { group_ = std::make_unique<GroupedEdit>(kind); }

void StageData::endGroup()
{
    std::unique_ptr<GroupedEdit> group = std::move(group_);
    if (group && !group->empty())
        undoStack_.push(std::move(group));
}

// ---- objects ----

StageData::ObjectTables* StageData::objectTablesOf(const StageObjects& list) const
{
    if (&list == enemies_->manager.get())
        return enemies_.get();
    return &list == items_->manager.get() ? items_.get() : nullptr;
}

template <class Change>
bool StageData::editObjects(const StageObjects& list, Change change)
{
    ObjectTables* objects = objectTablesOf(list);
    if (!objects)
        return false;
    const OrderType order = objects->manager->orderType;
    if (!change(*objects->manager))
        return false;
    auto after = listTables(*objects->manager, objects->tables);
    const bool listChanged = after != objects->tables;
    // The order type is the user's choice, not in the tables: it marks, but has no step.
    if (!listChanged && objects->manager->orderType == order)
        return false;
    if (listChanged) {
        record(std::make_unique<ObjectsEdit>(objects == enemies_.get(), objects->tables, after, gesture_));
        objects->tables = std::move(after);
    }
    changed(efObject);
    return true;
}

namespace {

// The list's own node, found by address so that a stray pointer changes nothing.
PlacedObject* ownNode(StageObjects& objects, const PlacedObject* node)
{
    if (!node || node->room >= RoomCount)
        return nullptr;
    RoomObjectList& list = objects.lists(node->room);
    const int index = list.indexOf(node);
    return index < 0 ? nullptr : list.items(index);
}

bool validRoom(int room) { return room >= 0 && room < RoomCount; }

} // namespace

bool StageData::addObject(const StageObjects& list, const ObjectPlacement& object, bool sortRoom)
{
    return editObjects(list, [&](StageObjects& objects) {
        if (!objects.addObject(object.room, object.x, object.y, object.kind))
            return false;
        if (sortRoom)
            objects.lists(object.room).sortByX();
        return true;
    });
}

bool StageData::removeObject(const StageObjects& list, const PlacedObject* node)
{
    return editObjects(list, [&](StageObjects& objects) {
        PlacedObject* own = ownNode(objects, node);
        if (own)
            objects.removeObject(own);
        return own != nullptr;
    });
}

bool StageData::moveObject(const StageObjects& list, const PlacedObject* node, int room, int x, int y, bool sortRoom)
{
    if (!validRoom(room) || x < 0 || x > 0xFF || y < 0 || y > 0xFF)
        return false;
    return editObjects(list, [&](StageObjects& objects) {
        PlacedObject* own = ownNode(objects, node);
        if (!own || (own->room == room && own->x == x && own->y == y))
            return false;
        if (own->room != room)
            objects.moveToRoom(own, static_cast<std::uint8_t>(room));
        own->x = static_cast<std::uint8_t>(x);
        own->y = static_cast<std::uint8_t>(y);
        if (sortRoom)
            objects.lists(room).sortByX();
        return true;
    });
}

bool StageData::setObjectKind(const StageObjects& list, const PlacedObject* node, std::uint8_t kind)
{
    return editObjects(list, [&](StageObjects& objects) {
        PlacedObject* own = ownNode(objects, node);
        if (!own || own->kind == kind)
            return false;
        own->kind = kind;
        return true;
    });
}

bool StageData::moveObjectInOrder(const StageObjects& list, const PlacedObject* node, bool later)
{
    return editObjects(list, [&](StageObjects& objects) {
        PlacedObject* own = ownNode(objects, node);
        return own && (later ? objects.moveLater(own) : objects.moveEarlier(own));
    });
}

bool StageData::setObjectOrderType(const StageObjects& list, OrderType type)
{
    return editObjects(list, [&](StageObjects& objects) {
        if (objects.orderType == type)
            return false;
        objects.setOrderType(type);
        return true;
    });
}

bool StageData::setRoomObjects(const StageObjects& list, int room, std::span<const ObjectPlacement> placed)
{
    if (!validRoom(room))
        return false;
    return editObjects(list, [&](StageObjects& objects) {
        RoomObjectList& roomList = objects.lists(room);
        while (!roomList.empty())
            objects.removeObject(roomList.last());
        for (const ObjectPlacement& object : placed)
            objects.addObject(static_cast<std::uint8_t>(room), object.x, object.y, object.kind);
        return true;
    });
}

bool StageData::replaceObjects(const StageObjects& list, std::span<const ObjectPlacement> placed)
{
    return editObjects(list, [&](StageObjects& objects) {
        objects.replaceAll(placed);
        return true;
    });
}

// ---- restart points ----

template <class Change>
bool StageData::editRestartPoints(Change change)
{
    const auto before = restartPointsNow();
    change();
    const auto after = restartPointsNow();
    if (after == before)
        return false;
    record(std::make_unique<RestartPointsEdit>(before, after, gesture_));
    changed(efMidPoint);
    return true;
}

bool StageData::setRestartPointField(int index, int field, std::uint16_t value)
{
    return index >= 0 && index < RestartPointCount &&
        editRestartPoints([&] { vx::setRestartPointField(*restartPoints_[index], field, value); });
}

bool StageData::setRestartPoint(int index, const RestartPointBytes& bytes)
{
    return index >= 0 && index < RestartPointCount &&
        editRestartPoints([&] { restartPoints_[index]->setFromBytes(bytes); });
}

bool StageData::recalcRestartPoint(int index)
{
    return index >= 0 && index < RestartPointCount && editRestartPoints([&] { restartPoints_[index]->recalc(); });
}

bool StageData::recalcRestartPoints()
{
    return editRestartPoints([&] {
        for (const auto& point : restartPoints_)
            point->recalc();
    });
}

// ---- history ----

int StageData::undo() { return step(undoStack_, redoStack_, &EditCommand::revert); }

int StageData::redo() { return step(redoStack_, undoStack_, &EditCommand::apply); }

int StageData::step(UndoStack& from, UndoStack& to, void (EditCommand::*action)(StageData&) const)
{
    auto command = from.pop();
    if (!command)
        return -1;
    ((*command).*action)(*this);
    for (EditedFlag flag : command->flags())
        changed(flag);
    const int kind = command->kind();
    to.push(std::move(command));
    return kind;
}

// ---- writing back ----

void StageData::writeChips(std::vector<std::uint8_t>& image) const
{
    const EncodedChips encoded = encodeChips(chips_->entries, chips_->attributes);
    writeToImage(image, address(TableKey::Chip32x32), encoded.chip32x32);
    writeToImage(image, address(TableKey::Chip32x32Palette), encoded.chip32x32Palette);
}

void StageData::writeObjects(std::vector<std::uint8_t>& image, ObjectTables& objects, TableKey first) const
{
    // The copies keep what they held past the end mark, as the image does.
    auto& tables = objects.tables;
    objects.manager->exportTables(tables[0], tables[1], tables[2], tables[3]);
    for (int t = 0; t < 4; ++t)
        writeToImage(image, address(offset(first, t)), tables[t]);
}

void StageData::writeBack() { writeBack(image_); }

void StageData::writeBack(std::vector<std::uint8_t>& image)
{
    if (editedFlags_.get(efChip32x32))
        writeChips(image);
    if (editedFlags_.get(efMap))
        writeToImage(image, address(TableKey::Map), *map_);
    if (editedFlags_.get(efScroll))
        writeToImage(image, address(TableKey::Scroll), *scroll_);
    if (editedFlags_.get(efObject)) {
        writeObjects(image, *enemies_, TableKey::EnemyObjectRoom);
        writeObjects(image, *items_, TableKey::ItemObjectRoom);
    }
    if (editedFlags_.get(efMidPoint)) {
        for (int i = 0; i < RestartPointCount; ++i) {
            const RestartPointBytes bytes = restartPoints_[i]->toBytes();
            for (int t = 0; t < RestartPointTableCount; ++t)
                setImageByte(image, address(offset(TableKey::MidPointStartY, t)) + i, bytes[t]);
        }
    }
    if (editedFlags_.get(efTiles))
        tiles_->writeInto(image);
    // The pattern-table setting is never written.
    if (editedFlags_.get(efPalette)) {
        writeToImage(image, address(TableKey::BGPalette), bgPalette());
        writeToImage(image, address(TableKey::SpritePalette), spritePalette());
    }
    if (editedFlags_.get(efPaletteAnime)) {
        setImageByte(image, address(TableKey::PaletteAnimeFrameCount), frameCount_);
        setImageByte(image, address(TableKey::PaletteAnimeFrameTimer), frameTimer_);
        writeToImage(image, address(TableKey::PaletteAnimePalette), paletteAnimePalette());
    }
}

} // namespace vx
