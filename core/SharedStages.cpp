#include "core/SharedStages.h"

namespace vx {

std::vector<int> StagesSharing(const TAddressData& addresses, SharedGroup group, int stage)
{
    const TableKey key = DecidingKey(group);
    std::vector<int> stages;
    for (int s = 0; s < StageCount; ++s)
        if (addresses.Address(key, s) == addresses.Address(key, stage))
            stages.push_back(s);
    return stages;
}

} // namespace vx
