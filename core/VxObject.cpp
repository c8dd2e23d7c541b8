#include "core/VxObject.h"

#include <algorithm>

namespace vx {

TVxObjectNode::TVxObjectNode(TVxObjectNode* next, TVxObjectNode* prev, std::uint8_t room,
                             std::uint8_t x, std::uint8_t y, std::uint8_t kind)
    : Next(next), Prev(prev), Room(room), X(x), Y(y), Kind(kind)
{
}

TVxObjectNode::~TVxObjectNode()
{
    if (Next)
        Next->Prev = Prev;
    if (Prev)
        Prev->Next = Next;
    Next = nullptr;
    Prev = nullptr;
}

// ---- TVxObjectList ----

int TVxObjectList::IndexOf(const TVxObjectNode* node) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == node)
            return static_cast<int>(i);
    return -1;
}

void TVxObjectList::Append(std::unique_ptr<TVxObjectNode> node) { items_.push_back(std::move(node)); }

std::unique_ptr<TVxObjectNode> TVxObjectList::Extract(TVxObjectNode* node)
{
    const int index = IndexOf(node);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TVxObjectNode> taken = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    return taken;
}

void TVxObjectList::Delete(TVxObjectNode* node) { Extract(node).reset(); }

void TVxObjectList::Move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count())
        return;
    std::unique_ptr<TVxObjectNode> node = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(node));
}

std::vector<TVxObjectNode*> TVxObjectList::ReleaseAll()
{
    std::vector<TVxObjectNode*> nodes;
    for (auto& item : items_)
        nodes.push_back(item.release());
    items_.clear();
    return nodes;
}

void TVxObjectList::SortByX()
{
    if (Manager && Manager->OrderType == otFree)
        return;
    if (!items_.empty())
        QuickSort(0, Count() - 1);
}

void TVxObjectList::QuickSort(int left, int right)
{
    auto compare = [](const TVxObjectNode* a, const TVxObjectNode* b) {
        return static_cast<int>(a->X) - static_cast<int>(b->X);
    };
    int i;
    do {
        i = left;
        int j = right;
        // The pivot is the node, not its index: swaps may move it.
        const TVxObjectNode* pivot = items_[static_cast<std::size_t>((left + right) / 2)].get();
        do {
            while (compare(items_[static_cast<std::size_t>(i)].get(), pivot) < 0)
                ++i;
            while (compare(items_[static_cast<std::size_t>(j)].get(), pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(left, j);
        left = i;
    } while (i < right);
}

// ---- TVxObjectManager ----

TVxObjectManager::TVxObjectManager(std::span<const std::uint8_t> room,
                                   std::span<const std::uint8_t> x,
                                   std::span<const std::uint8_t> y,
                                   std::span<const std::uint8_t> kind, int capacity)
    : Capacity(capacity)
{
    for (TVxObjectList& list : lists_)
        list.Manager = this;
    Read(room, x, y, kind);
}

void TVxObjectManager::Read(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                            std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind)
{
    auto at = [](std::span<const std::uint8_t> table, std::size_t i) -> std::uint8_t {
        return i < table.size() ? table[i] : 0;
    };
    TVxObjectNode* previous = nullptr;
    for (std::size_t i = 0; i < room.size() && static_cast<int>(i) < Capacity; ++i) {
        if (room[i] >= RoomCount)
            break;
        auto node = std::make_unique<TVxObjectNode>(nullptr, previous, room[i], at(x, i), at(y, i),
                                                    at(kind, i));
        if (previous) {
            previous->Next = node.get();
            if (node->Room < previous->Room)
                OrderType = otFree;
        } else {
            Head = node.get();
        }
        previous = node.get();
        lists_[node->Room].Append(std::move(node));
    }
    Tail = previous;
}

void TVxObjectManager::Reload(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                              std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind)
{
    // The user's choice of the free order outlives the objects.
    const TOrderType kept = OrderType;
    for (TVxObjectList& list : lists_)
        for (TVxObjectNode* node : list.ReleaseAll())
            delete node;
    Head = Tail = nullptr;
    OrderType = otByRoom;
    Read(room, x, y, kind);
    if (kept == otFree)
        OrderType = otFree;
}

int TVxObjectManager::TotalCount() const
{
    int total = 0;
    for (const TVxObjectList& list : lists_)
        total += list.Count();
    return total;
}

TVxObjectNode* TVxObjectManager::LastBelowRoom(int room) const
{
    for (int r = std::min(room, RoomCount) - 1; r >= 0; --r)
        if (!lists_[r].Empty())
            return lists_[r].Last();
    return nullptr;
}

void TVxObjectManager::LinkAfter(TVxObjectNode* node, TVxObjectNode* predecessor)
{
    node->Prev = predecessor;
    node->Next = predecessor ? predecessor->Next : Head;
    if (node->Next)
        node->Next->Prev = node;
    else
        Tail = node;
    if (predecessor)
        predecessor->Next = node;
    else
        Head = node;
}

bool TVxObjectManager::AddObject(std::uint8_t room, std::uint8_t x, std::uint8_t y,
                                 std::uint8_t kind)
{
    if (TotalCount() >= Capacity || room >= RoomCount)
        return false;
    // The predecessor is the by-room one whatever the order: the last object of this
    // room, else of the nearest lower room that has one.
    TVxObjectNode* predecessor =
        lists_[room].Empty() ? LastBelowRoom(room) : lists_[room].Last();
    auto node = std::make_unique<TVxObjectNode>(nullptr, nullptr, room, x, y, kind);
    LinkAfter(node.get(), predecessor);
    lists_[room].Append(std::move(node));
    return true;
}

void TVxObjectManager::RemoveObject(TVxObjectNode* node)
{
    if (node == nullptr || node->Room >= RoomCount)
        return;
    if (node == Head)
        Head = node->Next;
    if (node == Tail)
        Tail = node->Prev;
    lists_[node->Room].Delete(node);
}

void TVxObjectManager::MoveToRoom(TVxObjectNode* node, std::uint8_t room)
{
    if (node == nullptr || room >= RoomCount || node->Room >= RoomCount)
        return;
    std::unique_ptr<TVxObjectNode> taken = lists_[node->Room].Extract(node);
    if (!taken)
        return;
    taken->Room = room;
    lists_[room].Append(std::move(taken));
}

TVxObjectNode* TVxObjectManager::NextObject(const TVxObjectNode* node) const
{
    if (OrderType == otFree)
        return node->Next;
    const TVxObjectList& list = lists_[node->Room];
    const int index = list.IndexOf(node);
    if (index < list.Count() - 1)
        return list.Items(index + 1);
    for (int r = node->Room + 1; r < RoomCount; ++r)
        if (!lists_[r].Empty())
            return lists_[r].First();
    return nullptr;
}

TVxObjectNode* TVxObjectManager::ByRoomPrev(const TVxObjectNode* node) const
{
    const int index = lists_[node->Room].IndexOf(node);
    if (index >= 1)
        return lists_[node->Room].Items(index - 1);
    return LastBelowRoom(node->Room);
}

TVxObjectNode* TVxObjectManager::PrevObject(const TVxObjectNode* node) const
{
    return OrderType == otFree ? node->Prev : ByRoomPrev(node);
}

int TVxObjectManager::OrderIndexOf(const TVxObjectNode* node) const
{
    if (OrderType == otFree) {
        int steps = 0;
        for (const TVxObjectNode* n = Head; n; n = n->Next, ++steps)
            if (n == node)
                return steps;
        return -1;
    }
    return FirstIndexOfRoom(node->Room) + lists_[node->Room].IndexOf(node);
}

int TVxObjectManager::FirstIndexOfRoom(int room) const
{
    int count = 0;
    if (OrderType == otFree) {
        // Counting stops at the first object of that room or later, even if lower rooms
        // follow further on in the chain.
        for (const TVxObjectNode* n = Head; n && n->Room < room; n = n->Next)
            ++count;
        return count;
    }
    for (int r = 0; r < std::min(room, RoomCount); ++r)
        count += lists_[r].Count();
    return count;
}

bool TVxObjectManager::SwapWithChainPredecessor(TVxObjectNode* node)
{
    TVxObjectNode* predecessor = node->Prev;
    if (predecessor == nullptr)
        return false;
    TVxObjectNode* before = predecessor->Prev;
    TVxObjectNode* after = node->Next;
    // before <-> node <-> predecessor <-> after
    node->Prev = before;
    node->Next = predecessor;
    predecessor->Prev = node;
    predecessor->Next = after;
    if (before)
        before->Next = node;
    else
        Head = node;
    if (after)
        after->Prev = predecessor;
    else
        Tail = predecessor;
    return true;
}

bool TVxObjectManager::MoveEarlier(TVxObjectNode* node)
{
    if (OrderType == otFree)
        return SwapWithChainPredecessor(node);
    TVxObjectList& list = lists_[node->Room];
    const int index = list.IndexOf(node);
    if (index <= 0)
        return false;
    list.Move(index, index - 1);
    return true;
}

bool TVxObjectManager::MoveLater(TVxObjectNode* node)
{
    if (OrderType == otFree)
        return node->Next != nullptr && SwapWithChainPredecessor(node->Next);
    TVxObjectList& list = lists_[node->Room];
    const int index = list.IndexOf(node);
    if (index < 0 || index >= list.Count() - 1)
        return false;
    list.Move(index, index + 1);
    return true;
}

void TVxObjectManager::SetOrderType(TOrderType type)
{
    if (type == OrderType)
        return;
    OrderType = type;
    if (type == otFree) {
        TVxObjectNode* previous = nullptr;
        Head = nullptr;
        for (TVxObjectList& list : lists_) {
            for (int i = 0; i < list.Count(); ++i) {
                TVxObjectNode* node = list.Items(i);
                node->Prev = previous;
                node->Next = nullptr;
                if (previous)
                    previous->Next = node;
                else
                    Head = node;
                previous = node;
            }
        }
        Tail = previous;
        return;
    }
    // Every node stands in the chain, so releasing the lists and re-adding the chain's
    // nodes hands each one back to exactly one list.
    for (TVxObjectList& list : lists_)
        list.ReleaseAll();
    for (TVxObjectNode* node = Head; node; node = node->Next)
        lists_[node->Room].Append(std::unique_ptr<TVxObjectNode>(node));
}

std::vector<TVxObjectNode*> TVxObjectManager::ObjectsInOrder() const
{
    std::vector<TVxObjectNode*> order;
    if (OrderType == otFree) {
        for (TVxObjectNode* node = Head; node; node = node->Next)
            order.push_back(node);
    } else {
        for (const TVxObjectList& list : lists_)
            for (int i = 0; i < list.Count(); ++i)
                order.push_back(list.Items(i));
    }
    return order;
}

void TVxObjectManager::ExportTables(std::span<std::uint8_t> room, std::span<std::uint8_t> x,
                                    std::span<std::uint8_t> y, std::span<std::uint8_t> kind) const
{
    auto put = [](std::span<std::uint8_t> table, std::size_t i, std::uint8_t value) {
        if (i < table.size())
            table[i] = value;
    };
    const std::vector<TVxObjectNode*> order = ObjectsInOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        put(room, i, order[i]->Room);
        put(x, i, order[i]->X);
        put(y, i, order[i]->Y);
        put(kind, i, order[i]->Kind);
    }
    put(room, order.size(), ObjectListEnd);
}

} // namespace vx
