#include "core/StageData.h"

#include "core/ImageAccess.h"
#include "core/Language.h"
#include "core/VxObject.h"

#include <algorithm>

namespace vx {
namespace {

// Where quarter k's palette number sits in a Chip32x32Palette byte: TL, BL, TR, BR.
constexpr std::array<int, 4> QuarterPaletteShift{0, 4, 2, 6};

TableKey Offset(TableKey key, int by) { return static_cast<TableKey>(static_cast<int>(key) + by); }

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
            encoded.chip32x32[at] = static_cast<std::uint8_t>(((attribute & 3) << 6) | (entry & 0x3F));
            palette |= (entry >> 6) << QuarterPaletteShift[k];
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
        earlier[midPointSource])
        midPoints_ = earlier[midPointSource]->midPoints_;
    else
        ReadMidPoints();

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
            const std::uint8_t b = raw[4 * c + k];
            const int palette = (palettes[c] >> QuarterPaletteShift[k]) & 3;
            chips->entries[4 * c + k] = static_cast<std::uint8_t>(palette * 64 + (b & 0x3F));
            chips->attributes[4 * c + k] = static_cast<std::uint8_t>(b >> 6);
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

void TStageData::Record(std::unique_ptr<TUndoData> record, HistoryMode mode)
{
    switch (mode) {
    case hmEdit:
        undoStack_.Push(std::move(record));
        redoStack_.Clear();
        break;
    case hmUndo:
        redoStack_.Push(std::move(record));
        break;
    case hmRedo:
        undoStack_.Push(std::move(record));
        break;
    }
}

bool TStageData::EditByte(std::uint8_t& target, std::uint8_t value, std::uint8_t kind, int position,
                          TEditedFlag flag, HistoryMode mode)
{
    if (target == value)
        return false;
    Record(std::make_unique<TUndoData>(kind, target, position), mode);
    target = value;
    MarkEdited(flag);
    return true;
}

void TStageData::NotifyPalette() const
{
    if (hooks_ && hooks_->PaletteChanged)
        hooks_->PaletteChanged(*this);
}

void TStageData::NotifyPaletteAnime() const
{
    if (hooks_ && hooks_->PaletteAnimeChanged)
        hooks_->PaletteAnimeChanged(*this);
}

bool TStageData::SetPaletteColor(int position, std::uint8_t color, HistoryMode mode)
{
    if (position < 0 || position >= 32)
        return false;
    if (!EditByte(palette_[position], color, ukPalette, position, efPalette, mode))
        return false;
    NotifyPalette();
    return true;
}

bool TStageData::SetPaletteAnimeFrameCount(std::uint8_t count, HistoryMode mode)
{
    if (!EditByte(frameCount_, count, ukPaletteAnimeFrameCount, 0, efPaletteAnime, mode))
        return false;
    NotifyPaletteAnime();
    return true;
}

bool TStageData::SetPaletteAnimeFrameTimer(std::uint8_t timer, HistoryMode mode)
{
    if (!EditByte(frameTimer_, timer, ukPaletteAnimeFrameTimer, 0, efPaletteAnime, mode))
        return false;
    NotifyPaletteAnime();
    return true;
}

bool TStageData::SetPaletteAnimeColor(int position, std::uint8_t color, HistoryMode mode)
{
    if (position < 0 || position >= 64)
        return false;
    if (!EditByte(palette_[32 + position], color, ukPaletteAnimePalette, position, efPaletteAnime, mode))
        return false;
    NotifyPaletteAnime();
    return true;
}

bool TStageData::SetChipEntry(int position, std::uint8_t entry, HistoryMode mode)
{
    if (position < 0 || position >= ChipEntryCount)
        return false;
    return EditByte(chips_->entries[position], entry, ukChip32x32, position, efChip32x32, mode);
}

bool TStageData::SetChipAttribute(int position, std::uint8_t attribute, HistoryMode mode)
{
    if (position < 0 || position >= ChipEntryCount)
        return false;
    return EditByte(chips_->attributes[position], attribute, ukChip32x32Attr, position, efChip32x32,
                    mode);
}

bool TStageData::SetChip(int position, std::span<const std::uint8_t, 8> bytes, HistoryMode mode)
{
    if (position < 0 || position + 4 > ChipEntryCount)
        return false;
    std::array<std::uint8_t, 8> old{};
    std::copy_n(chips_->entries.begin() + position, 4, old.begin());
    std::copy_n(chips_->attributes.begin() + position, 4, old.begin() + 4);
    if (std::equal(old.begin(), old.end(), bytes.begin()))
        return false;
    Record(std::make_unique<TUndoData>(ukChip32x32Paste, old, position), mode);
    std::copy_n(bytes.begin(), 4, chips_->entries.begin() + position);
    std::copy_n(bytes.begin() + 4, 4, chips_->attributes.begin() + position);
    MarkEdited(efChip32x32);
    return true;
}

bool TStageData::SetMapChip(int position, std::uint8_t chip, HistoryMode mode)
{
    if (position < 0 || position >= MapSize)
        return false;
    return EditByte((*map_)[position], chip, ukMap, position, efMap, mode);
}

bool TStageData::SetMapRoom(int position, std::span<const std::uint8_t, RoomSize> room,
                            TUndoKind kind, HistoryMode mode)
{
    if (position < 0 || position + RoomSize > MapSize)
        return false;
    const auto start = map_->begin() + position;
    if (std::equal(room.begin(), room.end(), start))
        return false;
    Record(std::make_unique<TUndoData>(kind, std::span<const std::uint8_t>(&*start, RoomSize), position),
           mode);
    std::copy(room.begin(), room.end(), start);
    MarkEdited(efMap);
    return true;
}

bool TStageData::SetScrollData(int position, std::uint8_t value, HistoryMode mode)
{
    if (position < 0 || position >= ScrollSize)
        return false;
    return EditByte((*scroll_)[position], value, ukScroll, position, efScroll, mode);
}

void TStageData::MarkEdited(TEditedFlag flag)
{
    editedFlags_.Set(flag, true);
    if (hooks_ && hooks_->ShowModified)
        hooks_->ShowModified(Tr("変更あり", "Modified"));
}

// ---- history ----

int TStageData::Apply(std::unique_ptr<TUndoData> record, HistoryMode mode)
{
    if (!record)
        return -1;
    const int position = record->Position();
    const std::uint8_t value = record->Value();
    switch (record->Kind()) {
    case ukPalette:
        SetPaletteColor(position, value, mode);
        break;
    case ukPaletteAnimeFrameCount:
        SetPaletteAnimeFrameCount(value, mode);
        break;
    case ukPaletteAnimeFrameTimer:
        SetPaletteAnimeFrameTimer(value, mode);
        break;
    case ukPaletteAnimePalette:
        SetPaletteAnimeColor(position, value, mode);
        break;
    case ukChip32x32:
        SetChipEntry(position, value, mode);
        break;
    case ukChip32x32Attr:
        SetChipAttribute(position, value, mode);
        break;
    case ukChip32x32Paste:
        if (record->Block().size() == 8)
            SetChip(position, std::span<const std::uint8_t, 8>(record->Block().data(), 8), mode);
        break;
    case ukMap:
        SetMapChip(position, value, mode);
        break;
    case ukMapPaste:
    case ukMapGrid:
        if (record->Block().size() == RoomSize)
            SetMapRoom(position, std::span<const std::uint8_t, RoomSize>(record->Block().data(), RoomSize),
                       static_cast<TUndoKind>(record->Kind()), mode);
        break;
    case ukScroll:
        SetScrollData(position, value, mode);
        break;
    default:
        break;
    }
    return record->Kind();
}

int TStageData::Undo() { return Apply(undoStack_.Pop(), hmUndo); }

int TStageData::Redo() { return Apply(redoStack_.Pop(), hmRedo); }

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
