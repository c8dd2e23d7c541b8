#include "tools/ProjectCommands.h"

#include "core/base/Language.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/text/Project.h"
#include "render/PaletteManager.h"
#include "render/TilePictures.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <system_error>

namespace vx::tool {
namespace {

namespace fs = std::filesystem;

std::string inFolder(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

Result<ProjectManifest> readManifest(const std::string& folder)
{
    const std::string file = inFolder(folder, std::string(ProjectManifestName));
    const std::vector<std::uint8_t> bytes = readInputFile(file, InputKind::Text);
    return readProjectManifest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
}

// The settings the stages were read with: --settings, else the file the manifest names, beside it.
ToolRequest withProjectSettings(const ToolRequest& request, const ProjectManifest& manifest)
{
    ToolRequest settled = request;
    if (settled.settings.empty() && !manifest.settings.empty())
        settled.settings = inFolder(request.files[0], manifest.settings);
    return settled;
}

InputKind inputKindOf(ProjectStepKind kind)
{
    switch (kind) {
    case ProjectStepKind::Patch: return InputKind::Patch;
    case ProjectStepKind::StageText:
    case ProjectStepKind::Palette: return InputKind::Text;
    case ProjectStepKind::TilePicture: return InputKind::Picture;
    }
    return InputKind::Text;
}

ProjectFiles readStepFiles(const std::string& folder, const ProjectManifest& manifest)
{
    ProjectFiles files;
    for (const ProjectStep& step : manifest.steps)
        files[step.file] = readInputFile(inFolder(folder, step.file), inputKindOf(step.kind));
    return files;
}

ConsoleColours coloursOf(const ToolRequest& request)
{
    const PaletteManager palette(colourFileOf(request));
    ConsoleColours colours{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = consoleColour(palette, static_cast<int>(i));
    return colours;
}

// A file an earlier unpack wrote that this one does not would stay and fail verify.
std::optional<std::string> leftOver(const std::string& folder, const std::vector<ProjectFile>& files)
{
    if (!fs::exists(inFolder(folder, std::string(ProjectManifestName))))
        return std::nullopt;
    Result<ProjectManifest> earlier = readManifest(folder);
    if (!earlier.ok())
        return std::nullopt;
    for (const ProjectStep& step : earlier.value().steps)
        if (std::ranges::none_of(files, [&](const ProjectFile& file) { return file.name == step.file; }) &&
            fs::exists(inFolder(folder, step.file)))
            return inFolder(folder, step.file) +
                " is left from an earlier unpack and this one does not write it: remove it first, or unpack into an "
                "empty folder. Nothing was written.";
    return std::nullopt;
}

// Builds in memory; the reason printed and nothing when refused.
std::optional<ProjectBuild> buildFolder(const ToolRequest& request, ProjectManifest& manifest,
                                        std::vector<std::uint8_t>& base)
{
    Result<ProjectManifest> read = readManifest(request.files[0]);
    if (!read.ok()) {
        exitRefused(read.error().text());
        return std::nullopt;
    }
    manifest = std::move(read.value());
    const auto addresses = loadAddresses(withProjectSettings(request, manifest));
    base = readInputFile(request.base, InputKind::Image);
    Result<ProjectBuild> built =
        buildProject(*addresses, manifest, base, readStepFiles(request.files[0], manifest), coloursOf(request));
    if (!built.ok()) {
        exitRefused(sentence(built.error().text()) +
                    localized("何も書き込んでいませ"
                              "ん。",
                              " Nothing was written."));
        return std::nullopt;
    }
    return std::move(built.value());
}

} // namespace

int unpackProjectFolder(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    const std::string& folder = request.files[1];
    const auto addresses = loadAddresses(request);
    const std::vector<std::uint8_t> bytes = readInputFile(image, InputKind::Image);
    const std::vector<std::uint8_t> base = readInputFile(request.base, InputKind::Image);
    std::string settings;
    if (!request.settings.empty())
        settings = fs::absolute(request.settings).lexically_relative(fs::absolute(folder)).generic_string();
    Result<std::vector<ProjectFile>> files = unpackProject(
        *addresses, bytes, base, fs::path(request.base).filename().string(), settings, coloursOf(request));
    if (!files.ok())
        return exitRefused(sentence(files.error().text()) + " Nothing was written.");
    if (auto refused = leftOver(folder, files.value()))
        return exitRefused(*refused);
    // Every output is checked before the first is written.
    for (const ProjectFile& file : files.value())
        if (auto refused =
                outputRefusal(inFolder(folder, file.name), {image, request.base, request.settings}, request.force))
            return exitRefused(*refused);
    for (const ProjectFile& file : files.value()) {
        const std::string path = inFolder(folder, file.name);
        std::error_code error;
        fs::create_directories(fs::path(path).parent_path(), error);
        if (error)
            return exitRefused(path + ": the folder cannot be made: " + sentence(error.message()));
        writeOutputFile(path, file.bytes);
    }
    std::cout << "wrote " << files.value().size() << " files into " << folder << "\n";
    return ExitOk;
}

int buildProjectFolder(const ToolRequest& request)
{
    const EnglishTexts english;
    if (auto refused = outputRefusal(request.out, {request.base, request.settings, request.report}, request.force))
        return exitRefused(*refused);
    ProjectManifest manifest;
    std::vector<std::uint8_t> base;
    std::optional<ProjectBuild> build = buildFolder(request, manifest, base);
    if (!build)
        return ExitRefused;
    for (const Finding& finding : build->newErrors)
        std::cerr << findingLine(finding) << "\n";
    const std::size_t errors = build->newErrors.size();
    if (errors > 0 && !request.allowErrors)
        return exitRefused("the stage check finds " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                           " the base did not have (above). Nothing was written; --allow-errors writes it anyway.");
    for (const Finding& finding : build->newWarnings)
        std::cout << findingLine(finding) << "\n";
    writeImageFile(request.out, build->image);
    std::cout << "input " << request.base << " sha256 " << build->inputSha256 << "\n"
              << "output " << request.out << " sha256 " << build->outputSha256 << "\n";
    for (const std::string& line : build->summary)
        std::cout << line << "\n";
    if (!request.report.empty()) {
        nlohmann::ordered_json report{{"input", {{"file", request.base}, {"sha256", build->inputSha256}}},
                                      {"output", {{"file", request.out}, {"sha256", build->outputSha256}}},
                                      {"changed", build->summary}};
        const std::string text = report.dump(2) + "\n";
        writeOutputFile(request.report, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    if (!request.expect.empty() && request.expect != build->outputSha256)
        return exitRefused(request.out + " has SHA-256 " + build->outputSha256 + ", not the expected " +
                           request.expect + ".");
    return ExitOk;
}

int verifyProjectFolder(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& folder = request.files[0];
    ProjectManifest manifest;
    std::vector<std::uint8_t> base;
    std::optional<ProjectBuild> build = buildFolder(request, manifest, base);
    if (!build)
        return ExitRefused;
    const auto addresses = loadAddresses(withProjectSettings(request, manifest));
    Result<std::vector<ProjectFile>> expected =
        unpackProject(*addresses, build->image, base, manifest.baseName, manifest.settings, coloursOf(request));
    if (!expected.ok())
        return exitRefused(expected.error().text());
    // The folder's project files: the manifest and the texts beside it, and what its subfolders hold.
    ProjectFiles present;
    const std::pair<const char*, InputKind> folders[] = {{"", InputKind::Text},
                                                         {"patches", InputKind::Patch},
                                                         {"tiles", InputKind::Picture},
                                                         {"palettes", InputKind::Text}};
    for (const auto& [sub, kind] : folders) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::path(folder) / sub, error))
            if (entry.is_regular_file() && (*sub || entry.path().extension() == ".json"))
                present[(fs::path(sub) / entry.path().filename()).generic_string()] =
                    readInputFile(entry.path().string(), kind);
    }
    const std::vector<std::string> differences = projectDifferences(expected.value(), present);
    for (const std::string& difference : differences)
        std::cout << difference << "\n";
    if (!differences.empty())
        return exitRefused(folder + ": " + std::to_string(differences.size()) +
                           (differences.size() == 1 ? " difference" : " differences") +
                           " from what unpack writes for the build (above).");
    std::cout << folder << ": the build unpacks to these files (sha256 " << build->outputSha256 << ")\n";
    return ExitOk;
}

} // namespace vx::tool
