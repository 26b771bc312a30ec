#include "rom/LayerCodec.h"

#include "common/Hex.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <string>

namespace quarnel {

namespace {

// Walks one layer stream with the decoder's stop rules. Every read and write goes through
// it, so no access can leave the two spans.
class StreamDecoder {
public:
    StreamDecoder(std::span<const uint8_t> source, std::span<uint8_t> destination, uint32_t limit,
                  size_t step)
        : m_source(source), m_destination(destination), m_limit(limit), m_step(step) {}

    // Decodes one pass at the current source position. False when the whole decode stops.
    bool Pass() {
        uint8_t type = 0;
        if (!Read(type)) {
            return false;
        }
        return type == 1 ? ByteCountPass() : WordCountPass();
    }

    void SetDestination(size_t position) { m_d = position; }
    LayerDecodeOutcome Outcome() const { return {m_s, m_end}; }

private:
    bool ByteCountPass() {
        uint8_t count = 0;
        if (!Read(count)) {
            return false;
        }
        while (count != 0) {
            if (!Block((count & 0x80) != 0, count & 0x7Fu)) {
                return false;
            }
            if (!Read(count)) {
                return false;
            }
        }
        return true;
    }

    bool WordCountPass() {
        uint16_t count = 0;
        if (!ReadWord(count)) {
            return false;
        }
        while (count != 0) {
            if (!Block((count & 0x8000) != 0, count & 0x7FFFu)) {
                return false;
            }
            if (!ReadWord(count)) {
                return false;
            }
        }
        return true;
    }

    // One run or literal block of `length` bytes.
    bool Block(bool run, unsigned length) {
        if (AtLimit()) {
            return false;
        }
        uint8_t value = 0;
        if (run && !Read(value)) {
            return false;
        }
        for (unsigned i = 0; i < length; ++i) {
            if (AtLimit()) {
                return false;
            }
            if (!run && !Read(value)) {
                return false;
            }
            if (!Write(value)) {
                return false;
            }
        }
        return true;
    }

    bool AtLimit() {
        if (m_d == m_limit) {
            m_end = DecodeEnd::LimitReached;
            return true;
        }
        return false;
    }

    bool Read(uint8_t& value) {
        if (m_s >= m_source.size()) {
            m_end = DecodeEnd::SourceExhausted;
            return false;
        }
        value = m_source[m_s++];
        return true;
    }

    bool ReadWord(uint16_t& value) {
        uint8_t high = 0;
        uint8_t low = 0;
        if (!Read(high) || !Read(low)) {
            return false;
        }
        value = static_cast<uint16_t>((high << 8) | low);
        return true;
    }

    bool Write(uint8_t value) {
        if (m_d >= m_destination.size()) {
            m_end = DecodeEnd::DestinationFull;
            return false;
        }
        m_destination[m_d] = value;
        m_d += m_step;
        return true;
    }

    std::span<const uint8_t> m_source;
    std::span<uint8_t> m_destination;
    size_t m_limit;
    size_t m_step;
    size_t m_s = 0;
    size_t m_d = 0;
    DecodeEnd m_end = DecodeEnd::Complete;
};

std::string LayerWhere(LayerKind kind) {
    return std::string(LayerName(kind)) + " layer";
}

// The longest stream that a layer of `cells` cells can need without zero-length blocks:
// per pass a type byte, a 16-bit count and one literal byte per cell, and the closing 0.
size_t LongestPlainStream(size_t cells, LayerKind kind) {
    const size_t passes = kind == LayerKind::Clip ? 1 : 2;
    return 2 + passes * (1 + 3 * cells + 2);
}

} // namespace

LayerDecodeOutcome DecodeLayerStream(std::span<const uint8_t> source,
                                     std::span<uint8_t> destination, uint32_t limit,
                                     LayerMode mode) {
    const bool tile16 = mode == LayerMode::Tile16;
    StreamDecoder decoder(source, destination, limit, tile16 ? 2 : 1);
    if (decoder.Pass() && tile16) {
        decoder.SetDestination(1);
        decoder.Pass();
    }
    return decoder.Outcome();
}

Result<StoredLayer, Error> DecodeStoredLayer(std::span<const uint8_t> stored, LayerKind kind) {
    if (stored.size() < 2) {
        return Fail(Error{ErrorKind::BadLayer, LayerWhere(kind) + " is cut short", {}});
    }
    const uint8_t width = stored[0];
    const uint8_t height = stored[1];
    if (width == 0 || height == 0) {
        return Fail(Error{ErrorKind::BadLayer,
                          LayerWhere(kind) + " has a size of " + std::to_string(width) + " x " +
                              std::to_string(height),
                          {}});
    }
    const size_t cells = static_cast<size_t>(width) * height;
    const bool tile16 = kind != LayerKind::Clip;
    const size_t limit = tile16 ? 2 * cells : cells;
    std::vector<uint8_t> destination(limit + 1, 0);
    const auto outcome = DecodeLayerStream(stored.subspan(2), destination,
                                           static_cast<uint32_t>(limit), ModeOf(kind));

    StoredLayer result{RoomLayer(width, height), 2 + outcome.sourceUsed, std::nullopt};
    for (size_t i = 0; i < cells; ++i) {
        const int value =
            tile16 ? destination[2 * i] | (destination[2 * i + 1] << 8) : destination[i];
        result.layer.SetCell(static_cast<int>(i % width), static_cast<int>(i / width),
                             static_cast<int16_t>(static_cast<uint16_t>(value)));
    }
    switch (outcome.end) {
    case DecodeEnd::Complete:
        break;
    case DecodeEnd::SourceExhausted:
        result.warning = Error{ErrorKind::BadLayer,
                               LayerWhere(kind) + " data ends early; the cells not reached are 0",
                               {}};
        break;
    case DecodeEnd::LimitReached:
    case DecodeEnd::DestinationFull:
        result.warning =
            Error{ErrorKind::BadLayer,
                  LayerWhere(kind) + " data runs on past its " + std::to_string(cells) + " cells",
                  {}};
        break;
    }
    return result;
}

Result<StoredLayer, Error> ReadLayer(const RomFile& file, uint32_t pointer, LayerKind kind) {
    auto offset = ResolvePointer(pointer, file.Size(), LayerWhere(kind), 2);
    if (!offset) {
        return Fail(offset.error());
    }
    const uint64_t available = file.Size() - *offset;
    const uint8_t width = file.ReadU8(*offset);
    const uint8_t height = file.ReadU8(*offset + 1);
    const size_t plain = LongestPlainStream(static_cast<size_t>(width) * height, kind);
    auto stored =
        file.ReadBlock(*offset, static_cast<size_t>(std::min<uint64_t>(available, plain)));
    auto decoded = DecodeStoredLayer(stored, kind);
    // Zero-length blocks can make a valid stream longer than the plain bound: read on to
    // the end of the file before calling the stream cut short.
    if (decoded && decoded->storedSize == stored.size() && stored.size() < available &&
        decoded->warning) {
        stored = file.ReadBlock(*offset, static_cast<size_t>(available));
        decoded = DecodeStoredLayer(stored, kind);
    }
    if (!decoded) {
        Error error = decoded.error();
        error.offset = *offset;
        return Fail(std::move(error));
    }
    if (decoded->warning) {
        decoded->warning->offset = *offset;
    }
    return decoded;
}

std::vector<uint8_t> LowPlane(const RoomLayer& layer) {
    std::vector<uint8_t> plane;
    for (int16_t cell : layer.StoredCells()) {
        plane.push_back(static_cast<uint8_t>(static_cast<uint16_t>(cell) & 0xFF));
    }
    return plane;
}

std::vector<uint8_t> HighPlane(const RoomLayer& layer) {
    std::vector<uint8_t> plane;
    for (int16_t cell : layer.StoredCells()) {
        plane.push_back(static_cast<uint8_t>((static_cast<uint16_t>(cell) >> 8) & 3));
    }
    return plane;
}

std::vector<uint8_t> ClipPlane(const RoomLayer& layer) {
    return LowPlane(layer);
}

Result<EncodedLayer, Error> EncodeStoredLayer(const RoomLayer& layer, LayerKind kind,
                                              RLCompFunction rlComp) {
    if (layer.Width == 0 || layer.Height == 0) {
        return Fail(Error{ErrorKind::BadArgument,
                          LayerWhere(kind) + " has a size of " + std::to_string(layer.Width) +
                              " x " + std::to_string(layer.Height),
                          {}});
    }
    std::vector<std::vector<uint8_t>> planes;
    if (kind == LayerKind::Clip) {
        planes.push_back(ClipPlane(layer));
    } else {
        planes.push_back(LowPlane(layer));
        planes.push_back(HighPlane(layer));
    }
    EncodedLayer encoded;
    encoded.bytes = {layer.Width, layer.Height};
    std::vector<uint8_t> work(kLayerWorkBufferSize);
    for (const auto& plane : planes) {
        const uint32_t length =
            rlComp(static_cast<uint32_t>(plane.size()), plane.data(), work.data());
        if (length > work.size()) {
            return Fail(Error{ErrorKind::BadLayer,
                              LayerWhere(kind) + " encodes to " + std::to_string(length) +
                                  " bytes, more than the work buffer holds",
                              {}});
        }
        encoded.planes.push_back(length);
        encoded.bytes.push_back(1);
        encoded.bytes.insert(encoded.bytes.end(), work.begin(), work.begin() + length);
        encoded.bytes.push_back(0);
    }
    return encoded;
}

} // namespace quarnel
