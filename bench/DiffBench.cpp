// Comparing two 1 MiB images table by table: 1 % of the bytes changed in scattered runs,
// and every byte changed, beside a memcpy of the same size.
#include "bench/MemcpyBaseline.h"
#include "core/model/ImageDiff.h"
#include "tests/support/Images.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace vx;

namespace {

constexpr std::size_t ImageSize = (1 << 20) + 16;

struct Pair {
    std::vector<std::uint8_t> original, edited;
};

// Runs of 1 to 32 bytes at random places until `share` of the image is changed; a share of
// 1 changes every byte after the header.
Pair makePair(double share)
{
    std::mt19937 random(2025);
    Pair made{test::randomImage(ImageSize, 7), {}};
    made.edited = made.original;
    if (share >= 1) {
        for (std::size_t i = 16; i < ImageSize; ++i)
            made.edited[i] = static_cast<std::uint8_t>(~made.original[i]);
        return made;
    }
    for (std::size_t changed = 0; changed < static_cast<std::size_t>(ImageSize * share);) {
        const std::size_t at = 16 + random() % (ImageSize - 48), length = 1 + random() % 32;
        for (std::size_t i = at; i < at + length; ++i, ++changed)
            made.edited[i] = static_cast<std::uint8_t>(made.original[i] + 1 + random() % 255);
    }
    return made;
}

void BM_Diff(benchmark::State& state, double share)
{
    const Pair images = makePair(share);
    std::size_t differences = 0;
    for (auto _ : state) {
        const ImageDiff diff = diffImages(images.original, images.edited, test::defaultAddresses());
        differences = diff.differences.size();
        benchmark::DoNotOptimize(diff.differences.data());
    }
    state.counters["differences"] = static_cast<double>(differences);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ImageSize));
}

BENCHMARK(vx::bench::MemcpyBaseline)->Name("BM_DiffMemcpy")->Arg(ImageSize)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Diff, OnePercent, 0.01)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Diff, EveryByte, 1.0)->Unit(benchmark::kMillisecond);

} // namespace
