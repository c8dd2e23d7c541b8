#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/AddressData.h"
#include "core/EditedFlagData.h"
#include "core/MidPoint.h"
#include "core/Rooms.h"
#include "core/UndoData.h"

namespace vx {

class TVxObjectManager;
class TStageData;

constexpr int ChipCount = 256;
constexpr int ChipEntryCount = ChipCount * 4;
constexpr int ScrollSize = 32;
constexpr int PaletteBlockSize = 96; // BG 0..15, sprite 16..31, animation 32..95

// What a stage tells the rest of the program; the shell fills these in.
struct TStageHooks {
    // The modified notice for the status bar, already in the user's language.
    std::function<void(const std::string& text)> ShowModified;
    // The stage's background palette changed: hand it to the renderer.
    std::function<void(const TStageData&)> PaletteChanged;
    // The stage's palette animation changed: hand count, timer and colours to the renderer.
    std::function<void(const TStageData&)> PaletteAnimeChanged;
};

// The image's form of the chips: per entry, the attribute in bits 6-7 over the 16x16 chip
// number; per chip, one byte with the four sub-palettes of quarters TL, TR, BL, BR in bit
// pairs 0-1, 2-3, 4-5, 6-7. Entries carry their sub-palette in bits 6-7.
struct EncodedChips {
    std::vector<std::uint8_t> chip32x32;        // 1024
    std::vector<std::uint8_t> chip32x32Palette; // 256
};
EncodedChips EncodeChips(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes);

// The tables that stages share when their deciding key has the same address.
enum class SharedGroup { Chips, Map, Scroll, EnemyObjects, ItemObjects, MidPoints };
constexpr std::array<SharedGroup, 6> SharedGroups{SharedGroup::Chips, SharedGroup::Map,
                                                  SharedGroup::Scroll, SharedGroup::EnemyObjects,
                                                  SharedGroup::ItemObjects, SharedGroup::MidPoints};
TableKey DecidingKey(SharedGroup group);
// The lowest earlier stage whose deciding address equals this stage's, or -1.
int ShareSource(const TAddressData& addresses, SharedGroup group, int stage);

// The editable model of one stage: working copies of its tables, decoded from the image,
// changed only through operations that record history and set the edited flags.
class TStageData {
public:
    // Reads the tables from the image (nothing outside it: bytes beyond its end read as
    // zero), taking shared tables over from the earlier stages.
    TStageData(std::vector<std::uint8_t>& image, std::span<const std::unique_ptr<TStageData>> earlier,
               int stageIndex, const TAddressData& addresses, const TStageHooks* hooks);
    ~TStageData();
    TStageData(const TStageData&) = delete;
    TStageData& operator=(const TStageData&) = delete;

    int StageIndex() const { return stageIndex_; }
    std::int32_t Address(TableKey key) const { return addresses_.Address(key, stageIndex_); }

    TEditedFlagData& EditedFlags() { return editedFlags_; }
    const TEditedFlagData& EditedFlags() const { return editedFlags_; }
    TUndoStack& UndoStack() { return undoStack_; }
    TUndoStack& RedoStack() { return redoStack_; }
    const TUndoStack& UndoStack() const { return undoStack_; }
    const TUndoStack& RedoStack() const { return redoStack_; }

    TVxObjectManager& EnemyObjects() const { return *enemies_->manager; }
    TVxObjectManager& ItemObjects() const { return *items_->manager; }
    TMidPoint& MidPoints(int index) const { return *midPoints_.at(static_cast<std::size_t>(index)); }

    const std::array<std::uint8_t, 256>& PatternTableSetting() const { return patternTableSetting_; }
    std::uint8_t PaletteAnimeFrameCount() const { return frameCount_; }
    std::uint8_t PaletteAnimeFrameTimer() const { return frameTimer_; }
    const std::array<std::uint8_t, PaletteBlockSize>& PaletteBlock() const { return palette_; }
    std::span<const std::uint8_t, 16> BGPalette() const { return std::span(palette_).subspan<0, 16>(); }
    std::span<const std::uint8_t, 16> SpritePalette() const { return std::span(palette_).subspan<16, 16>(); }
    std::span<const std::uint8_t, 64> PaletteAnimePalette() const { return std::span(palette_).subspan<32, 64>(); }

    // Entries: sub-palette in bits 6-7, 16x16 chip in bits 0-5; quarters TL, BL, TR, BR.
    const std::vector<std::uint8_t>& Chip32x32() const { return chips_->entries; }
    const std::vector<std::uint8_t>& Chip32x32Attribute() const { return chips_->attributes; }
    const std::vector<std::uint8_t>& Map() const { return *map_; }
    // One room's 64 cells; empty for a room outside the stage.
    std::span<const std::uint8_t> MapRoom(int room) const { return RoomSpan(std::span<const std::uint8_t>(*map_), room); }
    const std::vector<std::uint8_t>& Scroll() const { return *scroll_; }

    int Default32x32ChipEditPage() const { return defaultChipEditPage_; }
    int DefaultStartPoint() const { return defaultStartPoint_; }

    // Edits. Each returns whether anything changed; an unchanged value records nothing and
    // marks nothing. A position outside the table changes nothing either. Each change is
    // one command on the undo stack, and a new one empties the redo stack.
    bool SetPaletteColor(int position, std::uint8_t color);
    bool SetPaletteAnimeFrameCount(std::uint8_t count);
    bool SetPaletteAnimeFrameTimer(std::uint8_t timer);
    bool SetPaletteAnimeColor(int position, std::uint8_t color);
    bool SetChipEntry(int position, std::uint8_t entry);
    bool SetChipAttribute(int position, std::uint8_t attribute);
    // position = 4c; bytes: the four entries, then the four attributes.
    bool SetChip(int position, std::span<const std::uint8_t, 8> bytes);
    bool SetMapChip(int position, std::uint8_t chip);
    // position = 64r; kind ukMapPaste or ukMapGrid.
    bool SetMapRoom(int position, std::span<const std::uint8_t, RoomSize> room, TUndoKind kind);
    bool SetScrollData(int position, std::uint8_t value);

    // Object and restart-point edits change the lists and points in place, then call this:
    // what changed since the last step becomes one command (nothing when nothing did), the
    // flag is set and the modified notice shown.
    void MarkEdited(TEditedFlag flag);
    // Between these, the object and restart-point steps merge into one (a drag).
    void BeginGesture();
    void EndGesture() { gesture_ = 0; }

    // Undoes (redoes) the top command of the undo (redo) stack; its kind, or -1 when empty.
    int Undo();
    int Redo();

    // Writes the edited areas into the image.
    void WriteBack();
    // The same into another copy of the image (of the same length), leaving the stage's own
    // image and its edited flags alone.
    void WriteBack(std::vector<std::uint8_t>& image);

private:
    friend struct TStageTables;
    struct ChipTables {
        std::vector<std::uint8_t> entries = std::vector<std::uint8_t>(ChipEntryCount);
        std::vector<std::uint8_t> attributes = std::vector<std::uint8_t>(ChipEntryCount);
    };
    struct ObjectTables {
        std::array<std::vector<std::uint8_t>, 4> tables; // room, X, Y, kind
        std::shared_ptr<TVxObjectManager> manager;
        // The list as the last history step left it, in the same form (shared, as the list).
        std::array<std::vector<std::uint8_t>, 4> committed;
    };
    using ByteTable = std::vector<std::uint8_t>;

    using Earlier = std::span<const std::unique_ptr<TStageData>>;
    // The earlier stage's copy of a shared group, or nothing when this stage reads its own.
    template <class T>
    std::shared_ptr<T> SharedFrom(Earlier earlier, SharedGroup group,
                                  std::shared_ptr<T> TStageData::*member) const;
    std::shared_ptr<ChipTables> ReadChips() const;
    std::shared_ptr<ByteTable> ReadTable(TableKey key, int size) const;
    std::shared_ptr<ObjectTables> ReadObjects(TableKey first, int size, int capacity) const;
    void ReadMidPoints();
    void WriteChips(std::vector<std::uint8_t>& image) const;
    void WriteObjects(std::vector<std::uint8_t>& image, ObjectTables& objects, TableKey first) const;

    // Does the edit, marks its area and puts it on the history.
    bool Execute(std::unique_ptr<TEditCommand> command);
    // Puts a step on the undo stack (or into the step on top), emptying the redo stack.
    void Record(std::unique_ptr<TEditCommand> command);
    template <class Command> bool EditByte(std::uint8_t current, int position, std::uint8_t value);
    // The flag set, the modified notice shown and the renderer told of colours.
    void Changed(TEditedFlag flag);
    // Undo or redo: the command on top of one stack acted and moved to the other.
    int Step(TUndoStack& from, TUndoStack& to, void (TEditCommand::*action)(TStageData&) const);
    void RecordObjects();
    void RecordMidPoints();
    std::array<MidPointBytes, MidPointCount> MidPointsNow() const;

    const TAddressData& addresses_;
    int stageIndex_;
    TEditedFlagData editedFlags_;
    TUndoStack undoStack_;
    TUndoStack redoStack_;
    std::vector<std::uint8_t>& image_;
    const TStageHooks* hooks_;
    std::array<std::uint8_t, 256> patternTableSetting_{};
    std::uint8_t frameCount_ = 0;
    std::uint8_t frameTimer_ = 0;
    std::array<std::uint8_t, PaletteBlockSize> palette_{};
    std::shared_ptr<ChipTables> chips_;
    int defaultChipEditPage_ = 0;
    int defaultStartPoint_ = 0;
    std::shared_ptr<ByteTable> map_;
    std::shared_ptr<ByteTable> scroll_;
    std::shared_ptr<ObjectTables> enemies_;
    std::shared_ptr<ObjectTables> items_;
    std::array<std::shared_ptr<TMidPoint>, MidPointCount> midPoints_;
    // The points as the last history step left them (shared, as the points).
    std::shared_ptr<std::array<MidPointBytes, MidPointCount>> midPointsCommitted_;
    int gesture_ = 0;      // the gesture under way; 0: none
    int gestureCount_ = 0; // gestures begun, so each has its own number
};

} // namespace vx
