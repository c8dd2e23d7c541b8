#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/Rooms.h"

namespace vx {

constexpr std::uint8_t ObjectListEnd = 0xFF;
constexpr int EnemyCapacity = 128;
constexpr int ItemCapacity = 32;

enum TOrderType : std::uint8_t { otByRoom = 0, otFree = 1 };

class TVxObjectManager;

// One placed object. It is a link of its manager's chain; destroying it unlinks it.
class TVxObjectNode {
public:
    TVxObjectNode(TVxObjectNode* next, TVxObjectNode* prev, std::uint8_t room, std::uint8_t x,
                  std::uint8_t y, std::uint8_t kind);
    ~TVxObjectNode();
    TVxObjectNode(const TVxObjectNode&) = delete;
    TVxObjectNode& operator=(const TVxObjectNode&) = delete;

    TVxObjectNode* Next;
    TVxObjectNode* Prev;
    std::uint8_t Room;
    std::uint8_t X;
    std::uint8_t Y;
    std::uint8_t Kind;
};

// The objects of one room; it owns them.
class TVxObjectList {
public:
    TVxObjectList() = default;
    TVxObjectList(const TVxObjectList&) = delete;
    TVxObjectList& operator=(const TVxObjectList&) = delete;

    TVxObjectManager* Manager = nullptr;

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    TVxObjectNode* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    TVxObjectNode* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    TVxObjectNode* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
    int IndexOf(const TVxObjectNode* node) const;

    void Append(std::unique_ptr<TVxObjectNode> node);
    // Takes the node out without destroying it; empty when it is not here.
    std::unique_ptr<TVxObjectNode> Extract(TVxObjectNode* node);
    // Takes the node out and destroys it.
    void Delete(TVxObjectNode* node);
    void Move(int from, int to);
    // Gives up every node without destroying it (the caller keeps them alive).
    std::vector<TVxObjectNode*> ReleaseAll();

    // Ascending X, by the list's quicksort, which is not stable: users see the order it
    // leaves equal X values in. Does nothing while the manager keeps the free order.
    void SortByX();

private:
    void QuickSort(int left, int right);

    std::vector<std::unique_ptr<TVxObjectNode>> items_;
};

// All enemies or all items of a stage: one list per room, plus a chain for the free order.
class TVxObjectManager {
public:
    // Reads entries until a room byte of 0x2C or more or until capacity entries were read.
    // Tables shorter than that end the list too.
    TVxObjectManager(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                     std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind,
                     int capacity);
    ~TVxObjectManager() = default;
    TVxObjectManager(const TVxObjectManager&) = delete;
    TVxObjectManager& operator=(const TVxObjectManager&) = delete;

    TVxObjectNode* Head = nullptr;
    TVxObjectNode* Tail = nullptr;
    const int Capacity;
    TOrderType OrderType = otByRoom;

    TVxObjectList& Lists(int room) { return lists_.at(static_cast<std::size_t>(room)); }
    const TVxObjectList& Lists(int room) const { return lists_.at(static_cast<std::size_t>(room)); }

    int TotalCount() const;
    // False, changing nothing, when full or the room is not one of the 44.
    bool AddObject(std::uint8_t room, std::uint8_t x, std::uint8_t y, std::uint8_t kind);
    void RemoveObject(TVxObjectNode* node);
    // Rooms outside the 44 are refused.
    void MoveToRoom(TVxObjectNode* node, std::uint8_t room);

    TVxObjectNode* NextObject(const TVxObjectNode* node) const;
    TVxObjectNode* PrevObject(const TVxObjectNode* node) const;
    int OrderIndexOf(const TVxObjectNode* node) const;
    int FirstIndexOfRoom(int room) const;
    bool MoveEarlier(TVxObjectNode* node);
    bool MoveLater(TVxObjectNode* node);
    void SetOrderType(TOrderType type);

    // Every object in the object order.
    std::vector<TVxObjectNode*> ObjectsInOrder() const;
    // Writes the objects in order and the 0xFF end mark into the Room table; writes no
    // byte past the end of a table it is given.
    void ExportTables(std::span<std::uint8_t> room, std::span<std::uint8_t> x,
                      std::span<std::uint8_t> y, std::span<std::uint8_t> kind) const;
    // Every object anew from tables as ExportTables writes them (undo and redo); the nodes
    // that were here are gone.
    void Reload(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind);

private:
    void Read(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
              std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind);
    TVxObjectNode* ByRoomPrev(const TVxObjectNode* node) const;
    TVxObjectNode* LastBelowRoom(int room) const;
    void LinkAfter(TVxObjectNode* node, TVxObjectNode* predecessor);
    bool SwapWithChainPredecessor(TVxObjectNode* node);

    std::array<TVxObjectList, RoomCount> lists_;
};

} // namespace vx
