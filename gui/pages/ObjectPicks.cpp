#include "gui/pages/ObjectPicks.h"

#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

namespace vx {

const StageObjects& ObjectPicks::editedObjects(const StageData& stage) const
{
    return objectType == 0 ? stage.enemyObjects() : stage.itemObjects();
}

void ObjectPicks::clear() { selected = hovered = lastHovered = popupObject = nullptr; }

void ObjectPicks::forget(const PlacedObject* object)
{
    for (const PlacedObject** reference : {&selected, &hovered, &lastHovered, &popupObject})
        if (*reference == object)
            *reference = nullptr;
}

} // namespace vx
