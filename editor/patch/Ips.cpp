#include "patch/Ips.h"

#include "common/Hex.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quarnel {

namespace {

constexpr uint8_t kMagic[5] = {'P', 'A', 'T', 'C', 'H'};
constexpr uint8_t kEof[3] = {'E', 'O', 'F'};
constexpr size_t kLongestRecord = 0xFFFF;
// Unchanged bytes up to this many between two changes are written again rather than paying
// for a new record's five header bytes.
constexpr size_t kMergeGap = 5;
// Runs of one byte at least this long become a run record (eight bytes in the patch).
constexpr size_t kShortestRun = 9;

struct Piece {
    size_t start = 0;
    size_t end = 0;
    bool run = false; // a run record: target[start] repeated
};

void AppendBe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// The records of one changed range: run records for long runs of one byte, plain records for
// the rest, none longer than an IPS record can be.
void SplitRange(std::span<const uint8_t> target, size_t start, size_t end,
                std::vector<Piece>& pieces) {
    std::vector<uint32_t> sameAhead(end - start);
    for (size_t k = end; k-- > start;) {
        const bool continues = k + 1 < end && target[k + 1] == target[k];
        sameAhead[k - start] = continues ? sameAhead[k + 1 - start] + 1 : 1;
    }
    size_t j = start;
    while (j < end) {
        const size_t same = std::min<size_t>(sameAhead[j - start], kLongestRecord);
        if (same >= kShortestRun) {
            pieces.push_back({j, j + same, true});
            j += same;
            continue;
        }
        size_t k = j;
        while (k < end && k - j < kLongestRecord && sameAhead[k - start] < kShortestRun) {
            ++k;
        }
        pieces.push_back({j, k, false});
        j = k;
    }
}

// No record may start at kIpsEofOffset: the record that would is made to start one byte
// earlier, taking that byte from the record before it.
void AvoidEofOffset(std::vector<Piece>& pieces) {
    for (size_t k = 1; k < pieces.size(); ++k) {
        if (pieces[k].start != kIpsEofOffset) {
            continue;
        }
        Piece& previous = pieces[k - 1];
        Piece current = pieces[k];
        std::vector<Piece> replacement;
        if (previous.end - previous.start >= 2) {
            previous.end -= 1;
        } else {
            previous.end = previous.start; // emptied: its byte moves into the next record
        }
        replacement.push_back({kIpsEofOffset - 1, kIpsEofOffset + 1, false});
        if (current.end > kIpsEofOffset + 1) {
            replacement.push_back({kIpsEofOffset + 1, current.end, current.run});
        }
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(k));
        pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(k), replacement.begin(),
                      replacement.end());
    }
    std::erase_if(pieces, [](const Piece& piece) { return piece.end == piece.start; });
}

Unexpected<Error> Bad(const std::string& detail) {
    return Fail(Error{ErrorKind::BadPatch, detail, std::nullopt});
}

} // namespace

Result<std::vector<uint8_t>, Error> MakeIps(std::span<const uint8_t> source,
                                            std::span<const uint8_t> target) {
    const auto changed = [&](size_t i) { return i >= source.size() || source[i] != target[i]; };
    std::vector<std::pair<size_t, size_t>> ranges;
    for (size_t i = 0; i < target.size();) {
        if (!changed(i)) {
            ++i;
            continue;
        }
        if (i >= kIpsOffsetLimit) {
            return Fail(Error{ErrorKind::BadArgument,
                              "IPS cannot describe changes at or above 16 MiB (the first is at "
                              "0x" +
                                  ToHex(static_cast<uint32_t>(i)) + "); export a BPS patch instead",
                              std::nullopt});
        }
        size_t end = i + 1;
        while (end < target.size() && changed(end)) {
            ++end;
        }
        if (!ranges.empty() && i - ranges.back().second <= kMergeGap) {
            ranges.back().second = end;
        } else {
            ranges.push_back({i == kIpsEofOffset ? i - 1 : i, end});
        }
        i = end;
    }
    if (target.size() < source.size() && target.size() >= kIpsOffsetLimit) {
        return Fail(Error{ErrorKind::BadArgument,
                          "IPS cannot cut a file to a size of 16 MiB or more", std::nullopt});
    }

    std::vector<Piece> pieces;
    for (const auto& [start, end] : ranges) {
        SplitRange(target, start, end, pieces);
    }
    AvoidEofOffset(pieces);

    std::vector<uint8_t> patch(std::begin(kMagic), std::end(kMagic));
    for (const Piece& piece : pieces) {
        AppendBe(patch, piece.start, 3);
        if (piece.run) {
            AppendBe(patch, 0, 2);
            AppendBe(patch, piece.end - piece.start, 2);
            patch.push_back(target[piece.start]);
        } else {
            AppendBe(patch, piece.end - piece.start, 2);
            patch.insert(patch.end(), target.begin() + static_cast<std::ptrdiff_t>(piece.start),
                         target.begin() + static_cast<std::ptrdiff_t>(piece.end));
        }
    }
    patch.insert(patch.end(), std::begin(kEof), std::end(kEof));
    if (target.size() < source.size()) {
        AppendBe(patch, target.size(), 3);
    }
    return patch;
}

Result<std::vector<uint8_t>, Error> ApplyIps(std::span<const uint8_t> source,
                                             std::span<const uint8_t> patch) {
    if (patch.size() < sizeof kMagic || std::memcmp(patch.data(), kMagic, sizeof kMagic) != 0) {
        return Bad("not an IPS patch (it does not begin with PATCH)");
    }
    std::vector<uint8_t> result(source.begin(), source.end());
    size_t at = sizeof kMagic;
    const auto number = [&](size_t bytes) {
        uint32_t value = 0;
        for (size_t k = 0; k < bytes; ++k) {
            value = (value << 8) | patch[at + k];
        }
        at += bytes;
        return value;
    };
    for (;;) {
        if (patch.size() - at < 3) {
            return Bad("the patch is cut off (its EOF mark is missing)");
        }
        if (std::memcmp(patch.data() + at, kEof, sizeof kEof) == 0) {
            at += sizeof kEof;
            break;
        }
        if (patch.size() - at < 5) {
            return Bad("a record is cut off");
        }
        const uint32_t offset = number(3);
        const uint32_t size = number(2);
        uint32_t length = size;
        std::span<const uint8_t> data;
        uint8_t fill = 0;
        if (size == 0) {
            if (patch.size() - at < 3) {
                return Bad("a run record is cut off");
            }
            length = number(2);
            fill = patch[at++];
        } else {
            if (patch.size() - at < size) {
                return Bad("a record is cut off");
            }
            data = patch.subspan(at, size);
            at += size;
        }
        if (uint64_t{offset} + length > result.size()) {
            result.resize(size_t{offset} + length, 0);
        }
        if (size == 0) {
            std::fill_n(result.begin() + offset, length, fill);
        } else {
            std::copy(data.begin(), data.end(), result.begin() + offset);
        }
    }
    const size_t rest = patch.size() - at;
    if (rest == 3) {
        const uint32_t size = number(3);
        if (size < result.size()) {
            result.resize(size);
        }
    } else if (rest != 0) {
        return Bad("the patch has " + std::to_string(rest) +
                   " unexpected bytes after its EOF mark");
    }
    return result;
}

} // namespace quarnel
