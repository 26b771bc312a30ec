#include "demo/SyntheticEncoders.h"

#include <algorithm>
#include <array>

namespace quarnel::synthetic {

namespace {

constexpr size_t kWindow = 4096;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;
constexpr size_t kMinDistance = 2;
constexpr int kMaxCandidates = 48;
constexpr size_t kHashSize = 1u << 13;

size_t Hash3(std::span<const uint8_t> data, size_t at) {
    return ((data[at] << 5) ^ (data[at + 1] << 2) ^ (data[at + 2] * 33u)) & (kHashSize - 1);
}

// Appends one pass of runs and literal blocks over `plane`, with its type byte and its
// closing zero count.
void EncodePass(std::span<const uint8_t> plane, CountWidth width, int minRun,
                std::vector<uint8_t>& out) {
    const bool wide = width == CountWidth::Word;
    const size_t maxCount = wide ? 0x7FFF : 0x7F;
    auto putCount = [&](size_t count, bool run) {
        if (wide) {
            out.push_back(static_cast<uint8_t>((count >> 8) | (run ? 0x80 : 0)));
            out.push_back(static_cast<uint8_t>(count & 0xFF));
        } else {
            out.push_back(static_cast<uint8_t>(count | (run ? 0x80 : 0)));
        }
    };
    auto runAt = [&](size_t at) {
        size_t length = 1;
        while (at + length < plane.size() && length < maxCount && plane[at + length] == plane[at]) {
            ++length;
        }
        return length;
    };

    out.push_back(static_cast<uint8_t>(width));
    size_t at = 0;
    while (at < plane.size()) {
        const size_t run = runAt(at);
        if (run >= static_cast<size_t>(minRun)) {
            putCount(run, true);
            out.push_back(plane[at]);
            at += run;
            continue;
        }
        size_t end = at;
        while (end < plane.size() && end - at < maxCount &&
               (end == at || runAt(end) < static_cast<size_t>(minRun))) {
            ++end;
        }
        putCount(end - at, false);
        out.insert(out.end(), plane.begin() + static_cast<std::ptrdiff_t>(at),
                   plane.begin() + static_cast<std::ptrdiff_t>(end));
        at = end;
    }
    putCount(0, false); // the closing zero count, one or two bytes wide
}

} // namespace

std::vector<uint8_t> EncodeLz77(std::span<const uint8_t> data) {
    std::vector<uint8_t> out;
    out.reserve(4 + data.size() + data.size() / 8 + 4);
    out.push_back(0x10);
    out.push_back(static_cast<uint8_t>(data.size() & 0xFF));
    out.push_back(static_cast<uint8_t>((data.size() >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>((data.size() >> 16) & 0xFF));

    // Hash chains over 3-byte prefixes: head of each chain and the previous position.
    std::vector<int64_t> head(kHashSize, -1);
    std::vector<int64_t> previous(data.size(), -1);
    auto insert = [&](size_t at) {
        if (at + kMinMatch <= data.size()) {
            const size_t h = Hash3(data, at);
            previous[at] = head[h];
            head[h] = static_cast<int64_t>(at);
        }
    };

    size_t at = 0;
    size_t flagAt = 0;
    int tokens = 8;
    while (at < data.size()) {
        if (tokens == 8) {
            flagAt = out.size();
            out.push_back(0);
            tokens = 0;
        }
        size_t bestLength = 0;
        size_t bestDistance = 0;
        if (at + kMinMatch <= data.size()) {
            const size_t limit = std::min(kMaxMatch, data.size() - at);
            int64_t candidate = head[Hash3(data, at)];
            for (int tries = 0; candidate >= 0 && tries < kMaxCandidates; ++tries) {
                const size_t distance = at - static_cast<size_t>(candidate);
                if (distance > kWindow) {
                    break;
                }
                if (distance >= kMinDistance) {
                    size_t length = 0;
                    while (length < limit &&
                           data[static_cast<size_t>(candidate) + length] == data[at + length]) {
                        ++length;
                    }
                    if (length > bestLength) {
                        bestLength = length;
                        bestDistance = distance;
                        if (length == limit) {
                            break;
                        }
                    }
                }
                candidate = previous[static_cast<size_t>(candidate)];
            }
        }
        if (bestLength >= kMinMatch) {
            out[flagAt] = static_cast<uint8_t>(out[flagAt] | (0x80 >> tokens));
            const size_t code = bestDistance - 1;
            out.push_back(static_cast<uint8_t>(((bestLength - kMinMatch) << 4) | (code >> 8)));
            out.push_back(static_cast<uint8_t>(code & 0xFF));
            for (size_t i = 0; i < bestLength; ++i) {
                insert(at + i);
            }
            at += bestLength;
        } else {
            out.push_back(data[at]);
            insert(at);
            ++at;
        }
        ++tokens;
    }
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeRoomLayer(const RoomLayer& layer, bool sixteenBit,
                                     const LayerEncoding& encoding) {
    const std::vector<int16_t> cells = layer.StoredCells();
    std::vector<uint8_t> low(cells.size());
    std::vector<uint8_t> high(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        const auto value = static_cast<uint16_t>(cells[i]);
        low[i] = static_cast<uint8_t>(value & 0xFF);
        high[i] = static_cast<uint8_t>(value >> 8);
    }
    std::vector<uint8_t> out{layer.Width, layer.Height};
    EncodePass(low, encoding.low, encoding.minRun, out);
    if (sixteenBit) {
        EncodePass(high, encoding.high, encoding.minRun, out);
    }
    return out;
}

} // namespace quarnel::synthetic
