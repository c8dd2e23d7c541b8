#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/EditedFlagData.h"

namespace vx {

class StageData;

// Kinds of history steps; the numbers are fixed (the menu's captions, the pages' refresh).
enum UndoKind : std::uint8_t {
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
    ukObject = 11,
    ukMidPoint = 12,
    ukStageText = 13, // a stage text applied: one step per stage
    ukRecovery = 14,  // unsaved edits taken back from a recovery file
    ukTiles = 15,     // tile pixels painted or a tile picture imported
    ukChipSwap = 16,  // two 32x32 chips changed places, or one moved, with every map cell
    ukChipMerge = 17, // the cells of equal chips pointed at the lowest of them
    ukTileSwap = 18,  // two tiles' bytes changed places, with every chip entry naming them
};

// The name of a kind in the user's language ("Unknown" for any other number).
std::string undoKindText(int kind);
// Chips or tiles renumbered: a step of every stage sharing the table, under its own caption.
inline bool isRenumbering(int kind) { return kind == ukChipSwap || kind == ukChipMerge || kind == ukTileSwap; }

// Steps that one edit put in several stages' histories (a chip replaced in every map) share
// an id; `stages` says how many there are, so a step whose partner has gone stands alone.
struct StepBatch {
    int id = 0; // 0: a step of its stage alone
    int stages = 1;
};

// One edit of a stage as a history step: it knows how to do and undo itself.
class EditCommand {
public:
    virtual ~EditCommand() = default;
    // Does the edit (again, for redo).
    virtual void apply(StageData& stage) const = 0;
    // Puts back what stood there before.
    virtual void revert(StageData& stage) const = 0;
    // Takes the next step into this one, so a drag is one step; false when it stays its own.
    virtual bool mergeWith(const EditCommand&) { return false; }
    virtual UndoKind kind() const = 0;
    // The area a save writes back after this edit.
    virtual EditedFlag flag() const = 0;
    // Every area it touches; a step of several edits has more than one.
    virtual std::vector<EditedFlag> flags() const { return {flag()}; }
    // The room a page should show after the step was undone or redone; -1 for none.
    virtual int room() const { return -1; }
    std::string caption() const { return undoKindText(kind()); }

    StepBatch batch;
};

// Last in, first out; owns its commands. No depth limit.
class UndoStack {
public:
    void push(std::unique_ptr<EditCommand> command) { commands_.push_back(std::move(command)); }
    // The top command, now the caller's; empty when the stack is.
    std::unique_ptr<EditCommand> pop();
    const EditCommand* peek() const { return commands_.empty() ? nullptr : commands_.back().get(); }
    EditCommand* top() { return commands_.empty() ? nullptr : commands_.back().get(); }
    int count() const { return static_cast<int>(commands_.size()); }
    void clear() { commands_.clear(); }

private:
    std::vector<std::unique_ptr<EditCommand>> commands_;
};

} // namespace vx
