#include "graphics/ImageFiles.h"

#include "common/ByteOrder.h"
#include "common/Checksums.h"
#include "common/Files.h"
#include "graphics/PngChunks.h"

#include <string>
#include <system_error>

namespace quarnel {

namespace {

constexpr size_t kBmpHeaderBytes = 54;     // file header 14 + info header 40
constexpr uint32_t kPixelsPerMetre = 2835; // 72 dots per inch
constexpr size_t kStoredBlockLimit = 65535;
constexpr uint64_t kFileSizeLimit = 0x7FFFFFFF;

Error PictureError(const std::string& detail) {
    return Error{ErrorKind::BadArgument, detail, {}};
}

void AppendLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

// A picture has a file form when it has pixels and the file stays within 32-bit sizes.
Result<void, Error> CheckSize(const Surface& picture, uint64_t fileBytes) {
    if (picture.Width() <= 0 || picture.Height() <= 0) {
        return Fail(PictureError("the picture is empty"));
    }
    if (fileBytes > kFileSizeLimit) {
        return Fail(PictureError("the picture is too large for an image file"));
    }
    return {};
}

// The zlib stream of `raw` in stored (uncompressed) deflate blocks.
std::vector<uint8_t> StoredZlib(std::span<const uint8_t> raw) {
    std::vector<uint8_t> out;
    const size_t blocks =
        std::max<size_t>(1, (raw.size() + kStoredBlockLimit - 1) / kStoredBlockLimit);
    out.reserve(2 + raw.size() + 5 * blocks + 4);
    out.push_back(0x78); // deflate, 32 KiB window
    out.push_back(0x01); // no dictionary; (0x78 * 256 + 0x01) is a multiple of 31
    size_t at = 0;
    do {
        const size_t length = std::min(raw.size() - at, kStoredBlockLimit);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0); // BFINAL, BTYPE 00 (stored)
        AppendLe16(out, static_cast<uint16_t>(length));
        AppendLe16(out, static_cast<uint16_t>(~length & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    AppendBe32(out, Adler32(raw));
    return out;
}

} // namespace

Result<std::vector<uint8_t>, Error> EncodeBmp(const Surface& picture) {
    const uint64_t rowBytes =
        (uint64_t{3} * static_cast<uint64_t>(picture.Width()) + 3) & ~uint64_t{3};
    const uint64_t imageBytes = rowBytes * static_cast<uint64_t>(picture.Height());
    if (auto size = CheckSize(picture, kBmpHeaderBytes + imageBytes); !size) {
        return Fail(size.error());
    }
    std::vector<uint8_t> out;
    out.reserve(kBmpHeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    AppendLe32(out, static_cast<uint32_t>(kBmpHeaderBytes + imageBytes));
    AppendLe32(out, 0); // reserved
    AppendLe32(out, static_cast<uint32_t>(kBmpHeaderBytes));
    AppendLe32(out, 40); // BITMAPINFOHEADER
    AppendLe32(out, static_cast<uint32_t>(picture.Width()));
    AppendLe32(out, static_cast<uint32_t>(picture.Height())); // positive: bottom-up rows
    AppendLe16(out, 1);                                       // planes
    AppendLe16(out, 24);                                      // bits per pixel
    AppendLe32(out, 0);                                       // no compression
    AppendLe32(out, static_cast<uint32_t>(imageBytes));
    AppendLe32(out, kPixelsPerMetre);
    AppendLe32(out, kPixelsPerMetre);
    AppendLe32(out, 0); // colours used
    AppendLe32(out, 0); // important colours
    const size_t padding = static_cast<size_t>(rowBytes) - 3 * static_cast<size_t>(picture.Width());
    for (int y = picture.Height() - 1; y >= 0; --y) {
        for (const uint32_t pixel : picture.Row(y)) {
            out.push_back(BlueOf(pixel));
            out.push_back(GreenOf(pixel));
            out.push_back(RedOf(pixel));
        }
        out.insert(out.end(), padding, uint8_t{0});
    }
    return out;
}

Result<std::vector<uint8_t>, Error> EncodePng(const Surface& picture) {
    const uint64_t rawBytes = (1 + uint64_t{3} * static_cast<uint64_t>(picture.Width())) *
                              static_cast<uint64_t>(picture.Height());
    // Stored blocks add 5 bytes per 65,535; headers and trailer stay under 100 bytes.
    if (auto size = CheckSize(picture, rawBytes + rawBytes / kStoredBlockLimit * 5 + 128); !size) {
        return Fail(size.error());
    }
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(rawBytes));
    for (int y = 0; y < picture.Height(); ++y) {
        raw.push_back(0); // filter: none
        for (const uint32_t pixel : picture.Row(y)) {
            raw.push_back(RedOf(pixel));
            raw.push_back(GreenOf(pixel));
            raw.push_back(BlueOf(pixel));
        }
    }
    std::vector<uint8_t> header;
    AppendBe32(header, static_cast<uint32_t>(picture.Width()));
    AppendBe32(header, static_cast<uint32_t>(picture.Height()));
    header.push_back(8); // bits per sample
    header.push_back(2); // colour type: RGB
    header.push_back(0); // deflate
    header.push_back(0); // adaptive filtering
    header.push_back(0); // not interlaced

    const auto stream = StoredZlib(raw);
    std::vector<uint8_t> out(std::begin(kPngSignature), std::end(kPngSignature));
    out.reserve(out.size() + stream.size() + 64);
    AppendPngChunk(out, "IHDR", header);
    AppendPngChunk(out, "IDAT", stream);
    AppendPngChunk(out, "IEND", {});
    return out;
}

Result<void, Error> WriteBmp(const Surface& picture, const std::filesystem::path& path) {
    auto bytes = EncodeBmp(picture);
    if (!bytes) {
        return Fail(bytes.error());
    }
    return WriteFileAtomically(path, *bytes);
}

Result<void, Error> WritePng(const Surface& picture, const std::filesystem::path& path) {
    auto bytes = EncodePng(picture);
    if (!bytes) {
        return Fail(bytes.error());
    }
    return WriteFileAtomically(path, *bytes);
}

} // namespace quarnel
