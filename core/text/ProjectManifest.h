#pragma once
#include "core/base/Result.h"
#include "core/model/TileSheet.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A hack kept as a folder of texts: vexalon2-project.json names the clean base image (never
// stored in the folder) and the steps that turn it into the hack, in the order they run.
inline constexpr std::string_view ProjectFormat = "vexalon2-project";
inline constexpr int ProjectVersion = 1;
inline constexpr std::string_view ProjectManifestName = "vexalon2-project.json";

enum class ProjectStepKind {
    Patch,       // an IPS or BPS patch for the bytes no table holds
    StageText,   // one stage's tables
    TilePicture, // one table of a stage's tiles as a picture
    Palette,     // one stage's 32 palette entries as a GIMP palette
};

struct ProjectStep {
    ProjectStepKind kind = ProjectStepKind::Patch;
    std::string file; // relative to the folder, with forward slashes
    // A tile picture's or palette's stage; a picture's table.
    int stage = 0;
    TileTable table = TileTable::Background;
    bool operator==(const ProjectStep&) const = default;
};

struct ProjectManifest {
    std::string baseName;
    std::uint64_t baseSize = 0;
    std::string baseSha256;
    std::string settings; // the settings file the stages were read with; empty: every default
    std::vector<ProjectStep> steps;
    bool operator==(const ProjectManifest&) const = default;
};

std::string projectManifestToJson(const ProjectManifest& manifest);
// Refuses, naming the file and the place, a manifest of another format or a later version,
// and a step file that would lie outside the folder.
Result<ProjectManifest> readProjectManifest(std::string_view text, const std::string& fileName);

} // namespace vx
