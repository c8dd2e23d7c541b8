#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vx {

// Kinds of history steps; the numbers are fixed.
enum TUndoKind : std::uint8_t {
    ukPalette = 0,
    ukPaletteAnimeFrameCount = 1,
    ukPaletteAnimeFrameTimer = 2,
    ukPaletteAnimePalette = 3,
    ukChip32x32 = 4,
    ukChip32x32Attr = 5,
    ukChip32x32Paste = 6,
    ukMap = 7,
    ukMapPaste = 8,
    ukMapGrid = 9,
    ukScroll = 10,
};

// Who calls a stage edit: the user, or the history applying a record.
enum HistoryMode { hmEdit = 0, hmUndo = 1, hmRedo = 2 };

bool IsBlockKind(int kind);
// The name of a kind in the user's language ("Unknown" for any other number).
std::string UndoKindText(int kind);

// One history step: where it applies and what stood there before.
class TUndoData {
public:
    // A single-byte step; block kinds (6, 8, 9) are refused with VxError.
    TUndoData(std::uint8_t kind, std::uint8_t value, std::int32_t position);
    // A block step; only kinds 6, 8 and 9 are accepted.
    TUndoData(std::uint8_t kind, std::span<const std::uint8_t> bytes, std::int32_t position);

    std::uint8_t Kind() const { return kind_; }
    std::int32_t Position() const { return position_; }
    std::uint8_t Value() const { return value_; }
    const std::vector<std::uint8_t>& Block() const { return block_; }

private:
    std::uint8_t kind_;
    std::int32_t position_;
    std::uint8_t value_ = 0;
    std::vector<std::uint8_t> block_;
};

// Last in, first out; owns its records. No depth limit.
class TUndoStack {
public:
    void Push(std::unique_ptr<TUndoData> record) { records_.push_back(std::move(record)); }
    // The top record, now the caller's; empty when the stack is.
    std::unique_ptr<TUndoData> Pop();
    const TUndoData* Peek() const { return records_.empty() ? nullptr : records_.back().get(); }
    int Count() const { return static_cast<int>(records_.size()); }
    void Clear() { records_.clear(); }

private:
    std::vector<std::unique_ptr<TUndoData>> records_;
};

} // namespace vx
