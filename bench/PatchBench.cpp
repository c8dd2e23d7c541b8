// Making and applying IPS and BPS patches of a 1 MiB image with 1 % of its bytes changed
// in scattered runs, beside a memcpy of the same size.
#include "bench/MemcpyBaseline.h"
#include "core/files/Patch.h"
#include "core/model/RomImage.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace vx;

namespace {

constexpr std::size_t ImageSize = 1 << 20;

struct Pair {
    std::vector<std::uint8_t> original, edited;
};

// Runs of 1 to 32 bytes at random places, random bytes or one repeated byte, until 1 %
// of the image is changed.
const Pair& samplePair()
{
    static const Pair pair = [] {
        std::mt19937 random(2024);
        Pair made;
        made.original.resize(ImageSize);
        for (auto& byte : made.original)
            byte = static_cast<std::uint8_t>(random());
        made.edited = made.original;
        std::size_t changed = 0;
        while (changed < ImageSize / 100) {
            const std::size_t at = random() % (ImageSize - 32), length = 1 + random() % 32;
            const bool run = random() % 2 == 0;
            const auto value = static_cast<std::uint8_t>(random());
            for (std::size_t i = at; i < at + length; ++i) {
                made.edited[i] = run ? value : static_cast<std::uint8_t>(made.original[i] + 1 + random() % 255);
                ++changed;
            }
        }
        return made;
    }();
    return pair;
}

void BM_Make(benchmark::State& state, PatchFormat format)
{
    const Pair& images = samplePair();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto patch = makePatch(format, images.original, images.edited);
        size = patch.size();
        benchmark::DoNotOptimize(patch.data());
    }
    state.counters["patch_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ImageSize));
}

void BM_Apply(benchmark::State& state, PatchFormat format)
{
    const Pair& images = samplePair();
    const auto patch = makePatch(format, images.original, images.edited);
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        Result<std::vector<std::uint8_t>> applied =
            applyPatch(patch, images.original, static_cast<std::size_t>(MaxImageSize));
        if (!applied.ok()) {
            state.SkipWithError(applied.error().message.c_str());
            break;
        }
        out = std::move(applied.value());
        benchmark::DoNotOptimize(out.data());
    }
    if (out != images.edited)
        state.SkipWithError("the patch did not apply back");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ImageSize));
}

BENCHMARK(vx::bench::MemcpyBaseline)->Name("BM_PatchMemcpy")->Arg(ImageSize)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Make, Ips, PatchFormat::Ips)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Apply, Ips, PatchFormat::Ips)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Make, Bps, PatchFormat::Bps)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Apply, Bps, PatchFormat::Bps)->Unit(benchmark::kMicrosecond);

} // namespace
