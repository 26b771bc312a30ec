// Tile sheets, tile files and palette files: the sheet's layout and colours, palette PNGs as
// other programs write them (every bit depth, row filter and interlacing), the files that are
// refused, and the order of the palette files.

#include "side/TileFiles.h"
#include "graphics/ImageFiles.h"
#include "graphics/IndexedPng.h"
#include "side/PaletteFiles.h"

#include "TestRandom.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>

namespace quarnel {
namespace {

TileGraphics RandomTiles(uint32_t seed) {
    testing::TestRandom random(seed);
    TileGraphics tiles{};
    for (auto& byte : tiles) {
        byte = static_cast<uint8_t>(random.Next());
    }
    return tiles;
}

ColourTable Colours() {
    ColourTable colours{};
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = PixelFromGbaColour(static_cast<uint16_t>(i * 0x0123));
    }
    return colours;
}

TEST(TileSheet, PlacesTilesSixteenPerRowInTheChosenRowsColours) {
    const TileGraphics tiles = RandomTiles(7);
    const IndexedImage sheet = TileSheet(tiles, Colours(), 5);
    ASSERT_EQ(sheet.Width, 128);
    ASSERT_EQ(sheet.Height, 424);
    EXPECT_TRUE(std::equal(sheet.Palette.begin(), sheet.Palette.end(), Colours().begin()));
    // Tile 837 (column 5, row 52), pixel (3, 6): byte 4 * 6 + 1, high nibble.
    const uint8_t byte = tiles[837 * 32 + 25];
    EXPECT_EQ(sheet.Indices[(52 * 8 + 6) * 128 + 5 * 8 + 3], 16 * 5 + (byte >> 4));
    // The 8 cells after tile 839 are index 0, not row 5's colour 0.
    for (int y = 416; y < 424; ++y) {
        for (int x = 64; x < 128; ++x) {
            ASSERT_EQ(sheet.Indices[static_cast<size_t>(y * 128 + x)], 0) << x << "," << y;
        }
    }
    auto back = TilesFromFileBytes(*EncodeIndexedPng(sheet));
    ASSERT_TRUE(back) << Describe(back.error());
    EXPECT_EQ(*back, tiles);
}

// A palette PNG written the way other programs may write one.
struct PngVariant {
    int depth;
    bool interlaced;
    int filter;
};

class ForeignPng : public ::testing::TestWithParam<PngVariant> {};

void Chunk(std::string& out, const char* type, const std::string& data) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((data.size() >> shift) & 0xFF));
    }
    const std::string body = std::string(type, 4) + data;
    out += body;
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((crc >> shift) & 0xFF));
    }
}

// Packs `indices` (w x h) with the variant's depth, pass layout and filter, all rows alike.
std::string ForeignFile(const std::vector<uint8_t>& indices, int w, int h, const PngVariant& v) {
    const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int whole[1][4] = {{0, 0, 1, 1}};
    std::string raw;
    for (int p = 0; p < (v.interlaced ? 7 : 1); ++p) {
        const int* pass = v.interlaced ? passes[p] : whole[0];
        const int pw = w > pass[0] ? (w - pass[0] + pass[2] - 1) / pass[2] : 0;
        const int ph = h > pass[1] ? (h - pass[1] + pass[3] - 1) / pass[3] : 0;
        std::vector<uint8_t> previous((static_cast<size_t>(pw * v.depth) + 7) / 8, 0);
        for (int y = 0; y < ph && pw > 0; ++y) {
            std::vector<uint8_t> row(previous.size(), 0);
            for (int x = 0; x < pw; ++x) {
                const int bit = x * v.depth;
                const int value = indices[static_cast<size_t>((pass[1] + y * pass[3]) * w +
                                                              pass[0] + x * pass[2])];
                row[static_cast<size_t>(bit / 8)] |=
                    static_cast<uint8_t>(value << (8 - v.depth - bit % 8));
            }
            raw.push_back(static_cast<char>(v.filter));
            for (size_t i = 0; i < row.size(); ++i) {
                const int a = i > 0 ? row[i - 1] : 0;
                const int b = previous[i];
                const int c = i > 0 ? previous[i - 1] : 0;
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                const int paeth = pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
                const int predicted[5] = {0, a, b, (a + b) / 2, paeth};
                raw.push_back(static_cast<char>(row[i] - predicted[v.filter]));
            }
            previous = row;
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    packed.resize(size);
    std::string header;
    for (int value : {w, h}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<char>((value >> shift) & 0xFF));
        }
    }
    header += std::string{static_cast<char>(v.depth), 3, 0, 0, static_cast<char>(v.interlaced)};
    std::string file = "\x89PNG\r\n\x1A\n";
    Chunk(file, "IHDR", header);
    Chunk(file, "PLTE", std::string(3 << v.depth, '\x40'));
    Chunk(file, "IDAT", packed.substr(0, packed.size() / 2)); // data split over two chunks
    Chunk(file, "IDAT", packed.substr(packed.size() / 2));
    Chunk(file, "IEND", "");
    return file;
}

TEST_P(ForeignPng, DecodesToTheSameIndices) {
    const PngVariant v = GetParam();
    const int w = 13; // odd sizes leave partial bytes and empty Adam7 passes
    const int h = 11;
    testing::TestRandom random(static_cast<uint32_t>(v.depth * 10 + v.filter));
    std::vector<uint8_t> indices(w * h);
    for (auto& index : indices) {
        index = static_cast<uint8_t>(random.Next() & ((1u << v.depth) - 1));
    }
    const std::string file = ForeignFile(indices, w, h, v);
    auto image =
        DecodeIndexedPng(std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    ASSERT_TRUE(image) << Describe(image.error());
    EXPECT_EQ(image->Width, w);
    EXPECT_EQ(image->Palette.size(), size_t{1} << v.depth);
    EXPECT_EQ(image->Indices, indices);
}

std::vector<PngVariant> Variants() {
    std::vector<PngVariant> variants;
    for (int depth : {1, 2, 4, 8}) {
        for (int filter = 0; filter < 5; ++filter) {
            variants.push_back({depth, filter % 2 == 1, filter});
        }
    }
    return variants;
}

INSTANTIATE_TEST_SUITE_P(Variants, ForeignPng, ::testing::ValuesIn(Variants()),
                         [](const ::testing::TestParamInfo<PngVariant>& variant) {
                             return "depth" + std::to_string(variant.param.depth) + "_filter" +
                                    std::to_string(variant.param.filter) +
                                    (variant.param.interlaced ? "_interlaced" : "");
                         });

TEST(TileFilesRefused, EveryFileThatIsNotTilesSaysWhy) {
    const IndexedImage sheet = TileSheet(RandomTiles(1), Colours(), 0);
    IndexedImage shortSheet = sheet;
    shortSheet.Height = 416;
    shortSheet.Indices.resize(128 * 416);
    Surface colour(128, 424);
    auto damaged = *EncodeIndexedPng(sheet);
    damaged[40] ^= 1;
    auto truncated = *EncodeIndexedPng(sheet);
    truncated.resize(truncated.size() - 30);

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* says;
    } cases[] = {
        {"wrong size", *EncodeIndexedPng(shortSheet), "128 x 416 pixels"},
        {"true colour", *EncodePng(colour), "true-colour"},
        {"damaged chunk", damaged, "CRC"},
        {"truncated", truncated, "ends inside a chunk"},
        {"one byte too many", std::vector<uint8_t>(26881, 1), "26,881 bytes"},
        {"empty", {}, "0 bytes"},
    };
    for (const auto& c : cases) {
        auto tiles = TilesFromFileBytes(c.bytes);
        ASSERT_FALSE(tiles) << c.name;
        EXPECT_EQ(tiles.error().kind, ErrorKind::BadImage) << c.name;
        EXPECT_NE(tiles.error().detail.find(c.says), std::string::npos)
            << c.name << ": " << tiles.error().detail;
    }
    EXPECT_TRUE(TilesFromFileBytes(std::vector<uint8_t>(26880, 0x21)));
}

TEST(PaletteFiles, ColourMajorBinaryAndRowMajorText) {
    const ColourTable colours = Colours();
    const auto bytes = PaletteFileBytes(colours);
    // Entry 16c + r holds colour c of row r: colour 2 of row 7 is entry 39.
    const uint32_t pixel = colours[16 * 7 + 2];
    EXPECT_EQ(bytes[4 * 39], RedOf(pixel));
    EXPECT_EQ(bytes[4 * 39 + 1], GreenOf(pixel));
    EXPECT_EQ(bytes[4 * 39 + 2], BlueOf(pixel));
    EXPECT_EQ(bytes[4 * 39 + 3], 0);

    std::istringstream text(JascPalText(colours));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\r');
        lines.push_back(line.substr(0, line.size() - 1));
    }
    ASSERT_EQ(lines.size(), 259u);
    EXPECT_EQ(lines[0], "JASC-PAL");
    EXPECT_EQ(lines[2], "256");
    EXPECT_EQ(lines[3 + 16 * 7 + 2], std::to_string(RedOf(pixel)) + " " +
                                         std::to_string(GreenOf(pixel)) + " " +
                                         std::to_string(BlueOf(pixel)));
}

} // namespace
} // namespace quarnel
