#include "graphics/ImageFiles.h"
#include "common/ByteOrder.h"
#include "common/Checksums.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

uint32_t LoadBe32(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t{LoadBe16(bytes, at)} << 16 | LoadBe16(bytes, at + 2);
}

TEST(Checksums, MatchKnownValuesWholeAndInPieces) {
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32(Bytes("6789"), Crc32(Bytes("12345"))), 0xCBF43926u);
    EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
    // Long runs of 0xFF show a missed reduction of the sums.
    const std::vector<uint8_t> ones(100000, 0xFF);
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(std::span(ones).subspan(7000), Adler32(std::span(ones).first(7000))),
              (b << 16) | a);
}

Surface Gradient(int width, int height) {
    Surface picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y,
                             MakePixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                       static_cast<uint32_t>(x ^ y)));
        }
    }
    return picture;
}

TEST(ImageFiles, BitmapHasBottomUpPaddedRows) {
    TempFolder folder;
    ASSERT_TRUE(WriteBmp(Gradient(3, 2), folder / "map.bmp"));
    const auto file = ReadWholeFile(folder / "map.bmp");
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(LoadLe16(file, 0), 'B' | 'M' << 8);
    const uint32_t fields[] = {static_cast<uint32_t>(file.size()), 0, 54, 40, 3, 2};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(LoadLe32(file, 2 + 4 * i), fields[i]) << i;
    }
    EXPECT_EQ(LoadLe16(file, 26), 1);  // planes
    EXPECT_EQ(LoadLe16(file, 28), 24); // bits per pixel
    // The bottom row comes first: blue, green, red per pixel, then 3 bytes of padding.
    const uint8_t bottom[12] = {1, 1, 0, 0, 1, 1, 3, 1, 2, 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(bottom), std::end(bottom), file.begin() + 54));
    EXPECT_EQ(file[54 + 12 + 3 * 2 + 2], 2); // top row, x = 2: red 2
}

// Reads back a PNG of stored deflate blocks (chunk CRCs over type and data, block lengths,
// the Adler-32 trailer); returns the width and the scanlines.
std::vector<uint8_t> ReadStoredPng(std::span<const uint8_t> file, uint32_t& width) {
    EXPECT_EQ(LoadBe32(file, 0), 0x89504E47u); // "\x89PNG"
    std::vector<uint8_t> stream, raw;
    std::string types;
    for (size_t at = 8; at + 12 <= file.size(); at += 12 + LoadBe32(file, at)) {
        const auto data = file.subspan(at + 8, LoadBe32(file, at));
        types.append(reinterpret_cast<const char*>(&file[at + 4]), 4);
        EXPECT_EQ(Crc32(file.subspan(at + 4, data.size() + 4)),
                  LoadBe32(file, at + 8 + data.size()));
        if (types.ends_with("IHDR")) {
            width = LoadBe32(data, 0);
            EXPECT_EQ(LoadBe16(data, 8), 0x0802); // 8 bits, RGB
        }
        if (types.ends_with("IDAT")) {
            stream.insert(stream.end(), data.begin(), data.end());
        }
    }
    EXPECT_EQ(types, "IHDRIDATIEND");
    EXPECT_EQ(LoadBe16(stream, 0) % 31, 0);
    size_t at = 2;
    for (bool last = false; !last; at += 5 + LoadLe16(stream, at + 1)) {
        last = stream[at] == 1; // stored blocks: 1 for the last, 0 before
        const uint16_t length = LoadLe16(stream, at + 1);
        EXPECT_EQ(LoadLe16(stream, at + 3), static_cast<uint16_t>(~length));
        const auto data = std::span(stream).subspan(at + 5, length);
        raw.insert(raw.end(), data.begin(), data.end());
    }
    EXPECT_EQ(at + 4, stream.size());
    EXPECT_EQ(Adler32(raw), LoadBe32(stream, at));
    return raw;
}

TEST(ImageFiles, PngHoldsEveryPixelAcrossStoredBlocks) {
    TempFolder folder;
    const Surface picture = Gradient(200, 120); // 72,120 scanline bytes: two stored blocks
    ASSERT_TRUE(WritePng(picture, folder / "map.png"));
    uint32_t width = 0;
    const auto raw = ReadStoredPng(ReadWholeFile(folder / "map.png"), width);
    EXPECT_EQ(width, 200u);
    ASSERT_EQ(raw.size(), 120u * 601);
    for (int y = 0; y < 120; ++y) {
        const size_t row = static_cast<size_t>(y) * 601;
        ASSERT_EQ(raw[row], 0); // filter: none
        for (int x = 0; x < 200; ++x) {
            const size_t at = row + 1 + 3 * static_cast<size_t>(x);
            ASSERT_EQ(MakePixel(raw[at], raw[at + 1], raw[at + 2]), picture.Pixel(x, y));
        }
    }
}

TEST(ImageFiles, FailuresLeaveNoFileAndOverwritesLeaveOne) {
    TempFolder folder;
    EXPECT_EQ(WriteBmp(Surface(0, 5), folder / "a.bmp").error().kind, ErrorKind::BadArgument);
    EXPECT_EQ(WritePng(Surface(5, 0), folder / "a.png").error().kind, ErrorKind::BadArgument);
    EXPECT_EQ(WriteBmp(Surface(2, 2), folder / "no" / "a.bmp").error().kind, ErrorKind::FileWrite);
    ASSERT_TRUE(WritePng(Gradient(4, 4), folder / "b.png"));
    ASSERT_TRUE(WritePng(Gradient(2, 2), folder / "b.png"));
    uint32_t width = 0;
    ReadStoredPng(ReadWholeFile(folder / "b.png"), width);
    EXPECT_EQ(width, 2u);
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.Path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

} // namespace
} // namespace quarnel
