#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/model/AddressData.h"
#include "core/model/EditHistory.h"
#include "core/model/EditedFlagData.h"
#include "core/model/RestartPoint.h"
#include "core/model/Rooms.h"
#include "core/model/StageObjects.h"
#include "core/model/TileEdits.h"

namespace vx {

class StageData;
class GroupedEdit;

constexpr int ChipCount = 256;
constexpr int ChipEntryCount = ChipCount * 4;
constexpr int ScrollSize = 32;
constexpr int PaletteBlockSize = 96; // BG 0..15, sprite 16..31, animation 32..95

// What a stage tells the rest of the program; the shell fills these in.
struct StageHooks {
    // The modified notice for the status bar, already in the user's language.
    std::function<void(const std::string& text)> showModified;
    // The stage's background palette changed: hand it to the renderer.
    std::function<void(const StageData&)> paletteChanged;
    // The stage's palette animation changed: hand count, timer and colours to the renderer.
    std::function<void(const StageData&)> paletteAnimeChanged;
};

// The image's form of the chips: per entry, the attribute in bits 6-7 over the 16x16 chip
// number; per chip, one byte with the four sub-palettes of quarters TL, TR, BL, BR in bit
// pairs 0-1, 2-3, 4-5, 6-7. Entries carry their sub-palette in bits 6-7.
struct EncodedChips {
    std::vector<std::uint8_t> chip32x32;        // 1024
    std::vector<std::uint8_t> chip32x32Palette; // 256
};
EncodedChips encodeChips(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes);

// The tables that stages share when their deciding key has the same address.
enum class SharedGroup {
    Chips,
    Map,
    Scroll,
    EnemyObjects,
    ItemObjects,
    RestartPoints
};
constexpr std::array<SharedGroup, 6> SharedGroups{SharedGroup::Chips,       SharedGroup::Map,
                                                  SharedGroup::Scroll,      SharedGroup::EnemyObjects,
                                                  SharedGroup::ItemObjects, SharedGroup::RestartPoints};
TableKey decidingKey(SharedGroup group);
// The lowest earlier stage whose deciding address equals this stage's, or -1.
int shareSource(const AddressData& addresses, SharedGroup group, int stage);

// The editable model of one stage: working copies of its tables, decoded from the image,
// changed only through operations that record history and set the edited flags. Readers
// get the tables, object lists and restart points as const.
class StageData {
public:
    // Reads the tables from the image (nothing outside it: bytes beyond its end read as
    // zero), taking shared tables over from the earlier stages.
    StageData(std::vector<std::uint8_t>& image, std::span<const std::unique_ptr<StageData>> earlier, int stageIndex,
              const AddressData& addresses, const StageHooks* hooks);
    ~StageData();
    StageData(const StageData&) = delete;
    StageData& operator=(const StageData&) = delete;

    int stageIndex() const { return stageIndex_; }
    std::int32_t address(TableKey key) const { return addresses_.address(key, stageIndex_); }

    EditedFlagData& editedFlags() { return editedFlags_; }
    const EditedFlagData& editedFlags() const { return editedFlags_; }
    UndoStack& undoStack() { return undoStack_; }
    UndoStack& redoStack() { return redoStack_; }
    const UndoStack& undoStack() const { return undoStack_; }
    const UndoStack& redoStack() const { return redoStack_; }

    const StageObjects& enemyObjects() const { return *enemies_->manager; }
    const StageObjects& itemObjects() const { return *items_->manager; }
    const RestartPoint& restartPoints(int index) const { return *restartPoints_.at(static_cast<std::size_t>(index)); }

    const std::array<std::uint8_t, 256>& patternTableSetting() const { return patternTableSetting_; }
    std::uint8_t paletteAnimeFrameCount() const { return frameCount_; }
    std::uint8_t paletteAnimeFrameTimer() const { return frameTimer_; }
    const std::array<std::uint8_t, PaletteBlockSize>& paletteBlock() const { return palette_; }
    std::span<const std::uint8_t, 16> bgPalette() const { return std::span(palette_).subspan<0, 16>(); }
    std::span<const std::uint8_t, 16> spritePalette() const { return std::span(palette_).subspan<16, 16>(); }
    std::span<const std::uint8_t, 64> paletteAnimePalette() const { return std::span(palette_).subspan<32, 64>(); }

    // Entries: sub-palette in bits 6-7, 16x16 chip in bits 0-5; quarters TL, BL, TR, BR.
    const std::vector<std::uint8_t>& chip32x32() const { return chips_->entries; }
    const std::vector<std::uint8_t>& chip32x32Attribute() const { return chips_->attributes; }
    const std::vector<std::uint8_t>& map() const { return *map_; }
    // One room's 64 cells; empty for a room outside the stage.
    std::span<const std::uint8_t> mapRoom(int room) const
    {
        return roomSpan(std::span<const std::uint8_t>(*map_), room);
    }
    const std::vector<std::uint8_t>& scroll() const { return *scroll_; }
    // The tile bytes painted and not yet saved; one set for the whole image.
    TileEdits& tileEdits() const { return *tiles_; }
    const std::vector<std::uint8_t>& image() const { return image_; }

    int default32x32ChipEditPage() const { return defaultChipEditPage_; }
    int defaultStartPoint() const { return defaultStartPoint_; }

    // Edits. Each returns whether anything changed; an unchanged value records nothing and
    // marks nothing. A position outside the table changes nothing either. Each change is
    // one command on the undo stack, and a new one empties the redo stack.
    bool setPaletteColor(int position, std::uint8_t color);
    bool setPaletteAnimeFrameCount(std::uint8_t count);
    bool setPaletteAnimeFrameTimer(std::uint8_t timer);
    bool setPaletteAnimeColor(int position, std::uint8_t color);
    bool setChipEntry(int position, std::uint8_t entry);
    bool setChipAttribute(int position, std::uint8_t attribute);
    // position = 4c; bytes: the four entries, then the four attributes.
    bool setChip(int position, std::span<const std::uint8_t, 8> bytes);
    bool setMapChip(int position, std::uint8_t chip);
    // position = 64r; kind ukMapPaste or ukMapGrid.
    bool setMapRoom(int position, std::span<const std::uint8_t, RoomSize> room, UndoKind kind);
    bool setScrollData(int position, std::uint8_t value);
    // Tile bytes by image offset, as one step (merged within a gesture: a stroke). Refused
    // whole (false) when an offset lies outside the image; bytes already so change nothing.
    bool setTileBytes(std::span<const std::pair<std::int64_t, std::uint8_t>> bytes);

    // Object edits, on this stage's enemy or item list (`list`, as the accessors give it);
    // a node is one of that list's own. Each is one command of kind ukObject holding the
    // list before and after. `sortRoom`: the room the object ends in is sorted by X after
    // (which the free order ignores). A full list or a room outside the 44 changes nothing.
    bool addObject(const StageObjects& list, const ObjectPlacement& object, bool sortRoom);
    bool removeObject(const StageObjects& list, const PlacedObject* node);
    bool moveObject(const StageObjects& list, const PlacedObject* node, int room, int x, int y, bool sortRoom);
    bool setObjectKind(const StageObjects& list, const PlacedObject* node, std::uint8_t kind);
    // One place earlier or later in the object order.
    bool moveObjectInOrder(const StageObjects& list, const PlacedObject* node, bool later);
    // A new order type marks the list edited even when the tables read the same (no step:
    // undo keeps the order type).
    bool setObjectOrderType(const StageObjects& list, OrderType type);
    // One room's objects replaced by these, in this order.
    bool setRoomObjects(const StageObjects& list, int room, std::span<const ObjectPlacement> objects);
    // The whole list anew, in this order (a stage text).
    bool replaceObjects(const StageObjects& list, std::span<const ObjectPlacement> objects);

    // Restart-point edits: one command of kind ukMidPoint holding the six points before
    // and after. A field is a RestartPointField; the start room takes the left-end room.
    bool setRestartPointField(int index, int field, std::uint16_t value);
    bool setRestartPointStartRoom(int index, std::uint8_t room)
    {
        return setRestartPointField(index, mfStartRoom, room);
    }
    // Every field from the image's eleven bytes.
    bool setRestartPoint(int index, const RestartPointBytes& bytes);
    // The map addresses and object numbers from the start room: one point, or all six as
    // one step.
    bool recalcRestartPoint(int index);
    bool recalcRestartPoints();

    // Between these, the object, restart-point and tile steps merge into one (a drag).
    void beginGesture();
    void endGesture() { gesture_ = 0; }
    // Between these, every edit goes into one step of this kind. Prefer EditGroup; these
    // are for a step that spans events (a stamp stroke).
    void beginGroup(UndoKind kind);
    void endGroup();

    // Undoes (redoes) the top command of the undo (redo) stack; its kind, or -1 when empty.
    int undo();
    int redo();

    // Writes the edited areas into the image.
    void writeBack();
    // The same into another copy of the image (of the same length), leaving the stage's own
    // image and its edited flags alone.
    void writeBack(std::vector<std::uint8_t>& image);

private:
    friend struct StageTables;
    struct ChipTables {
        std::vector<std::uint8_t> entries = std::vector<std::uint8_t>(ChipEntryCount);
        std::vector<std::uint8_t> attributes = std::vector<std::uint8_t>(ChipEntryCount);
    };
    struct ObjectTables {
        // Room, X, Y, kind as a save writes them: kept current with the list by every
        // edit, and past the end mark the image's own bytes, so undo gives back every byte.
        std::array<std::vector<std::uint8_t>, 4> tables;
        std::shared_ptr<StageObjects> manager;
    };
    using ByteTable = std::vector<std::uint8_t>;

    using Earlier = std::span<const std::unique_ptr<StageData>>;
    // The earlier stage's copy of a shared group, or nothing when this stage reads its own.
    template <class T>
    std::shared_ptr<T> sharedFrom(Earlier earlier, SharedGroup group, std::shared_ptr<T> StageData::*member) const;
    std::shared_ptr<ChipTables> readChips() const;
    std::shared_ptr<ByteTable> readTable(TableKey key, int size) const;
    std::shared_ptr<ObjectTables> readObjects(TableKey first, int size, int capacity) const;
    void readRestartPoints();
    void writeChips(std::vector<std::uint8_t>& image) const;
    void writeObjects(std::vector<std::uint8_t>& image, ObjectTables& objects, TableKey first) const;

    // Does the edit, marks its area and puts it on the history.
    bool execute(std::unique_ptr<EditCommand> command);
    // Puts a step on the undo stack (or into the step on top), emptying the redo stack.
    void record(std::unique_ptr<EditCommand> command);
    template <class Command>
    bool editByte(std::uint8_t current, int position, std::uint8_t value);
    // The flag set, the modified notice shown and the renderer told of colours.
    void changed(EditedFlag flag);
    // Undo or redo: the command on top of one stack acted and moved to the other.
    int step(UndoStack& from, UndoStack& to, void (EditCommand::*action)(StageData&) const);
    // The list's tables, when it is this stage's enemy or item list.
    ObjectTables* objectTablesOf(const StageObjects& list) const;
    // Runs a change of the list (false: it changed nothing) and records what it did.
    template <class Change>
    bool editObjects(const StageObjects& list, Change change);
    // Runs a change of the points and records it when their bytes differ after.
    template <class Change>
    bool editRestartPoints(Change change);
    std::array<RestartPointBytes, RestartPointCount> restartPointsNow() const;

    const AddressData& addresses_;
    int stageIndex_;
    EditedFlagData editedFlags_;
    UndoStack undoStack_;
    UndoStack redoStack_;
    std::vector<std::uint8_t>& image_;
    const StageHooks* hooks_;
    std::array<std::uint8_t, 256> patternTableSetting_{};
    std::uint8_t frameCount_ = 0;
    std::uint8_t frameTimer_ = 0;
    std::array<std::uint8_t, PaletteBlockSize> palette_{};
    std::shared_ptr<ChipTables> chips_;
    int defaultChipEditPage_ = 0;
    int defaultStartPoint_ = 0;
    std::shared_ptr<ByteTable> map_;
    std::shared_ptr<ByteTable> scroll_;
    std::shared_ptr<TileEdits> tiles_;
    std::shared_ptr<ObjectTables> enemies_;
    std::shared_ptr<ObjectTables> items_;
    std::array<std::shared_ptr<RestartPoint>, RestartPointCount> restartPoints_;
    int gesture_ = 0;                    // the gesture under way; 0: none
    std::unique_ptr<GroupedEdit> group_; // the step being gathered, if any
    int gestureCount_ = 0;               // gestures begun, so each has its own number
};

// Every edit of the stage while it lives goes into one step of this kind; the step is
// closed when it goes, however the scope is left.
class EditGroup {
public:
    EditGroup(StageData& stage, UndoKind kind) : stage_(stage) { stage_.beginGroup(kind); }
    ~EditGroup() { stage_.endGroup(); }
    EditGroup(const EditGroup&) = delete;
    EditGroup& operator=(const EditGroup&) = delete;

private:
    StageData& stage_;
};

} // namespace vx
