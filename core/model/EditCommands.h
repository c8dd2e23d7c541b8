#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/model/EditHistory.h"
#include "core/model/RestartPoint.h"
#include "core/model/Rooms.h"

namespace vx {

// One byte of a stage table: the old and the new value at a position. Table names the
// table, its kind and the area a save writes back (see the traits below).
template <class Table>
class ByteEdit final : public EditCommand {
public:
    ByteEdit(int position, std::uint8_t old, std::uint8_t value) : position_(position), old_(old), value_(value) {}
    void apply(StageData& stage) const override { Table::at(stage, position_) = value_; }
    void revert(StageData& stage) const override { Table::at(stage, position_) = old_; }
    UndoKind kind() const override { return Table::Kind; }
    EditedFlag flag() const override { return Table::Flag; }

private:
    std::int32_t position_;
    std::uint8_t old_;
    std::uint8_t value_;
};

// The byte tables a ByteEdit changes: their kind, their area and where a byte lies.
template <UndoKind kind, EditedFlag flag>
struct ByteTable {
    static constexpr UndoKind Kind = kind;
    static constexpr EditedFlag Flag = flag;
};
struct PaletteColours : ByteTable<ukPalette, efPalette> {
    static std::uint8_t& at(StageData&, int position);
};
struct AnimeFrameCount : ByteTable<ukPaletteAnimeFrameCount, efPaletteAnime> {
    static std::uint8_t& at(StageData&, int);
};
struct AnimeFrameTimer : ByteTable<ukPaletteAnimeFrameTimer, efPaletteAnime> {
    static std::uint8_t& at(StageData&, int);
};
struct AnimeColours : ByteTable<ukPaletteAnimePalette, efPaletteAnime> {
    static std::uint8_t& at(StageData&, int position);
};
struct ChipEntries : ByteTable<ukChip32x32, efChip32x32> {
    static std::uint8_t& at(StageData&, int position);
};
struct ChipAttributes : ByteTable<ukChip32x32Attr, efChip32x32> {
    static std::uint8_t& at(StageData&, int position);
};
struct MapCells : ByteTable<ukMap, efMap> {
    static std::uint8_t& at(StageData&, int position);
};
struct ScrollEntries : ByteTable<ukScroll, efScroll> {
    static std::uint8_t& at(StageData&, int position);
};

using PaletteColourEdit = ByteEdit<PaletteColours>;
using FrameCountEdit = ByteEdit<AnimeFrameCount>;
using FrameTimerEdit = ByteEdit<AnimeFrameTimer>;
using AnimeColourEdit = ByteEdit<AnimeColours>;
using ChipEntryEdit = ByteEdit<ChipEntries>;
using ChipAttributeEdit = ByteEdit<ChipAttributes>;
using MapCellEdit = ByteEdit<MapCells>;
using ScrollEntryEdit = ByteEdit<ScrollEntries>;

// A whole 32x32 chip pasted: four entries, then four attributes.
class ChipPasteEdit final : public EditCommand {
public:
    using Bytes = std::array<std::uint8_t, 8>;
    ChipPasteEdit(int position, const Bytes& old, const Bytes& value) : position_(position), old_(old), value_(value) {}
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    UndoKind kind() const override { return ukChip32x32Paste; }
    EditedFlag flag() const override { return efChip32x32; }

private:
    void write(StageData& stage, const Bytes& bytes) const;
    std::int32_t position_;
    Bytes old_, value_;
};

// A whole room written: pasted (ukMapPaste) or from the grid dialog (ukMapGrid).
class RoomEdit final : public EditCommand {
public:
    using Cells = std::array<std::uint8_t, RoomSize>;
    RoomEdit(UndoKind kind, int position, const Cells& old, const Cells& value)
        : kind_(kind), position_(position), old_(old), value_(value)
    {
    }
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    UndoKind kind() const override { return kind_; }
    EditedFlag flag() const override { return efMap; }

private:
    UndoKind kind_;
    std::int32_t position_;
    Cells old_, value_;
};

// The enemy or item list of a stage before and after an edit, as the image's four tables.
// Steps of one gesture (a drag) merge into one.
class ObjectsEdit final : public EditCommand {
public:
    using Tables = std::array<std::vector<std::uint8_t>, 4>; // room, X, Y, kind
    ObjectsEdit(bool enemies, Tables old, Tables value, int gesture)
        : enemies_(enemies), gesture_(gesture), old_(std::move(old)), value_(std::move(value))
    {
    }
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    bool mergeWith(const EditCommand& next) override;
    UndoKind kind() const override { return ukObject; }
    EditedFlag flag() const override { return efObject; }
    // The room of the first object the step changed.
    int room() const override;

private:
    bool enemies_;
    int gesture_; // 0: a step of its own
    Tables old_, value_;
};

// Tile bytes of the image, by offset: painted pixels or an imported picture. The bytes of
// one stroke merge into one step.
struct TileByteChange {
    std::int64_t offset;
    std::uint8_t old;
    std::uint8_t value;
};
class TileBytesEdit final : public EditCommand {
public:
    TileBytesEdit(std::vector<TileByteChange> changes, int gesture) : gesture_(gesture), changes_(std::move(changes)) {}
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    bool mergeWith(const EditCommand& next) override;
    UndoKind kind() const override { return ukTiles; }
    EditedFlag flag() const override { return efTiles; }

private:
    int gesture_;
    std::vector<TileByteChange> changes_;
};

// Several edits as one step: done in order, undone in reverse.
class GroupedEdit final : public EditCommand {
public:
    explicit GroupedEdit(UndoKind kind) : kind_(kind) {}
    void add(std::unique_ptr<EditCommand> command) { commands_.push_back(std::move(command)); }
    bool empty() const { return commands_.empty(); }
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    UndoKind kind() const override { return kind_; }
    EditedFlag flag() const override { return commands_.front()->flag(); }
    std::vector<EditedFlag> flags() const override;

private:
    UndoKind kind_;
    std::vector<std::unique_ptr<EditCommand>> commands_;
};

// The six restart points before and after an edit.
class RestartPointsEdit final : public EditCommand {
public:
    using Points = std::array<RestartPointBytes, RestartPointCount>;
    RestartPointsEdit(const Points& old, const Points& value, int gesture) : gesture_(gesture), old_(old), value_(value)
    {
    }
    void apply(StageData& stage) const override;
    void revert(StageData& stage) const override;
    bool mergeWith(const EditCommand& next) override;
    UndoKind kind() const override { return ukMidPoint; }
    EditedFlag flag() const override { return efMidPoint; }

private:
    int gesture_;
    Points old_, value_;
};

} // namespace vx
