// The edit history: one map edit with its command, its undo, and what a million edits hold.
#include "core/model/RomImage.h"
#include "tests/support/Images.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <malloc.h>

using namespace vx;

namespace {

// A cell painted and taken back: two commands' worth of work per iteration.
void BM_MapEditAndUndo(benchmark::State& state)
{
    RomImage rom(test::defaultAddresses());
    if (!rom.loadFromBytes(test::sampleBytes(), "bench.nes").ok())
        std::abort(); // the sample always opens
    StageData& stage = rom.stage(0);
    std::uint8_t chip = 0;
    for (auto _ : state) {
        stage.setMapChip(5, ++chip);
        stage.undo();
    }
}
BENCHMARK(BM_MapEditAndUndo);

// A million map edits on the undo stack: the heap they take, in bytes per edit.
void BM_MillionMapEdits(benchmark::State& state)
{
    for (auto _ : state) {
        RomImage rom(test::defaultAddresses());
        if (!rom.loadFromBytes(test::sampleBytes(), "bench.nes").ok())
            std::abort(); // the sample always opens
        StageData& stage = rom.stage(0);
        const std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 1'000'000; ++i)
            stage.setMapChip(i % MapSize, static_cast<std::uint8_t>(i / MapSize + 1));
        const std::size_t after = mallinfo2().uordblks;
        state.counters["MB"] = static_cast<double>(after - before) / (1 << 20);
        state.counters["bytes per edit"] = static_cast<double>(after - before) / 1e6;
    }
}
BENCHMARK(BM_MillionMapEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
