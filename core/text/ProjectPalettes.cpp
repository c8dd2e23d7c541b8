#include "core/text/ProjectPalettes.h"

#include "core/base/HexText.h"
#include "core/files/GimpPalette.h"
#include "core/model/RomImage.h"
#include "core/model/StageData.h"
#include "core/text/ProjectManifest.h"
#include "core/text/StageText.h"

#include <algorithm>

namespace vx {

namespace {

constexpr int EntryCount = 32;

// An index past the console's 64 shows as colour 00, the grey the editor shows for it.
std::uint32_t shownColour(const ConsoleColours& colours, int index)
{
    return colours[static_cast<std::size_t>(index) < colours.size() ? static_cast<std::size_t>(index) : 0];
}

} // namespace

std::string projectPaletteText(const StageData& stage, const ConsoleColours& colours)
{
    std::vector<PaletteFileColour> file;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const std::uint8_t index = stage.paletteBlock()[static_cast<std::size_t>(entry)];
        file.push_back({shownColour(colours, index), paletteEntryName(entry, index)});
    }
    return writeGimpPalette("stage " + formatHex(static_cast<std::uint32_t>(stage.stageIndex()), 2), file);
}

Result<ProjectPalette> readProjectPalette(std::string_view text, const ConsoleColours& colours, const StageData& stage)
{
    const Result<std::vector<PaletteFileColour>> read = readGimpPalette(text, EntryCount);
    if (!read.ok())
        return read.error();
    ProjectPalette palette;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const PaletteFileColour& colour = read.value()[static_cast<std::size_t>(entry)];
        const int named = namedColourIndex(colour.name), now = stage.paletteBlock()[static_cast<std::size_t>(entry)];
        ColourMatch match{-1, true};
        for (int choice : {named, now})
            if (match.index < 0 && choice >= 0 && shownColour(colours, choice) == colour.rgb)
                match.index = choice; // past 3F too, so any byte comes back
        if (match.index < 0)
            match = matchConsoleColour(colour.rgb, colours, -1, -1);
        palette.entries[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(match.index);
        if (!match.exact)
            palette.inexact.push_back(entry);
    }
    return palette;
}

Result<std::vector<std::string>> applyProjectPalettes(RomImage& rom, const std::vector<ProjectStep>& steps,
                                                      const std::map<std::string, std::vector<std::uint8_t>>& files,
                                                      const ConsoleColours& colours,
                                                      const std::vector<StageText>& texts)
{
    std::vector<std::string> lines;
    const auto named = [&](int stage) {
        return std::ranges::any_of(
            steps, [&](const ProjectStep& s) { return s.kind == ProjectStepKind::Palette && s.stage == stage; });
    };
    for (const StageText& text : texts)
        if (text.palettesElsewhere && !named(text.stage))
            return Error(text.fileName + " leaves its palettes to " + paletteFileName(text.stage) +
                         ", which the project does not name");
    for (const ProjectStep& step : steps) {
        if (step.kind != ProjectStepKind::Palette)
            continue;
        const auto text = std::ranges::find_if(texts, [&](const StageText& t) { return t.stage == step.stage; });
        if (text != texts.end() && !text->palettesElsewhere)
            return Error(text->fileName + " holds the palettes that " + step.file +
                         " also sets; keep them in one of the two");
        const auto file = files.find(step.file);
        if (file == files.end())
            return Error("the project names " + step.file + ", which is not there");
        StageData& stage = rom.stage(step.stage);
        const std::string_view gpl(reinterpret_cast<const char*>(file->second.data()), file->second.size());
        const Result<ProjectPalette> read = readProjectPalette(gpl, colours, stage);
        if (!read.ok())
            return Error(step.file + ": " + read.error().text());
        int changed = 0;
        const EditGroup group(stage, ukPalette);
        for (int entry = 0; entry < EntryCount; ++entry)
            changed += stage.setPaletteColor(entry, read.value().entries[static_cast<std::size_t>(entry)]) ? 1 : 0;
        if (changed > 0)
            lines.push_back(step.file + ": " + std::to_string(changed) + (changed == 1 ? " entry" : " entries"));
        if (!read.value().inexact.empty())
            lines.push_back(step.file + ": " + std::to_string(read.value().inexact.size()) +
                            " colours are no console colour; the nearest was taken");
    }
    return lines;
}

} // namespace vx
