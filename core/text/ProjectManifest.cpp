#include "core/text/ProjectManifest.h"

#include "core/base/HexText.h"
#include "core/model/AddressData.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace vx {
namespace {

using nlohmann::ordered_json;

constexpr std::array<const char*, 4> StepKindNames{"patch", "stage-text", "tiles", "palette"};
constexpr std::array<const char*, 2> TableNames{"background", "sprites"};

const char* stepKindName(ProjectStepKind kind) { return StepKindNames[static_cast<std::size_t>(kind)]; }

const char* tableName(TileTable table) { return table == TileTable::Background ? TableNames[0] : TableNames[1]; }

std::string stageText(int stage) { return formatHex(static_cast<std::uint32_t>(stage), 2); }

// A step's file stays inside the folder: relative, no "..", no backslash.
bool insideFolder(const std::string& file)
{
    if (file.empty() || file.front() == '/' || file.find('\\') != std::string::npos)
        return false;
    std::size_t from = 0;
    while (from <= file.size()) {
        const std::size_t to = std::min(file.find('/', from), file.size());
        const std::string part = file.substr(from, to - from);
        if (part.empty() || part == "." || part == "..")
            return false;
        from = to + 1;
    }
    return true;
}

} // namespace

std::string projectManifestToJson(const ProjectManifest& manifest)
{
    ordered_json json;
    json["format"] = ProjectFormat;
    json["version"] = ProjectVersion;
    json["base"] = {{"file", manifest.baseName}, {"size", manifest.baseSize}, {"sha256", manifest.baseSha256}};
    if (!manifest.settings.empty())
        json["settings"] = manifest.settings;
    ordered_json steps = ordered_json::array();
    for (const ProjectStep& step : manifest.steps) {
        steps.push_back({{"kind", stepKindName(step.kind)}, {"file", step.file}});
        if (step.kind == ProjectStepKind::TilePicture || step.kind == ProjectStepKind::Palette)
            steps.back()["stage"] = stageText(step.stage);
        if (step.kind == ProjectStepKind::TilePicture)
            steps.back()["table"] = tableName(step.table);
    }
    json["steps"] = steps;
    return json.dump(2) + "\n";
}

Result<ProjectManifest> readProjectManifest(std::string_view text, const std::string& fileName)
{
    const ordered_json json = ordered_json::parse(text, nullptr, false);
    auto refuse = [&](const std::string& path, const std::string& why) { return Error(why, fileName, path); };
    if (json.is_discarded() || !json.is_object())
        return refuse({}, "not a JSON object");
    if (!json.contains("format") || !json["format"].is_string() || json["format"] != ProjectFormat)
        return refuse("/format", "not a project manifest (format \"" + std::string(ProjectFormat) + "\")");
    if (!json.contains("version") || !json["version"].is_number_integer() || json["version"] != ProjectVersion)
        return refuse("/version", "version " + std::to_string(ProjectVersion) + " is the one this program reads");
    ProjectManifest manifest;
    const auto& base = json.contains("base") ? json["base"] : ordered_json();
    if (!base.is_object() || !base.contains("file") || !base["file"].is_string() || !base.contains("size") ||
        !base["size"].is_number_unsigned() || !base.contains("sha256") || !base["sha256"].is_string())
        return refuse("/base", "needs file, size and sha256");
    manifest.baseName = base["file"].get<std::string>();
    manifest.baseSize = base["size"].get<std::uint64_t>();
    manifest.baseSha256 = base["sha256"].get<std::string>();
    if (manifest.baseSha256.size() != 64 ||
        manifest.baseSha256.find_first_not_of("0123456789abcdef") != std::string::npos)
        return refuse("/base/sha256", "needs 64 lower-case hex digits");
    if (json.contains("settings")) {
        if (!json["settings"].is_string())
            return refuse("/settings", "needs a file name");
        manifest.settings = json["settings"].get<std::string>();
    }
    if (!json.contains("steps") || !json["steps"].is_array())
        return refuse("/steps", "needs a list of steps");
    for (std::size_t i = 0; i < json["steps"].size(); ++i) {
        const auto& step = json["steps"][i];
        const std::string path = "/steps/" + std::to_string(i);
        if (!step.is_object() || !step.contains("kind") || !step.contains("file") || !step["file"].is_string())
            return refuse(path, "needs kind and file");
        const std::string kind = step["kind"].is_string() ? step["kind"].get<std::string>() : "";
        const auto known = std::ranges::find(StepKindNames, kind);
        if (known == StepKindNames.end())
            return refuse(path + "/kind", "is \"patch\", \"stage-text\", \"tiles\" or \"palette\"");
        ProjectStep read{static_cast<ProjectStepKind>(known - StepKindNames.begin()), step["file"].get<std::string>()};
        if (!insideFolder(read.file))
            return refuse(path + "/file", "must name a file inside the project folder");
        if (read.kind == ProjectStepKind::TilePicture || read.kind == ProjectStepKind::Palette) {
            const std::string stage = step.contains("stage") && step["stage"].is_string() ? step["stage"] : "";
            read.stage = 0;
            while (read.stage < StageCount && stage != stageText(read.stage))
                ++read.stage;
            if (read.stage == StageCount)
                return refuse(path + "/stage", "needs a stage, \"00\"-\"0D\"");
        }
        if (read.kind == ProjectStepKind::TilePicture) {
            const std::string table = step.contains("table") && step["table"].is_string() ? step["table"] : "";
            if (table != TableNames[0] && table != TableNames[1])
                return refuse(path + "/table", "is \"background\" or \"sprites\"");
            read.table = table == TableNames[0] ? TileTable::Background : TileTable::Sprites;
        }
        manifest.steps.push_back(std::move(read));
    }
    return manifest;
}

} // namespace vx
