// The Huffman decoder: hand-made streams, and round trips of the test encoder's streams in
// 4-bit and 8-bit mode through the export and the core.

#include "HuffmanTestEncoder.h"
#include "PelnixTestData.h"
#include "pelnix.h"
#include "pelnix_codecs.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace quarnel::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Decodes through the export and through the core (exact-size buffers); both must agree.
Bytes Decode(const Bytes& stream, size_t size) {
    Bytes out(size);
    HuffUnComp(stream.data(), out.data());
    Bytes core(size);
    size_t written = 0;
    EXPECT_EQ(pelnix_huff_decode(stream.data(), stream.size(), core.data(), size, &written),
              PELNIX_OK);
    EXPECT_EQ(written, size);
    EXPECT_EQ(core, out);
    return out;
}

struct HuffVector {
    const char* name;
    Bytes stream;
    Bytes output;
};

class HuffVectors : public ::testing::TestWithParam<HuffVector> {};

TEST_P(HuffVectors, Decodes) {
    EXPECT_EQ(Decode(GetParam().stream, GetParam().output.size()), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, HuffVectors,
    ::testing::Values(
        // Root 0xC0: both children leaves, A on 0, B on 1; bits 0110.
        HuffVector{"EightBitTwoLeaves",
                   {0x28, 0x04, 0x00, 0x00, 0x01, 0xC0, 0x41, 0x42, 0x00, 0x00, 0x00, 0x60},
                   {0x41, 0x42, 0x42, 0x41}},
        // Nibbles low first: 1 2 2 1 gives 0x21 0x12.
        HuffVector{"FourBitLowNibbleFirst",
                   {0x24, 0x02, 0x00, 0x00, 0x01, 0xC0, 0x01, 0x02, 0x00, 0x00, 0x00, 0x60},
                   {0x21, 0x12}},
        // A on 0, B on 10, C on 11 (an inner node at 7, its pair at 8), one padding pair.
        HuffVector{"EightBitTwoLevels",
                   {0x28, 0x04, 0x00, 0x00, 0x03, 0x80, 0x41, 0xC0, 0x42, 0x43, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x58},
                   {0x41, 0x42, 0x43, 0x41}},
        // The root's offset is ignored: its children are always at 6 and 7.
        HuffVector{"RootOffsetIgnored",
                   {0x28, 0x04, 0x00, 0x00, 0x01, 0xFF, 0x41, 0x42, 0x00, 0x00, 0x00, 0x60},
                   {0x41, 0x42, 0x42, 0x41}},
        // 33 symbols: B, 30 times A, B, then B from bit 31 of the second word.
        HuffVector{"AcrossWords",
                   {0x28, 0x21, 0x00, 0x00, 0x01, 0xC0, 0x41, 0x42, 0x01, 0x00, 0x00, 0x80, 0x00,
                    0x00, 0x00, 0x80},
                   [] {
                       Bytes b(33, 0x41);
                       b[0] = b[31] = b[32] = 0x42;
                       return b;
                   }()},
        HuffVector{"SizeZero", {0x28, 0x00, 0x00, 0x00}, {}}),
    [](const ::testing::TestParamInfo<HuffVector>& paramInfo) { return paramInfo.param.name; });

TEST(Huffman, EightBitRoundTrips) {
    TestRandom random(8);
    for (int round = 0; round < 300; ++round) {
        const uint32_t symbols = random.Between(1, 40);
        const size_t size = round < 280 ? random.Below(400) : random.Between(5000, 20000);
        const Bytes data = SkewedData(size, symbols, random);
        ASSERT_EQ(Decode(HuffmanEncode(data, 8), data.size()), data) << symbols << " symbols";
    }
}

TEST(Huffman, FourBitRoundTrips) {
    TestRandom random(4);
    for (int round = 0; round < 80; ++round) {
        for (const InputKind kind : kAllInputKinds) {
            const Bytes data = MakeInput(kind, random.Below(round < 75 ? 500 : 20000), random);
            ASSERT_EQ(Decode(HuffmanEncode(data, 4), data.size()), data) << Name(kind);
        }
    }
    // One distinct symbol: the encoder's root has it as both children.
    EXPECT_EQ(Decode(HuffmanEncode(Bytes(999, 0x33), 4), 999), Bytes(999, 0x33));
    EXPECT_EQ(Decode(HuffmanEncode(Bytes(999, 0xA5), 8), 999), Bytes(999, 0xA5));
}

TEST(Huffman, TestEncoderRefusesWhatItCannotLayOut) {
    EXPECT_THROW(HuffmanEncode(Counting(256, 0), 8), std::invalid_argument);
    EXPECT_THROW(HuffmanEncode(Bytes(4, 1), 5), std::invalid_argument);
}

} // namespace
} // namespace quarnel::testing
