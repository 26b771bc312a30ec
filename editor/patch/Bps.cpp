#include "patch/Bps.h"

#include "common/ByteOrder.h"
#include "common/Checksums.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace quarnel {

namespace {

constexpr uint8_t kMagic[4] = {'B', 'P', 'S', '1'};
constexpr size_t kFooterBytes = 12;

enum Action : uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

// Matches are looked up by the hash of their first kKeyBytes bytes.
constexpr size_t kKeyBytes = 8;
constexpr unsigned kHashBits = 22;
constexpr uint32_t kNoPosition = std::numeric_limits<uint32_t>::max();
// The shortest runs worth an action of their own: an action costs one to three bytes, a copy
// up to five more for its offset.
constexpr size_t kShortestSourceRead = 4;
constexpr size_t kShortestCopy = kKeyBytes;

uint32_t HashAt(const uint8_t* at) {
    uint64_t key = 0;
    std::memcpy(&key, at, kKeyBytes);
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kHashBits));
}

size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t length = 0;
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
}

class PatchWriter {
public:
    // beat's variable-length number: seven bits a byte, the last byte flagged, each further
    // byte counting from the end of the shorter forms.
    void Number(uint64_t value) {
        for (;;) {
            const auto low = static_cast<uint8_t>(value & 0x7F);
            value >>= 7;
            if (value == 0) {
                m_bytes.push_back(static_cast<uint8_t>(0x80 | low));
                return;
            }
            m_bytes.push_back(low);
            --value;
        }
    }
    void Signed(int64_t value) {
        const uint64_t magnitude =
            value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        Number((magnitude << 1) | (value < 0 ? 1 : 0));
    }
    void Command(Action action, size_t length) { Number(((uint64_t{length} - 1) << 2) | action); }
    void Bytes(std::span<const uint8_t> bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    void Le32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            m_bytes.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    std::vector<uint8_t>& Out() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

class PatchReader {
public:
    explicit PatchReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    bool Number(uint64_t& value) {
        value = 0;
        uint64_t shift = 1;
        for (;;) {
            if (m_at >= m_bytes.size() || shift > (uint64_t{1} << 56)) {
                return false;
            }
            const uint8_t byte = m_bytes[m_at++];
            value += (byte & 0x7F) * shift;
            if ((byte & 0x80) != 0) {
                return true;
            }
            shift <<= 7;
            value += shift;
        }
    }
    bool Signed(int64_t& value) {
        uint64_t raw = 0;
        if (!Number(raw) ||
            (raw >> 1) > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return false;
        }
        const auto magnitude = static_cast<int64_t>(raw >> 1);
        value = (raw & 1) != 0 ? -magnitude : magnitude;
        return true;
    }
    bool Take(size_t count, std::span<const uint8_t>& out) {
        if (count > m_bytes.size() - m_at) {
            return false;
        }
        out = m_bytes.subspan(m_at, count);
        m_at += count;
        return true;
    }
    size_t At() const { return m_at; }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_at = 0;
};

Unexpected<Error> Bad(const std::string& detail) {
    return Fail(Error{ErrorKind::BadPatch, detail, std::nullopt});
}

} // namespace

std::vector<uint8_t> MakeBps(std::span<const uint8_t> source, std::span<const uint8_t> target) {
    PatchWriter patch;
    patch.Bytes(kMagic);
    patch.Number(source.size());
    patch.Number(target.size());
    patch.Number(0); // no metadata

    std::vector<uint32_t> sourceIndex(size_t{1} << kHashBits, kNoPosition);
    for (size_t p = 0; p + kKeyBytes <= source.size(); ++p) {
        sourceIndex[HashAt(source.data() + p)] = static_cast<uint32_t>(p);
    }
    std::vector<uint32_t> targetIndex(size_t{1} << kHashBits, kNoPosition);
    size_t indexed = 0; // target positions below this are in targetIndex
    const auto indexTarget = [&](size_t upTo) {
        for (; indexed < upTo && indexed + kKeyBytes <= target.size(); ++indexed) {
            targetIndex[HashAt(target.data() + indexed)] = static_cast<uint32_t>(indexed);
        }
        indexed = std::max(indexed, upTo);
    };

    int64_t sourceRelative = 0;
    int64_t targetRelative = 0;
    size_t literalStart = 0;
    const auto flushLiteral = [&](size_t end) {
        if (end > literalStart) {
            patch.Command(TargetRead, end - literalStart);
            patch.Bytes(target.subspan(literalStart, end - literalStart));
        }
    };

    size_t i = 0;
    while (i < target.size()) {
        const size_t sameLimit = i < source.size() ? std::min(source.size(), target.size()) - i : 0;
        const size_t same = MatchLength(source.data() + i, target.data() + i, sameLimit);
        if (same >= kShortestSourceRead) {
            flushLiteral(i);
            patch.Command(SourceRead, same);
            i += same;
            indexTarget(i);
            literalStart = i;
            continue;
        }
        size_t best = 0;
        Action kind = SourceCopy;
        size_t from = 0;
        if (i + kKeyBytes <= target.size()) {
            const uint32_t hash = HashAt(target.data() + i);
            if (const uint32_t s = sourceIndex[hash]; s != kNoPosition) {
                const size_t length = MatchLength(source.data() + s, target.data() + i,
                                                  std::min(source.size() - s, target.size() - i));
                if (length > best) {
                    best = length;
                    kind = SourceCopy;
                    from = s;
                }
            }
            if (const uint32_t t = targetIndex[hash]; t != kNoPosition && t < i) {
                const size_t length =
                    MatchLength(target.data() + t, target.data() + i, target.size() - i);
                if (length > best) {
                    best = length;
                    kind = TargetCopy;
                    from = t;
                }
            }
        }
        if (best >= kShortestCopy) {
            flushLiteral(i);
            patch.Command(kind, best);
            int64_t& relative = kind == SourceCopy ? sourceRelative : targetRelative;
            patch.Signed(static_cast<int64_t>(from) - relative);
            relative = static_cast<int64_t>(from + best);
            i += best;
            indexTarget(i);
            literalStart = i;
            continue;
        }
        ++i;
        indexTarget(i);
    }
    flushLiteral(target.size());

    patch.Le32(Crc32(source));
    patch.Le32(Crc32(target));
    patch.Le32(Crc32(patch.Out()));
    return std::move(patch.Out());
}

Result<std::vector<uint8_t>, Error> ApplyBps(std::span<const uint8_t> source,
                                             std::span<const uint8_t> patch) {
    if (patch.size() < sizeof kMagic + 3 + kFooterBytes ||
        std::memcmp(patch.data(), kMagic, sizeof kMagic) != 0) {
        return Bad("not a BPS patch (it does not begin with BPS1) or it is cut off");
    }
    const auto footer = patch.subspan(patch.size() - kFooterBytes);
    const uint32_t sourceCrc = LoadLe32(footer, 0);
    const uint32_t targetCrc = LoadLe32(footer, 4);
    if (Crc32(patch.first(patch.size() - 4)) != LoadLe32(footer, 8)) {
        return Bad("the patch's own checksum does not match: the file is damaged or cut off");
    }
    PatchReader reader(patch.first(patch.size() - kFooterBytes));
    uint64_t sourceSize = 0;
    uint64_t targetSize = 0;
    uint64_t metadataSize = 0;
    std::span<const uint8_t> metadata;
    std::span<const uint8_t> magic;
    if (!reader.Take(sizeof kMagic, magic) || !reader.Number(sourceSize) ||
        !reader.Number(targetSize) || !reader.Number(metadataSize) || metadataSize > patch.size() ||
        !reader.Take(static_cast<size_t>(metadataSize), metadata)) {
        return Bad("the patch's header is malformed");
    }
    if (sourceSize != source.size() || Crc32(source) != sourceCrc) {
        return Bad("the patch was made for another file (its size or CRC-32 differs from the "
                   "chosen ROM's)");
    }
    if (targetSize > (uint64_t{1} << 30)) {
        return Bad("the patch would make a file of " + std::to_string(targetSize) + " bytes");
    }
    std::vector<uint8_t> target(static_cast<size_t>(targetSize));
    const size_t actionsEnd = patch.size() - kFooterBytes;
    size_t out = 0;
    int64_t sourceRelative = 0;
    int64_t targetRelative = 0;
    while (reader.At() < actionsEnd) {
        uint64_t data = 0;
        if (!reader.Number(data)) {
            return Bad("an action is cut off");
        }
        const uint64_t length = (data >> 2) + 1;
        if (length > target.size() - out) {
            return Bad("an action writes past the end of the target");
        }
        const auto count = static_cast<size_t>(length);
        switch (data & 3) {
        case SourceRead:
            if (out + count > source.size()) {
                return Bad("a source read reaches past the end of the source");
            }
            std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(out), count,
                        target.begin() + static_cast<std::ptrdiff_t>(out));
            break;
        case TargetRead: {
            std::span<const uint8_t> bytes;
            if (!reader.Take(count, bytes) || reader.At() > actionsEnd) {
                return Bad("a target read is cut off");
            }
            std::copy(bytes.begin(), bytes.end(),
                      target.begin() + static_cast<std::ptrdiff_t>(out));
            break;
        }
        case SourceCopy:
        case TargetCopy: {
            int64_t delta = 0;
            if (!reader.Signed(delta)) {
                return Bad("a copy's offset is cut off");
            }
            const bool fromSource = (data & 3) == SourceCopy;
            int64_t& relative = fromSource ? sourceRelative : targetRelative;
            if ((delta > 0 && relative > std::numeric_limits<int64_t>::max() - delta) ||
                (delta < 0 && relative < std::numeric_limits<int64_t>::min() - delta)) {
                return Bad("a copy's offset is out of range");
            }
            relative += delta;
            if (relative < 0) {
                return Bad("a copy starts before the beginning of its data");
            }
            const auto start = static_cast<uint64_t>(relative);
            if (fromSource ? start + length > source.size() : start >= out) {
                return Bad(fromSource ? "a source copy reaches past the end of the source"
                                      : "a target copy reads data not yet written");
            }
            for (size_t k = 0; k < count; ++k) {
                target[out + k] = fromSource ? source[static_cast<size_t>(start) + k]
                                             : target[static_cast<size_t>(start) + k];
            }
            relative += static_cast<int64_t>(length);
            break;
        }
        }
        out += count;
    }
    if (out != target.size()) {
        return Bad("the patch's actions end before the target is complete");
    }
    if (Crc32(target) != targetCrc) {
        return Bad("the patched file's CRC-32 is not the one the patch expects");
    }
    return target;
}

} // namespace quarnel
