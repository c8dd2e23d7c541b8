#include "tools/MergeCommand.h"

#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/text/StageText.h"
#include "core/text/StageTextMerge.h"
#include "tools/ToolCommands.h"

#include <iostream>

namespace vx::tool {

int mergeStages(const ToolRequest& request)
{
    const EnglishTexts english;
    // All three are read and checked before OURS is touched.
    std::vector<StageText> texts;
    for (const std::string& file : request.files) {
        const std::vector<std::uint8_t> bytes = readInputFile(file, InputKind::Text);
        Result<StageText> read =
            readStageText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
        if (!read.ok())
            return exitRefused(read.error().text() + " Nothing was written.");
        texts.push_back(std::move(read.value()));
    }
    const Result<StageTextMerge> merge = mergeStageTexts(texts[0], texts[1], texts[2]);
    if (!merge.ok())
        return exitRefused(merge.error().text() + " Nothing was written.");
    const std::string& ours = request.files[1];
    const std::string text = stageTextMergeToJson(merge.value());
    writeOutputFile(ours, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    const std::vector<std::string>& conflicts = merge.value().conflicts;
    if (conflicts.empty())
        return ExitOk;
    for (const std::string& conflict : conflicts)
        std::cerr << ours << ": conflict: " << conflict << "\n";
    std::cerr << ours << ": " << conflicts.size() << (conflicts.size() == 1 ? " conflict" : " conflicts")
              << " listed under \"conflicts\"; ours' values stand there until resolved.\n";
    return ExitRefused;
}

} // namespace vx::tool
