#include "core/StageData.h"

#include "core/ChipEntry.h"
#include "core/EditCommands.h"
#include "core/ImageAccess.h"
#include "core/Language.h"
#include "core/VxObject.h"

#include <algorithm>

namespace vx {
namespace {

// Where quarter k's palette number sits in a Chip32x32Palette byte: TL, BL, TR, BR.
constexpr std::array<int, 4> QuarterPaletteShift{0, 4, 2, 6};

TableKey Offset(TableKey key, int by) { return static_cast<TableKey>(static_cast<int>(key) + by); }

// A list as a save writes it: exported over the tables as the image holds them, which keep
// their bytes past the end mark, so undo gives back every byte.
std::array<std::vector<std::uint8_t>, 4> ListTables(const TVxObjectManager& manager,
                                                    std::array<std::vector<std::uint8_t>, 4> tables)
{
    manager.ExportTables(tables[0], tables[1], tables[2], tables[3]);
    return tables;
}

} // namespace

EncodedChips EncodeChips(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes)
{
    EncodedChips encoded{std::vector<std::uint8_t>(ChipEntryCount), std::vector<std::uint8_t>(ChipCount)};
    for (std::size_t c = 0; c < ChipCount; ++c) {
        int palette = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t at = 4 * c + k;
            const std::uint8_t entry = at < entries.size() ? entries[at] : 0;
            const std::uint8_t attribute = at < attributes.size() ? attributes[at] : 0;
            const TChipEntry quarter = TChipEntry::Decode(entry);
            encoded.chip32x32[at] = TImageChipByte{attribute, quarter.chip}.Encode();
            palette |= quarter.palette << QuarterPaletteShift[k];
        }
        encoded.chip32x32Palette[c] = static_cast<std::uint8_t>(palette);
    }
    return encoded;
}

TableKey DecidingKey(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips:
        return TableKey::Chip32x32;
    case SharedGroup::Map:
        return TableKey::Map;
    case SharedGroup::Scroll:
        return TableKey::Scroll;
    case SharedGroup::EnemyObjects:
        return TableKey::EnemyObjectRoom;
    case SharedGroup::ItemObjects:
        return TableKey::ItemObjectRoom;
    case SharedGroup::MidPoints:
        break;
    }
    return TableKey::MidPointStartY;
}

int ShareSource(const TAddressData& addresses, SharedGroup group, int stage)
{
    const TableKey key = DecidingKey(group);
    for (int earlier = 0; earlier < stage; ++earlier)
        if (addresses.Address(key, earlier) == addresses.Address(key, stage))
            return earlier;
    return -1;
}

template <class T>
std::shared_ptr<T> TStageData::SharedFrom(Earlier earlier, SharedGroup group,
                                          std::shared_ptr<T> TStageData::*member) const
{
    const int source = ShareSource(addresses_, group, stageIndex_);
    if (source < 0 || source >= static_cast<int>(earlier.size()) || !earlier[source])
        return nullptr;
    return (*earlier[source]).*member;
}

TStageData::TStageData(std::vector<std::uint8_t>& image, Earlier earlier, int stageIndex,
                       const TAddressData& addresses, const TStageHooks* hooks)
    : addresses_(addresses), stageIndex_(stageIndex), image_(image), hooks_(hooks)
{
    chips_ = SharedFrom(earlier, SharedGroup::Chips, &TStageData::chips_);
    if (!chips_)
        chips_ = ReadChips();
    map_ = SharedFrom(earlier, SharedGroup::Map, &TStageData::map_);
    if (!map_)
        map_ = ReadTable(TableKey::Map, MapSize);
    scroll_ = SharedFrom(earlier, SharedGroup::Scroll, &TStageData::scroll_);
    if (!scroll_)
        scroll_ = ReadTable(TableKey::Scroll, ScrollSize);
    enemies_ = SharedFrom(earlier, SharedGroup::EnemyObjects, &TStageData::enemies_);
    if (!enemies_)
        enemies_ = ReadObjects(TableKey::EnemyObjectRoom, 256, EnemyCapacity);
    items_ = SharedFrom(earlier, SharedGroup::ItemObjects, &TStageData::items_);
    if (!items_)
        items_ = ReadObjects(TableKey::ItemObjectRoom, 64, ItemCapacity);
    // Mid-points come after the object lists: each keeps both.
    const int midPointSource = ShareSource(addresses_, SharedGroup::MidPoints, stageIndex_);
    if (midPointSource >= 0 && midPointSource < static_cast<int>(earlier.size()) &&
        earlier[midPointSource]) {
        midPoints_ = earlier[midPointSource]->midPoints_;
        midPointsCommitted_ = earlier[midPointSource]->midPointsCommitted_;
    } else {
        ReadMidPoints();
        midPointsCommitted_ = std::make_shared<std::array<MidPointBytes, MidPointCount>>(MidPointsNow());
    }

    ReadFromImage(image_, Address(TableKey::PatternTableSetting), patternTableSetting_);
    ReadFromImage(image_, Address(TableKey::BGPalette), std::span(palette_).subspan(0, 16));
    ReadFromImage(image_, Address(TableKey::SpritePalette), std::span(palette_).subspan(16, 16));
    frameCount_ = ImageByte(image_, Address(TableKey::PaletteAnimeFrameCount));
    frameTimer_ = ImageByte(image_, Address(TableKey::PaletteAnimeFrameTimer));
    ReadFromImage(image_, Address(TableKey::PaletteAnimePalette), std::span(palette_).subspan(32, 64));

    defaultChipEditPage_ = addresses_.Default32x32ChipEditPage(stageIndex_);
    defaultStartPoint_ = addresses_.DefaultStartPoint(stageIndex_);
}

TStageData::~TStageData() = default;

std::shared_ptr<TStageData::ChipTables> TStageData::ReadChips() const
{
    auto chips = std::make_shared<ChipTables>();
    std::vector<std::uint8_t> raw(ChipEntryCount), palettes(ChipCount);
    ReadFromImage(image_, Address(TableKey::Chip32x32), raw);
    ReadFromImage(image_, Address(TableKey::Chip32x32Palette), palettes);
    for (int c = 0; c < ChipCount; ++c) {
        for (int k = 0; k < 4; ++k) {
            const TImageChipByte quarter = TImageChipByte::Decode(raw[4 * c + k]);
            const int palette = (palettes[c] >> QuarterPaletteShift[k]) & 3;
            chips->entries[4 * c + k] = TChipEntry{palette, quarter.chip}.Encode();
            chips->attributes[4 * c + k] = static_cast<std::uint8_t>(quarter.attribute);
        }
    }
    return chips;
}

std::shared_ptr<TStageData::ByteTable> TStageData::ReadTable(TableKey key, int size) const
{
    auto table = std::make_shared<ByteTable>(static_cast<std::size_t>(size));
    ReadFromImage(image_, Address(key), *table);
    return table;
}

std::shared_ptr<TStageData::ObjectTables> TStageData::ReadObjects(TableKey first, int size,
                                                                  int capacity) const
{
    auto objects = std::make_shared<ObjectTables>();
    for (int t = 0; t < 4; ++t) {
        objects->tables[t].resize(static_cast<std::size_t>(size));
        ReadFromImage(image_, Address(Offset(first, t)), objects->tables[t]);
    }
    objects->manager = std::make_shared<TVxObjectManager>(
        objects->tables[0], objects->tables[1], objects->tables[2], objects->tables[3], capacity);
    objects->committed = ListTables(*objects->manager, objects->tables);
    return objects;
}

void TStageData::ReadMidPoints()
{
    for (int i = 0; i < MidPointCount; ++i) {
        MidPointBytes bytes{};
        for (int t = 0; t < MidPointTableCount; ++t)
            bytes[t] = ImageByte(image_, Address(Offset(TableKey::MidPointStartY, t)) + i);
        midPoints_[i] = std::make_shared<TMidPoint>(bytes, Address(TableKey::Map),
                                                    enemies_->manager, items_->manager);
    }
}

// ---- edits ----

void TStageData::Changed(TEditedFlag flag)
{
    editedFlags_.Set(flag, true);
    if (hooks_ && hooks_->ShowModified)
        hooks_->ShowModified(Tr("変更あり", "Modified"));
    if (flag == efPalette && hooks_ && hooks_->PaletteChanged)
        hooks_->PaletteChanged(*this);
    if (flag == efPaletteAnime && hooks_ && hooks_->PaletteAnimeChanged)
        hooks_->PaletteAnimeChanged(*this);
}

void TStageData::Record(std::unique_ptr<TEditCommand> command)
{
    redoStack_.Clear();
    TEditCommand* top = undoStack_.Top();
    if (!top || !top->MergeWith(*command))
        undoStack_.Push(std::move(command));
}

bool TStageData::Execute(std::unique_ptr<TEditCommand> command)
{
    command->Apply(*this);
    Changed(command->Flag());
    Record(std::move(command));
    return true;
}

template <class Command> bool TStageData::EditByte(std::uint8_t current, int position, std::uint8_t value)
{
    return current != value && Execute(std::make_unique<Command>(position, current, value));
}

bool TStageData::SetPaletteColor(int position, std::uint8_t color)
{
    return position >= 0 && position < 32 && EditByte<TPaletteColourEdit>(palette_[position], position, color);
}

bool TStageData::SetPaletteAnimeFrameCount(std::uint8_t count)
{
    return EditByte<TFrameCountEdit>(frameCount_, 0, count);
}

bool TStageData::SetPaletteAnimeFrameTimer(std::uint8_t timer)
{
    return EditByte<TFrameTimerEdit>(frameTimer_, 0, timer);
}

bool TStageData::SetPaletteAnimeColor(int position, std::uint8_t color)
{
    return position >= 0 && position < 64 && EditByte<TAnimeColourEdit>(palette_[32 + position], position, color);
}

bool TStageData::SetChipEntry(int position, std::uint8_t entry)
{
    return position >= 0 && position < ChipEntryCount &&
           EditByte<TChipEntryEdit>(chips_->entries[position], position, entry);
}

bool TStageData::SetChipAttribute(int position, std::uint8_t attribute)
{
    return position >= 0 && position < ChipEntryCount &&
           EditByte<TChipAttributeEdit>(chips_->attributes[position], position, attribute);
}

bool TStageData::SetChip(int position, std::span<const std::uint8_t, 8> bytes)
{
    if (position < 0 || position + 4 > ChipEntryCount)
        return false;
    TChipPasteEdit::Bytes old{}, value{};
    std::copy_n(chips_->entries.begin() + position, 4, old.begin());
    std::copy_n(chips_->attributes.begin() + position, 4, old.begin() + 4);
    std::copy(bytes.begin(), bytes.end(), value.begin());
    return old != value && Execute(std::make_unique<TChipPasteEdit>(position, old, value));
}

bool TStageData::SetMapChip(int position, std::uint8_t chip)
{
    return position >= 0 && position < MapSize && EditByte<TMapCellEdit>((*map_)[position], position, chip);
}

bool TStageData::SetMapRoom(int position, std::span<const std::uint8_t, RoomSize> room, TUndoKind kind)
{
    if (position < 0 || position + RoomSize > MapSize)
        return false;
    TRoomEdit::Cells old{}, value{};
    std::copy_n(map_->begin() + position, RoomSize, old.begin());
    std::copy(room.begin(), room.end(), value.begin());
    return old != value && Execute(std::make_unique<TRoomEdit>(kind, position, old, value));
}

bool TStageData::SetScrollData(int position, std::uint8_t value)
{
    return position >= 0 && position < ScrollSize && EditByte<TScrollEntryEdit>((*scroll_)[position], position, value);
}

std::array<MidPointBytes, MidPointCount> TStageData::MidPointsNow() const
{
    std::array<MidPointBytes, MidPointCount> points{};
    for (int i = 0; i < MidPointCount; ++i)
        points[i] = midPoints_[i]->ToBytes();
    return points;
}

void TStageData::RecordObjects()
{
    for (const bool enemies : {true, false}) {
        ObjectTables& objects = enemies ? *enemies_ : *items_;
        auto now = ListTables(*objects.manager, objects.tables);
        if (now == objects.committed)
            continue;
        Record(std::make_unique<TObjectsEdit>(enemies, objects.committed, now, gesture_));
        objects.committed = std::move(now);
    }
}

void TStageData::RecordMidPoints()
{
    const auto now = MidPointsNow();
    if (now == *midPointsCommitted_)
        return;
    Record(std::make_unique<TMidPointsEdit>(*midPointsCommitted_, now, gesture_));
    *midPointsCommitted_ = now;
}

void TStageData::MarkEdited(TEditedFlag flag)
{
    if (flag == efObject)
        RecordObjects();
    else if (flag == efMidPoint)
        RecordMidPoints();
    Changed(flag);
}

void TStageData::BeginGesture() { gesture_ = ++gestureCount_; }

// ---- history ----

int TStageData::Undo() { return Step(undoStack_, redoStack_, &TEditCommand::Revert); }

int TStageData::Redo() { return Step(redoStack_, undoStack_, &TEditCommand::Apply); }

int TStageData::Step(TUndoStack& from, TUndoStack& to, void (TEditCommand::*action)(TStageData&) const)
{
    auto command = from.Pop();
    if (!command)
        return -1;
    ((*command).*action)(*this);
    Changed(command->Flag());
    const int kind = command->Kind();
    to.Push(std::move(command));
    return kind;
}

// ---- writing back ----

void TStageData::WriteChips(std::vector<std::uint8_t>& image) const
{
    const EncodedChips encoded = EncodeChips(chips_->entries, chips_->attributes);
    WriteToImage(image, Address(TableKey::Chip32x32), encoded.chip32x32);
    WriteToImage(image, Address(TableKey::Chip32x32Palette), encoded.chip32x32Palette);
}

void TStageData::WriteObjects(std::vector<std::uint8_t>& image, ObjectTables& objects, TableKey first) const
{
    // The copies keep what they held past the end mark, as the image does.
    auto& tables = objects.tables;
    objects.manager->ExportTables(tables[0], tables[1], tables[2], tables[3]);
    for (int t = 0; t < 4; ++t)
        WriteToImage(image, Address(Offset(first, t)), tables[t]);
}

void TStageData::WriteBack() { WriteBack(image_); }

void TStageData::WriteBack(std::vector<std::uint8_t>& image)
{
    if (editedFlags_.Get(efChip32x32))
        WriteChips(image);
    if (editedFlags_.Get(efMap))
        WriteToImage(image, Address(TableKey::Map), *map_);
    if (editedFlags_.Get(efScroll))
        WriteToImage(image, Address(TableKey::Scroll), *scroll_);
    if (editedFlags_.Get(efObject)) {
        WriteObjects(image, *enemies_, TableKey::EnemyObjectRoom);
        WriteObjects(image, *items_, TableKey::ItemObjectRoom);
    }
    if (editedFlags_.Get(efMidPoint)) {
        for (int i = 0; i < MidPointCount; ++i) {
            const MidPointBytes bytes = midPoints_[i]->ToBytes();
            for (int t = 0; t < MidPointTableCount; ++t)
                SetImageByte(image, Address(Offset(TableKey::MidPointStartY, t)) + i, bytes[t]);
        }
    }
    // The pattern-table setting is never written.
    if (editedFlags_.Get(efPalette)) {
        WriteToImage(image, Address(TableKey::BGPalette), BGPalette());
        WriteToImage(image, Address(TableKey::SpritePalette), SpritePalette());
    }
    if (editedFlags_.Get(efPaletteAnime)) {
        SetImageByte(image, Address(TableKey::PaletteAnimeFrameCount), frameCount_);
        SetImageByte(image, Address(TableKey::PaletteAnimeFrameTimer), frameTimer_);
        WriteToImage(image, Address(TableKey::PaletteAnimePalette), PaletteAnimePalette());
    }
}

} // namespace vx
