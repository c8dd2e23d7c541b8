// A whole tile table out as a PNG picture and back in, as the tool and the editor's
// tile page do it; each should take well under 5 ms.
#include "core/model/RomImage.h"
#include "core/model/SampleImage.h"
#include "render/PaletteManager.h"
#include "render/TilePictures.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace vx;

namespace {

std::vector<std::uint8_t> colourFile()
{
    std::vector<std::uint8_t> file(192);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 37);
    return file;
}

struct TileFixture {
    SettingsFile settings{IniFile::fromText("")};
    AddressData addresses{settings};
    RomImage rom{addresses};
    PaletteManager palette{colourFile(), "p"};
    TileFixture()
    {
        if (!rom.loadFromBytes(makeSampleImage(), "sample.nes").ok())
            std::abort(); // the sample always opens
    }
};

TileFixture& tiles()
{
    static TileFixture fixture;
    return fixture;
}

void BM_TilePictureExport(benchmark::State& state)
{
    TileFixture& f = tiles();
    for (auto _ : state) {
        auto png = tilePicturePng(f.rom.stage(0), f.palette, TileTable::Background, 0);
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_TilePictureExport)->Unit(benchmark::kMicrosecond);

// Stage 1's table into stage 0, most of whose tiles differ; the undo is not timed.
void BM_TilePictureImport(benchmark::State& state)
{
    TileFixture& f = tiles();
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
