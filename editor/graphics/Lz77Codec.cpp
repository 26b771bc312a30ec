#include "graphics/Lz77Codec.h"

#include <algorithm>
#include <limits>

namespace quarnel {

namespace {

constexpr uint32_t kWindow = 4096;   // farthest distance a match can reach
constexpr uint32_t kMinDistance = 2; // distance 1 is never used
constexpr uint32_t kMinLength = 3;   // shorter repeats are cheaper as literals
constexpr uint32_t kMaxLength = 18;  // longest match one token can hold
constexpr uint32_t kMaxInput = 0xFFFFFF;

// Match finder over 3-byte hash buckets. Each bucket lists its positions oldest first, so
// the search meets the farthest candidate first and can stop at the first one that reaches
// the longest length a token holds, as the exhaustive farthest-first search does. Links live
// in a ring of kRingSize slots indexed by position; a position is dropped from its bucket
// before its slot is reused, long after it has left the window.
class MatchFinder {
public:
    struct Match {
        uint32_t length = 0;
        uint32_t distance = 0;
    };

    explicit MatchFinder(std::span<const uint8_t> input)
        : m_in(input), m_size(static_cast<uint32_t>(input.size())), m_oldest(kBuckets, kNone),
          m_newest(kBuckets, kNone), m_next(kRingSize, kNone) {}

    // Adds `position` to its bucket. Positions must be added in increasing order, each once.
    void Insert(uint32_t position) {
        if (m_size - position < kMinLength) {
            return; // too close to the end to start a match
        }
        if (position >= kRingSize) {
            Evict(position - kRingSize);
        }
        const uint32_t bucket = Hash(position);
        m_next[position % kRingSize] = kNone;
        if (m_oldest[bucket] == kNone) {
            m_oldest[bucket] = position;
        } else {
            m_next[m_newest[bucket] % kRingSize] = position;
        }
        m_newest[bucket] = position;
    }

    // The longest match for `p` among the positions inserted so far (all of them below p),
    // capped at kMaxLength: the farthest one that reaches kMaxLength, else the farthest of
    // the longest. A length below kMinLength means no usable match.
    Match Find(uint32_t p) {
        Match best;
        const uint32_t left = m_size - p;
        // A match that reaches the end of the input counts one short, so with `left` bytes
        // to go the longest possible count is left - 1.
        const uint32_t longest = left <= kMaxLength ? left - 1 : kMaxLength;
        if (longest < kMinLength) {
            return best;
        }
        const uint32_t bucket = Hash(p);
        const uint32_t windowStart = p - std::min(p, kWindow);
        while (m_oldest[bucket] != kNone && m_oldest[bucket] < windowStart) {
            PopOldest(bucket);
        }
        for (uint32_t q = m_oldest[bucket]; q != kNone && q + kMinDistance <= p;
             q = m_next[q % kRingSize]) {
            // Only a candidate that also matches at the current best length can beat it.
            if (best.length > 0 && m_in[q + best.length] != m_in[p + best.length]) {
                continue;
            }
            const uint32_t length = Length(p, q);
            if (length > best.length) {
                best = {std::min(length, kMaxLength), p - q};
                if (best.length >= longest) {
                    break;
                }
            }
        }
        return best;
    }

private:
    static constexpr uint32_t kHashBits = 13;
    static constexpr uint32_t kBuckets = 1u << kHashBits;
    static constexpr uint32_t kRingSize = 8192; // more than the window, so links stay valid
    static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

    uint32_t Hash(uint32_t position) const {
        const uint32_t key = static_cast<uint32_t>(m_in[position]) << 16 |
                             static_cast<uint32_t>(m_in[position + 1]) << 8 | m_in[position + 2];
        return (key * 0x9E3779B1u) >> (32 - kHashBits);
    }

    // Equal bytes at p and q, counted up to one past kMaxLength; a comparison that reaches
    // the end of the input counts one short.
    uint32_t Length(uint32_t p, uint32_t q) const {
        const uint32_t limit = std::min(m_size - p, kMaxLength + 1);
        uint32_t k = 0;
        while (k < limit && m_in[p + k] == m_in[q + k]) {
            ++k;
        }
        return k == m_size - p ? k - 1 : k;
    }

    void PopOldest(uint32_t bucket) {
        const uint32_t next = m_next[m_oldest[bucket] % kRingSize];
        m_oldest[bucket] = next;
        if (next == kNone) {
            m_newest[bucket] = kNone;
        }
    }

    // Drops `position` before its ring slot is reused. Older positions of its bucket were
    // dropped before it, so it can only be the bucket's oldest or already skipped past.
    void Evict(uint32_t position) {
        const uint32_t bucket = Hash(position);
        if (m_oldest[bucket] == position) {
            PopOldest(bucket);
        }
    }

    std::span<const uint8_t> m_in;
    uint32_t m_size;
    std::vector<uint32_t> m_oldest;
    std::vector<uint32_t> m_newest;
    std::vector<uint32_t> m_next;
};

} // namespace

uint32_t DecompressLZ77(std::span<const uint8_t> source, std::span<uint8_t> destination) {
    // Header bytes beyond the source read as zero.
    uint32_t header = 0;
    for (size_t i = 0; i < 4 && i < source.size(); ++i) {
        header |= static_cast<uint32_t>(source[i]) << (8 * i);
    }
    const uint32_t size = header >> 8;

    // Every token advances the output, and once the output position is past the destination
    // nothing more can be written, so decoding ends there without changing the result.
    uint32_t remaining = size;
    size_t in = 4;
    size_t out = 0;
    if (remaining == 0 || destination.empty()) {
        return size;
    }
    // A read from outside the source leaves the value from the last successful read.
    uint8_t flags = 0;
    uint8_t b0 = 0;
    uint8_t b1 = 0;
    auto read = [&](uint8_t& value) {
        if (in < source.size()) {
            value = source[in];
        }
        ++in;
    };
    for (;;) {
        read(flags);
        for (unsigned mask = 0x80; mask != 0; mask >>= 1) {
            if ((flags & mask) != 0) {
                read(b0);
                read(b1);
                const unsigned length = (b0 >> 4) + kMinLength;
                const size_t distance = static_cast<size_t>((b0 & 0x0F) << 8 | b1) + 1;
                for (unsigned i = 0; i < length; ++i) {
                    // Bytes from before the start of the output are skipped.
                    if (out >= distance) {
                        destination[out] = destination[out - distance];
                    }
                    ++out;
                    if (--remaining == 0 || out >= destination.size()) {
                        return size;
                    }
                }
            } else {
                if (in < source.size()) {
                    destination[out] = source[in];
                }
                ++in;
                ++out;
                if (--remaining == 0 || out >= destination.size()) {
                    return size;
                }
            }
        }
    }
}

std::optional<size_t> Lz77StreamLength(std::span<const uint8_t> source) {
    if (source.size() < 4 || source[0] != 0x10) {
        return std::nullopt;
    }
    uint32_t remaining = static_cast<uint32_t>(source[1]) | static_cast<uint32_t>(source[2]) << 8 |
                         static_cast<uint32_t>(source[3]) << 16;
    size_t in = 4;
    while (remaining != 0) {
        if (in >= source.size()) {
            return std::nullopt;
        }
        const uint8_t flags = source[in++];
        for (unsigned mask = 0x80; mask != 0 && remaining != 0; mask >>= 1) {
            if ((flags & mask) != 0) {
                if (source.size() - in < 2) {
                    return std::nullopt;
                }
                const uint32_t length = (source[in] >> 4) + kMinLength;
                in += 2;
                // Decoding stops at the declared size, also inside a match.
                remaining -= std::min(length, remaining);
            } else {
                if (in >= source.size()) {
                    return std::nullopt;
                }
                ++in;
                --remaining;
            }
        }
    }
    return in;
}

size_t Lz77MaxCompressedSize(size_t size) {
    if (size > (std::numeric_limits<size_t>::max() - 5) / 2) {
        return std::numeric_limits<size_t>::max();
    }
    return 4 + size + size / 8 + (size % 8 != 0 ? 1 : 0);
}

uint32_t CompressLZ77(std::span<const uint8_t> source, std::span<uint8_t> destination) {
    if (source.size() > kMaxInput || destination.size() < Lz77MaxCompressedSize(source.size())) {
        return 0;
    }
    const auto n = static_cast<uint32_t>(source.size());
    destination[0] = 0x10;
    destination[1] = static_cast<uint8_t>(n & 0xFF);
    destination[2] = static_cast<uint8_t>((n >> 8) & 0xFF);
    destination[3] = static_cast<uint8_t>((n >> 16) & 0xFF);
    size_t out = 4;

    // Every token takes at least one input byte for at most two output bytes, and only a
    // match (three input bytes or more) takes two, so the stream stays within the bound
    // checked above.
    MatchFinder finder(source);
    uint32_t p = 0;
    while (p < n) {
        const size_t flagAt = out++;
        uint8_t flags = 0;
        for (unsigned mask = 0x80; mask != 0 && p < n; mask >>= 1) {
            const MatchFinder::Match match = finder.Find(p);
            uint32_t taken = 1;
            if (match.length >= kMinLength) {
                const uint32_t field = match.distance - 1;
                flags = static_cast<uint8_t>(flags | mask);
                destination[out++] =
                    static_cast<uint8_t>((match.length - kMinLength) << 4 | field >> 8);
                destination[out++] = static_cast<uint8_t>(field & 0xFF);
                taken = match.length;
            } else {
                destination[out++] = source[p];
            }
            // Positions inside a match are candidates for later matches too.
            for (uint32_t i = 0; i < taken; ++i) {
                finder.Insert(p + i);
            }
            p += taken;
        }
        destination[flagAt] = flags;
    }
    return static_cast<uint32_t>(out);
}

std::vector<uint8_t> CompressLZ77(std::span<const uint8_t> source) {
    if (source.size() > kMaxInput) {
        return {};
    }
    std::vector<uint8_t> stream(Lz77MaxCompressedSize(source.size()));
    stream.resize(CompressLZ77(source, stream));
    return stream;
}

} // namespace quarnel
