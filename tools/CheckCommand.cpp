#include "tools/CheckCommand.h"

#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "tools/ToolCommands.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace vx::tool {
namespace {

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
    case FindingPlace::AnimationEntry: return "animation-entry";
    case FindingPlace::AnimationFrames: return "animation-frames";
    case FindingPlace::Chip: return "chip";
    }
    return "?";
}

void printJson(const std::string& image, const std::vector<Finding>& findings)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::array<int, 3> counts{};
    for (const Finding& finding : findings) {
        ++counts[static_cast<std::size_t>(finding.severity)];
        nlohmann::ordered_json entry;
        entry["stage"] = finding.stage;
        entry["severity"] = severityKey(finding.severity);
        entry["place"] = placeKey(finding.place);
        if (finding.index >= 0)
            entry["index"] = finding.index;
        entry["where"] = placeText(finding);
        entry["text"] = finding.text;
        list.push_back(std::move(entry));
    }
    nlohmann::ordered_json report;
    report["image"] = image;
    report["errors"] = counts[0];
    report["warnings"] = counts[1];
    report["notes"] = counts[2];
    report["findings"] = std::move(list);
    // Texts hold the image's bytes only as hex, but a file name may be any bytes.
    std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

} // namespace

int checkStages(const ToolRequest& request)
{
    const EnglishTexts english;
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, request.files[0]))
        return ExitRefused;
    const std::vector<Finding> findings = request.stage ? checkStage(rom, *request.stage) : checkAllStages(rom);
    if (request.json)
        printJson(request.files[0], findings);
    else
        for (const Finding& finding : findings)
            std::cout << findingLine(finding) << "\n";
    for (const Finding& finding : findings)
        if (finding.severity != Severity::Note)
            return ExitRefused;
    return ExitOk;
}

} // namespace vx::tool
