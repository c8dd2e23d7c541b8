#include "tools/CheckCommand.h"

#include "core/AddressData.h"
#include "core/RomImgManager.h"
#include "core/StageCheck.h"
#include "tools/ToolCommands.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace vx::tool {
namespace {

// Names for scripts: fixed words, whatever the texts say.
const char* SeverityKey(TSeverity severity)
{
    switch (severity) {
    case TSeverity::Error: return "error";
    case TSeverity::Warning: return "warning";
    case TSeverity::Note: return "note";
    }
    return "?";
}

const char* PlaceKey(TFindingPlace place)
{
    switch (place) {
    case TFindingPlace::Stage: return "stage";
    case TFindingPlace::RestartPoint: return "restart-point";
    case TFindingPlace::ScrollEntry: return "scroll-entry";
    case TFindingPlace::MapRoom: return "map-room";
    case TFindingPlace::ObjectRoom: return "object-room";
    case TFindingPlace::EnemyList: return "enemy-list";
    case TFindingPlace::ItemList: return "item-list";
    case TFindingPlace::PaletteEntry: return "palette-entry";
    case TFindingPlace::AnimationEntry: return "animation-entry";
    case TFindingPlace::AnimationFrames: return "animation-frames";
    case TFindingPlace::Chip: return "chip";
    }
    return "?";
}

void PrintJson(const std::string& image, const std::vector<TFinding>& findings)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::array<int, 3> counts{};
    for (const TFinding& finding : findings) {
        ++counts[static_cast<std::size_t>(finding.severity)];
        nlohmann::ordered_json entry;
        entry["stage"] = finding.stage;
        entry["severity"] = SeverityKey(finding.severity);
        entry["place"] = PlaceKey(finding.place);
        if (finding.index >= 0)
            entry["index"] = finding.index;
        entry["where"] = PlaceText(finding);
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

int CheckStages(const TToolRequest& request)
{
    const EnglishTexts english;
    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, request.files[0]))
        return ExitRefused;
    const std::vector<TFinding> findings = request.stage ? CheckStage(rom, *request.stage) : CheckAllStages(rom);
    if (request.json)
        PrintJson(request.files[0], findings);
    else
        for (const TFinding& finding : findings)
            std::cout << FindingLine(finding) << "\n";
    for (const TFinding& finding : findings)
        if (finding.severity != TSeverity::Note)
            return ExitRefused;
    return ExitOk;
}

} // namespace vx::tool
