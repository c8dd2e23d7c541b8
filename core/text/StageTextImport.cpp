#include "core/text/StageTextImport.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace vx {
namespace {

auto findingKey(const Finding& finding)
{
    return std::tuple(static_cast<int>(finding.severity), finding.stage, static_cast<int>(finding.place), finding.index,
                      finding.text);
}

// The findings of `after` that `before` does not hold, counted as a multiset.
std::vector<Finding> added(const std::vector<Finding>& before, const std::vector<Finding>& after)
{
    std::multiset<decltype(findingKey(before.front()))> old;
    for (const Finding& finding : before)
        old.insert(findingKey(finding));
    std::vector<Finding> fresh;
    for (const Finding& finding : after) {
        const auto at = old.find(findingKey(finding));
        if (at != old.end())
            old.erase(at);
        else
            fresh.push_back(finding);
    }
    return fresh;
}

std::size_t differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, std::int32_t address,
                      std::int32_t length)
{
    std::size_t count = 0;
    for (std::int32_t i = std::max(address, 0); i < address + length && static_cast<std::size_t>(i) < a.size(); ++i)
        count += a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)];
    return count;
}

} // namespace

Result<ImportPreview> previewStageTexts(RomImage& rom, const std::vector<StageText>& texts)
{
    if (!rom.isLoaded())
        return Error{localized("イメージが開かれていません。", "No image is open.")};
    const std::vector<std::uint8_t> before = rom.editedImage();
    RomImage copy(rom.addresses());
    if (Result<void> loaded = copy.loadFromBytes(before, rom.fileName()); !loaded.ok())
        return loaded.error();
    std::vector<std::vector<Finding>> found;
    for (int stage = 0; stage < StageCount; ++stage)
        found.push_back(checkStage(copy, stage));
    if (Result<void> applied = applyStageTexts(copy, texts); !applied.ok())
        return applied.error();
    const std::vector<std::uint8_t> after = copy.editedImage();

    ImportPreview preview;
    std::set<std::int32_t> counted; // addresses of tables already summed up
    for (int stage = 0; stage < StageCount; ++stage) {
        if (!copy.stage(stage).editedFlags().any())
            continue;
        preview.changedStages.push_back(stage);
        for (const Finding& finding : added(found[static_cast<std::size_t>(stage)], checkStage(copy, stage))) {
            if (finding.severity == Severity::Error)
                preview.newErrors.push_back(finding);
            else if (finding.severity == Severity::Warning)
                preview.newWarnings.push_back(finding);
        }
        std::string line;
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int32_t address = copy.addresses().address(key, stage);
            const std::size_t bytes = differing(before, after, address, infoOf(key).length);
            if (bytes == 0 || !counted.insert(address).second)
                continue;
            line += (line.empty() ? "" : ", ") + std::string(infoOf(key).name) + " " + std::to_string(bytes) +
                (bytes == 1 ? " byte" : " bytes");
        }
        preview.summary.push_back("stage " + formatHex(static_cast<std::uint32_t>(stage), 2) + ": " +
                                  (line.empty() ? "no bytes changed" : line));
    }
    return preview;
}

} // namespace vx
