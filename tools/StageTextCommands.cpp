#include "tools/StageTextCommands.h"

#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/text/StageText.h"
#include "core/text/StageTextImport.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

namespace vx::tool {
namespace {

// The folders export makes for --out, removed again (each only while empty) unless the
// export went through, so a refusal or failure leaves no trace.
class MadeFolders {
public:
    explicit MadeFolders(const std::string& out)
    {
        std::filesystem::path folder(out);
        if (!folder.has_filename()) // "stages/"
            folder = folder.parent_path();
        for (; !folder.empty() && !pathExists(folder.string()); folder = folder.parent_path())
            made_.push_back(folder);
    }
    ~MadeFolders()
    {
        std::error_code ignored;
        for (const std::filesystem::path& folder : made_) // the deepest first
            std::filesystem::remove(folder, ignored);     // fails on a folder that is not empty
    }
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    void keep() { made_.clear(); }

private:
    std::vector<std::filesystem::path> made_;
};

} // namespace

int exportStages(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    std::vector<int> stages;
    for (int stage = 0; stage < StageCount; ++stage)
        if (!request.stage || *request.stage == stage)
            stages.push_back(stage);
    MadeFolders made(request.out);
    std::error_code error;
    std::filesystem::create_directories(request.out, error);
    if (error)
        return exitRefused(request.out +
                           localized(": フォルダを作れませ"
                                     "ん: ",
                                     ": the folder cannot be made: ") +
                           sentence(error.message()) +
                           localized("何も書き込んでいません"
                                     "。",
                                     " Nothing was written."));
    if (!std::filesystem::is_directory(request.out))
        return exitRefused(request.out +
                           localized(" はフォルダではありません。何も書き込んでいません"
                                     "。",
                                     " is not a folder. Nothing was written."));
    // Every output is checked before the first is written: a refusal leaves the folder as it was.
    std::vector<std::string> outputs;
    for (int stage : stages) {
        outputs.push_back((std::filesystem::path(request.out) / stageTextFileName(stage)).string());
        if (auto refused = outputRefusal(outputs.back(), {image, request.settings}, request.force))
            return exitRefused(*refused);
    }
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const std::string text = stageToText(rom, stages[i]);
        writeOutputFile(outputs[i], std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        std::cout << "wrote " << outputs[i] << " (" << text.size() << " bytes)\n";
    }
    made.keep();
    return ExitOk;
}

int importStages(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    std::vector<std::string> inputs{image, request.settings};
    inputs.insert(inputs.end(), request.texts.begin(), request.texts.end());
    if (auto refused = outputRefusal(request.out, inputs, request.force))
        return exitRefused(*refused);
    // Every text is read and checked before the image is touched.
    std::vector<StageText> texts;
    for (const std::string& file : request.texts) {
        const std::vector<std::uint8_t> bytes = readInputFile(file, InputKind::Text);
        Result<StageText> read =
            readStageText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
        if (!read.ok())
            return exitRefused(read.error().text() +
                               localized("何も書き込んでいません"
                                         "。",
                                         " Nothing was written."));
        texts.push_back(std::move(read.value()));
    }
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    const Result<ImportPreview> preview = previewStageTexts(rom, texts);
    if (!preview.ok())
        return exitRefused(sentence(preview.error().text()) +
                           localized("何も書き込んでいません。", " Nothing was written."));
    for (const Finding& finding : preview.value().newErrors)
        std::cerr << findingLine(finding) << "\n";
    const std::size_t errors = preview.value().newErrors.size();
    if (errors > 0 && !request.allowErrors)
        return exitRefused("the stage check finds " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                           " the image did not have (above). Nothing was written; --allow-errors writes it anyway.");
    for (const Finding& finding : preview.value().newWarnings)
        std::cout << findingLine(finding) << "\n";
    if (const Result<void> applied = applyStageTexts(rom, texts); !applied.ok())
        return exitRefused(sentence(applied.error().text()) +
                           localized("何も書き込んでいません。", " Nothing was written."));
    rom.saveToFile(request.out);
    std::cout << "wrote " << request.out << " (" << rom.imageSize() << " bytes)\n";
    for (const std::string& line : preview.value().summary)
        std::cout << line << "\n";
    return ExitOk;
}

} // namespace vx::tool
