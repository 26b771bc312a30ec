// The fast LZ77 encoder against the exhaustive reference search: byte-identical streams on
// thousands of random and structured inputs.

#include "Lz77Oracle.h"
#include "PelnixTestData.h"
#include "SampleData.h"
#include "pelnix_codecs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarnel::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes FastLz77(const Bytes& input) {
    Bytes out(pelnix_lz77_max_stream(static_cast<uint32_t>(input.size())));
    uint32_t written = 0;
    EXPECT_EQ(pelnix_lz77_encode(input.data(), static_cast<uint32_t>(input.size()), out.data(),
                                 out.size(), &written),
              PELNIX_OK);
    out.resize(written);
    return out;
}

// The first differing byte, for a readable failure.
std::string FirstDifference(const Bytes& fast, const Bytes& oracle) {
    size_t i = 0;
    while (i < fast.size() && i < oracle.size() && fast[i] == oracle[i]) {
        ++i;
    }
    return "lengths " + std::to_string(fast.size()) + " / " + std::to_string(oracle.size()) +
           ", first difference at stream byte " + std::to_string(i);
}

void ExpectSameAsOracle(const Bytes& input, const std::string& what) {
    const Bytes fast = FastLz77(input);
    const Bytes oracle = ExhaustiveLz77(input, MatchEndRule::Library);
    ASSERT_TRUE(fast == oracle) << what << " (" << input.size()
                                << " bytes): " << FirstDifference(fast, oracle);
}

struct SizeBand {
    const char* name;
    size_t low;
    size_t high;
    int count; // inputs per kind
};

void PrintTo(const SizeBand& band, std::ostream* os) {
    *os << band.name;
}

class Lz77Differential : public ::testing::TestWithParam<SizeBand> {};

TEST_P(Lz77Differential, FastEqualsExhaustive) {
    const SizeBand& band = GetParam();
    TestRandom random(band.low * 31 + band.high);
    for (const InputKind kind : kAllInputKinds) {
        for (int i = 0; i < band.count; ++i) {
            const size_t size =
                random.Between(static_cast<uint32_t>(band.low), static_cast<uint32_t>(band.high));
            const Bytes input = MakeInput(kind, size, random);
            ExpectSameAsOracle(input, Name(kind) + " #" + std::to_string(i));
        }
    }
}

// 7 kinds each: 2,800 tiny and small inputs, 42 around the window size and 7 large ones
// (the exhaustive search dominates the run time).
INSTANTIATE_TEST_SUITE_P(Sizes, Lz77Differential,
                         ::testing::Values(SizeBand{"Tiny", 0, 40, 250},
                                           SizeBand{"Small", 41, 600, 150},
                                           SizeBand{"AroundTheWindow", 3000, 9000, 6},
                                           SizeBand{"Large", 20000, 40000, 1}),
                         [](const ::testing::TestParamInfo<SizeBand>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(Lz77Differential, EveryTinyInputOverTwoValues) {
    // All 2^12 inputs of 12 bytes over {0, 1}: every overlap and tie at short range.
    for (uint32_t bits = 0; bits < (1u << 12); ++bits) {
        Bytes input(12);
        for (size_t i = 0; i < input.size(); ++i) {
            input[i] = static_cast<uint8_t>((bits >> i) & 1);
        }
        ExpectSameAsOracle(input, "pattern " + std::to_string(bits));
    }
}

TEST(Lz77Differential, LongRunsAndLargeInputs) {
    ExpectSameAsOracle(Bytes(70000, 0), "70,000 zeros");
    Bytes pattern(70000);
    for (size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<uint8_t>(i % 4096 == 0 ? 0xFF : (i * 7) % 13);
    }
    ExpectSameAsOracle(pattern, "a period-13 pattern with marks every 4,096 bytes");
    ExpectSameAsOracle(TileLikeData(70000, 5), "70,000 bytes of tiles");
    ExpectSameAsOracle(MinimapLikeData(8192, 6), "a large minimap");
}

TEST(Lz77Differential, RepeatsExactlyAtTheWindowEdge) {
    // A block repeated at distance d: 4096 is the farthest reachable, 4097 is not.
    TestRandom random(4096);
    for (size_t distance = 4094; distance <= 4098; ++distance) {
        for (size_t blockSize : {3, 18, 19}) {
            Bytes input(distance + blockSize + 8);
            for (auto& byte : input) {
                byte = random.Byte();
            }
            for (size_t i = 0; i < blockSize; ++i) {
                input[distance + i] = input[i];
            }
            ExpectSameAsOracle(input, "distance " + std::to_string(distance) + ", block " +
                                          std::to_string(blockSize));
        }
    }
}

} // namespace
} // namespace quarnel::testing
