#pragma once

namespace vx {

class PlacedObject;
class StageData;
class StageObjects;

// What the object page points at: the edited list and objects in it. The page and its
// panel share one; a pointer must go before its object is destroyed.
struct ObjectPicks {
    int objectType = 0; // 0 enemies, 1 items
    const PlacedObject* selected = nullptr;
    const PlacedObject* hovered = nullptr;
    const PlacedObject* lastHovered = nullptr;
    // The object under the right click that opened the views' menu.
    const PlacedObject* popupObject = nullptr;

    const StageObjects& editedObjects(const StageData& stage) const;
    // Drops every object, for lists built anew or another list shown.
    void clear();
    // Drops an object about to be destroyed wherever it is held.
    void forget(const PlacedObject* object);
};

} // namespace vx
