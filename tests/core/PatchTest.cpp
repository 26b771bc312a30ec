// BPS and IPS patches against plain reference appliers and makers written from the formats'
// descriptions: every patch the editor makes rebuilds the target exactly, every patch made
// independently applies exactly, and damaged or mismatched patches are refused.

#include "patch/Bps.h"
#include "patch/Ips.h"
#include "patch/Patches.h"

#include "common/Checksums.h"

#include "TempFolder.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::TempFolder;

// --- Reference BPS -------------------------------------------------------------------------

uint64_t RefNumber(const Bytes& p, size_t& at) {
    uint64_t data = 0, shift = 1;
    for (;;) {
        const uint8_t x = p.at(at++);
        data += (x & 0x7F) * shift;
        if (x & 0x80) {
            return data;
        }
        shift <<= 7;
        data += shift;
    }
}

void RefPutNumber(Bytes& p, uint64_t data) {
    for (;;) {
        const uint8_t x = data & 0x7F;
        data >>= 7;
        if (data == 0) {
            p.push_back(0x80 | x);
            return;
        }
        p.push_back(x);
        data--;
    }
}

void PutLe32(Bytes& p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

Bytes RefApplyBps(const Bytes& source, const Bytes& p) {
    size_t at = 4;
    RefNumber(p, at);
    Bytes target(RefNumber(p, at));
    at += RefNumber(p, at);
    size_t out = 0;
    int64_t sourceRel = 0, targetRel = 0;
    while (at < p.size() - 12) {
        const uint64_t data = RefNumber(p, at);
        const uint64_t command = data & 3, length = (data >> 2) + 1;
        for (uint64_t k = 0; k < length && command == 0; ++k, ++out) {
            target.at(out) = source.at(out);
        }
        for (uint64_t k = 0; k < length && command == 1; ++k, ++out) {
            target.at(out) = p.at(at++);
        }
        if (command >= 2) {
            const uint64_t raw = RefNumber(p, at);
            const int64_t delta = (raw & 1 ? -1 : 1) * static_cast<int64_t>(raw >> 1);
            int64_t& rel = command == 2 ? sourceRel : targetRel;
            rel += delta;
            for (uint64_t k = 0; k < length; ++k, ++out) {
                target.at(out) = command == 2 ? source.at(static_cast<size_t>(rel++))
                                              : target.at(static_cast<size_t>(rel++));
            }
        }
    }
    EXPECT_EQ(out, target.size());
    return target;
}

// SourceRead where the bytes are equal, TargetRead elsewhere.
Bytes RefMakeBps(const Bytes& source, const Bytes& target) {
    Bytes p = {'B', 'P', 'S', '1'};
    RefPutNumber(p, source.size());
    RefPutNumber(p, target.size());
    RefPutNumber(p, 0);
    for (size_t i = 0; i < target.size();) {
        const bool same = i < source.size() && source[i] == target[i];
        size_t j = i;
        while (j < target.size() && (j < source.size() && source[j] == target[j]) == same) {
            ++j;
        }
        RefPutNumber(p, ((j - i - 1) << 2) | (same ? 0 : 1));
        if (!same) {
            p.insert(p.end(), target.begin() + static_cast<long>(i),
                     target.begin() + static_cast<long>(j));
        }
        i = j;
    }
    PutLe32(p, Crc32(source));
    PutLe32(p, Crc32(target));
    PutLe32(p, Crc32(p));
    return p;
}

// --- Reference IPS -------------------------------------------------------------------------

Bytes RefApplyIps(const Bytes& source, const Bytes& p) {
    Bytes out = source;
    size_t at = 5;
    const auto be = [&](int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 8) | p.at(at++);
        }
        return v;
    };
    while (!(p.at(at) == 'E' && p.at(at + 1) == 'O' && p.at(at + 2) == 'F')) {
        const uint32_t offset = be(3), size = be(2);
        const uint32_t length = size ? size : be(2);
        const uint8_t fill = size ? 0 : p.at(at++);
        if (out.size() < offset + length) {
            out.resize(offset + length);
        }
        for (uint32_t k = 0; k < length; ++k) {
            out[offset + k] = size ? p.at(at++) : fill;
        }
    }
    at += 3;
    if (p.size() == at + 3) {
        out.resize(be(3));
    }
    return out;
}

// One plain record per changed range, no runs, split where a record would start at "EOF".
Bytes RefMakeIps(const Bytes& source, const Bytes& target) {
    Bytes p = {'P', 'A', 'T', 'C', 'H'};
    for (size_t i = 0; i < target.size();) {
        if (i < source.size() && source[i] == target[i]) {
            ++i;
            continue;
        }
        size_t start = i == kIpsEofOffset ? i - 1 : i;
        size_t end = i;
        while (end < target.size() && end - start < 1000 &&
               !(end < source.size() && source[end] == target[end])) {
            ++end;
        }
        if (end == kIpsEofOffset) {
            ++end;
        }
        for (int s = 16; s >= 0; s -= 8) {
            p.push_back(static_cast<uint8_t>(start >> s));
        }
        p.push_back(static_cast<uint8_t>((end - start) >> 8));
        p.push_back(static_cast<uint8_t>(end - start));
        p.insert(p.end(), target.begin() + static_cast<long>(start),
                 target.begin() + static_cast<long>(end));
        i = end;
    }
    p.insert(p.end(), {'E', 'O', 'F'});
    if (target.size() < source.size()) {
        for (int s = 16; s >= 0; s -= 8) {
            p.push_back(static_cast<uint8_t>(target.size() >> s));
        }
    }
    return p;
}

// --- Cases ---------------------------------------------------------------------------------

struct Pair {
    const char* name;
    Bytes source, target;
};

std::vector<Pair> Pairs() {
    testing::TestRandom random(41);
    Bytes rom(0x480000, 0xFF);
    for (size_t i = 0; i < 0x300000; ++i) {
        rom[i] = static_cast<uint8_t>(random.Next());
    }
    std::vector<Pair> pairs;
    pairs.push_back({"identical", rom, rom});
    pairs.push_back({"empty", {}, {}});
    Bytes edited = rom;
    for (int k = 0; k < 40; ++k) { // scattered edits, some in the padding
        edited[random.Next() % edited.size()] ^= 0x5A;
    }
    std::copy_n(rom.begin() + 0x1000, 3000, edited.begin() + 0x3A0000); // a moved block
    std::fill_n(edited.begin() + 0x3B0000, 5000, uint8_t{0x22});        // a run
    edited[kIpsEofOffset] ^= 1;                                         // the "EOF" offset
    edited[kIpsEofOffset + 5] ^= 1;
    pairs.push_back({"edited", rom, edited});
    Bytes grown = rom;
    grown.resize(rom.size() + 777, 0x31);
    pairs.push_back({"grown", rom, grown});
    pairs.push_back({"cut", rom, Bytes(rom.begin(), rom.begin() + 0x200001)});
    Bytes eofStart = rom;
    eofStart[kIpsEofOffset] ^= 0x80; // a change starting exactly at "EOF", after a run
    std::fill_n(eofStart.begin() + kIpsEofOffset - 20, 20, uint8_t{0x44});
    pairs.push_back({"run up to EOF offset", rom, eofStart});
    return pairs;
}

TEST(Patches, EveryMadePatchRebuildsTheTargetAndIndependentPatchesApply) {
    for (const Pair& pair : Pairs()) {
        SCOPED_TRACE(pair.name);
        const Bytes bps = MakeBps(pair.source, pair.target);
        EXPECT_EQ(RefApplyBps(pair.source, bps), pair.target);
        auto ips = MakeIps(pair.source, pair.target);
        ASSERT_TRUE(ips);
        // The reference stops at a record that starts at the offset spelling "EOF", so this
        // also checks that no record starts there.
        EXPECT_EQ(RefApplyIps(pair.source, *ips), pair.target);
        auto fromBps = ApplyPatch(pair.source, RefMakeBps(pair.source, pair.target));
        ASSERT_TRUE(fromBps) << Describe(fromBps.error());
        EXPECT_EQ(*fromBps, pair.target);
        auto fromIps = ApplyPatch(pair.source, RefMakeIps(pair.source, pair.target));
        ASSERT_TRUE(fromIps) << Describe(fromIps.error());
        EXPECT_EQ(*fromIps, pair.target);
    }
}

TEST(Patches, CopiesMovedAndRepeatedDataInsteadOfStoringIt) {
    const Pair edited = Pairs()[2];
    const Bytes bps = MakeBps(edited.source, edited.target);
    EXPECT_LT(bps.size(), 1000u) << "3,000 moved bytes and a 5,000-byte run cost a few bytes";
}

TEST(Patches, RefusesDamagedAndMismatchedPatches) {
    const Pair edited = Pairs()[2];
    const Bytes bps = MakeBps(edited.source, edited.target);
    auto ips = MakeIps(edited.source, edited.target);
    ASSERT_TRUE(ips);
    Bytes otherSource = edited.source;
    otherSource[100] ^= 1;
    Bytes flipped = bps;
    flipped[flipped.size() / 2] ^= 4;
    const struct {
        const char* name;
        Bytes rom, patch;
        const char* message;
    } cases[] = {
        {"cut BPS", edited.source, Bytes(bps.begin(), bps.end() - 20), "checksum"},
        {"flipped BPS", edited.source, flipped, "checksum"},
        {"other ROM", otherSource, bps, "made for another file"},
        {"cut IPS", edited.source, Bytes(ips->begin(), ips->end() - 4), "cut off"},
        {"cut IPS record", edited.source, Bytes(ips->begin(), ips->begin() + 9), "cut off"},
        {"not a patch", edited.source, Bytes{'h', 'e', 'l', 'l', 'o'}, "neither"},
    };
    for (const auto& c : cases) {
        auto applied = ApplyPatch(c.rom, c.patch);
        ASSERT_FALSE(applied) << c.name;
        EXPECT_NE(Describe(applied.error()).find(c.message), std::string::npos)
            << c.name << ": " << Describe(applied.error());
    }
    Bytes big(0x1000010, 0);
    Bytes bigTarget = big;
    bigTarget[0x1000004] = 1;
    EXPECT_FALSE(MakeIps(big, bigTarget)) << "IPS cannot reach 16 MiB";
}

TEST(Patches, FilesAreNeverWrittenOverTheirInputsOrHalfWritten) {
    TempFolder folder;
    const Pair edited = Pairs()[2];
    const auto original = folder.WriteFile("a.gba", edited.source);
    const auto modified = folder.WriteFile("b.gba", edited.target);
    ASSERT_TRUE(MakePatchFile(original, modified, folder / "p.bps"));
    EXPECT_FALSE(MakePatchFile(original, modified, folder / "p.txt")) << "unknown extension";
    EXPECT_FALSE(ApplyPatchFile(original, folder / "p.bps", original)) << "over its input";
    EXPECT_TRUE(testing::ReadWholeFile(original) == edited.source);
    ASSERT_TRUE(ApplyPatchFile(original, folder / "p.bps", folder / "c.gba"));
    EXPECT_TRUE(testing::ReadWholeFile(folder / "c.gba") == edited.target);
    EXPECT_FALSE(ApplyPatchFile(modified, folder / "p.bps", folder / "d.gba")) << "wrong ROM";
    EXPECT_FALSE(std::filesystem::exists(folder / "d.gba"));
}

} // namespace
} // namespace quarnel
