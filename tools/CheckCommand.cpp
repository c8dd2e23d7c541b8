#include "tools/CheckCommand.h"

#include "core/base/HexText.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "tools/LowMemory.h"
#include "tools/ToolCommands.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <nlohmann/json.hpp>

namespace vx::tool {
namespace {

static_assert(ExitCheckClean == ExitOk && ExitCheckFailed == ExitUsage, "the tool's own codes keep their meaning");

using Json = nlohmann::ordered_json;

// Names for scripts: fixed words, whatever the texts say.
const char* severityKey(Severity severity)
{
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "?";
}

const char* placeKey(FindingPlace place)
{
    switch (place) {
    case FindingPlace::Stage: return "stage";
    case FindingPlace::RestartPoint: return "restart-point";
    case FindingPlace::ScrollEntry: return "scroll-entry";
    case FindingPlace::MapRoom: return "map-room";
    case FindingPlace::ObjectRoom: return "object-room";
    case FindingPlace::EnemyList: return "enemy-list";
    case FindingPlace::ItemList: return "item-list";
    case FindingPlace::PaletteEntry: return "palette-entry";
    case FindingPlace::SpritePaletteEntry: return "sprite-palette-entry";
    case FindingPlace::AnimationEntry: return "animation-entry";
    case FindingPlace::AnimationFrames: return "animation-frames";
    case FindingPlace::Chip: return "chip";
    }
    return "?";
}

std::string hex(std::uint32_t value, int digits) { return formatHex(value, digits); }

Json findingJson(const Finding& finding)
{
    Json entry;
    entry["stage"] = hex(static_cast<std::uint32_t>(finding.stage), 2);
    entry["severity"] = severityKey(finding.severity);
    entry["place"] = placeKey(finding.place);
    entry["index"] = finding.index >= 0 ? Json(finding.index) : Json(nullptr);
    if (finding.count > 1) {
        entry["count"] = finding.count;
        entry["indexes"] = finding.indexes;
    }
    if (!finding.fields.empty()) {
        Json fields = Json::array();
        for (const FieldDifference& field : finding.fields)
            fields.push_back(Json{{"field", field.field},
                                  {"stored", hex(field.stored, field.digits)},
                                  {"recalculated", hex(field.recalculated, field.digits)}});
        entry["fields"] = std::move(fields);
    }
    entry["where"] = placeText(finding);
    entry["text"] = finding.text;
    return entry;
}

// The counts are of every finding; `shown` are those at or above --min-severity.
void printJson(const std::string& image, const std::vector<Finding>& findings, Severity lowest)
{
    Json list = Json::array();
    std::array<int, 3> counts{};
    for (const Finding& finding : findings) {
        ++counts[static_cast<std::size_t>(finding.severity)];
        if (finding.severity <= lowest)
            list.push_back(findingJson(finding));
    }
    Json report;
    report["format"] = "vexalon2-check";
    report["version"] = 1;
    report["image"] = image;
    report["errors"] = counts[0];
    report["warnings"] = counts[1];
    report["notes"] = counts[2];
    report["findings"] = std::move(list);
    // Texts hold the image's bytes only as hex, but a file name may be any bytes.
    std::cout << report.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

Severity lowestShown(const std::string& word)
{
    return word == "error" ? Severity::Error : word == "warning" ? Severity::Warning : Severity::Note;
}

int check(const ToolRequest& request)
{
    const EnglishTexts english;
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, request.files[0]))
        return ExitCheckFailed;
    const std::vector<Finding> findings = request.stage ? checkStage(rom, *request.stage) : checkAllStages(rom);
    const Severity lowest = lowestShown(request.minSeverity);
    if (request.json)
        printJson(request.files[0], findings, lowest);
    else
        for (const Finding& finding : findings)
            if (finding.severity <= lowest)
                std::cout << findingLine(finding) << "\n";
    // A report cut short is no report.
    if (!std::cout.flush()) {
        exitRefused("the report could not be written");
        return ExitCheckFailed;
    }
    // CI fails on what it asked about: warnings and errors, or errors alone with
    // --min-severity error. Notes never fail a check.
    const Severity failing = std::min(lowest, Severity::Warning);
    const bool faults = std::ranges::any_of(findings, [&](const Finding& f) { return f.severity <= failing; });
    return faults ? ExitCheckFindings : ExitCheckClean;
}

} // namespace

int checkStages(const ToolRequest& request)
{
    // Settings or an image that do not read stop the check; that is never a finding.
    try {
        return check(request);
    } catch (const std::bad_alloc&) {
        return exitOutOfMemory(ExitCheckFailed);
    } catch (const std::exception& error) {
        exitRefused(error.what());
        return ExitCheckFailed;
    }
}

} // namespace vx::tool
