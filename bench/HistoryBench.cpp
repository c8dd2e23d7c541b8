// The edit history: one map edit with its command, its undo, and what a million edits hold.
#include "core/RomImgManager.h"
#include "tests/support/Images.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace vx;

namespace {

// A cell painted and taken back: two commands' worth of work per iteration.
void BM_MapEditAndUndo(benchmark::State& state)
{
    TRomImgManager rom(test::DefaultAddresses());
    rom.LoadFromBytes(test::SampleBytes(), "bench.nes");
    TStageData& stage = rom.Stage(0);
    std::uint8_t chip = 0;
    for (auto _ : state) {
        stage.SetMapChip(5, ++chip);
        stage.Undo();
    }
}
BENCHMARK(BM_MapEditAndUndo);

// A million map edits on the undo stack: the heap they take, in bytes per edit.
void BM_MillionMapEdits(benchmark::State& state)
{
    for (auto _ : state) {
        TRomImgManager rom(test::DefaultAddresses());
        rom.LoadFromBytes(test::SampleBytes(), "bench.nes");
        TStageData& stage = rom.Stage(0);
        const std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 1'000'000; ++i)
            stage.SetMapChip(i % MapSize, static_cast<std::uint8_t>(i / MapSize + 1));
        const std::size_t after = mallinfo2().uordblks;
        state.counters["MB"] = static_cast<double>(after - before) / (1 << 20);
        state.counters["bytes per edit"] = static_cast<double>(after - before) / 1e6;
    }
}
BENCHMARK(BM_MillionMapEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
