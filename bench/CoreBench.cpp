// Opening and saving the sample image, each beside a memcpy of the same bytes.
#include "core/model/AddressData.h"
#include "core/model/ChipSearch.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "core/text/Project.h"
#include "core/text/StageText.h"
#include "core/text/StageTextImport.h"
#include "tests/support/Images.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace vx;

namespace {

const AddressData& addresses() { return test::defaultAddresses(); }

const std::vector<std::uint8_t>& sample() { return test::sampleBytes(); }

std::string scratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("vxbench.") + std::to_string(getpid()) + name))
        .string();
}

void BM_MemcpyImage(benchmark::State& state)
{
    std::vector<std::uint8_t> copy(sample().size());
    for (auto _ : state) {
        std::memcpy(copy.data(), sample().data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * copy.size()));
}
BENCHMARK(BM_MemcpyImage);

// Checks, copies the bytes in and builds the 14 stages.
void BM_OpenSampleFromMemory(benchmark::State& state)
{
    RomImage rom(addresses());
    for (auto _ : state)
        benchmark::DoNotOptimize(rom.loadFromBytes(sample(), "sample.nes").ok());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
BENCHMARK(BM_OpenSampleFromMemory);

void BM_OpenSampleFromFile(benchmark::State& state)
{
    const std::string path = scratchFile("open.nes");
    RomImage writer(addresses());
    if (!writer.loadFromBytes(sample(), path).ok())
        std::abort(); // the sample always opens
    writer.saveToFile(path);
    RomImage rom(addresses());
    for (auto _ : state)
        benchmark::DoNotOptimize(rom.loadFromFile(path).ok());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenSampleFromFile);

// Every area of every stage written back into the image, as a save with edits everywhere.
void BM_WriteBackEveryArea(benchmark::State& state)
{
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), "sample.nes").ok())
        std::abort(); // the sample always opens
    for (int n = 0; n < StageCount; ++n)
        for (int flag = 0; flag < 7; ++flag)
            rom.stage(n).editedFlags().set(flag, true);
    for (auto _ : state)
        for (int n = 0; n < StageCount; ++n)
            rom.stage(n).writeBack();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
BENCHMARK(BM_WriteBackEveryArea);

// The whole save: write-back, then the image to a temporary file, flushed and renamed.
void BM_SaveSample(benchmark::State& state)
{
    const std::string path = scratchFile("save.nes");
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), path).ok())
        std::abort(); // the sample always opens
    for (auto _ : state) {
        rom.stage(0).editedFlags().set(efMap, true);
        rom.saveToFile(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveSample)->Unit(benchmark::kMicrosecond);

// The check of all 14 stages, as the tool runs it after opening.
void BM_CheckAllStages(benchmark::State& state)
{
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), "sample.nes").ok())
        std::abort(); // the sample always opens
    for (auto _ : state)
        benchmark::DoNotOptimize(checkAllStages(rom));
}
BENCHMARK(BM_CheckAllStages)->Unit(benchmark::kMicrosecond);

// Where a much-used chip stands in every map, as the uses window lists it (at most 1 ms).
void BM_ChipUsesAllStages(benchmark::State& state)
{
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), "sample.nes").ok())
        std::abort(); // the sample always opens
    for (auto _ : state)
        benchmark::DoNotOptimize(chipUses(rom, 0x01, -1));
}
BENCHMARK(BM_ChipUsesAllStages)->Unit(benchmark::kMicrosecond);

// The 14 stage texts of the sample, as an export of every stage writes them.
void BM_ExportAllStages(benchmark::State& state)
{
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), "sample.nes").ok())
        std::abort(); // the sample always opens
    for (auto _ : state)
        for (int n = 0; n < StageCount; ++n)
            benchmark::DoNotOptimize(stageToText(rom, n));
}
BENCHMARK(BM_ExportAllStages)->Unit(benchmark::kMillisecond);

// Reading and checking the 14 texts, then applying them: each of the 14 stages alternately
// gets every map cell changed and back, so the edits themselves are measured too. With the
// check, as the tool and the editor import: first on a copy, check before and after.
void BM_ImportAllStages(benchmark::State& state, bool withCheck)
{
    RomImage rom(addresses());
    if (!rom.loadFromBytes(sample(), "sample.nes").ok())
        std::abort(); // the sample always opens
    std::array<std::vector<std::string>, 2> texts;
    for (int n = 0; n < StageCount; ++n)
        texts[0].push_back(stageToText(rom, n));
    for (int n = 0; n < StageCount; ++n)
        for (int c = 0; c < MapSize; ++c)
            rom.stage(n).setMapChip(c, static_cast<std::uint8_t>(rom.stage(n).map()[c] ^ 1));
    for (int n = 0; n < StageCount; ++n)
        texts[1].push_back(stageToText(rom, n));
    std::size_t round = 0;
    for (auto _ : state) {
        std::vector<StageText> stages;
        for (const std::string& text : texts[round++ % 2])
            stages.push_back(readStageText(text, "stage.json").value());
        if (withCheck && !previewStageTexts(rom, stages).ok())
            state.SkipWithError("refused");
        if (!applyStageTexts(rom, stages).ok())
            state.SkipWithError("refused");
        state.PauseTiming();
        for (int n = 0; n < StageCount; ++n)
            rom.stage(n).undoStack().clear();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_ImportAllStages, texts, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportAllStages, withCheck, true)->Unit(benchmark::kMillisecond);

// A 14-stage project folder built over the sample: a patch for the bytes outside the tables,
// every text with the check, then a picture of each table of tiles, as build runs it.
void BM_BuildProject(benchmark::State& state)
{
    std::vector<std::uint8_t> image = sample();
    for (std::size_t i = 0x10; i < image.size(); i += 251)
        image[i] ^= 0x01; // inside tables, tiles and out
    ConsoleColours colours{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<std::uint32_t>(i * 0x030507);
    Result<std::vector<ProjectFile>> files = unpackProject(addresses(), image, sample(), "sample.nes", "", colours);
    if (!files.ok())
        std::abort(); // the sample always unpacks
    ProjectFiles folder;
    for (const ProjectFile& file : files.value())
        folder[file.name] = file.bytes;
    const std::vector<std::uint8_t>& json = folder.at(std::string(ProjectManifestName));
    const ProjectManifest manifest = readProjectManifest(std::string(json.begin(), json.end()), "manifest").value();
    state.counters["pictures"] =
        static_cast<double>(std::ranges::count(manifest.steps, ProjectStepKind::TilePicture, &ProjectStep::kind));
    for (auto _ : state)
        if (!buildProject(addresses(), manifest, sample(), folder, colours).ok())
            state.SkipWithError("refused");
}
BENCHMARK(BM_BuildProject)->Unit(benchmark::kMillisecond);

} // namespace
