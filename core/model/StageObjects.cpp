#include "core/model/StageObjects.h"

#include <algorithm>

namespace vx {

PlacedObject::PlacedObject(PlacedObject* next, PlacedObject* prev, std::uint8_t room, std::uint8_t x, std::uint8_t y,
                           std::uint8_t kind)
    : room(room), x(x), y(y), kind(kind), next_(next), prev_(prev)
{
}

PlacedObject::~PlacedObject()
{
    if (next_)
        next_->prev_ = prev_;
    if (prev_)
        prev_->next_ = next_;
    next_ = nullptr;
    prev_ = nullptr;
}

// ---- RoomObjectList ----

int RoomObjectList::indexOf(const PlacedObject* node) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == node)
            return static_cast<int>(i);
    return -1;
}

void RoomObjectList::append(std::unique_ptr<PlacedObject> node) { items_.push_back(std::move(node)); }

std::unique_ptr<PlacedObject> RoomObjectList::extract(PlacedObject* node)
{
    const int index = indexOf(node);
    if (index < 0)
        return nullptr;
    std::unique_ptr<PlacedObject> taken = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    return taken;
}

void RoomObjectList::erase(PlacedObject* node) { extract(node).reset(); }

void RoomObjectList::move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    std::unique_ptr<PlacedObject> node = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(node));
}

std::vector<PlacedObject*> RoomObjectList::releaseAll()
{
    std::vector<PlacedObject*> nodes;
    for (auto& item : items_)
        nodes.push_back(item.release());
    items_.clear();
    return nodes;
}

void RoomObjectList::sortByX()
{
    if (manager && manager->orderType == otFree)
        return;
    if (!items_.empty())
        quickSort(0, count() - 1);
}

void RoomObjectList::quickSort(int left, int right)
{
    auto compare = [](const PlacedObject* a, const PlacedObject* b) {
        return static_cast<int>(a->x) - static_cast<int>(b->x);
    };
    int i;
    do {
        i = left;
        int j = right;
        // The pivot is the node, not its index: swaps may move it.
        const PlacedObject* pivot = items_[static_cast<std::size_t>((left + right) / 2)].get();
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
            quickSort(left, j);
        left = i;
    } while (i < right);
}

// ---- StageObjects ----

StageObjects::StageObjects(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                           std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind, int capacity)
    : capacity(capacity)
{
    for (RoomObjectList& list : lists_)
        list.manager = this;
    read(room, x, y, kind);
}

void StageObjects::read(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                        std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind)
{
    auto at = [](std::span<const std::uint8_t> table, std::size_t i) -> std::uint8_t {
        return i < table.size() ? table[i] : 0;
    };
    PlacedObject* previous = nullptr;
    for (std::size_t i = 0; i < room.size() && static_cast<int>(i) < capacity; ++i) {
        if (room[i] >= RoomCount)
            break;
        auto node = std::make_unique<PlacedObject>(nullptr, previous, room[i], at(x, i), at(y, i), at(kind, i));
        if (previous) {
            previous->next_ = node.get();
            if (node->room < previous->room)
                orderType = otFree;
        } else {
            head_ = node.get();
        }
        previous = node.get();
        lists_[node->room].append(std::move(node));
    }
    tail_ = previous;
}

void StageObjects::reload(std::span<const std::uint8_t> room, std::span<const std::uint8_t> x,
                          std::span<const std::uint8_t> y, std::span<const std::uint8_t> kind)
{
    // The user's choice of the free order outlives the objects.
    const OrderType kept = orderType;
    for (RoomObjectList& list : lists_)
        for (PlacedObject* node : list.releaseAll())
            delete node;
    head_ = tail_ = nullptr;
    orderType = otByRoom;
    read(room, x, y, kind);
    if (kept == otFree)
        orderType = otFree;
}

int StageObjects::totalCount() const
{
    int total = 0;
    for (const RoomObjectList& list : lists_)
        total += list.count();
    return total;
}

const PlacedObject* StageObjects::lastBelowRoom(int room) const
{
    for (int r = std::min(room, RoomCount) - 1; r >= 0; --r)
        if (!lists_[r].empty())
            return lists_[r].last();
    return nullptr;
}

void StageObjects::linkAfter(PlacedObject* node, PlacedObject* predecessor)
{
    node->prev_ = predecessor;
    node->next_ = predecessor ? predecessor->next_ : head_;
    if (node->next_)
        node->next_->prev_ = node;
    else
        tail_ = node;
    if (predecessor)
        predecessor->next_ = node;
    else
        head_ = node;
}

bool StageObjects::addObject(std::uint8_t room, std::uint8_t x, std::uint8_t y, std::uint8_t kind)
{
    if (totalCount() >= capacity || room >= RoomCount)
        return false;
    // The predecessor is the by-room one whatever the order: the last object of this
    // room, else of the nearest lower room that has one.
    PlacedObject* predecessor = lists_[room].empty() ? mutableNode(lastBelowRoom(room)) : lists_[room].last();
    auto node = std::make_unique<PlacedObject>(nullptr, nullptr, room, x, y, kind);
    linkAfter(node.get(), predecessor);
    lists_[room].append(std::move(node));
    return true;
}

void StageObjects::removeObject(PlacedObject* node)
{
    if (node == nullptr || node->room >= RoomCount)
        return;
    if (node == head_)
        head_ = node->next_;
    if (node == tail_)
        tail_ = node->prev_;
    lists_[node->room].erase(node);
}

void StageObjects::moveToRoom(PlacedObject* node, std::uint8_t room)
{
    if (node == nullptr || room >= RoomCount || node->room >= RoomCount)
        return;
    std::unique_ptr<PlacedObject> taken = lists_[node->room].extract(node);
    if (!taken)
        return;
    taken->room = room;
    lists_[room].append(std::move(taken));
}

const PlacedObject* StageObjects::nextObject(const PlacedObject* node) const
{
    if (orderType == otFree)
        return node->next_;
    const RoomObjectList& list = lists_[node->room];
    const int index = list.indexOf(node);
    if (index < list.count() - 1)
        return list.items(index + 1);
    for (int r = node->room + 1; r < RoomCount; ++r)
        if (!lists_[r].empty())
            return lists_[r].first();
    return nullptr;
}

const PlacedObject* StageObjects::byRoomPrev(const PlacedObject* node) const
{
    const int index = lists_[node->room].indexOf(node);
    if (index >= 1)
        return lists_[node->room].items(index - 1);
    return lastBelowRoom(node->room);
}

const PlacedObject* StageObjects::prevObject(const PlacedObject* node) const
{
    return orderType == otFree ? node->prev_ : byRoomPrev(node);
}

int StageObjects::orderIndexOf(const PlacedObject* node) const
{
    if (orderType == otFree) {
        int steps = 0;
        for (const PlacedObject* n = head_; n; n = n->next_, ++steps)
            if (n == node)
                return steps;
        return -1;
    }
    return firstIndexOfRoom(node->room) + lists_[node->room].indexOf(node);
}

int StageObjects::firstIndexOfRoom(int room) const
{
    int count = 0;
    if (orderType == otFree) {
        // Counting stops at the first object of that room or later, even if lower rooms
        // follow further on in the chain.
        for (const PlacedObject* n = head_; n && n->room < room; n = n->next_)
            ++count;
        return count;
    }
    for (int r = 0; r < std::min(room, RoomCount); ++r)
        count += lists_[r].count();
    return count;
}

bool StageObjects::swapWithChainPredecessor(PlacedObject* node)
{
    PlacedObject* predecessor = node->prev_;
    if (predecessor == nullptr)
        return false;
    PlacedObject* before = predecessor->prev_;
    PlacedObject* after = node->next_;
    // before <-> node <-> predecessor <-> after
    node->prev_ = before;
    node->next_ = predecessor;
    predecessor->prev_ = node;
    predecessor->next_ = after;
    if (before)
        before->next_ = node;
    else
        head_ = node;
    if (after)
        after->prev_ = predecessor;
    else
        tail_ = predecessor;
    return true;
}

bool StageObjects::moveEarlier(PlacedObject* node)
{
    if (orderType == otFree)
        return swapWithChainPredecessor(node);
    RoomObjectList& list = lists_[node->room];
    const int index = list.indexOf(node);
    if (index <= 0)
        return false;
    list.move(index, index - 1);
    return true;
}

bool StageObjects::moveLater(PlacedObject* node)
{
    if (orderType == otFree)
        return node->next_ != nullptr && swapWithChainPredecessor(node->next_);
    RoomObjectList& list = lists_[node->room];
    const int index = list.indexOf(node);
    if (index < 0 || index >= list.count() - 1)
        return false;
    list.move(index, index + 1);
    return true;
}

void StageObjects::setOrderType(OrderType type)
{
    if (type == orderType)
        return;
    orderType = type;
    if (type == otFree) {
        PlacedObject* previous = nullptr;
        head_ = nullptr;
        for (RoomObjectList& list : lists_) {
            for (int i = 0; i < list.count(); ++i) {
                PlacedObject* node = list.items(i);
                node->prev_ = previous;
                node->next_ = nullptr;
                if (previous)
                    previous->next_ = node;
                else
                    head_ = node;
                previous = node;
            }
        }
        tail_ = previous;
        return;
    }
    // Every node stands in the chain, so releasing the lists and re-adding the chain's
    // nodes hands each one back to exactly one list.
    for (RoomObjectList& list : lists_)
        list.releaseAll();
    for (PlacedObject* node = head_; node; node = node->next_)
        lists_[node->room].append(std::unique_ptr<PlacedObject>(node));
}

std::vector<const PlacedObject*> StageObjects::objectsInOrder() const
{
    std::vector<const PlacedObject*> order;
    if (orderType == otFree) {
        for (const PlacedObject* node = head_; node; node = node->next_)
            order.push_back(node);
    } else {
        for (const RoomObjectList& list : lists_)
            for (int i = 0; i < list.count(); ++i)
                order.push_back(list.items(i));
    }
    return order;
}

std::vector<PlacedObject*> StageObjects::objectsInOrder()
{
    std::vector<PlacedObject*> order;
    for (const PlacedObject* node : std::as_const(*this).objectsInOrder())
        order.push_back(mutableNode(node));
    return order;
}

void StageObjects::replaceAll(std::span<const ObjectPlacement> objects)
{
    const bool wasFree = orderType == otFree;
    for (PlacedObject* node : objectsInOrder())
        removeObject(node);
    setOrderType(otByRoom);
    // Added by room, each object ends its room's list, so every room holds its objects in
    // their given order; an order that is not by room then needs the free one.
    std::vector<PlacedObject*> nodes;
    for (const ObjectPlacement& o : objects) {
        if (!addObject(o.room, o.x, o.y, o.kind))
            continue;
        nodes.push_back(lists_[o.room].last());
    }
    if (!wasFree && std::ranges::is_sorted(objects, {}, &ObjectPlacement::room))
        return;
    setOrderType(otFree);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int at = orderIndexOf(nodes[i]); at > static_cast<int>(i); --at)
            moveEarlier(nodes[i]);
}

void StageObjects::exportTables(std::span<std::uint8_t> room, std::span<std::uint8_t> x, std::span<std::uint8_t> y,
                                std::span<std::uint8_t> kind) const
{
    auto put = [](std::span<std::uint8_t> table, std::size_t i, std::uint8_t value) {
        if (i < table.size())
            table[i] = value;
    };
    const std::vector<const PlacedObject*> order = objectsInOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        put(room, i, order[i]->room);
        put(x, i, order[i]->x);
        put(y, i, order[i]->y);
        put(kind, i, order[i]->kind);
    }
    put(room, order.size(), ObjectListEnd);
}

} // namespace vx
