#include "tools/StageTextCommands.h"

#include "core/AddressData.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
#include "core/InputFile.h"
#include "core/Language.h"
#include "core/OutputFile.h"
#include "core/RomImgManager.h"
#include "core/StageText.h"
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
class TMadeFolders {
public:
    explicit TMadeFolders(const std::string& out)
    {
        std::filesystem::path folder(out);
        if (!folder.has_filename()) // "stages/"
            folder = folder.parent_path();
        for (; !folder.empty() && !PathExists(folder.string()); folder = folder.parent_path())
            made_.push_back(folder);
    }
    ~TMadeFolders()
    {
        std::error_code ignored;
        for (const std::filesystem::path& folder : made_) // the deepest first
            std::filesystem::remove(folder, ignored);      // fails on a folder that is not empty
    }
    TMadeFolders(const TMadeFolders&) = delete;
    TMadeFolders& operator=(const TMadeFolders&) = delete;
    void Keep() { made_.clear(); }

private:
    std::vector<std::filesystem::path> made_;
};

} // namespace

int ExportStages(const TToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    std::vector<int> stages;
    for (int stage = 0; stage < StageCount; ++stage)
        if (!request.stage || *request.stage == stage)
            stages.push_back(stage);
    TMadeFolders made(request.out);
    std::error_code error;
    std::filesystem::create_directories(request.out, error);
    if (error)
        return Refused(request.out + Tr(": フォルダを作れません: ", ": the folder cannot be made: ") +
                       Sentence(error.message()) + Tr("何も書き込んでいません。", " Nothing was written."));
    if (!std::filesystem::is_directory(request.out))
        return Refused(request.out + Tr(" はフォルダではありません。何も書き込んでいません。",
                                        " is not a folder. Nothing was written."));
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
    made.Keep();
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
            return Refused(read.refusal.Message() + Tr("何も書き込んでいません。", " Nothing was written."));
        texts.push_back(std::move(*read.text));
    }
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, image))
        return ExitRefused;
    if (auto refused = ApplyStageTexts(rom, texts))
        return Refused(Sentence(*refused) + Tr("何も書き込んでいません。", " Nothing was written."));
    rom.SaveToFile(request.out);
    std::cout << "wrote " << request.out << " (" << rom.ImageSize() << " bytes)\n";
    return ExitOk;
}

} // namespace vx::tool
