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

// Answers, for offsets asked in increasing order, whether they lie in a set of ranges.
class RangeCursor {
public:
    explicit RangeCursor(const RangeSet& set) : m_ranges(set.Ranges()) {}

    bool Contains(int64_t at) {
        while (m_next < m_ranges.size() && m_ranges[m_next].end <= at) {
            ++m_next;
        }
        return m_next < m_ranges.size() && m_ranges[m_next].begin <= at;
    }

private:
    std::span<const RomRange> m_ranges;
    size_t m_next = 0;
};

// Calls visit(offset, class) for each byte of [begin, end) in order until it returns false.
// A zero within kDataTailGuard bytes after a data byte seen in this walk counts as data.
template <class Visit>
void WalkBytes(const RomView& rom, Game game, const RangeSet& occupied, int64_t begin, int64_t end,
               Visit&& visit) {
    if (begin >= end) {
        return;
    }
    const auto never = NeverWrittenRanges(game);
    RangeCursor taken(occupied);
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
            if (i >= got || Inside(never, static_cast<uint64_t>(at)) || taken.Contains(at) ||
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
                                       const RomView& rom, const RangeSet& occupied) {
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
    WalkBytes(rom, game, occupied, walkFrom, end, [&](int64_t at, ByteClass kind) {
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

std::optional<uint32_t> FindReusableBlock(const StorageArea& area, Game game, int32_t size,
                                          const RomView& rom, const RangeSet& occupied) {
    const int64_t offset = area.Offset;
    const int64_t used = area.Used;
    if (size < 1 || offset <= 0 || used < 0 || used > area.Length) {
        return std::nullopt;
    }
    // The block and its two spare bytes.
    const int64_t needed = int64_t{size} + 2;
    const int64_t end = std::min(offset + used, ImageEnd(rom));
    if (end - offset < needed) {
        return std::nullopt;
    }
    std::optional<uint32_t> found;
    int64_t runStart = -1;
    WalkBytes(rom, game, occupied, offset, end, [&](int64_t at, ByteClass kind) {
        if (kind != ByteClass::Ones) {
            runStart = -1;
            return end - (at + 1) >= needed; // stop once no run fits behind it
        }
        if (runStart < 0) {
            if (at + 1 >= kStorageCandidateLimit) {
                return false; // no block may start here or later
            }
            runStart = at;
        }
        if (at + 1 - runStart >= needed) {
            found = static_cast<uint32_t>(runStart + 1);
            return false;
        }
        return true;
    });
    return found;
}

uint32_t BlankBytesHandedOut(const StorageArea& area, Game game, const RomView& rom,
                             const RangeSet& occupied) {
    if (area.Offset < 0 || area.Used <= 0) {
        return 0;
    }
    const int64_t offset = area.Offset;
    const int64_t end =
        std::min(offset + std::min(area.Used, std::max(area.Length, 0)), ImageEnd(rom));
    uint32_t blank = 0;
    WalkBytes(rom, game, occupied, offset, end, [&blank](int64_t, ByteClass kind) {
        blank += kind == ByteClass::Ones ? 1 : 0;
        return true;
    });
    return blank;
}

int32_t FittedUsed(const StorageArea& area, Game game, const RomView& rom,
                   const RangeSet& occupied) {
    if (area.Offset < 0 || area.Length < 0) {
        return area.Used;
    }
    const int64_t offset = area.Offset;
    const int64_t end = std::min(offset + area.Length, ImageEnd(rom));
    int64_t last = -1;
    WalkBytes(rom, game, occupied, offset, end, [&last](int64_t at, ByteClass kind) {
        if (kind == ByteClass::Data) {
            last = at;
        }
        return true;
    });
    return last < 0 ? 0 : static_cast<int32_t>(last + 1 - offset);
}

} // namespace quarnel
