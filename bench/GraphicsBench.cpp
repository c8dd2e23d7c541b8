// The renderer's work per stage change and per palette-animation step, each beside a
// memcpy of as many bytes as it writes.
#include "bench/MemcpyBaseline.h"
#include "core/RomImgManager.h"
#include "core/SampleImage.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/PatternData.h"
#include "render/StageSheets.h"

#include <benchmark/benchmark.h>
#include <cstring>

using namespace vx;

namespace {

std::vector<std::uint8_t> ColourFile()
{
    std::vector<std::uint8_t> file(192);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 37);
    return file;
}

// One opened sample image with stage 1 (animated) prepared as the editor prepares it.
struct Fixture {
    TMyMemIniFile settings{TMemIniFile::FromText("")};
    TAddressData addresses{settings};
    TRomImgManager rom{addresses};
    TPaletteManager palette{ColourFile(), "p"};
    TGraphicManager graphics{palette};
    TStageSheets sheets;
    Fixture()
    {
        rom.LoadFromBytes(MakeSampleImage(), "sample.nes");
        PrepareStageSheets(graphics, rom.Stage(1), rom.ImageBytes(), sheets, nullptr);
        graphics.SetPaletteAnime(rom.Stage(1).PaletteAnimeFrameCount(), rom.Stage(1).PaletteAnimeFrameTimer(),
                                 rom.Stage(1).PaletteAnimePalette());
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

BENCHMARK(vx::bench::MemcpyBaseline)->Name("BM_Memcpy")->Arg(256 * 4)->Arg(8192)->Arg(64 * 1024)->Arg(256 * 1024)->Arg(2 * 64 * 1024 + 256 * 1024 + 64 * 64);

void BM_BuildPatternData(benchmark::State& state)
{
    Fixture& f = Shared();
    std::array<std::uint8_t, PatternDataSize> data{};
    const TStageData& stage = f.rom.Stage(1);
    for (auto _ : state) {
        BuildPatternData(stage.PatternTableSetting(), f.rom.ImageBytes(),
                         stage.Address(TableKey::PatternTableSetting), data, nullptr);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_BuildPatternData);

void BM_DecodeChipSheet(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        f.graphics.DecodeChipSheet(*f.sheets.chipSheet);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 128 * 512));
}
BENCHMARK(BM_DecodeChipSheet);

void BM_ComposeChip32Sheet(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        f.graphics.ComposeChip32Sheet(*f.sheets.chip32Sheet, *f.sheets.chipSheet, f.rom.Stage(1).Chip32x32());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 512 * 512));
}
BENCHMARK(BM_ComposeChip32Sheet);

void BM_DrawRoom(benchmark::State& state)
{
    Fixture& f = Shared();
    auto view = f.graphics.CreateDisplayBitmap(256, 256);
    const auto room = std::span(f.rom.Stage(1).Map()).subspan(5 * 64, 64);
    for (auto _ : state)
        f.graphics.DrawRoom(*view, *f.sheets.chip32Sheet, room);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 256 * 256));
}
BENCHMARK(BM_DrawRoom);

void BM_ApplyStagePalette(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        f.graphics.UpdateStagePalette(); // a new frame's colours, as the animation gives them
        f.graphics.ApplyStagePalette(*f.sheets.chip32Sheet);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 256 * 4));
}
BENCHMARK(BM_ApplyStagePalette);

// The map tab's share of one animation frame: the new palette onto both sheets, the two
// room views, the 512x512 chip table and the 64x64 selected chip redrawn.
void BM_MapTabAnimationStep(benchmark::State& state)
{
    Fixture& f = Shared();
    auto view0 = f.graphics.CreateDisplayBitmap(256, 256);
    auto view1 = f.graphics.CreateDisplayBitmap(256, 256);
    auto table = f.graphics.CreateDisplayBitmap(512, 512);
    auto selected = f.graphics.CreateDisplayBitmap(64, 64);
    const auto& map = f.rom.Stage(1).Map();
    for (auto _ : state) {
        while (!f.palette.Tick()) {
        }
        f.graphics.ApplyStagePalette(*f.sheets.chipSheet);
        f.graphics.ApplyStagePalette(*f.sheets.chip32Sheet);
        f.graphics.DrawRoom(*view0, *f.sheets.chip32Sheet, std::span(map).subspan(4 * 64, 64));
        f.graphics.DrawRoom(*view1, *f.sheets.chip32Sheet, std::span(map).subspan(5 * 64, 64));
        TNkDIBCanvas tableCanvas(*table);
        tableCanvas.CopyRect(0, 0, 512, 512, *f.sheets.chip32Sheet, 0, 0, 512, 512);
        tableCanvas.Release();
        TNkDIBCanvas selectedCanvas(*selected);
        selectedCanvas.CopyRect(0, 0, 64, 64, *f.sheets.chip32Sheet, 32, 0, 64, 32);
        selectedCanvas.Release();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (2 * 64 * 1024 + 256 * 1024 + 64 * 64)));
}
BENCHMARK(BM_MapTabAnimationStep)->Unit(benchmark::kMicrosecond);

} // namespace
