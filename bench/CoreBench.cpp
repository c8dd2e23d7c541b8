// Opening and saving the sample image, each beside a memcpy of the same bytes.
#include "core/AddressData.h"
#include "core/RomImgManager.h"
#include "core/StageCheck.h"
#include "core/StageText.h"
#include "tests/support/Images.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace vx;

namespace {

const TAddressData& Addresses() { return test::DefaultAddresses(); }

const std::vector<std::uint8_t>& Sample() { return test::SampleBytes(); }

std::string ScratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("vxbench.") + std::to_string(getpid()) + name)).string();
}

void BM_MemcpyImage(benchmark::State& state)
{
    std::vector<std::uint8_t> copy(Sample().size());
    for (auto _ : state) {
        std::memcpy(copy.data(), Sample().data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * copy.size()));
}
BENCHMARK(BM_MemcpyImage);

// Checks, copies the bytes in and builds the 14 stages.
void BM_OpenSampleFromMemory(benchmark::State& state)
{
    TRomImgManager rom(Addresses());
    for (auto _ : state)
        benchmark::DoNotOptimize(rom.LoadFromBytes(Sample(), "sample.nes"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Sample().size()));
}
BENCHMARK(BM_OpenSampleFromMemory);

void BM_OpenSampleFromFile(benchmark::State& state)
{
    const std::string path = ScratchFile("open.nes");
    TRomImgManager writer(Addresses());
    writer.LoadFromBytes(Sample(), path);
    writer.SaveToFile(path);
    TRomImgManager rom(Addresses());
    for (auto _ : state)
        benchmark::DoNotOptimize(rom.LoadFromFile(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Sample().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenSampleFromFile);

// Every area of every stage written back into the image, as a save with edits everywhere.
void BM_WriteBackEveryArea(benchmark::State& state)
{
    TRomImgManager rom(Addresses());
    rom.LoadFromBytes(Sample(), "sample.nes");
    for (int n = 0; n < StageCount; ++n)
        for (int flag = 0; flag < 7; ++flag)
            rom.Stage(n).EditedFlags().Set(flag, true);
    for (auto _ : state)
        for (int n = 0; n < StageCount; ++n)
            rom.Stage(n).WriteBack();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Sample().size()));
}
BENCHMARK(BM_WriteBackEveryArea);

// The whole save: write-back, then the image to a temporary file, flushed and renamed.
void BM_SaveSample(benchmark::State& state)
{
    const std::string path = ScratchFile("save.nes");
    TRomImgManager rom(Addresses());
    rom.LoadFromBytes(Sample(), path);
    for (auto _ : state) {
        rom.Stage(0).MarkEdited(efMap);
        rom.SaveToFile(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Sample().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveSample)->Unit(benchmark::kMicrosecond);

// The check of all 14 stages, as the tool runs it after opening.
void BM_CheckAllStages(benchmark::State& state)
{
    TRomImgManager rom(Addresses());
    rom.LoadFromBytes(Sample(), "sample.nes");
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckAllStages(rom));
}
BENCHMARK(BM_CheckAllStages)->Unit(benchmark::kMicrosecond);

// The 14 stage texts of the sample, as an export of every stage writes them.
void BM_ExportAllStages(benchmark::State& state)
{
    TRomImgManager rom(Addresses());
    rom.LoadFromBytes(Sample(), "sample.nes");
    for (auto _ : state)
        for (int n = 0; n < StageCount; ++n)
            benchmark::DoNotOptimize(StageToText(rom, n));
}
BENCHMARK(BM_ExportAllStages)->Unit(benchmark::kMillisecond);

// Reading and checking the 14 texts, then applying them: each of the 14 stages alternately
// gets every map cell changed and back, so the edits themselves are measured too.
void BM_ImportAllStages(benchmark::State& state)
{
    TRomImgManager rom(Addresses());
    rom.LoadFromBytes(Sample(), "sample.nes");
    std::array<std::vector<std::string>, 2> texts;
    for (int n = 0; n < StageCount; ++n)
        texts[0].push_back(StageToText(rom, n));
    for (int n = 0; n < StageCount; ++n)
        for (int c = 0; c < MapSize; ++c)
            rom.Stage(n).SetMapChip(c, static_cast<std::uint8_t>(rom.Stage(n).Map()[c] ^ 1));
    for (int n = 0; n < StageCount; ++n)
        texts[1].push_back(StageToText(rom, n));
    std::size_t round = 0;
    for (auto _ : state) {
        std::vector<TStageText> stages;
        for (const std::string& text : texts[round++ % 2])
            stages.push_back(*ReadStageText(text, "stage.json").text);
        if (ApplyStageTexts(rom, stages))
            state.SkipWithError("refused");
        state.PauseTiming();
        for (int n = 0; n < StageCount; ++n)
            rom.Stage(n).UndoStack().Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportAllStages)->Unit(benchmark::kMillisecond);

} // namespace
