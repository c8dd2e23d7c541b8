// The renderer's work per stage change and per palette-animation step, each beside a
// memcpy of as many bytes as it writes.
#include "bench/MemcpyBaseline.h"
#include "core/model/RomImage.h"
#include "core/model/SampleImage.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/PatternData.h"
#include "render/StageSheets.h"
#include "render/TilePictures.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>

using namespace vx;

namespace {

std::vector<std::uint8_t> colourFile()
{
    std::vector<std::uint8_t> file(192);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 37);
    return file;
}

// One opened sample image with stage 1 (animated) prepared as the editor prepares it.
struct Fixture {
    SettingsFile settings{IniFile::fromText("")};
    AddressData addresses{settings};
    RomImage rom{addresses};
    PaletteManager palette{colourFile(), "p"};
    GraphicManager graphics{palette};
    StageSheets sheets;
    Fixture()
    {
        if (!rom.loadFromBytes(makeSampleImage(), "sample.nes").ok())
            std::abort(); // the sample always opens
        prepareStageSheets(graphics, rom.stage(1), rom.imageBytes(), sheets, nullptr);
        graphics.setPaletteAnime(rom.stage(1).paletteAnimeFrameCount(), rom.stage(1).paletteAnimeFrameTimer(),
                                 rom.stage(1).paletteAnimePalette());
    }
};

Fixture& shared()
{
    static Fixture fixture;
    return fixture;
}

BENCHMARK(vx::bench::MemcpyBaseline)
    ->Name("BM_Memcpy")
    ->Arg(256 * 4)
    ->Arg(8192)
    ->Arg(64 * 1024)
    ->Arg(256 * 1024)
    ->Arg(2 * 64 * 1024 + 256 * 1024 + 64 * 64);

void BM_BuildPatternData(benchmark::State& state)
{
    Fixture& f = shared();
    std::array<std::uint8_t, PatternDataSize> data{};
    const StageData& stage = f.rom.stage(1);
    for (auto _ : state) {
        buildPatternData(stage.patternTableSetting(), f.rom.imageBytes(), stage.address(TableKey::PatternTableSetting),
                         data, nullptr);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_BuildPatternData);

void BM_DecodeChipSheet(benchmark::State& state)
{
    Fixture& f = shared();
    for (auto _ : state)
        f.graphics.decodeChipSheet(*f.sheets.chipSheet);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 128 * 512));
}
BENCHMARK(BM_DecodeChipSheet);

void BM_ComposeChip32Sheet(benchmark::State& state)
{
    Fixture& f = shared();
    for (auto _ : state)
        f.graphics.composeChip32Sheet(*f.sheets.chip32Sheet, *f.sheets.chipSheet, f.rom.stage(1).chip32x32());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 512 * 512));
}
BENCHMARK(BM_ComposeChip32Sheet);

void BM_DrawRoom(benchmark::State& state)
{
    Fixture& f = shared();
    auto view = f.graphics.createDisplayBitmap(256, 256);
    const auto room = std::span(f.rom.stage(1).map()).subspan(5 * 64, 64);
    for (auto _ : state)
        f.graphics.drawRoom(*view, *f.sheets.chip32Sheet, room);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 256 * 256));
}
BENCHMARK(BM_DrawRoom);

void BM_ApplyStagePalette(benchmark::State& state)
{
    Fixture& f = shared();
    for (auto _ : state) {
        f.graphics.updateStagePalette(); // a new frame's colours, as the animation gives them
        f.graphics.applyStagePalette(*f.sheets.chip32Sheet);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 256 * 4));
}
BENCHMARK(BM_ApplyStagePalette);

// The map tab's share of one animation frame: the new palette onto both sheets, the two
// room views, the 512x512 chip table and the 64x64 selected chip redrawn.
void BM_MapTabAnimationStep(benchmark::State& state)
{
    Fixture& f = shared();
    auto view0 = f.graphics.createDisplayBitmap(256, 256);
    auto view1 = f.graphics.createDisplayBitmap(256, 256);
    auto table = f.graphics.createDisplayBitmap(512, 512);
    auto selected = f.graphics.createDisplayBitmap(64, 64);
    const auto& map = f.rom.stage(1).map();
    for (auto _ : state) {
        while (!f.palette.tick()) {}
        f.graphics.applyStagePalette(*f.sheets.chipSheet);
        f.graphics.applyStagePalette(*f.sheets.chip32Sheet);
        f.graphics.drawRoom(*view0, *f.sheets.chip32Sheet, std::span(map).subspan(4 * 64, 64));
        f.graphics.drawRoom(*view1, *f.sheets.chip32Sheet, std::span(map).subspan(5 * 64, 64));
        BitmapCanvas tableCanvas(*table);
        tableCanvas.copyRect(0, 0, 512, 512, *f.sheets.chip32Sheet, 0, 0, 512, 512);
        tableCanvas.release();
        BitmapCanvas selectedCanvas(*selected);
        selectedCanvas.copyRect(0, 0, 64, 64, *f.sheets.chip32Sheet, 32, 0, 64, 32);
        selectedCanvas.release();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (2 * 64 * 1024 + 256 * 1024 + 64 * 64)));
}
BENCHMARK(BM_MapTabAnimationStep)->Unit(benchmark::kMicrosecond);

// A whole tile table out as a PNG picture and back in, as the tool and the tiles page do
// it; each should take well under 5 ms.
void BM_TilePictureExport(benchmark::State& state)
{
    Fixture& f = shared();
    for (auto _ : state) {
        auto png = tilePicturePng(f.rom.stage(0), f.palette, TileTable::Background, 0);
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_TilePictureExport)->Unit(benchmark::kMicrosecond);

// Stage 1's table into stage 0, most of whose tiles differ; the undo is not timed.
void BM_TilePictureImport(benchmark::State& state)
{
    Fixture& f = shared();
    const auto png = tilePicturePng(f.rom.stage(1), f.palette, TileTable::Background, 0);
    StageData& stage = f.rom.stage(0);
    for (auto _ : state) {
        auto changed = importTilePicture(stage, f.palette, TileTable::Background, 0, png);
        if (!changed.ok() || changed.value().empty())
            std::abort(); // the sample's stages differ
        state.PauseTiming();
        stage.undo();
        stage.redoStack().clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TilePictureImport)->Unit(benchmark::kMicrosecond);

} // namespace
