#include "core/text/ProjectManifest.h"

#include <nlohmann/json.hpp>

namespace vx {
namespace {

using nlohmann::ordered_json;

const char* stepKindName(ProjectStepKind kind) { return kind == ProjectStepKind::Patch ? "patch" : "stage-text"; }

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
    for (const ProjectStep& step : manifest.steps)
        steps.push_back({{"kind", stepKindName(step.kind)}, {"file", step.file}});
    json["steps"] = steps;
    return json.dump(2) + "\n";
}

Result<ProjectManifest> readProjectManifest(std::string_view text, const std::string& fileName)
{
    const ordered_json json = ordered_json::parse(text, nullptr, false);
    auto refuse = [&](const std::string& path, const std::string& why) { return Error(why, fileName, path); };
    if (json.is_discarded() || !json.is_object())
        return refuse({}, "not a JSON object");
    if (json.value("format", "") != ProjectFormat)
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
        if (kind != "patch" && kind != "stage-text")
            return refuse(path + "/kind", "is \"patch\" or \"stage-text\"");
        ProjectStep read{kind == "patch" ? ProjectStepKind::Patch : ProjectStepKind::StageText,
                         step["file"].get<std::string>()};
        if (!insideFolder(read.file))
            return refuse(path + "/file", "must name a file inside the project folder");
        manifest.steps.push_back(std::move(read));
    }
    return manifest;
}

} // namespace vx
