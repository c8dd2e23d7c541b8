#include "tools/StageTextCommands.h"

#include "core/AddressData.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
#include "core/InputFile.h"
#include "core/OutputFile.h"
#include "core/RomImgManager.h"
#include "core/StageText.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace vx::tool {

int ExportStages(const TToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    std::vector<int> stages;
    for (int stage = 0; stage < StageCount; ++stage)
        if (!request.stage || *request.stage == stage)
            stages.push_back(stage);
    std::error_code error;
    std::filesystem::create_directories(request.out, error);
    if (error || !std::filesystem::is_directory(request.out))
        return Refused(request.out + ": the folder cannot be made: " + error.message());
    // Every output is checked before the first is written: a refusal leaves the folder as it was.
    std::vector<std::string> outputs;
    for (int stage : stages) {
        outputs.push_back((std::filesystem::path(request.out) / ("stage-" + FormatHex(static_cast<std::uint32_t>(stage), 2) + ".json")).string());
        if (auto refused = OutputRefusal(outputs.back(), {image, request.settings}, request.force))
            return Refused(*refused);
    }
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, image))
        return ExitRefused;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const std::string text = StageToText(rom, stages[i]);
        WriteOutputFile(outputs[i], std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        std::cout << "wrote " << outputs[i] << " (" << text.size() << " bytes)\n";
    }
    return ExitOk;
}

int ImportStages(const TToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    std::vector<std::string> inputs{image, request.settings};
    inputs.insert(inputs.end(), request.texts.begin(), request.texts.end());
    if (auto refused = OutputRefusal(request.out, inputs, request.force))
        return Refused(*refused);
    // Every text is read and checked before the image is touched.
    std::vector<TStageText> texts;
    for (const std::string& file : request.texts) {
        const std::vector<std::uint8_t> bytes = ReadInputFile(file, TInputKind::Text);
        TStageTextResult read =
            ReadStageText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
        if (!read)
            return Refused(read.refusal.Message());
        texts.push_back(std::move(*read.text));
    }
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, image))
        return ExitRefused;
    if (auto refused = ApplyStageTexts(rom, texts))
        return Refused(*refused + " Nothing was written.");
    rom.SaveToFile(request.out);
    std::cout << "wrote " << request.out << " (" << rom.ImageSize() << " bytes)\n";
    return ExitOk;
}

} // namespace vx::tool
