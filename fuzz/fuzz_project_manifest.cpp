// Any text as a project manifest: reading must refuse with the file named, or give a manifest
// whose every step stays inside the folder and whose own text reads back to it.
#include "core/model/AddressData.h"
#include "core/text/ProjectManifest.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Result<ProjectManifest> read = readProjectManifest(text, "fuzz.json");
    if (!read.ok()) {
        if (read.error().file != "fuzz.json" || read.error().message.empty())
            std::abort();
        return 0;
    }
    for (const ProjectStep& step : read.value().steps)
        if (step.file.empty() || step.file.front() == '/' ||
            ("/" + step.file + "/").find("/../") != std::string::npos || step.stage < 0 || step.stage >= StageCount)
            std::abort();
    const Result<ProjectManifest> again = readProjectManifest(projectManifestToJson(read.value()), "again.json");
    if (!again.ok() || !(again.value() == read.value()))
        std::abort();
    return 0;
}
