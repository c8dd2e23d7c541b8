#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "core/model/Rooms.h"

namespace vx {

constexpr std::uint8_t ObjectListEnd = 0xFF;
constexpr int EnemyCapacity = 128;
constexpr int ItemCapacity = 32;

enum OrderType : std::uint8_t {
    otByRoom = 0,
    otFree = 1
};

class StageObjects;

// An object as a list of the tables holds it.
struct ObjectPlacement {
    std::uint8_t room = 0, x = 0, y = 0, kind = 0;
    bool operator==(const ObjectPlacement&) const = default;
};

// One placed object. It is a link of its manager's chain; destroying it unlinks it.
class PlacedObject {
public:
    PlacedObject(PlacedObject* next, PlacedObject* prev, std::uint8_t room, std::uint8_t x, std::uint8_t y,
                 std::uint8_t kind);
    ~PlacedObject();
    PlacedObject(const PlacedObject&) = delete;
    PlacedObject& operator=(const PlacedObject&) = delete;

    // The free order's chain; read through a const object, a link gives no write access.
    PlacedObject* next() { return next_; }
    const PlacedObject* next() const { return next_; }
    PlacedObject* prev() { return prev_; }
    const PlacedObject* prev() const { return prev_; }

    std::uint8_t room;
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t kind;

private:
    friend class StageObjects;
    PlacedObject* next_;
    PlacedObject* prev_;
};

// The objects of one room; it owns them.
class RoomObjectList {
public:
    RoomObjectList() = default;
    RoomObjectList(const RoomObjectList&) = delete;
    RoomObjectList& operator=(const RoomObjectList&) = delete;

    const StageObjects* manager = nullptr;

    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    PlacedObject* items(int index) { return items_.at(static_cast<std::size_t>(index)).get(); }
    const PlacedObject* items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    PlacedObject* first() { return items_.empty() ? nullptr : items_.front().get(); }
    const PlacedObject* first() const { return items_.empty() ? nullptr : items_.front().get(); }
    PlacedObject* last() { return items_.empty() ? nullptr : items_.back().get(); }
    const PlacedObject* last() const { return items_.empty() ? nullptr : items_.back().get(); }
    int indexOf(const PlacedObject* node) const;

    void append(std::unique_ptr<PlacedObject> node);
    // Takes the node out without destroying it; empty when it is not here.
    std::unique_ptr<PlacedObject> extract(PlacedObject* node);
    // Takes the node out and destroys it.
    void erase(PlacedObject* node);
    void move(int from, int to);
    // Gives up every node without destroying it (the caller keeps them alive).
    std::vector<PlacedObject*> releaseAll();

    // Ascending X, by the list's quicksort, which is not stable: users see the order it
    // leaves equal X values in. Does nothing while the manager keeps the free order.
    void sortByX();

private:
    void quickSort(int left, int right);

    std::vector<std::unique_ptr<PlacedObject>> items_;
};

// All enemies or all items of a stage: one list per room, plus a chain for the free order.
class StageObjects {
public:
    // Reads entries until a room byte of 0x2C or more or until capacity entries were read.
    // Tables shorter than that end the list too.
    StageObjects(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x, std::span<const std::uint8_t> y,
                 std::span<const std::uint8_t> kind, int capacity);
    ~StageObjects() = default;
    StageObjects(const StageObjects&) = delete;
    StageObjects& operator=(const StageObjects&) = delete;

    PlacedObject* head() { return head_; }
    const PlacedObject* head() const { return head_; }
    PlacedObject* tail() { return tail_; }
    const PlacedObject* tail() const { return tail_; }
    const int capacity;
    OrderType orderType = otByRoom;

    RoomObjectList& lists(int room) { return lists_.at(static_cast<std::size_t>(room)); }
    const RoomObjectList& lists(int room) const { return lists_.at(static_cast<std::size_t>(room)); }

    int totalCount() const;
    // False, changing nothing, when full or the room is not one of the 44.
    bool addObject(std::uint8_t room, std::uint8_t x, std::uint8_t y, std::uint8_t kind);
    void removeObject(PlacedObject* node);
    // Rooms outside the 44 are refused.
    void moveToRoom(PlacedObject* node, std::uint8_t room);

    const PlacedObject* nextObject(const PlacedObject* node) const;
    const PlacedObject* prevObject(const PlacedObject* node) const;
    PlacedObject* nextObject(const PlacedObject* node) { return mutableNode(std::as_const(*this).nextObject(node)); }
    PlacedObject* prevObject(const PlacedObject* node) { return mutableNode(std::as_const(*this).prevObject(node)); }
    int orderIndexOf(const PlacedObject* node) const;
    int firstIndexOfRoom(int room) const;
    bool moveEarlier(PlacedObject* node);
    bool moveLater(PlacedObject* node);
    void setOrderType(OrderType type);

    // Every object in the object order.
    std::vector<const PlacedObject*> objectsInOrder() const;
    std::vector<PlacedObject*> objectsInOrder();
    // Every object anew, in this order: each added at the end of its room, the free order
    // taken (by adjacent swaps) only when the rooms do not ascend or it was in force.
    void replaceAll(std::span<const ObjectPlacement> objects);
    // Writes the objects in order and the 0xFF end mark into the Room table; writes no
    // byte past the end of a table it is given.
    void exportTables(std::span<std::uint8_t> room, std::span<std::uint8_t> x, std::span<std::uint8_t> y,
                      std::span<std::uint8_t> kind) const;
    // Every object anew from tables as exportTables writes them (undo and redo); the nodes
    // that were here are gone.
    void reload(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x, std::span<const std::uint8_t> y,
                std::span<const std::uint8_t> kind);

private:
    // The node itself: every node is this manager's own, held const only by readers.
    static PlacedObject* mutableNode(const PlacedObject* node) { return const_cast<PlacedObject*>(node); }
    void read(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x, std::span<const std::uint8_t> y,
              std::span<const std::uint8_t> kind);
    const PlacedObject* byRoomPrev(const PlacedObject* node) const;
    const PlacedObject* lastBelowRoom(int room) const;
    void linkAfter(PlacedObject* node, PlacedObject* predecessor);
    bool swapWithChainPredecessor(PlacedObject* node);

    std::array<RoomObjectList, RoomCount> lists_;
    PlacedObject* head_ = nullptr;
    PlacedObject* tail_ = nullptr;
};

} // namespace vx
