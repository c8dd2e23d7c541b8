#pragma once
#include "core/base/Result.h"
#include "core/model/StageCheck.h"
#include "core/text/ProjectManifest.h"
#include "core/text/ProjectTiles.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace vx {

class AddressData;

// One file of a project folder; name relative to the folder, with forward slashes.
struct ProjectFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};
using ProjectFiles = std::map<std::string, std::vector<std::uint8_t>>;

// The folder for image over base: the manifest first, then patches/outside.ips (or .bps) when
// bytes outside the tables differ, then stage-00.json .. stage-0D.json, each table shared by
// several stages held once, in the lowest stage's file, then a picture of each table of tiles
// that differs from the base's (its palette the stage's colours). A table whose bytes
// its text would not give back (the pattern-table setting, bytes past an object list's end)
// goes into the patch with the outside bytes, so a build gives back every byte.
Result<std::vector<ProjectFile>> unpackProject(const AddressData& addresses, std::span<const std::uint8_t> image,
                                               std::span<const std::uint8_t> base, const std::string& baseName,
                                               const std::string& settings, const ConsoleColours& colours);

struct ProjectBuild {
    std::vector<std::uint8_t> image;
    std::string inputSha256, outputSha256;
    // One line per stage whose tables the texts change, as import prints them.
    std::vector<std::string> summary;
    // What the stage check finds after the texts and did not find before them.
    std::vector<Finding> newErrors, newWarnings;
};

// Runs the manifest's steps over base in memory: the patches, the texts, then the tile
// pictures; files holds each step's file. Refuses a base of another size or hash (naming both
// hashes), a patch that does not apply, a text the importer refuses, a picture
// applyTilePictures refuses, and a patch that writes into a table a text sets or a byte a
// picture changes (naming the patch, the offset, the table and the text or picture).
Result<ProjectBuild> buildProject(const AddressData& addresses, const ProjectManifest& manifest,
                                  std::span<const std::uint8_t> base, const ProjectFiles& files,
                                  const ConsoleColours& colours);

// Each difference between the files an unpack gives and the folder's: "stage-03.json differs
// from line 12", "patches/outside.ips is missing", "notes.json is not written by unpack".
// present holds the folder's project files; empty when they are the same.
std::vector<std::string> projectDifferences(const std::vector<ProjectFile>& expected, const ProjectFiles& present);

} // namespace vx
