// Pelnix's LZ77 encoder (the core behind LZ77Comp) against the exhaustive reference search
// on tile graphics and minimap data. Each input's streams are checked for identity once,
// before its first measurement.

#include "Lz77Oracle.h"
#include "SampleData.h"
#include "pelnix_codecs.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using quarnel::testing::ExhaustiveLz77;
using quarnel::testing::MatchEndRule;

struct Sample {
    Bytes input;
    bool identical = false;
};

Bytes FastLz77(const Bytes& input) {
    Bytes out(pelnix_lz77_max_stream(static_cast<uint32_t>(input.size())));
    uint32_t written = 0;
    if (pelnix_lz77_encode(input.data(), static_cast<uint32_t>(input.size()), out.data(),
                           out.size(), &written) != PELNIX_OK) {
        return {};
    }
    out.resize(written);
    return out;
}

Sample MakeSample(Bytes input) {
    Sample sample{std::move(input)};
    sample.identical =
        FastLz77(sample.input) == ExhaustiveLz77(sample.input, MatchEndRule::Library);
    return sample;
}

const Sample& Tiles() {
    static const Sample sample = MakeSample(quarnel::testing::TileLikeData(20736, 1));
    return sample;
}

const Sample& Minimap() {
    static const Sample sample = MakeSample(quarnel::testing::MinimapLikeData(2048, 1));
    return sample;
}

void LZ77Comp_Fast(benchmark::State& state, const Sample& (*sample)()) {
    const Sample& s = sample();
    if (!s.identical) {
        state.SkipWithError("the fast stream differs from the exhaustive one");
        return;
    }
    Bytes out(pelnix_lz77_max_stream(static_cast<uint32_t>(s.input.size())));
    uint32_t written = 0;
    for (auto _ : state) {
        pelnix_lz77_encode(s.input.data(), static_cast<uint32_t>(s.input.size()), out.data(),
                           out.size(), &written);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.input.size()));
    state.counters["stream_bytes"] = written;
}

void LZ77Comp_Exhaustive(benchmark::State& state, const Sample& (*sample)()) {
    const Sample& s = sample();
    size_t length = 0;
    for (auto _ : state) {
        const Bytes out = ExhaustiveLz77(s.input, MatchEndRule::Library);
        length = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.input.size()));
    state.counters["stream_bytes"] = static_cast<double>(length);
}

BENCHMARK_CAPTURE(LZ77Comp_Fast, tiles_20736, Tiles)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LZ77Comp_Exhaustive, tiles_20736, Tiles)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LZ77Comp_Fast, minimap_2048, Minimap)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LZ77Comp_Exhaustive, minimap_2048, Minimap)->Unit(benchmark::kMicrosecond);

} // namespace
