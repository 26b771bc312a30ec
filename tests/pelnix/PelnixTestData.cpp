#include "PelnixTestData.h"

#include "SampleData.h"

#include <algorithm>
#include <stdexcept>

namespace quarnel::testing {

std::vector<uint8_t> BiosRlEncode(std::span<const uint8_t> data, size_t maxLiteral, size_t maxRun) {
    if (maxLiteral < 1 || maxLiteral > 128 || maxRun < 3 || maxRun > 130) {
        throw std::invalid_argument("block limits outside the format");
    }
    const size_t n = data.size();
    std::vector<uint8_t> out{0x30, static_cast<uint8_t>(n & 0xFF),
                             static_cast<uint8_t>((n >> 8) & 0xFF),
                             static_cast<uint8_t>((n >> 16) & 0xFF)};
    std::vector<uint8_t> literals;
    const auto flushLiterals = [&] {
        for (size_t at = 0; at < literals.size(); at += maxLiteral) {
            const size_t count = std::min(maxLiteral, literals.size() - at);
            out.push_back(static_cast<uint8_t>(count - 1));
            out.insert(out.end(), literals.begin() + static_cast<std::ptrdiff_t>(at),
                       literals.begin() + static_cast<std::ptrdiff_t>(at + count));
        }
        literals.clear();
    };
    size_t p = 0;
    while (p < n) {
        size_t run = 1;
        while (p + run < n && run < maxRun && data[p + run] == data[p]) {
            ++run;
        }
        if (run >= 3) {
            flushLiterals();
            out.push_back(static_cast<uint8_t>(0x80 | (run - 3)));
            out.push_back(data[p]);
            p += run;
        } else {
            literals.push_back(data[p]);
            p += 1;
        }
    }
    flushLiterals();
    return out;
}

std::optional<std::vector<uint8_t>> DecodeLayerBlocks(std::span<const uint8_t> blocks) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < blocks.size()) {
        const uint8_t count = blocks[i++];
        const size_t length = count & 0x7F;
        if (length == 0) {
            return std::nullopt;
        }
        if ((count & 0x80) != 0) {
            if (i >= blocks.size()) {
                return std::nullopt;
            }
            out.insert(out.end(), length, blocks[i++]);
        } else {
            if (blocks.size() - i < length) {
                return std::nullopt;
            }
            out.insert(out.end(), blocks.begin() + static_cast<std::ptrdiff_t>(i),
                       blocks.begin() + static_cast<std::ptrdiff_t>(i + length));
            i += length;
        }
    }
    return out;
}

std::string Name(InputKind kind) {
    switch (kind) {
    case InputKind::Uniform:
        return "Uniform";
    case InputKind::SmallAlphabet:
        return "SmallAlphabet";
    case InputKind::Runs:
        return "Runs";
    case InputKind::Blocks:
        return "Blocks";
    case InputKind::Tiles:
        return "Tiles";
    case InputKind::Minimap:
        return "Minimap";
    case InputKind::FarRepeats:
        return "FarRepeats";
    }
    return "Unknown";
}

std::vector<uint8_t> MakeInput(InputKind kind, size_t size, TestRandom& random) {
    std::vector<uint8_t> data;
    data.reserve(size);
    switch (kind) {
    case InputKind::Uniform:
        while (data.size() < size) {
            data.push_back(random.Byte());
        }
        break;
    case InputKind::SmallAlphabet: {
        const uint32_t values = random.Between(2, 4);
        const uint8_t base = random.Byte();
        while (data.size() < size) {
            data.push_back(static_cast<uint8_t>(base + random.Below(values)));
        }
        break;
    }
    case InputKind::Runs:
        while (data.size() < size) {
            const uint8_t value = random.Chance(50) ? 0 : random.Byte();
            const size_t length = random.Chance(20) ? random.Between(1, 300) : random.Between(1, 6);
            data.insert(data.end(), std::min(length, size - data.size()), value);
        }
        break;
    case InputKind::Blocks: {
        std::vector<std::vector<uint8_t>> pool(random.Between(1, 4));
        for (auto& block : pool) {
            block.resize(random.Between(1, 64));
            for (auto& byte : block) {
                byte = random.Chance(30) ? 0 : random.Byte();
            }
        }
        while (data.size() < size) {
            std::vector<uint8_t> block = pool[random.Below(static_cast<uint32_t>(pool.size()))];
            if (random.Chance(30)) {
                block[random.Below(static_cast<uint32_t>(block.size()))] = random.Byte();
            }
            data.insert(data.end(), block.begin(), block.end());
        }
        data.resize(size);
        break;
    }
    case InputKind::Tiles:
        return TileLikeData(size, static_cast<uint32_t>(random.Next()));
    case InputKind::Minimap:
        return MinimapLikeData(size, static_cast<uint32_t>(random.Next()));
    case InputKind::FarRepeats: {
        // A block, then filler so that its copy lands 4094 to 4098 bytes later, and again.
        std::vector<uint8_t> block(random.Between(3, 40));
        for (auto& byte : block) {
            byte = random.Byte();
        }
        while (data.size() < size) {
            const size_t start = data.size();
            data.insert(data.end(), block.begin(), block.end());
            const size_t distance = random.Between(4094, 4098);
            while (data.size() < start + distance && data.size() < size + distance) {
                data.push_back(random.Chance(50) ? random.Byte() : uint8_t{0});
            }
            if (random.Chance(25)) {
                block[random.Below(static_cast<uint32_t>(block.size()))] = random.Byte();
            }
        }
        data.resize(size);
        break;
    }
    }
    return data;
}

std::vector<uint8_t> Counting(size_t count, uint8_t first) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

std::vector<uint8_t> SkewedData(size_t size, uint32_t symbols, TestRandom& random) {
    std::vector<uint8_t> data(size);
    const uint8_t base = random.Byte();
    for (auto& byte : data) {
        const uint32_t value =
            random.Chance(60) ? random.Below(1 + symbols / 4) : random.Below(symbols);
        byte = static_cast<uint8_t>(base + value * 7); // 7 is odd: distinct values stay distinct
    }
    return data;
}

} // namespace quarnel::testing
