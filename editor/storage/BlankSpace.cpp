#include "storage/BlankSpace.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quarnel {

namespace {

enum class ByteClass : uint8_t { Data, Ones, Zeros };

// Bytes are read in pieces that start small (most requests find their block at once) and
// grow, so that what is read stays close to what is scanned.
constexpr int64_t kFirstPiece = 4 * 1024;
constexpr int64_t kLargestPiece = 64 * 1024;

// Image sizes are far below this; it keeps the offset arithmetic in signed 64 bits.
constexpr int64_t kLargestImage = int64_t{1} << 40;

constexpr std::array<RomRange, 1> kZmNeverWritten{kZmForeignProgram};

bool Inside(std::span<const RomRange> ranges, uint64_t at) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [at](const RomRange& range) { return at >= range.begin && at < range.end; });
}

int64_t ImageEnd(const RomView& rom) {
    return static_cast<int64_t>(std::min<uint64_t>(rom.Size(), kLargestImage));
}

// Calls visit(offset, class) for each byte of [begin, end) in order until it returns false.
// A zero within kDataTailGuard bytes after a data byte seen in this walk counts as data.
template <class Visit>
void WalkBytes(const RomView& rom, Game game, int64_t begin, int64_t end, Visit&& visit) {
    if (begin >= end) {
        return;
    }
    const auto never = NeverWrittenRanges(game);
    std::vector<uint8_t> piece;
    int64_t pieceSize = kFirstPiece;
    std::optional<int64_t> lastData;
    for (int64_t at = begin; at < end; pieceSize = std::min(pieceSize * 2, kLargestPiece)) {
        const auto wanted = static_cast<size_t>(std::min(pieceSize, end - at));
        piece.resize(wanted);
        const size_t got = rom.Read(static_cast<uint64_t>(at), piece);
        for (size_t i = 0; i < wanted; ++i, ++at) {
            const uint8_t byte = piece[i];
            ByteClass kind = ByteClass::Data;
            if (i >= got || Inside(never, static_cast<uint64_t>(at)) ||
                (byte != 0x00 && byte != 0xFF)) {
                lastData = at;
            } else if (byte == 0xFF) {
                kind = ByteClass::Ones;
            } else if (!lastData || at - *lastData > kDataTailGuard) {
                kind = ByteClass::Zeros;
            }
            if (!visit(at, kind)) {
                return;
            }
        }
    }
}

} // namespace

std::span<const RomRange> NeverWrittenRanges(Game game) {
    if (game == Game::ZM) {
        return kZmNeverWritten;
    }
    return {};
}

std::optional<uint32_t> FindBlankBlock(const StorageArea& area, Game game, int32_t size,
                                       const RomView& rom) {
    const int64_t offset = area.Offset;
    const int64_t used = area.Used;
    const int64_t length = area.Length;
    if (size < 1 || used < 0 || used > length || length - used < size) {
        return std::nullopt;
    }
    const int64_t start = offset + used;
    if (start <= 0 || start >= kStorageCandidateLimit) {
        return std::nullopt;
    }
    const int64_t end = std::min(offset + length, ImageEnd(rom));
    if (end - start < size) {
        return std::nullopt;
    }

    // The walk starts a little before `start`, so that zeros there which end earlier data
    // are known as such; it never looks before the area.
    const int64_t walkFrom = std::max({offset, start - int64_t{kDataTailGuard}, int64_t{0}});
    std::optional<uint32_t> found;
    int64_t runStart = -1;
    ByteClass runClass = ByteClass::Data;
    WalkBytes(rom, game, walkFrom, end, [&](int64_t at, ByteClass kind) {
        if (at < start) {
            return true;
        }
        if (kind == ByteClass::Data) {
            runStart = -1;
            return end - (at + 1) >= size; // stop once no block fits behind it
        }
        if (runStart < 0 || kind != runClass) {
            if (at >= kStorageCandidateLimit) {
                return false; // no block may start here or later
            }
            runStart = at;
            runClass = kind;
        }
        if (at + 1 - runStart >= size) {
            found = static_cast<uint32_t>(runStart);
            return false;
        }
        return true;
    });
    return found;
}

int32_t FittedUsed(const StorageArea& area, Game game, const RomView& rom) {
    if (area.Offset < 0 || area.Length < 0) {
        return area.Used;
    }
    const int64_t offset = area.Offset;
    const int64_t end = std::min(offset + area.Length, ImageEnd(rom));
    int64_t last = -1;
    WalkBytes(rom, game, offset, end, [&last](int64_t at, ByteClass kind) {
        if (kind == ByteClass::Data) {
            last = at;
        }
        return true;
    });
    return last < 0 ? 0 : static_cast<int32_t>(last + 1 - offset);
}

} // namespace quarnel
