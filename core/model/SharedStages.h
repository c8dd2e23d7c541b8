#pragma once
#include <vector>

#include "core/model/StageData.h"

namespace vx {

// Every stage whose table of the group lies where this stage's does, this stage included,
// in ascending order: the stages an edit of that table changes.
std::vector<int> stagesSharing(const AddressData& addresses, SharedGroup group, int stage);

} // namespace vx
