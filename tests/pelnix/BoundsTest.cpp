// The bounded cores on cut, corrupt and oversized input: every failure is a status, what
// was written stays, and nothing outside the exact-size buffers is touched (the sanitizer
// build checks that).

#include "HuffmanTestEncoder.h"
#include "PelnixTestData.h"
#include "pelnix.h"
#include "pelnix_codecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quarnel::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using Decoder = PelnixStatus (*)(const uint8_t*, size_t, uint8_t*, size_t, size_t*);
using Scanner = PelnixStatus (*)(const uint8_t*, size_t, uint32_t*);

Bytes Lz77Stream(const Bytes& input) {
    Bytes out(pelnix_lz77_max_stream(static_cast<uint32_t>(input.size())));
    uint32_t written = 0;
    pelnix_lz77_encode(input.data(), static_cast<uint32_t>(input.size()), out.data(), out.size(),
                       &written);
    out.resize(written);
    return out;
}

struct Codec {
    const char* name;
    Decoder decode;
    Scanner scan; // none for Huffman
    Bytes stream; // valid, several blocks or groups
    Bytes output;
};

Bytes SampleText() {
    const char text[] = "abcabcabcabcXYZXYZabcXYZ--abcabcabcXYZ!!!!!!!!!!!!!!!!!!!!!!!!?";
    return Bytes(text, text + sizeof text - 1);
}

std::vector<Codec> Codecs() {
    TestRandom random(2);
    const Bytes skewed = SkewedData(300, 12, random);
    return {
        {"Lz77", pelnix_lz77_decode, pelnix_lz77_stream_length, Lz77Stream(SampleText()),
         SampleText()},
        {"Rl", pelnix_rl_decode, pelnix_rl_stream_length, BiosRlEncode(SampleText(), 5),
         SampleText()},
        {"Huffman8", pelnix_huff_decode, nullptr, HuffmanEncode(skewed, 8), skewed},
        {"Huffman4", pelnix_huff_decode, nullptr, HuffmanEncode(skewed, 4), skewed},
    };
}

class Bounds : public ::testing::TestWithParam<Codec> {};

TEST_P(Bounds, WholeStreamDecodes) {
    const Codec& c = GetParam();
    Bytes out(c.output.size());
    size_t written = 0;
    EXPECT_EQ(c.decode(c.stream.data(), c.stream.size(), out.data(), out.size(), &written),
              PELNIX_OK);
    EXPECT_EQ(out, c.output);
    uint32_t length = 0;
    if (c.scan != nullptr) {
        EXPECT_EQ(c.scan(c.stream.data(), c.stream.size(), &length), PELNIX_OK);
        EXPECT_EQ(length, c.stream.size());
    }
}

TEST_P(Bounds, EveryCutIsReportedAndKeepsWhatWasWritten) {
    const Codec& c = GetParam();
    for (size_t cut = 0; cut < c.stream.size(); ++cut) {
        const Bytes prefix(c.stream.begin(), c.stream.begin() + static_cast<std::ptrdiff_t>(cut));
        Bytes out(c.output.size());
        size_t written = 0;
        ASSERT_EQ(c.decode(prefix.data(), prefix.size(), out.data(), out.size(), &written),
                  PELNIX_SOURCE_TRUNCATED)
            << "cut at " << cut;
        ASSERT_LT(written, c.output.size());
        ASSERT_TRUE(std::equal(c.output.begin(),
                               c.output.begin() + static_cast<std::ptrdiff_t>(written),
                               out.begin()));
        uint32_t length = 0;
        if (c.scan != nullptr) {
            ASSERT_EQ(c.scan(prefix.data(), prefix.size(), &length), PELNIX_SOURCE_TRUNCATED)
                << "cut at " << cut;
        }
    }
}

TEST_P(Bounds, TooSmallDestinationGetsNothing) {
    const Codec& c = GetParam();
    Bytes out(c.output.size() - 1, 0xEE);
    size_t written = 99;
    EXPECT_EQ(c.decode(c.stream.data(), c.stream.size(), out.data(), out.size(), &written),
              PELNIX_DESTINATION_TOO_SMALL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(out, Bytes(out.size(), 0xEE));
}

INSTANTIATE_TEST_SUITE_P(Decoders, Bounds, ::testing::ValuesIn(Codecs()),
                         [](const ::testing::TestParamInfo<Codec>& paramInfo) {
                             return paramInfo.param.name;
                         });

struct Corrupt {
    const char* name;
    Decoder decode;
    Bytes stream;
    size_t destination;
    PelnixStatus status;
    size_t written;
};

class CorruptStreams : public ::testing::TestWithParam<Corrupt> {};

TEST_P(CorruptStreams, StopWithTheirStatus) {
    const Corrupt& c = GetParam();
    Bytes out(c.destination);
    size_t written = 99;
    EXPECT_EQ(c.decode(c.stream.data(), c.stream.size(), out.data(), out.size(), &written),
              c.status);
    EXPECT_EQ(written, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, CorruptStreams,
    ::testing::Values(
        Corrupt{"Lz77ShortHeader",
                pelnix_lz77_decode,
                {0x10, 0x01, 0x00},
                1,
                PELNIX_SOURCE_TRUNCATED,
                0},
        // A literal, then distance 2 at output position 1.
        Corrupt{"Lz77BeforeTheStart",
                pelnix_lz77_decode,
                {0x10, 0x05, 0x00, 0x00, 0x40, 0x41, 0x10, 0x01},
                5,
                PELNIX_BAD_REFERENCE,
                1},
        Corrupt{"Lz77FirstTokenAReference",
                pelnix_lz77_decode,
                {0x10, 0x03, 0x00, 0x00, 0x80, 0x00, 0x00},
                3,
                PELNIX_BAD_REFERENCE,
                0},
        // The root's child 0 is an inner node whose pair would lie at 8, past a one-pair table.
        Corrupt{"HuffmanPastTheTable",
                pelnix_huff_decode,
                {0x28, 0x02, 0x00, 0x00, 0x01, 0x40, 0x00, 0x41, 0x00, 0x00, 0x00, 0x00},
                2,
                PELNIX_BAD_TREE,
                0},
        // Offset 63 from the first pair of a three-pair table.
        Corrupt{"HuffmanFarOffset",
                pelnix_huff_decode,
                {0x28, 0x01, 0x00, 0x00, 0x03, 0x00, 0x3F, 0x00, 0x41, 0x42, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00},
                1,
                PELNIX_BAD_TREE,
                0},
        Corrupt{"HuffmanTableLongerThanTheStream",
                pelnix_huff_decode,
                {0x28, 0x01, 0x00, 0x00, 0xFF, 0xC0, 0x41, 0x42},
                1,
                PELNIX_SOURCE_TRUNCATED,
                0}),
    [](const ::testing::TestParamInfo<Corrupt>& paramInfo) { return paramInfo.param.name; });

TEST(Bounds, ExportsStopQuietlyOnCorruptStreams) {
    Bytes out(3, 0xEE);
    const Bytes badReference{0x10, 0x03, 0x00, 0x00, 0x80, 0x00, 0x00};
    LZ77UnComp(badReference.data(), out.data());
    const Bytes badTree{0x28, 0x02, 0x00, 0x00, 0x01, 0x40, 0x00, 0x41, 0x00, 0x00, 0x00, 0x00};
    HuffUnComp(badTree.data(), out.data());
    EXPECT_EQ(out, Bytes(3, 0xEE));
}

TEST(Bounds, ScannersCountTheLastBlockAtFullWidth) {
    // LZ77, declared 5: four literals and a reference whose second byte is past the buffer.
    const Bytes lz77{0x10, 0x05, 0x00, 0x00, 0x08, 0x41, 0x41, 0x41, 0x41, 0x00};
    uint32_t length = 0;
    EXPECT_EQ(pelnix_lz77_stream_length(lz77.data(), lz77.size(), &length),
              PELNIX_SOURCE_TRUNCATED);
    EXPECT_EQ(length, 11u);
    // Run-length, declared 1 in a block of 128 literals: the decoder needs one byte, the
    // scanner (like the export) counts the block's full width.
    const Bytes rl{0x30, 0x01, 0x00, 0x00, 0x7F, 0x41};
    EXPECT_EQ(pelnix_rl_stream_length(rl.data(), rl.size(), &length), PELNIX_SOURCE_TRUNCATED);
    EXPECT_EQ(length, 133u);
    EXPECT_EQ(RLGetCompSize(rl.data()), 133u);
    uint8_t out = 0;
    EXPECT_EQ(pelnix_rl_decode(rl.data(), rl.size(), &out, 1, nullptr), PELNIX_OK);
    EXPECT_EQ(out, 0x41);
}

} // namespace
} // namespace quarnel::testing
