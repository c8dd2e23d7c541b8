#pragma once
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vx::bench {

// A memcpy of state.range(0) bytes: the baseline each benchmark stands beside.
inline void MemcpyBaseline(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    // Source and destination at different offsets within their pages: equal offsets make
    // this machine's memcpy ten times slower from 64 KiB on, which would flatter the rest.
    std::vector<std::uint8_t> from(size + 4096, 1), to(size + 4096);
    std::uint8_t* target = to.data() + 2048;
    for (auto _ : state) {
        std::memcpy(target, from.data(), size);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

} // namespace vx::bench
