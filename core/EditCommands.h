#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/MidPoint.h"
#include "core/Rooms.h"
#include "core/UndoData.h"

namespace vx {

// One byte of a stage table: the old and the new value at a position. Table names the
// table, its kind and the area a save writes back (see the traits below).
template <class Table> class TByteEdit final : public TEditCommand {
public:
    TByteEdit(int position, std::uint8_t old, std::uint8_t value) : position_(position), old_(old), value_(value) {}
    void Apply(TStageData& stage) const override { Table::At(stage, position_) = value_; }
    void Revert(TStageData& stage) const override { Table::At(stage, position_) = old_; }
    TUndoKind Kind() const override { return Table::Kind; }
    TEditedFlag Flag() const override { return Table::Flag; }

private:
    std::int32_t position_;
    std::uint8_t old_;
    std::uint8_t value_;
};

// The byte tables a TByteEdit changes: their kind, their area and where a byte lies.
template <TUndoKind kind, TEditedFlag flag> struct TByteTable {
    static constexpr TUndoKind Kind = kind;
    static constexpr TEditedFlag Flag = flag;
};
struct TPaletteColours : TByteTable<ukPalette, efPalette> { static std::uint8_t& At(TStageData&, int position); };
struct TAnimeFrameCount : TByteTable<ukPaletteAnimeFrameCount, efPaletteAnime> { static std::uint8_t& At(TStageData&, int); };
struct TAnimeFrameTimer : TByteTable<ukPaletteAnimeFrameTimer, efPaletteAnime> { static std::uint8_t& At(TStageData&, int); };
struct TAnimeColours : TByteTable<ukPaletteAnimePalette, efPaletteAnime> { static std::uint8_t& At(TStageData&, int position); };
struct TChipEntries : TByteTable<ukChip32x32, efChip32x32> { static std::uint8_t& At(TStageData&, int position); };
struct TChipAttributes : TByteTable<ukChip32x32Attr, efChip32x32> { static std::uint8_t& At(TStageData&, int position); };
struct TMapCells : TByteTable<ukMap, efMap> { static std::uint8_t& At(TStageData&, int position); };
struct TScrollEntries : TByteTable<ukScroll, efScroll> { static std::uint8_t& At(TStageData&, int position); };

using TPaletteColourEdit = TByteEdit<TPaletteColours>;
using TFrameCountEdit = TByteEdit<TAnimeFrameCount>;
using TFrameTimerEdit = TByteEdit<TAnimeFrameTimer>;
using TAnimeColourEdit = TByteEdit<TAnimeColours>;
using TChipEntryEdit = TByteEdit<TChipEntries>;
using TChipAttributeEdit = TByteEdit<TChipAttributes>;
using TMapCellEdit = TByteEdit<TMapCells>;
using TScrollEntryEdit = TByteEdit<TScrollEntries>;

// A whole 32x32 chip pasted: four entries, then four attributes.
class TChipPasteEdit final : public TEditCommand {
public:
    using Bytes = std::array<std::uint8_t, 8>;
    TChipPasteEdit(int position, const Bytes& old, const Bytes& value) : position_(position), old_(old), value_(value) {}
    void Apply(TStageData& stage) const override;
    void Revert(TStageData& stage) const override;
    TUndoKind Kind() const override { return ukChip32x32Paste; }
    TEditedFlag Flag() const override { return efChip32x32; }

private:
    void Write(TStageData& stage, const Bytes& bytes) const;
    std::int32_t position_;
    Bytes old_, value_;
};

// A whole room written: pasted (ukMapPaste) or from the grid dialog (ukMapGrid).
class TRoomEdit final : public TEditCommand {
public:
    using Cells = std::array<std::uint8_t, RoomSize>;
    TRoomEdit(TUndoKind kind, int position, const Cells& old, const Cells& value)
        : kind_(kind), position_(position), old_(old), value_(value) {}
    void Apply(TStageData& stage) const override;
    void Revert(TStageData& stage) const override;
    TUndoKind Kind() const override { return kind_; }
    TEditedFlag Flag() const override { return efMap; }

private:
    TUndoKind kind_;
    std::int32_t position_;
    Cells old_, value_;
};

// The enemy or item list of a stage before and after an edit, as the image's four tables.
// Steps of one gesture (a drag) merge into one.
class TObjectsEdit final : public TEditCommand {
public:
    using Tables = std::array<std::vector<std::uint8_t>, 4>; // room, X, Y, kind
    TObjectsEdit(bool enemies, Tables old, Tables value, int gesture)
        : enemies_(enemies), gesture_(gesture), old_(std::move(old)), value_(std::move(value)) {}
    void Apply(TStageData& stage) const override;
    void Revert(TStageData& stage) const override;
    bool MergeWith(const TEditCommand& next) override;
    TUndoKind Kind() const override { return ukObject; }
    TEditedFlag Flag() const override { return efObject; }
    // The room of the first object the step changed.
    int Room() const override;

private:
    bool enemies_;
    int gesture_; // 0: a step of its own
    Tables old_, value_;
};

// The six restart points before and after an edit.
class TMidPointsEdit final : public TEditCommand {
public:
    using Points = std::array<MidPointBytes, MidPointCount>;
    TMidPointsEdit(const Points& old, const Points& value, int gesture) : gesture_(gesture), old_(old), value_(value) {}
    void Apply(TStageData& stage) const override;
    void Revert(TStageData& stage) const override;
    bool MergeWith(const TEditCommand& next) override;
    TUndoKind Kind() const override { return ukMidPoint; }
    TEditedFlag Flag() const override { return efMidPoint; }

private:
    int gesture_;
    Points old_, value_;
};

} // namespace vx
