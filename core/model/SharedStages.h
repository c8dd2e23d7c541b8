#pragma once
#include <vector>

#include "core/model/StageData.h"

namespace vx {

// Every stage whose table of the group lies where this stage's does, this stage included,
// in ascending order: the stages an edit of that table changes.
std::vector<int> stagesSharing(const AddressData& addresses, SharedGroup group, int stage);

// The first stage of those sharing the stage's table of the group: the table's name.
int firstSharer(const AddressData& addresses, SharedGroup group, int stage);
// The stage whose history takes a step changing that table: the current stage where it
// shares it (so its Undo finds the step on top), else the first sharer.
int stepOwner(const AddressData& addresses, SharedGroup group, int stage, int current);

} // namespace vx
