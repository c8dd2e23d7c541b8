#include "gui/pages/StageNames.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"

namespace vx {
namespace {

struct StageName {
    const char* japanese;
    const char* english;
};

// Our own names, plain descriptions of the places.
constexpr StageName Names[14] = {
    {"草原", "Meadow"},       {"洞窟", "Cavern"},       {"港", "Harbor"},       {"工場", "Foundry"},
    {"樹上", "Canopy"},       {"氷河", "Glacier"},      {"動力炉", "Reactor"},  {"塔", "Tower"},
    {"草原 II", "Meadow II"}, {"洞窟 II", "Cavern II"}, {"港 II", "Harbor II"}, {"工場 II", "Foundry II"},
    {"樹上 II", "Canopy II"}, {"城塞", "Citadel"},
};

} // namespace

QString stageSelectorEntry(int stage)
{
    const StageName& name = Names[stage >= 0 && stage < 14 ? stage : 0];
    return QString::fromStdString(formatHex(static_cast<std::uint32_t>(stage), 2) + " " +
                                  localized(name.japanese, name.english));
}

} // namespace vx
