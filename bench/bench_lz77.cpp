// The editor's LZ77 encoder against the exhaustive farthest-first search it must match byte
// for byte, on tile graphics and minimap data; and the decoder on the same streams.

#include "graphics/Lz77Codec.h"

#include "Lz77Oracle.h"
#include "Lz77SampleData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

using quarnel::testing::MatchEndRule;

constexpr size_t kTileBytes = 20736;   // 648 tiles of 8x8 pixels at 4 bits per pixel
constexpr size_t kMinimapBytes = 2048; // 32x32 entries of 16 bits

// An input with its stream, made once. Refuses to time an encoder whose stream differs
// from the exhaustive search's.
struct Sample {
    std::vector<uint8_t> input;
    std::vector<uint8_t> stream;
};

Sample MakeSample(std::vector<uint8_t> input) {
    Sample sample{std::move(input), {}};
    sample.stream = quarnel::CompressLZ77(sample.input);
    if (sample.stream != quarnel::testing::ExhaustiveLz77(sample.input, MatchEndRule::Editor)) {
        std::fprintf(stderr, "CompressLZ77 differs from the exhaustive search\n");
        std::abort();
    }
    return sample;
}

const Sample& Tiles() {
    static const Sample sample = MakeSample(quarnel::testing::EditorTileData(kTileBytes, 1));
    return sample;
}

const Sample& Minimap() {
    static const Sample sample = MakeSample(quarnel::testing::EditorMinimapData(kMinimapBytes, 1));
    return sample;
}

void Report(benchmark::State& state, size_t inputSize, size_t streamSize) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(inputSize));
    state.counters["ratio"] = static_cast<double>(streamSize) / static_cast<double>(inputSize);
}

void Compress(benchmark::State& state, const Sample& sample) {
    const auto& input = sample.input;
    std::vector<uint8_t> out(quarnel::Lz77MaxCompressedSize(input.size()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(quarnel::CompressLZ77(input, out));
        benchmark::ClobberMemory();
    }
    Report(state, input.size(), sample.stream.size());
}

void CompressExhaustive(benchmark::State& state, const Sample& sample) {
    const auto& input = sample.input;
    for (auto _ : state) {
        auto stream = quarnel::testing::ExhaustiveLz77(input, MatchEndRule::Editor);
        benchmark::DoNotOptimize(stream.data());
    }
    Report(state, input.size(), sample.stream.size());
}

void Decompress(benchmark::State& state, const Sample& sample) {
    const auto& stream = sample.stream;
    std::vector<uint8_t> out(sample.input.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(quarnel::DecompressLZ77(stream, out));
        benchmark::ClobberMemory();
    }
    Report(state, out.size(), stream.size());
}

void BM_Lz77CompressTiles(benchmark::State& state) {
    Compress(state, Tiles());
}
void BM_Lz77CompressTilesExhaustive(benchmark::State& state) {
    CompressExhaustive(state, Tiles());
}
void BM_Lz77CompressMinimap(benchmark::State& state) {
    Compress(state, Minimap());
}
void BM_Lz77CompressMinimapExhaustive(benchmark::State& state) {
    CompressExhaustive(state, Minimap());
}
void BM_Lz77DecompressTiles(benchmark::State& state) {
    Decompress(state, Tiles());
}
void BM_Lz77DecompressMinimap(benchmark::State& state) {
    Decompress(state, Minimap());
}

BENCHMARK(BM_Lz77CompressTiles);
BENCHMARK(BM_Lz77CompressTilesExhaustive);
BENCHMARK(BM_Lz77CompressMinimap);
BENCHMARK(BM_Lz77CompressMinimapExhaustive);
BENCHMARK(BM_Lz77DecompressTiles);
BENCHMARK(BM_Lz77DecompressMinimap);

} // namespace
