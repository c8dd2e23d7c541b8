#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/EditedFlagData.h"

namespace vx {

class TStageData;

// Kinds of history steps; the numbers are fixed (the menu's captions, the pages' refresh).
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
    ukObject = 11,
    ukMidPoint = 12,
};

// The name of a kind in the user's language ("Unknown" for any other number).
std::string UndoKindText(int kind);

// One edit of a stage as a history step: it knows how to do and undo itself.
class TEditCommand {
public:
    virtual ~TEditCommand() = default;
    // Does the edit (again, for redo).
    virtual void Apply(TStageData& stage) const = 0;
    // Puts back what stood there before.
    virtual void Revert(TStageData& stage) const = 0;
    // Takes the next step into this one, so a drag is one step; false when it stays its own.
    virtual bool MergeWith(const TEditCommand&) { return false; }
    virtual TUndoKind Kind() const = 0;
    // The area a save writes back after this edit.
    virtual TEditedFlag Flag() const = 0;
    // The room a page should show after the step was undone or redone; -1 for none.
    virtual int Room() const { return -1; }
    std::string Caption() const { return UndoKindText(Kind()); }
};

// Last in, first out; owns its commands. No depth limit.
class TUndoStack {
public:
    void Push(std::unique_ptr<TEditCommand> command) { commands_.push_back(std::move(command)); }
    // The top command, now the caller's; empty when the stack is.
    std::unique_ptr<TEditCommand> Pop();
    const TEditCommand* Peek() const { return commands_.empty() ? nullptr : commands_.back().get(); }
    TEditCommand* Top() { return commands_.empty() ? nullptr : commands_.back().get(); }
    int Count() const { return static_cast<int>(commands_.size()); }
    void Clear() { commands_.clear(); }

private:
    std::vector<std::unique_ptr<TEditCommand>> commands_;
};

} // namespace vx
