// Three stage texts apart by a line "%%" as base, ours and theirs of a merge. What reads must
// merge; a merge without conflicts must read back as what it holds, one with conflicts must be
// refused by the reader until they are resolved.
#include "core/text/StageText.h"
#include "core/text/StageTextMerge.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::array<std::optional<StageText>, 3> sides;
    for (std::optional<StageText>& side : sides) {
        const std::size_t cut = std::min(rest.find("\n%%\n"), rest.size());
        Result<StageText> read = readStageText(rest.substr(0, cut), "side.json");
        if (!read.ok())
            return 0;
        side = std::move(read.value());
        rest.remove_prefix(std::min(cut + 4, rest.size()));
    }
    const Result<StageTextMerge> merge = mergeStageTexts(*sides[0], *sides[1], *sides[2]);
    if (!merge.ok())
        return sides[0]->stage != sides[1]->stage || sides[2]->stage != sides[1]->stage ? 0 : (std::abort(), 0);
    const Result<StageText> merged = readStageText(stageTextMergeToJson(merge.value()), "merged.json");
    if (merge.value().conflicts.empty() ? !merged.ok() || !merged.value().sameStage(merge.value().merged)
                                        : merged.ok() || merged.error().path != "/conflicts")
        std::abort();
    return 0;
}
