// The LZ77 exports: known-answer vectors, decoder corner cases, encoder limits and round
// trips. Corrupt and cut streams are in BoundsTest.cpp, the encoder's identity with the
// exhaustive search in Lz77DifferentialTest.cpp.

#include "Lz77Oracle.h"
#include "PelnixTestData.h"
#include "pelnix.h"
#include "pelnix_codecs.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <vector>

namespace quarnel::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// LZ77Comp into a buffer of exactly the worst-case size.
Bytes CompressExport(const Bytes& input) {
    Bytes out(pelnix_lz77_max_stream(static_cast<uint32_t>(input.size())));
    out.resize(LZ77Comp(static_cast<uint32_t>(input.size()), input.data(), out.data()));
    return out;
}

struct Lz77Vector {
    const char* name;
    Bytes input;
    Bytes stream;
};

class Lz77Vectors : public ::testing::TestWithParam<Lz77Vector> {};

TEST_P(Lz77Vectors, EncodeDecodeAndMeasure) {
    const Lz77Vector& v = GetParam();
    EXPECT_EQ(CompressExport(v.input), v.stream);
    EXPECT_EQ(ExhaustiveLz77(v.input, MatchEndRule::Library), v.stream) << "oracle disagrees";
    Bytes out(v.input.size());
    LZ77UnComp(v.stream.data(), out.data());
    EXPECT_EQ(out, v.input);
    EXPECT_EQ(LZ77GetCompSize(v.stream.data()), v.stream.size());
}

INSTANTIATE_TEST_SUITE_P(
    Known, Lz77Vectors,
    ::testing::Values(
        Lz77Vector{"OneByte", {0x41}, {0x10, 0x01, 0x00, 0x00, 0x00, 0x41}},
        // Distance 1 is never used: two literals, then length 8 from distance 2.
        Lz77Vector{"TenEqualBytes",
                   Bytes(10, 0x41),
                   {0x10, 0x0A, 0x00, 0x00, 0x20, 0x41, 0x41, 0x50, 0x01}},
        Lz77Vector{
            "ThreeDistinct", {0x41, 0x42, 0x43}, {0x10, 0x03, 0x00, 0x00, 0x00, 0x41, 0x42, 0x43}},
        Lz77Vector{"Empty", {}, {0x10, 0x00, 0x00, 0x00}},
        // A match may run into the bytes it produces.
        Lz77Vector{"OverlappingMatch",
                   Text("ABCABCABC"),
                   {0x10, 0x09, 0x00, 0x00, 0x10, 0x41, 0x42, 0x43, 0x30, 0x02}},
        // Among equal lengths the farthest distance wins (8, not 4).
        Lz77Vector{
            "FarthestWins",
            Text("abcXabcYabc"),
            {0x10, 0x0B, 0x00, 0x00, 0x0A, 0x61, 0x62, 0x63, 0x58, 0x00, 0x03, 0x59, 0x00, 0x07}},
        // Lengths cap at 18; the last two bytes cannot start a match of 3.
        Lz77Vector{"CappedAt18",
                   Bytes(40, 0x41),
                   {0x10, 0x28, 0x00, 0x00, 0x30, 0x41, 0x41, 0xF0, 0x01, 0xF0, 0x13, 0x41, 0x41}}),
    [](const ::testing::TestParamInfo<Lz77Vector>& paramInfo) { return paramInfo.param.name; });

TEST(Lz77, DecoderCornerCases) {
    // Size 0: nothing written, length 4.
    const Bytes empty{0x10, 0x00, 0x00, 0x00, 0xAA, 0xBB};
    uint8_t sentinel = 0x5A;
    LZ77UnComp(empty.data(), &sentinel);
    EXPECT_EQ(sentinel, 0x5A);
    EXPECT_EQ(LZ77GetCompSize(empty.data()), 4u);
    // Distance 1 (D = 0), which the encoder never writes: five bytes from one.
    const Bytes distanceOne{0x10, 0x05, 0x00, 0x00, 0x40, 0x41, 0x10, 0x00};
    Bytes five(5);
    LZ77UnComp(distanceOne.data(), five.data());
    EXPECT_EQ(five, Bytes(5, 0x41));
    // A reference of 18 where 2 bytes remain: decoding stops at the declared size.
    const Bytes cut{0x10, 0x03, 0x00, 0x00, 0x40, 0x41, 0xF0, 0x00};
    Bytes three(3);
    LZ77UnComp(cut.data(), three.data());
    EXPECT_EQ(three, Bytes(3, 0x41));
    EXPECT_EQ(LZ77GetCompSize(cut.data()), cut.size());
}

TEST(Lz77, EncoderLimits) {
    // A size beyond the 24-bit header is refused before anything is read or written.
    uint8_t in = 0;
    Bytes out(8, 0xEE);
    EXPECT_EQ(LZ77Comp(0x1000000, &in, out.data()), 0u);
    uint32_t written = 99;
    EXPECT_EQ(pelnix_lz77_encode(&in, 0x1000000, out.data(), out.size(), &written),
              PELNIX_INPUT_TOO_LARGE);
    EXPECT_EQ(written, 0u);
    // The output must hold the all-literal worst case, which is reached exactly.
    const Bytes input = Text("no repeats here");
    const auto n = static_cast<uint32_t>(input.size());
    EXPECT_EQ(pelnix_lz77_encode(input.data(), n, out.data(), out.size(), &written),
              PELNIX_DESTINATION_TOO_SMALL);
    EXPECT_EQ(out, Bytes(8, 0xEE));
    EXPECT_EQ(CompressExport(input).size(), pelnix_lz77_max_stream(n));
}

TEST(Lz77, RoundTripsThroughTheExports) {
    TestRandom random(77);
    for (int round = 0; round < 60; ++round) {
        for (const InputKind kind : kAllInputKinds) {
            const size_t size = round < 50 ? random.Below(700) : random.Between(4000, 12000);
            const Bytes input = MakeInput(kind, size, random);
            const Bytes stream = CompressExport(input);
            ASSERT_EQ(LZ77GetCompSize(stream.data()), stream.size()) << Name(kind) << " " << size;
            Bytes out(input.size());
            LZ77UnComp(stream.data(), out.data());
            ASSERT_EQ(out, input) << Name(kind) << " " << size;
        }
    }
}

// The DLL runs on Windows threads: the encoder must fit a small stack.
TEST(Lz77, EncoderRunsOnA64KiBStack) {
    struct Job {
        Bytes input;
        Bytes output;
        uint32_t written = 0;
    } job;
    TestRandom random(64);
    job.input = MakeInput(InputKind::Tiles, 5000, random);
    job.output.resize(pelnix_lz77_max_stream(5000));
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    const auto run = [](void* argument) -> void* {
        auto* j = static_cast<Job*>(argument);
        pelnix_lz77_encode(j->input.data(), static_cast<uint32_t>(j->input.size()),
                           j->output.data(), j->output.size(), &j->written);
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);
    job.output.resize(job.written);
    EXPECT_EQ(job.output, ExhaustiveLz77(job.input, MatchEndRule::Library));
}

} // namespace
} // namespace quarnel::testing
