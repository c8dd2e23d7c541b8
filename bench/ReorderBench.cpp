// Chips and tiles renumbered: a chip swap over fourteen maps and a 16x16 tile swap with the
// chip entries it renumbers, each with its undo (so every iteration starts alike).
#include "core/model/ChipOrder.h"
#include "core/model/RomImage.h"
#include "core/model/TileOrder.h"
#include "tests/support/Images.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace vx;

namespace {

// Every stage draws stage 0's chip table over a map of its own: stages 8-13, which share
// their maps with 0-5 by default, get copies past the sample's end.
struct FourteenMaps {
    std::unique_ptr<AddressData> addresses;
    RomImage rom;
    FourteenMaps() : addresses(settings()), rom(*addresses)
    {
        std::vector<std::uint8_t> bytes = test::sampleBytes();
        bytes.resize(0x80010);
        for (int n = 8; n < StageCount; ++n)
            std::copy_n(bytes.begin() + 0x0510 + (n % 8) * 0x4000, MapSize, bytes.begin() + mapAt(n));
        if (const Result<void> opened = rom.loadFromBytes(bytes, "bench.nes"); !opened.ok()) {
            std::fprintf(stderr, "%s\n", opened.error().text().c_str());
            std::abort(); // the settings keep every table inside the image
        }
    }
    // The two chips stage 0's rooms use most.
    std::pair<int, int> busiest() const
    {
        std::array<int, ChipCount> uses{};
        for (const std::uint8_t cell : rom.stage(0).map())
            ++uses[cell];
        const auto first = std::max_element(uses.begin(), uses.end());
        const int a = static_cast<int>(first - uses.begin());
        *first = -1;
        return {a, static_cast<int>(std::max_element(uses.begin(), uses.end()) - uses.begin())};
    }
    static std::int64_t mapAt(int stage) { return 0x40010 + (stage - 8) * 0x1000; }
    static std::unique_ptr<AddressData> settings()
    {
        std::string text = "[LevelDataAddress]\n";
        for (int n = 1; n < StageCount; ++n)
            text += "Chip32x32[" + std::to_string(n) + "]=10\nChip32x32Palette[" + std::to_string(n) + "]=410\n";
        for (int n = 8; n < StageCount; ++n)
            text += "Map[" + std::to_string(n) + "]=" + formatHexOf(mapAt(n)) + "\n";
        return test::addressesFrom(text);
    }
    static std::string formatHexOf(std::int64_t value)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
        return text;
    }
};

void BM_ChipSwapOverFourteenMaps(benchmark::State& state)
{
    FourteenMaps image;
    RomImage& rom = image.rom;
    const auto [a, b] = image.busiest();
    if (chipFamily(rom, 0).size() != StageCount)
        std::abort(); // every stage draws the one chip table
    int cells = 0;
    for (auto _ : state) {
        const Result<ChipChange> change = swapChips(rom, 0, a, b);
        cells = change.ok() ? change.value().cells : -1;
        rom.undo();
    }
    state.counters["cells"] = cells;
}
BENCHMARK(BM_ChipSwapOverFourteenMaps)->Unit(benchmark::kMicrosecond);

void BM_ChipSwapPreviewOverFourteenMaps(benchmark::State& state)
{
    FourteenMaps image;
    const auto [a, b] = image.busiest();
    for (auto _ : state)
        benchmark::DoNotOptimize(previewChipSwap(image.rom, 0, a, b).ok());
}
BENCHMARK(BM_ChipSwapPreviewOverFourteenMaps)->Unit(benchmark::kMicrosecond);

// Stage 1's 16x16 chips 01 and 02: their bytes, and stage 9's (it shares the chip table),
// change places and both stages' entries are renumbered.
void BM_TileSwapWithRenumbering(benchmark::State& state)
{
    RomImage rom(test::defaultAddresses());
    if (!rom.loadFromBytes(test::sampleBytes(), "bench.nes").ok())
        std::abort(); // the sample always opens
    rom.setCurrentStageIndex(1);
    int entries = 0;
    for (auto _ : state) {
        const Result<TileChange> change = swapTiles(rom, 1, TileUnit::Chip16, 0x01, 0x02);
        entries = change.ok() ? change.value().entries : -1;
        rom.undo();
    }
    state.counters["entries"] = entries;
}
BENCHMARK(BM_TileSwapWithRenumbering)->Unit(benchmark::kMicrosecond);

} // namespace
