// The run-length exports: RLComp (the room layer block form) and the BIOS run-length
// decoder and scanner, by known-answer vectors and round trips.

#include "PelnixTestData.h"
#include "pelnix.h"
#include "pelnix_codecs.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarnel::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// RLComp into a buffer of exactly the worst-case size.
Bytes RLCompExport(const Bytes& input) {
    Bytes out(pelnix_rlcomp_max_output(static_cast<uint32_t>(input.size())));
    out.resize(RLComp(static_cast<uint32_t>(input.size()), input.data(), out.data()));
    return out;
}

struct RlVector {
    const char* name;
    Bytes decoded;
    Bytes encoded;
};

class RlCompVectors : public ::testing::TestWithParam<RlVector> {};

TEST_P(RlCompVectors, WritesTheBlocks) {
    EXPECT_EQ(RLCompExport(GetParam().decoded), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Known, RlCompVectors,
    ::testing::Values(RlVector{"FiveZeros", Bytes(5, 0x00), {0x85, 0x00}},
                      RlVector{"ThreeDistinct", {0x01, 0x02, 0x03}, {0x03, 0x01, 0x02, 0x03}},
                      RlVector{"LiteralsThenRun",
                               {0x01, 0x02, 0x05, 0x05, 0x05, 0x05},
                               {0x02, 0x01, 0x02, 0x84, 0x05}},
                      RlVector{"RunOf130", Bytes(130, 0x07), {0xFF, 0x07, 0x83, 0x07}},
                      RlVector{"TwoHundredDistinct", Counting(200, 0),
                               Concat({{0x7F}, Counting(127, 0), {0x49}, Counting(73, 127)})},
                      // Two equal bytes at the end stay literals.
                      RlVector{"TwoEqualAtTheEnd", {0x01, 0x05, 0x05}, {0x03, 0x01, 0x05, 0x05}},
                      RlVector{"Empty", {}, {}},
                      // A run of 128 leaves one byte: a literal block, never a run of 1.
                      RlVector{"RunOf128", Bytes(128, 0x09), {0xFF, 0x09, 0x01, 0x09}},
                      RlVector{"FullLiteralBlockThenRun",
                               Concat({Counting(127, 1), Bytes(4, 0xEE)}),
                               Concat({{0x7F}, Counting(127, 1), {0x84, 0xEE}})}),
    [](const ::testing::TestParamInfo<RlVector>& paramInfo) { return paramInfo.param.name; });

TEST(RlComp, RoundTripsWithinTheFormsLimits) {
    TestRandom random(127);
    for (int round = 0; round < 150; ++round) {
        for (const InputKind kind : kAllInputKinds) {
            const Bytes input = MakeInput(kind, random.Below(round < 140 ? 600 : 30000), random);
            const Bytes blocks = RLCompExport(input);
            // DecodeLayerBlocks refuses counts of 0; runs must also be 3 or longer.
            ASSERT_EQ(DecodeLayerBlocks(blocks), input) << Name(kind);
            for (size_t i = 0; i < blocks.size(); i += (blocks[i] & 0x80) ? 2 : 1 + blocks[i]) {
                ASSERT_TRUE(blocks[i] < 0x80 || blocks[i] >= 0x83) << Name(kind);
            }
        }
    }
    // The worst case is reached exactly, and required.
    const Bytes distinct = Counting(254, 0);
    EXPECT_EQ(RLCompExport(distinct).size(), pelnix_rlcomp_max_output(254));
    Bytes out(pelnix_rlcomp_max_output(254) - 1, 0xEE);
    uint32_t written = 99;
    EXPECT_EQ(pelnix_rl_layer_encode(distinct.data(), 254, out.data(), out.size(), &written),
              PELNIX_DESTINATION_TOO_SMALL);
    EXPECT_EQ(out, Bytes(out.size(), 0xEE));
}

class RlStreamVectors : public ::testing::TestWithParam<RlVector> {};

TEST_P(RlStreamVectors, DecodeAndMeasure) {
    const RlVector& v = GetParam();
    Bytes out(v.decoded.size());
    RLUnComp(v.encoded.data(), out.data());
    EXPECT_EQ(out, v.decoded);
    EXPECT_EQ(RLGetCompSize(v.encoded.data()), v.encoded.size());
}

INSTANTIATE_TEST_SUITE_P(
    Known, RlStreamVectors,
    ::testing::Values(
        RlVector{"RunOfFive", Bytes(5, 0x41), {0x30, 0x05, 0x00, 0x00, 0x82, 0x41}},
        RlVector{"SizeZero", {}, {0x30, 0x00, 0x00, 0x00}},
        // The last run of 3 stops after one byte: the declared size is reached.
        RlVector{"LiteralsAndRuns",
                 {0x61, 0x62, 0x63, 0x63, 0x63, 0x64, 0x65},
                 {0x30, 0x07, 0x00, 0x00, 0x01, 0x61, 0x62, 0x80, 0x63, 0x00, 0x64, 0x80, 0x65}},
        RlVector{"LongestBlocks", Concat({Counting(128, 0), Bytes(130, 0x33)}),
                 Concat({{0x30, 0x02, 0x01, 0x00, 0x7F}, Counting(128, 0), {0xFF, 0x33}})}),
    [](const ::testing::TestParamInfo<RlVector>& paramInfo) { return paramInfo.param.name; });

TEST(RlUnComp, RoundTripsStreamsOfEveryBlockShape) {
    TestRandom random(30);
    for (int round = 0; round < 120; ++round) {
        for (const InputKind kind : kAllInputKinds) {
            const Bytes input = MakeInput(kind, random.Below(round < 110 ? 800 : 20000), random);
            const size_t maxLiteral = random.Chance(50) ? 128 : random.Between(1, 128);
            const size_t maxRun = random.Chance(50) ? 130 : random.Between(3, 130);
            const Bytes stream = BiosRlEncode(input, maxLiteral, maxRun);
            ASSERT_EQ(RLGetCompSize(stream.data()), stream.size()) << Name(kind);
            Bytes out(input.size());
            RLUnComp(stream.data(), out.data());
            ASSERT_EQ(out, input) << Name(kind);
        }
    }
}

} // namespace
} // namespace quarnel::testing
