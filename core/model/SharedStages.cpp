#include "core/model/SharedStages.h"

namespace vx {

std::vector<int> stagesSharing(const AddressData& addresses, SharedGroup group, int stage)
{
    const TableKey key = decidingKey(group);
    std::vector<int> stages;
    for (int s = 0; s < StageCount; ++s)
        if (addresses.address(key, s) == addresses.address(key, stage))
            stages.push_back(s);
    return stages;
}

} // namespace vx
