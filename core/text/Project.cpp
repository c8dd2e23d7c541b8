#include "core/text/Project.h"

#include "core/base/HexText.h"
#include "core/base/Sha256.h"
#include "core/files/Patch.h"
#include "core/model/AddressData.h"
#include "core/model/PatternSources.h"
#include "core/model/RomImage.h"
#include "core/text/ProjectPalettes.h"
#include "core/text/StageText.h"
#include "core/text/StageTextImport.h"
#include "core/text/StageTextMerge.h"

#include <algorithm>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

// The bytes of one stage's table that its text sets.
struct TableRange {
    int stage;
    TableKey key;
    std::size_t from, to;
};

// Every table a stage text sets, clamped to the image. The pattern-table setting is no such
// table: a text may not change it, so a patch carries it.
std::vector<TableRange> textTables(const AddressData& addresses, std::size_t size)
{
    std::vector<TableRange> ranges;
    for (int stage = 0; stage < StageCount; ++stage)
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            if (key == TableKey::PatternTableSetting)
                continue;
            const std::int64_t address = addresses.address(key, stage);
            const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(address, 0, std::int64_t(size)));
            const auto to =
                static_cast<std::size_t>(std::clamp<std::int64_t>(address + infoOf(key).length, 0, std::int64_t(size)));
            if (from < to)
                ranges.push_back({stage, key, from, to});
        }
    return ranges;
}

bool sameIn(Bytes a, Bytes b, const TableRange& range)
{
    return std::equal(a.begin() + range.from, a.begin() + range.to, b.begin() + range.from);
}

Result<std::vector<std::uint8_t>> withTexts(const AddressData& addresses, Bytes image,
                                            const std::vector<StageText>& texts, const std::string& name)
{
    RomImage rom(addresses);
    if (Result<void> loaded = rom.loadFromBytes({image.begin(), image.end()}, name); !loaded.ok())
        return loaded.error();
    if (Result<void> applied = applyStageTexts(rom, texts); !applied.ok())
        return applied.error();
    return rom.editedImage();
}

// IPS unless a difference lies where its three-byte offsets cannot say it (or reads as its end mark).
PatchFormat patchFormatFor(Bytes base, Bytes edited)
{
    constexpr std::size_t IpsEndMark = 0x454F46, IpsReach = 0xFFFFFF;
    if (edited.size() > IpsReach)
        return PatchFormat::Bps;
    return edited.size() > IpsEndMark && base[IpsEndMark] != edited[IpsEndMark] ? PatchFormat::Bps : PatchFormat::Ips;
}

struct Patched {
    std::string file;
    std::vector<std::uint8_t> before, after;
};

bool patchChanged(const Patched& patch, std::size_t at)
{
    return at < patch.after.size() && (at >= patch.before.size() || patch.before[at] != patch.after[at]);
}

Bytes bytesOf(const std::string& text) { return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}; }

std::string_view textOf(Bytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// A stage text's differences as diff names them, value by value: a few, then how many more;
// why the folder's file does not read; nothing when both read alike (then only the form differs).
std::vector<std::string> namedDifferences(const ProjectFile& expected, Bytes present)
{
    constexpr std::size_t Most = 12;
    if (expected.name == ProjectManifestName || !expected.name.ends_with(".json"))
        return {};
    const Result<StageText> unpacked = readStageText(textOf(expected.bytes), expected.name);
    const Result<StageText> folder = readStageText(textOf(present), expected.name);
    if (!folder.ok())
        return {expected.name + " does not read: " + folder.error().text()};
    if (!unpacked.ok() || unpacked.value().stage != folder.value().stage)
        return {};
    std::vector<std::string> named =
        stageTextDifferences(unpacked.value(), folder.value(), "what unpack writes", "the folder");
    const std::size_t count = named.size();
    if (count > Most) {
        named.resize(Most);
        named.push_back("... and " + std::to_string(count - Most) + " more values");
    }
    for (std::string& line : named)
        line = expected.name + ": " + line;
    return named;
}

// The stages whose palette entries differ from the base's keep them in a palette file.
std::vector<int> stagesWithPaletteFiles(const AddressData& addresses, Bytes image, Bytes base)
{
    std::vector<int> stages;
    for (int stage = 0; stage < StageCount; ++stage)
        for (const TableKey key : {TableKey::BGPalette, TableKey::SpritePalette}) {
            const std::int64_t at = addresses.address(key, stage), size = static_cast<std::int64_t>(image.size());
            const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(at, 0, size));
            const auto to = static_cast<std::size_t>(std::clamp<std::int64_t>(at + infoOf(key).length, 0, size));
            if (!std::equal(image.begin() + from, image.begin() + to, base.begin() + from) &&
                (stages.empty() || stages.back() != stage))
                stages.push_back(stage);
        }
    return stages;
}

void markTable(const AddressData& addresses, TableKey key, int stage, std::vector<bool>& bytes)
{
    const std::int64_t at = addresses.address(key, stage), size = static_cast<std::int64_t>(bytes.size());
    std::fill(bytes.begin() + std::clamp<std::int64_t>(at, 0, size),
              bytes.begin() + std::clamp<std::int64_t>(at + infoOf(key).length, 0, size), true);
}

} // namespace

Result<std::vector<ProjectFile>> unpackProject(const AddressData& addresses, Bytes image, Bytes base,
                                               const std::string& baseName, const std::string& settings,
                                               const ConsoleColours& colours)
{
    if (image.size() != base.size())
        return Error("the image is " + std::to_string(image.size()) + " bytes and the base " +
                     std::to_string(base.size()) + "; a project keeps an image of its base's length");
    RomImage rom(addresses);
    if (Result<void> loaded = rom.loadFromBytes({image.begin(), image.end()}, "image"); !loaded.ok())
        return loaded.error();
    ProjectManifest manifest{baseName, base.size(), sha256Hex(base), settings, {}};
    std::vector<ProjectFile> textFiles, paletteFiles;
    std::vector<StageText> texts;
    const std::vector<int> withPaletteFiles = stagesWithPaletteFiles(addresses, image, base);
    for (int stage = 0; stage < StageCount; ++stage) {
        StageText held = stageTextOf(rom, stage);
        holdSharedTablesOnce(held);
        if (std::ranges::find(withPaletteFiles, stage) != withPaletteFiles.end()) {
            held.palettesElsewhere = true;
            emptyTablesHeldElsewhere(held);
            const std::string palette = projectPaletteText(rom.stage(stage), colours);
            paletteFiles.push_back({paletteFileName(stage), {palette.begin(), palette.end()}});
        }
        const std::string text = stageTextToJson(held);
        Result<StageText> read = readStageText(text, stageTextFileName(stage));
        if (!read.ok())
            return read.error();
        texts.push_back(std::move(read.value()));
        const Bytes bytes = bytesOf(text);
        textFiles.push_back({stageTextFileName(stage), {bytes.begin(), bytes.end()}});
    }
    // The patch starts from the base with every outside byte of the image, then takes each table
    // the texts do not give back as the image has it, until the texts give back the rest.
    const std::vector<TableRange> tables = textTables(addresses, image.size());
    std::vector<bool> inTable(image.size());
    for (const TableRange& table : tables)
        std::fill(inTable.begin() + table.from, inTable.begin() + table.to, true);
    // What the palette files and pictures set after the texts; the patch leaves it as the base has it.
    std::vector<TilePicture> pictures = tilePicturesOf(rom, base, colours);
    std::vector<bool> setLater(image.size());
    for (const TilePicture& picture : pictures)
        for (std::int32_t at : picture.offsets)
            if (at != PatternSources::Zero)
                setLater[static_cast<std::size_t>(at)] = !inTable[static_cast<std::size_t>(at)];
    for (int stage : withPaletteFiles)
        for (const TableKey key : {TableKey::BGPalette, TableKey::SpritePalette})
            markTable(addresses, key, stage, setLater);
    std::vector<std::uint8_t> patched(base.begin(), base.end());
    for (std::size_t i = 0; i < image.size(); ++i)
        if (!inTable[i] && !setLater[i])
            patched[i] = image[i];
    for (std::size_t round = 0; round <= tables.size(); ++round) {
        Result<std::vector<std::uint8_t>> built = withTexts(addresses, patched, texts, "image");
        for (std::size_t i = 0; built.ok() && i < image.size(); ++i)
            if (setLater[i])
                built.value()[i] = image[i];
        if (built.ok() && built.value() == std::vector<std::uint8_t>(image.begin(), image.end()))
            break;
        bool taken = false;
        for (const TableRange& table : tables)
            if (built.ok() && !sameIn(built.value(), image, table) && !sameIn(patched, image, table)) {
                std::copy(image.begin() + table.from, image.begin() + table.to, patched.begin() + table.from);
                taken = true;
            }
        if (!taken) { // the texts cannot give the tables back: the patch holds them all
            patched.assign(image.begin(), image.end());
            break;
        }
    }
    std::vector<ProjectFile> files{{std::string(ProjectManifestName), {}}};
    if (!std::equal(patched.begin(), patched.end(), base.begin())) {
        const PatchFormat format = patchFormatFor(base, patched);
        Result<MadePatch> patch = makePatchBetween(base, patched, format);
        if (!patch.ok())
            return patch.error();
        const std::string name = format == PatchFormat::Ips ? "patches/outside.ips" : "patches/outside.bps";
        manifest.steps.push_back({ProjectStepKind::Patch, name});
        files.push_back({name, std::move(patch.value().bytes)});
    }
    for (ProjectFile& text : textFiles) {
        manifest.steps.push_back({ProjectStepKind::StageText, text.name});
        files.push_back(std::move(text));
    }
    for (std::size_t i = 0; i < paletteFiles.size(); ++i) {
        manifest.steps.push_back({ProjectStepKind::Palette, paletteFiles[i].name, withPaletteFiles[i]});
        files.push_back(std::move(paletteFiles[i]));
    }
    for (TilePicture& picture : pictures) {
        manifest.steps.push_back(picture.step);
        files.push_back({picture.step.file, std::move(picture.png)});
    }
    const std::string json = projectManifestToJson(manifest);
    files.front().bytes.assign(json.begin(), json.end());
    return files;
}

Result<ProjectBuild> buildProject(const AddressData& addresses, const ProjectManifest& manifest, Bytes base,
                                  const ProjectFiles& files, const ConsoleColours& colours)
{
    ProjectBuild build;
    build.inputSha256 = sha256Hex(base);
    if (base.size() != manifest.baseSize || build.inputSha256 != manifest.baseSha256)
        return Error("the base is not the project's: it is " + std::to_string(base.size()) + " bytes with SHA-256 " +
                     build.inputSha256 + ", the project's base (" + manifest.baseName + ") " +
                     std::to_string(manifest.baseSize) + " bytes with SHA-256 " + manifest.baseSha256);
    std::vector<Patched> patches;
    std::vector<std::uint8_t> image(base.begin(), base.end());
    std::vector<StageText> texts;
    for (const ProjectStep& step : manifest.steps) {
        if (step.kind == ProjectStepKind::TilePicture || step.kind == ProjectStepKind::Palette)
            continue; // after the texts: palettes, then the pictures that show them
        const auto file = files.find(step.file);
        if (file == files.end())
            return Error("the project names " + step.file + ", which is not there");
        if (step.kind == ProjectStepKind::Patch) {
            Result<std::vector<std::uint8_t>> applied = applyPatch(file->second, image, MaxImageSize);
            if (!applied.ok())
                return Error(step.file + ": " + applied.error().text());
            patches.push_back({step.file, image, applied.value()});
            image = std::move(applied.value());
            continue;
        }
        const std::string_view text(reinterpret_cast<const char*>(file->second.data()), file->second.size());
        Result<StageText> read = readStageText(text, step.file);
        if (!read.ok())
            return read.error();
        texts.push_back(std::move(read.value()));
    }
    RomImage rom(addresses);
    if (Result<void> loaded = rom.loadFromBytes(image, manifest.baseName); !loaded.ok())
        return loaded.error();
    Result<ImportPreview> preview = previewStageTexts(rom, texts);
    if (!preview.ok())
        return preview.error();
    if (Result<void> applied = applyStageTexts(rom, texts); !applied.ok())
        return applied.error();
    Result<std::vector<std::string>> palettes = applyProjectPalettes(rom, manifest.steps, files, colours, texts);
    if (!palettes.ok())
        return palettes.error();
    std::ranges::move(palettes.value(), std::back_inserter(preview.value().summary));
    build.image = rom.editedImage();
    const std::vector<TableRange> tables = textTables(addresses, image.size());
    std::vector<bool> textByte(image.size());
    for (const TableRange& table : tables)
        std::fill(textByte.begin() + table.from, textByte.begin() + table.to, true);
    Result<std::map<std::string, std::vector<std::int32_t>>> pictured =
        applyTilePictures(rom, build.image, manifest.steps, files, colours, textByte);
    if (!pictured.ok())
        return pictured.error();
    // A patch byte that a text or picture then sets would be lost or win by the order of steps.
    for (const TableRange& table : tables) {
        if (sameIn(build.image, image, table))
            continue;
        for (const Patched& patch : patches)
            for (std::size_t i = table.from; i < table.to; ++i)
                if (patchChanged(patch, i)) {
                    const auto text = std::find_if(texts.begin(), texts.end(),
                                                   [&](const StageText& t) { return t.stage == table.stage; });
                    return Error(patch.file + " writes offset 0x" + formatHex(static_cast<std::uint32_t>(i), 6) +
                                 ", inside " + std::string(infoOf(table.key).name) + " of stage " +
                                 formatHex(static_cast<std::uint32_t>(table.stage), 2) + ", which " +
                                 (text != texts.end() ? text->fileName : stageTextFileName(table.stage)) +
                                 " also sets; keep the table in the text only");
                }
    }
    for (const auto& [picture, offsets] : pictured.value()) {
        for (std::int32_t at : offsets)
            for (const Patched& patch : patches)
                if (patchChanged(patch, static_cast<std::size_t>(at)))
                    return Error(patch.file + " writes offset 0x" + formatHex(static_cast<std::uint32_t>(at), 6) +
                                 ", a tile byte " + picture + " also sets; keep the tile in the picture only");
        if (!offsets.empty())
            preview.value().summary.push_back(picture + ": " + std::to_string(offsets.size()) +
                                              (offsets.size() == 1 ? " byte" : " bytes"));
    }
    build.outputSha256 = sha256Hex(build.image);
    build.summary = std::move(preview.value().summary);
    build.newErrors = std::move(preview.value().newErrors);
    build.newWarnings = std::move(preview.value().newWarnings);
    return build;
}

std::vector<std::string> projectDifferences(const std::vector<ProjectFile>& expected, const ProjectFiles& present)
{
    std::vector<std::string> differences;
    for (const ProjectFile& file : expected) {
        const auto there = present.find(file.name);
        if (there == present.end()) {
            differences.push_back(file.name + " is missing");
            continue;
        }
        if (there->second == file.bytes)
            continue;
        if (std::vector<std::string> named = namedDifferences(file, there->second); !named.empty()) {
            std::ranges::move(named, std::back_inserter(differences));
            continue;
        }
        const auto [mine, theirs] =
            std::mismatch(file.bytes.begin(), file.bytes.end(), there->second.begin(), there->second.end());
        const auto line = 1 + std::count(file.bytes.begin(), mine, std::uint8_t{'\n'});
        differences.push_back(file.name + " differs from line " + std::to_string(line));
    }
    for (const auto& entry : present) {
        const std::string& name = entry.first; // a lambda may not capture a structured binding before C++20's fix
        if (std::none_of(expected.begin(), expected.end(), [&](const ProjectFile& file) { return file.name == name; }))
            differences.push_back(name + " is not written by unpack");
    }
    return differences;
}

} // namespace vx
