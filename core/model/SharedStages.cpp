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

int firstSharer(const AddressData& addresses, SharedGroup group, int stage)
{
    const int source = shareSource(addresses, group, stage);
    return source < 0 ? stage : source;
}

int stepOwner(const AddressData& addresses, SharedGroup group, int stage, int current)
{
    const TableKey key = decidingKey(group);
    const bool shares =
        current >= 0 && current < StageCount && addresses.address(key, current) == addresses.address(key, stage);
    return shares ? current : firstSharer(addresses, group, stage);
}

} // namespace vx
