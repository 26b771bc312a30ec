#include "graphics/IndexedPng.h"

#include "common/Checksums.h"
#include "common/Files.h"
#include "graphics/PngChunks.h"
#include "graphics/Surface.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quarnel {

namespace {

constexpr size_t kHeaderChunkBytes = 13;
constexpr uint32_t kChunkLengthLimit = 0x7FFFFFFF;

Error ImageError(const std::string& detail) {
    return Error{ErrorKind::BadImage, detail, std::nullopt};
}

uint32_t LoadBe32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
           static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

struct Chunk {
    std::array<char, 4> type{};
    std::span<const uint8_t> data;

    bool Is(const char (&name)[5]) const { return std::memcmp(type.data(), name, 4) == 0; }
};

// Walks the chunks after the signature, checking each one's bounds and CRC.
class ChunkReader {
public:
    explicit ChunkReader(std::span<const uint8_t> file)
        : m_file(file), m_at(sizeof kPngSignature) {}

    bool AtEnd() const { return m_at >= m_file.size(); }

    Result<Chunk, Error> Next() {
        if (m_file.size() - m_at < 12) {
            return Fail(ImageError("the PNG file ends inside a chunk"));
        }
        const uint32_t length = LoadBe32(m_file, m_at);
        if (length > kChunkLengthLimit || m_file.size() - m_at - 12 < length) {
            return Fail(ImageError("the PNG file ends inside a chunk"));
        }
        Chunk chunk;
        std::memcpy(chunk.type.data(), m_file.data() + m_at + 4, 4);
        chunk.data = m_file.subspan(m_at + 8, length);
        const uint32_t stored = LoadBe32(m_file, m_at + 8 + length);
        if (Crc32(m_file.subspan(m_at + 4, length + 4)) != stored) {
            return Fail(ImageError("the PNG file is damaged (chunk " +
                                   std::string(chunk.type.data(), 4) + " fails its CRC check)"));
        }
        m_at += 12 + length;
        return chunk;
    }

private:
    std::span<const uint8_t> m_file;
    size_t m_at;
};

bool DepthAllowed(PngColourType type, uint8_t depth) {
    switch (type) {
    case PngColourType::Greyscale:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case PngColourType::Indexed:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case PngColourType::TrueColour:
    case PngColourType::GreyscaleAlpha:
    case PngColourType::TrueColourAlpha:
        return depth == 8 || depth == 16;
    }
    return false;
}

Result<PngInfo, Error> ParseHeader(const Chunk& chunk) {
    if (!chunk.Is("IHDR") || chunk.data.size() != kHeaderChunkBytes) {
        return Fail(ImageError("the PNG file does not start with its header chunk"));
    }
    const uint32_t width = LoadBe32(chunk.data, 0);
    const uint32_t height = LoadBe32(chunk.data, 4);
    const uint8_t depth = chunk.data[8];
    const uint8_t type = chunk.data[9];
    if (width == 0 || height == 0 || width > kChunkLengthLimit || height > kChunkLengthLimit) {
        return Fail(ImageError("the PNG header gives an impossible size"));
    }
    if (type > 6 || type == 1 || type == 5 || !DepthAllowed(PngColourType{type}, depth)) {
        return Fail(ImageError("the PNG header gives an unknown pixel format"));
    }
    if (chunk.data[10] != 0 || chunk.data[11] != 0 || chunk.data[12] > 1) {
        return Fail(ImageError("the PNG header names an unknown compression, filter or "
                               "interlace method"));
    }
    return PngInfo{static_cast<int>(width), static_cast<int>(height), depth, PngColourType{type},
                   chunk.data[12] == 1};
}

// One pass of the picture: its pixels start at (x0, y0) and step by (dx, dy).
struct Pass {
    int x0, y0, dx, dy;
};
constexpr Pass kWholePicture[] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                           {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

int PassSize(int size, int start, int step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

size_t RowBytes(int width, int depth) {
    return (static_cast<size_t>(width) * static_cast<size_t>(depth) + 7) / 8;
}

// The bytes the zlib stream must give for every pass: a filter byte and the row per row.
size_t RawSize(const PngInfo& info, std::span<const Pass> passes) {
    size_t total = 0;
    for (const Pass& pass : passes) {
        const int w = PassSize(info.Width, pass.x0, pass.dx);
        const int h = PassSize(info.Height, pass.y0, pass.dy);
        if (w > 0 && h > 0) {
            total += static_cast<size_t>(h) * (1 + RowBytes(w, info.BitDepth));
        }
    }
    return total;
}

Result<void, Error> Inflate(std::span<const uint8_t> compressed, std::span<uint8_t> raw) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return Fail(ImageError("the PNG data cannot be unpacked (zlib failed to start)"));
    }
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = raw.data();
    stream.avail_out = static_cast<uInt>(raw.size());
    int status = Z_OK;
    while (status == Z_OK && stream.avail_out > 0) {
        status = inflate(&stream, Z_NO_FLUSH);
    }
    const bool filled = stream.avail_out == 0;
    inflateEnd(&stream);
    // A stream that filled the picture counts, whatever follows it; one that ends or breaks
    // before does not.
    if (!filled) {
        return Fail(ImageError(status == Z_STREAM_END || status == Z_BUF_ERROR
                                   ? "the PNG holds less image data than its size needs"
                                   : "the PNG image data is damaged"));
    }
    return {};
}

uint8_t Paeth(uint8_t a, uint8_t b, uint8_t c) {
    const int p = int{a} + int{b} - int{c};
    const int pa = std::abs(p - int{a});
    const int pb = std::abs(p - int{b});
    const int pc = std::abs(p - int{c});
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

// Undoes the row filters of one pass in place; `bpp` is the filter's byte step (1 for every
// palette format).
Result<void, Error> Unfilter(std::span<uint8_t> rows, size_t rowBytes, size_t rowCount,
                             size_t bpp) {
    const size_t stride = rowBytes + 1;
    for (size_t y = 0; y < rowCount; ++y) {
        const uint8_t filter = rows[y * stride];
        uint8_t* row = rows.data() + y * stride + 1;
        const uint8_t* up = y > 0 ? rows.data() + (y - 1) * stride + 1 : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            const uint8_t a = i >= bpp ? row[i - bpp] : 0;
            const uint8_t b = up != nullptr ? up[i] : 0;
            const uint8_t c = up != nullptr && i >= bpp ? up[i - bpp] : 0;
            switch (filter) {
            case 0:
                break;
            case 1:
                row[i] = static_cast<uint8_t>(row[i] + a);
                break;
            case 2:
                row[i] = static_cast<uint8_t>(row[i] + b);
                break;
            case 3:
                row[i] = static_cast<uint8_t>(row[i] + (int{a} + int{b}) / 2);
                break;
            case 4:
                row[i] = static_cast<uint8_t>(row[i] + Paeth(a, b, c));
                break;
            default:
                return Fail(ImageError("the PNG uses an unknown row filter"));
            }
        }
    }
    return {};
}

} // namespace

const char* PngColourTypeWords(PngColourType type) {
    switch (type) {
    case PngColourType::Greyscale:
        return "a greyscale image";
    case PngColourType::TrueColour:
        return "a true-colour image";
    case PngColourType::Indexed:
        return "a palette image";
    case PngColourType::GreyscaleAlpha:
        return "a greyscale image with transparency";
    case PngColourType::TrueColourAlpha:
        return "a true-colour image with transparency";
    }
    return "an image of unknown kind";
}

Result<PngInfo, Error> ReadPngInfo(std::span<const uint8_t> file) {
    if (file.size() < sizeof kPngSignature ||
        std::memcmp(file.data(), kPngSignature, sizeof kPngSignature) != 0) {
        return Fail(ImageError("the file is not a PNG picture"));
    }
    ChunkReader chunks(file);
    auto first = chunks.Next();
    if (!first) {
        return Fail(first.error());
    }
    return ParseHeader(*first);
}

Result<IndexedImage, Error> DecodeIndexedPng(std::span<const uint8_t> file) {
    auto header = ReadPngInfo(file);
    if (!header) {
        return Fail(header.error());
    }
    const PngInfo info = *header;
    if (info.ColourType != PngColourType::Indexed) {
        return Fail(ImageError(std::string("the PNG is ") + PngColourTypeWords(info.ColourType) +
                               ", not a palette image"));
    }
    if (int64_t{info.Width} * info.Height > kPngPixelLimit) {
        return Fail(ImageError("the PNG is too large"));
    }
    IndexedImage image;
    image.Width = info.Width;
    image.Height = info.Height;
    std::vector<uint8_t> compressed;
    bool ended = false;
    ChunkReader chunks(file);
    (void)chunks.Next(); // the header, checked above
    while (!ended && !chunks.AtEnd()) {
        auto chunk = chunks.Next();
        if (!chunk) {
            return Fail(chunk.error());
        }
        if (chunk->Is("PLTE")) {
            if (chunk->data.size() % 3 != 0 || chunk->data.size() > 3 * 256) {
                return Fail(ImageError("the PNG palette is damaged"));
            }
            image.Palette.clear();
            for (size_t i = 0; i < chunk->data.size(); i += 3) {
                image.Palette.push_back(
                    MakePixel(chunk->data[i], chunk->data[i + 1], chunk->data[i + 2]));
            }
        } else if (chunk->Is("IDAT")) {
            compressed.insert(compressed.end(), chunk->data.begin(), chunk->data.end());
        } else if (chunk->Is("IEND")) {
            ended = true;
        }
    }
    if (image.Palette.empty()) {
        return Fail(ImageError("the PNG has no palette"));
    }

    const std::span<const Pass> passes =
        info.Interlaced ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWholePicture);
    std::vector<uint8_t> raw(RawSize(info, passes));
    if (auto inflated = Inflate(compressed, raw); !inflated) {
        return Fail(inflated.error());
    }
    image.Indices.assign(static_cast<size_t>(info.Width) * static_cast<size_t>(info.Height), 0);
    const int depth = info.BitDepth;
    const unsigned mask = (1u << depth) - 1;
    size_t at = 0;
    for (const Pass& pass : passes) {
        const int w = PassSize(info.Width, pass.x0, pass.dx);
        const int h = PassSize(info.Height, pass.y0, pass.dy);
        if (w == 0 || h == 0) {
            continue;
        }
        const size_t rowBytes = RowBytes(w, depth);
        const size_t passBytes = static_cast<size_t>(h) * (rowBytes + 1);
        const auto rows = std::span(raw).subspan(at, passBytes);
        if (auto unfiltered = Unfilter(rows, rowBytes, static_cast<size_t>(h), 1); !unfiltered) {
            return Fail(unfiltered.error());
        }
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = rows.data() + static_cast<size_t>(y) * (rowBytes + 1) + 1;
            for (int x = 0; x < w; ++x) {
                const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(depth);
                const unsigned shift = 8 - static_cast<unsigned>(depth) - bit % 8;
                const auto value = static_cast<uint8_t>((row[bit / 8] >> shift) & mask);
                const size_t px = static_cast<size_t>(pass.x0 + x * pass.dx);
                const size_t py = static_cast<size_t>(pass.y0 + y * pass.dy);
                image.Indices[py * static_cast<size_t>(info.Width) + px] = value;
            }
        }
        at += passBytes;
    }
    return image;
}

Result<std::vector<uint8_t>, Error> EncodeIndexedPng(const IndexedImage& image) {
    const auto badArgument = [](const std::string& detail) {
        return Fail(Error{ErrorKind::BadArgument, detail, std::nullopt});
    };
    if (image.Width <= 0 || image.Height <= 0 ||
        int64_t{image.Width} * image.Height > kPngPixelLimit) {
        return badArgument("a palette picture must have between 1 and 16,777,216 pixels");
    }
    if (image.Palette.empty() || image.Palette.size() > 256) {
        return badArgument("a palette picture needs 1 to 256 colours");
    }
    const size_t width = static_cast<size_t>(image.Width);
    if (image.Indices.size() != width * static_cast<size_t>(image.Height)) {
        return badArgument("the palette picture's pixels do not match its size");
    }
    std::vector<uint8_t> raw;
    raw.reserve((width + 1) * static_cast<size_t>(image.Height));
    for (size_t y = 0; y < static_cast<size_t>(image.Height); ++y) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), image.Indices.begin() + static_cast<std::ptrdiff_t>(y * width),
                   image.Indices.begin() + static_cast<std::ptrdiff_t>((y + 1) * width));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return badArgument("the palette picture could not be packed");
    }
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    AppendBe32(header, static_cast<uint32_t>(image.Width));
    AppendBe32(header, static_cast<uint32_t>(image.Height));
    header.insert(header.end(), {8, static_cast<uint8_t>(PngColourType::Indexed), 0, 0, 0});
    std::vector<uint8_t> palette;
    for (const uint32_t colour : image.Palette) {
        palette.insert(palette.end(), {RedOf(colour), GreenOf(colour), BlueOf(colour)});
    }
    std::vector<uint8_t> out(std::begin(kPngSignature), std::end(kPngSignature));
    AppendPngChunk(out, "IHDR", header);
    AppendPngChunk(out, "PLTE", palette);
    AppendPngChunk(out, "IDAT", packed);
    AppendPngChunk(out, "IEND", {});
    return out;
}

Result<void, Error> WriteIndexedPng(const IndexedImage& image, const std::filesystem::path& path) {
    auto bytes = EncodeIndexedPng(image);
    if (!bytes) {
        return Fail(bytes.error());
    }
    return WriteFileAtomically(path, *bytes);
}

} // namespace quarnel
