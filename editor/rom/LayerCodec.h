#pragma once
// The games' stored room layer: a width byte, a height byte, then one pass of run-length
// blocks per byte plane (16-bit tile layers: the low bytes, then the high bytes; clipdata:
// one pass). A pass opens with a type byte: 1 means 8-bit counts (bit 7 a run of the next
// byte, else that many literal bytes), any other value 16-bit big-endian counts (bit 15 a
// run, low 15 bits the length), the form the games' own data mostly uses. A count of 0
// ends the pass.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/RoomHeader.h"
#include "rom/RoomLayer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarnel {

class RomFile;

// The signature of Pelnix's RLComp: encodes `size` bytes into the headerless block form of
// one pass and returns the number of bytes written.
using RLCompFunction = uint32_t (*)(uint32_t size, const uint8_t* input, uint8_t* output);

enum class LayerMode : uint8_t { Clip = 0, Tile16 = 1 };

// How a decode ended.
enum class DecodeEnd {
    Complete,        // every pass ended at its closing 0
    SourceExhausted, // the stream ran out before a pass ended
    LimitReached,    // data went on after the last cell of the low-byte pass
    DestinationFull, // a write fell outside the destination
};

struct LayerDecodeOutcome {
    size_t sourceUsed = 0; // bytes of the stream consumed, type bytes included
    DecodeEnd end = DecodeEnd::Complete;
};

// Decodes the passes of one stored layer (the bytes after width and height). In Tile16
// mode the low-byte pass fills the even destination bytes and the high-byte pass the odd
// ones; in Clip mode one pass fills consecutive bytes. `limit` is the destination index at
// which the low-byte pass stops (2 x cells in Tile16 mode, cells in Clip mode). Decoding
// ends at once at the first read outside `source` or write outside `destination`; what was
// written stays.
LayerDecodeOutcome DecodeLayerStream(std::span<const uint8_t> source,
                                     std::span<uint8_t> destination, uint32_t limit,
                                     LayerMode mode);

constexpr LayerMode ModeOf(LayerKind kind) {
    return kind == LayerKind::Clip ? LayerMode::Clip : LayerMode::Tile16;
}

struct StoredLayer {
    RoomLayer layer;
    size_t storedSize = 0;        // bytes the stored form occupies, prefix included
    std::optional<Error> warning; // a stream that ended early or ran on: cells not reached are 0
};

// Decodes a stored layer from `stored` (starting at its width byte). A width or height of
// 0 is refused (BadLayer).
Result<StoredLayer, Error> DecodeStoredLayer(std::span<const uint8_t> stored, LayerKind kind);

// Reads the stored layer at `pointer` (a GbaPointer) from the file, taking as many bytes as
// the stream needs up to the end of the file. A pointer outside the file or a width or
// height of 0 is refused, and the caller treats the layer as absent.
Result<StoredLayer, Error> ReadLayer(const RomFile& file, uint32_t pointer, LayerKind kind);

// The byte planes a save stores, cells row by row (x < Width, y < Height): the low bytes,
// the high bytes' bits 8-9 (bits 10-15 of a tile cell are not stored), and clip values.
std::vector<uint8_t> LowPlane(const RoomLayer& layer);
std::vector<uint8_t> HighPlane(const RoomLayer& layer);
std::vector<uint8_t> ClipPlane(const RoomLayer& layer);

// The size of the buffer RLComp encodes one plane into; a longer plane cannot be stored.
inline constexpr size_t kLayerWorkBufferSize = 1048576;

struct EncodedLayer {
    std::vector<uint8_t> bytes;   // width, height, then per plane: 1, RLComp bytes, 0
    std::vector<uint32_t> planes; // RLComp's result for each plane (L and H, or C)
};

// Encodes a layer into its stored form with type-1 passes, using `rlComp` for each plane.
// A layer of width or height 0 is refused (BadArgument), as is a plane whose encoded form
// would not fit the work buffer.
Result<EncodedLayer, Error> EncodeStoredLayer(const RoomLayer& layer, LayerKind kind,
                                              RLCompFunction rlComp);

} // namespace quarnel
