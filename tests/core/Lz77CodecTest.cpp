#include "graphics/Lz77Codec.h"

#include "Lz77Oracle.h"
#include "Lz77SampleData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

namespace quarnel {
namespace {

using Bytes = std::vector<uint8_t>;

// Cases are named after their `name`, in test names and in failure messages.
template <class Case>
std::string NameOf(const ::testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

template <class Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

Bytes Oracle(const Bytes& input) {
    return testing::ExhaustiveLz77(input, testing::MatchEndRule::Editor);
}

constexpr uint8_t kFill = 0xEE; // destination bytes before a call

// --- Encoder: exact streams -------------------------------------------------------------

struct EncodeCase {
    std::string name;
    Bytes input;
    Bytes stream;
};

class Lz77Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Lz77Encode, GivesTheExactStream) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(CompressLZ77(c.input), c.stream);
    EXPECT_EQ(Oracle(c.input), c.stream);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Lz77Encode,
    ::testing::Values(
        EncodeCase{"Empty", {}, {0x10, 0, 0, 0}},
        EncodeCase{"OneByte", {0x41}, {0x10, 1, 0, 0, 0x00, 0x41}},
        EncodeCase{"NoRepeats", {1, 2, 3}, {0x10, 3, 0, 0, 0x00, 1, 2, 3}},
        // A match that reaches the last byte counts one short: 7, not 8, then a literal.
        EncodeCase{
            "TenEqual", Bytes(10, 0x41), {0x10, 10, 0, 0, 0x20, 0x41, 0x41, 0x40, 0x01, 0x41}},
        EncodeCase{
            "TwentyEqual", Bytes(20, 0x41), {0x10, 20, 0, 0, 0x20, 0x41, 0x41, 0xE0, 0x01, 0x41}},
        EncodeCase{"TwentyOneEqualThenOther",
                   {0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41,
                    0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x42},
                   {0x10, 22, 0, 0, 0x20, 0x41, 0x41, 0xF0, 0x01, 0x41, 0x42}},
        // Nine literals: the second group holds only the one piece left.
        EncodeCase{"SecondGroupHoldsTheRest",
                   {1, 2, 3, 4, 5, 6, 7, 8, 9},
                   {0x10, 9, 0, 0, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 0x00, 9}}),
    NameOf<EncodeCase>);

// Distance 300 and distance 2 both give 4 bytes at position 310; the farther one wins.
TEST(Lz77EncodeChoice, EqualLengthsTakeTheFartherDistance) {
    Bytes input(316);
    for (size_t i = 0; i < input.size(); ++i) {
        input[i] = static_cast<uint8_t>(0x20 + i % 223);
    }
    std::fill_n(input.begin() + 10, 5, 0x01);  // A x5 at 10
    std::fill_n(input.begin() + 305, 9, 0x01); // A x9 at 305, 5 copied from 10, then 4 more
    input[314] = 0x03;
    const Bytes stream = CompressLZ77(input);
    EXPECT_EQ(stream, Oracle(input));
    const Bytes far = {0x11, 0x2B}; // length 4, field 299; distance 2 would be 10 01
    EXPECT_NE(std::search(stream.begin(), stream.end(), far.begin(), far.end()), stream.end());
}

TEST(Lz77EncodeLimits, RefusesTooSmallDestinationsAndTooLargeInputs) {
    EXPECT_EQ(Lz77MaxCompressedSize(0), 4u);
    EXPECT_EQ(Lz77MaxCompressedSize(8), 13u);
    EXPECT_EQ(Lz77MaxCompressedSize(9), 15u);

    const Bytes input(9, 0x41);
    Bytes destination(Lz77MaxCompressedSize(input.size()) - 1, kFill);
    EXPECT_EQ(CompressLZ77(input, destination), 0u);
    EXPECT_EQ(destination, Bytes(destination.size(), kFill));

    const Bytes huge(0x1000000, 0);
    EXPECT_TRUE(CompressLZ77(huge).empty());
}

// --- Decoder -----------------------------------------------------------------------------

struct DecodeCase {
    std::string name;
    Bytes stream;
    uint32_t declared;
    Bytes output; // the destination afterwards, its size as given; untouched bytes keep kFill
};

class Lz77Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Lz77Decode, WritesOnlyWhatTheStreamYields) {
    const DecodeCase& c = GetParam();
    Bytes destination(c.output.size(), kFill);
    EXPECT_EQ(DecompressLZ77(c.stream, destination), c.declared);
    EXPECT_EQ(destination, c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Lz77Decode,
    ::testing::Values(
        DecodeCase{"TypeByteIgnored", {0x40, 3, 0, 0, 0x00, 1, 2, 3}, 3, {1, 2, 3}},
        DecodeCase{"ZeroSize", {0x10, 0, 0, 0, 0x00, 1}, 0, {kFill, kFill}},
        DecodeCase{"StopsInsideAMatch",
                   {0x10, 5, 0, 0, 0x20, 1, 2, 0xF0, 0x01},
                   5,
                   {1, 2, 1, 2, 1, kFill, kFill, kFill}},
        DecodeCase{"StopsInsideAGroup", {0x10, 2, 0, 0, 0x00, 1, 2, 3, 4}, 2, {1, 2, kFill, kFill}},
        DecodeCase{"ShortDestination", {0x10, 8, 0, 0, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}, 8, {1, 2}},
        DecodeCase{
            "MissingLiteralsAreSkipped", {0x10, 4, 0, 0, 0x00, 1}, 4, {1, kFill, kFill, kFill}},
        // The match at 1 reaches back to -1 (skipped), then copies 0 and the unwritten 1.
        DecodeCase{"MatchBeforeTheStartIsSkipped",
                   {0x10, 6, 0, 0, 0x40, 1, 0x00, 0x01},
                   6,
                   {1, kFill, 1, kFill, kFill, kFill}},
        // Past the source's end, flags and both match bytes keep their last values.
        DecodeCase{"MissingMatchBytesRepeat",
                   {0x10, 11, 0, 0, 0x3F, 1, 2, 0x00, 0x01},
                   11,
                   {1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1}},
        DecodeCase{"MissingFlagRepeats",
                   {0x10, 15, 0, 0, 0x81, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 0x00, 0x05},
                   15,
                   {kFill, kFill, kFill, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6}},
        DecodeCase{"HeaderCutShort", {0x10, 2}, 2, {kFill, kFill}},
        DecodeCase{"EmptyDestination", {0x10, 3, 0, 0, 0x00, 1, 2, 3}, 3, {}}),
    NameOf<DecodeCase>);

// A truncated or corrupted stream decodes into any destination without leaving it (the
// sanitizer build checks the accesses), and a shorter destination receives exactly the
// start of what a full-size one receives.
TEST(Lz77DecodeDamaged, StaysInsideTheBuffersAndDecodesPrefixes) {
    std::mt19937 random(7);
    const Bytes stream = CompressLZ77(testing::EditorTileData(600, 3));
    for (int round = 0; round < 300; ++round) {
        Bytes damaged(stream.begin(), stream.begin() + random() % (stream.size() + 1));
        for (uint32_t flips = random() % 4; flips > 0 && damaged.size() > 4; --flips) {
            damaged[4 + random() % (damaged.size() - 4)] = static_cast<uint8_t>(random());
        }
        if (round % 3 == 0 && damaged.size() >= 4) {
            damaged[1] = static_cast<uint8_t>(random()); // declared size up to 64 KiB
            damaged[2] = static_cast<uint8_t>(random());
            damaged[3] = 0;
        }
        // Header bytes missing from a short stream count as zero.
        size_t declared = 0;
        for (size_t i = 1; i < 4 && i < damaged.size(); ++i) {
            declared |= size_t(damaged[i]) << (8 * (i - 1));
        }
        Bytes full(declared, kFill);
        EXPECT_EQ(DecompressLZ77(damaged, full), declared);
        Bytes partial(random() % (declared + 1), kFill);
        EXPECT_EQ(DecompressLZ77(damaged, partial), declared);
        ASSERT_TRUE(std::equal(partial.begin(), partial.end(), full.begin())) << "round " << round;
    }
}

// --- Encoder against the exhaustive search, and round trips ------------------------------

struct Family {
    std::string name;
    int count;
    std::function<Bytes(std::mt19937&, int)> make; // the index counts from 0
};

size_t Below(std::mt19937& random, size_t limit) {
    return random() % limit;
}

Bytes RandomBytes(std::mt19937& random, size_t size, unsigned alphabet) {
    Bytes bytes(size);
    for (auto& byte : bytes) {
        byte = static_cast<uint8_t>(Below(random, alphabet));
    }
    return bytes;
}

Bytes Runs(std::mt19937& random, size_t size) {
    Bytes bytes;
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), 1 + Below(random, 40), static_cast<uint8_t>(Below(random, 4)));
    }
    bytes.resize(size);
    return bytes;
}

// A block repeated with occasional changed bytes; the periods around 4096 probe the edge of
// the window.
Bytes RepeatedBlocks(std::mt19937& random, size_t size, size_t period) {
    const Bytes block = RandomBytes(random, period, 256);
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = Below(random, 50) == 0 ? static_cast<uint8_t>(random()) : block[i % period];
    }
    return bytes;
}

uint32_t Seed(std::mt19937& random) {
    return static_cast<uint32_t>(random());
}

class Lz77Differential : public ::testing::TestWithParam<Family> {};

TEST_P(Lz77Differential, MatchesTheExhaustiveSearchAndRoundTrips) {
    const Family& family = GetParam();
    std::mt19937 random(static_cast<uint32_t>(std::hash<std::string>{}(family.name)));
    for (int i = 0; i < family.count; ++i) {
        const Bytes input = family.make(random, i);
        const Bytes stream = CompressLZ77(input);
        ASSERT_EQ(stream, Oracle(input))
            << family.name << " #" << i << ", " << input.size() << " bytes";
        Bytes decoded(input.size());
        EXPECT_EQ(DecompressLZ77(stream, decoded), input.size());
        ASSERT_EQ(decoded, input) << family.name << " #" << i;
        // Where a stored stream ends: data after it is not part of it, a stream cut short is
        // no stream.
        Bytes stored = stream;
        stored.insert(stored.end(), {0x10, 0xFF, 0x00});
        ASSERT_EQ(Lz77StreamLength(stored), stream.size()) << family.name << " #" << i;
        ASSERT_FALSE(Lz77StreamLength(std::span(stream).first(stream.size() - 1)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Families, Lz77Differential,
    ::testing::Values(
        Family{"Random", 1000, [](auto& r, int) { return RandomBytes(r, Below(r, 300), 256); }},
        Family{"SmallAlphabet", 300,
               [](auto& r, int) {
                   return RandomBytes(r, Below(r, 1500), 2 + static_cast<unsigned>(Below(r, 3)));
               }},
        Family{"Runs", 400, [](auto& r, int) { return Runs(r, Below(r, 5000)); }},
        Family{"RepeatedBlocks", 200,
               [](auto& r, int) { return RepeatedBlocks(r, Below(r, 3000), 1 + Below(r, 300)); }},
        Family{"WindowEdge", 5,
               [](auto& r, int i) { return RepeatedBlocks(r, 10000, 4094 + size_t(i)); }},
        Family{"Tiles", 120,
               [](auto& r, int) { return testing::EditorTileData(Below(r, 6000), Seed(r)); }},
        Family{"Minimap", 150,
               [](auto& r, int) { return testing::EditorMinimapData(Below(r, 4096), Seed(r)); }},
        // Long enough for the match finder's position ring to wrap several times.
        Family{"LargeTiles", 2,
               [](auto& r, int) { return testing::EditorTileData(70000, Seed(r)); }},
        Family{"LargeZeros", 1, [](auto&, int) { return Bytes(70000, 0); }},
        Family{"LargeBinary", 1, [](auto& r, int) { return RandomBytes(r, 30000, 2); }}),
    NameOf<Family>);

} // namespace
} // namespace quarnel
