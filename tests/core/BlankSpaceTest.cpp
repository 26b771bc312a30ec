// Free space handed out only where the ROM is blank: the counters of os.bin are shared by
// every ROM of a game, so they may point into data, and the allocator must step over it.

#include "storage/BlankSpace.h"
#include "storage/Storage.h"

#include "rom/GameTables.h"
#include "rom/RomView.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>

namespace quarnel {
namespace {

using testing::TempFolder;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kZm0 = 0x760D38; // ZM area 0
constexpr uint8_t kData = 0x5A;

// A view that counts the bytes asked of it.
class CountingView final : public RomView {
public:
    explicit CountingView(const Bytes& bytes) : m_inner(bytes) {}
    uint64_t Size() const override { return m_inner.Size(); }
    size_t Read(uint64_t offset, std::span<uint8_t> out) const override {
        m_read += out.size();
        return m_inner.Read(offset, out);
    }
    uint64_t BytesRead() const { return m_read; }

private:
    SpanRomView m_inner;
    mutable uint64_t m_read = 0;
};

// A storage system on os.bin in `folder` holding `table`.
StorageSystem StorageWith(const TempFolder& folder, const StorageTable& table) {
    folder.WriteFile("os.bin", SerializeStorageTable(table));
    StorageSystem storage(folder / "os.bin");
    EXPECT_TRUE(storage.LoadStorage());
    return storage;
}

void Fill(Bytes& image, uint32_t at, uint32_t count, uint8_t value) {
    std::fill_n(image.begin() + at, count, value);
}

// Data every `step` bytes over [begin, end).
void Sprinkle(Bytes& image, uint32_t begin, uint32_t end, uint32_t step) {
    for (uint32_t at = begin; at < end && at < image.size(); at += step) {
        image[at] = kData;
    }
}

struct AllocCase {
    const char* name;
    std::function<void(StorageTable&, Bytes&)> setUp; // on the defaults and a blank image
    int32_t size;
    uint32_t expected; // 0: no area can serve it
    int area;          // the ZM area that serves it
    int32_t usedAfter; // that area's Used afterwards
};

TEST(BlankSpace, HandsOutOnlyBlankBlocksInsideTheirLimits) {
    const auto fullUpTo = [](StorageTable& table, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            table.ZMAreas[i].Used = table.ZMAreas[i].Length;
        }
    };
    // clang-format off
    const std::vector<AllocCase> cases = {
        {"data at the start of an area is stepped over",
         [](StorageTable&, Bytes& rom) { Fill(rom, kZm0, 0x100, kData); },
         0x40, kZm0 + 0x100, 0, 0x140},
        {"a gap between data smaller than the request is stepped over",
         [](StorageTable&, Bytes& rom) { rom[kZm0] = kData; rom[kZm0 + 0x20] = kData; },
         0x30, kZm0 + 0x21, 0, 0x51},
        {"a gap as large as the request is taken",
         [](StorageTable&, Bytes& rom) { rom[kZm0] = kData; rom[kZm0 + 0x31] = kData; },
         0x30, kZm0 + 1, 0, 0x31},
        {"zeros are blank",
         [](StorageTable&, Bytes& rom) { Fill(rom, kZm0, 0x100, 0x00); },
         0x80, kZm0, 0, 0x80},
        {"a block is all 0xFF or all 0x00, not a mix",
         [](StorageTable&, Bytes& rom) { Fill(rom, kZm0, 0x10, 0x00); },
         0x20, kZm0 + 0x10, 0, 0x30},
        {"zeros right after data are its end, not free",
         [](StorageTable&, Bytes& rom) { rom[kZm0] = kData; Fill(rom, kZm0 + 1, 0x100, 0x00); },
         8, kZm0 + 1 + kDataTailGuard, 0, 0x19},
        {"bytes before Offset + Used are not looked at",
         [](StorageTable& t, Bytes& rom) { t.ZMAreas[0].Used = 0x50; rom[kZm0 + 0x10] = kData; },
         0x10, kZm0 + 0x50, 0, 0x60},
        {"an area full of data sends the request on",
         [](StorageTable&, Bytes& rom) { Sprinkle(rom, kZm0, 0x770000, 16); },
         0x20, 0x770000, 1, 0x20},
        {"a block ends before the never-written range",
         [&](StorageTable& t, Bytes&) { fullUpTo(t, 4); t.ZMAreas[4] = {0x7D7F00, 0, 0x200}; },
         0xFC, 0x7D7F00, 4, 0xFC},
        {"a block never runs into the never-written range: it goes on after it",
         [&](StorageTable& t, Bytes&) { fullUpTo(t, 4); t.ZMAreas[4] = {0x7D7F00, 0, 0x40000}; },
         0x100, 0x7F7734, 4, 0x7F7834 - 0x7D7F00},
        {"a block never runs past the end of the file",
         [](StorageTable&, Bytes& rom) { rom.resize(kZm0 + 0x30); },
         0x40, 0, -1, 0},
        {"no block starts at 0x7FFFFF, even in blank space",
         [&](StorageTable& t, Bytes& rom) {
             fullUpTo(t, 5);
             t.ZMAreas[5].Used = 0x88C0;
             Fill(rom, 0x7FFFF4, 11, kData);
         },
         1, 0, -1, 0},
    };
    // clang-format on
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        Bytes rom(kRomImageSize, 0xFF);
        test.setUp(table, rom);
        const Bytes before = rom;
        StorageSystem storage = StorageWith(folder, table);
        const SpanRomView view(rom);

        const auto planned = storage.PlanAllocations(Game::ZM, std::span(&test.size, 1), view);
        const auto offset = storage.StorageAlloc(Game::ZM, test.size, view);
        ASSERT_TRUE(offset);
        EXPECT_EQ(*offset, test.expected);
        EXPECT_EQ(planned.at(0), *offset);
        StorageTable after = table;
        if (test.area >= 0) {
            after.ZMAreas[static_cast<size_t>(test.area)].Used = test.usedAfter;
        }
        EXPECT_EQ(storage.Table(), after);
        EXPECT_EQ(ParseStorageTable(testing::ReadWholeFile(folder / "os.bin")), after);
    }
}

// Many saves, with os.bin now and then replaced by a fresh one (every Used 0): every block
// is blank when handed out, lies in its area, and is then written, so a block that overlaps
// an earlier one or data would be seen.
TEST(BlankSpace, StaleCountersNeverHandOutUsedBytes) {
    for (const Game game : {Game::ZM, Game::MF}) {
        SCOPED_TRACE(GameCodeText(game));
        std::mt19937 random(91);
        const auto draw = [&random](uint32_t below) {
            return static_cast<uint32_t>(random() % below);
        };
        TempFolder folder;
        Bytes rom(kRomImageSize, 0xFF);
        for (int island = 0; island < 40; ++island) { // data of others in the free space
            const uint32_t at = 0x760000 + draw(0x9F000);
            Fill(rom, at, 1 + draw(0x400), static_cast<uint8_t>(1 + draw(0xFE)));
        }
        const SpanRomView view(rom);
        StorageSystem storage = StorageWith(folder, DefaultStorageTable());
        for (int step = 0; step < 400; ++step) {
            if (step % 50 == 49) {
                storage = StorageWith(folder, DefaultStorageTable());
            }
            const auto size = static_cast<int32_t>(1 + draw(draw(8) == 0 ? 0x4000 : 0x200));
            const auto offset = storage.StorageAlloc(game, size, view);
            ASSERT_TRUE(offset);
            if (*offset == 0) {
                continue;
            }
            const auto areas = UsableAreas(DefaultStorageTable(), game);
            ASSERT_TRUE(std::any_of(areas.begin(), areas.end(),
                                    [&](const StorageArea& a) {
                                        return *offset >= uint32_t(a.Offset) &&
                                               *offset + size <= uint32_t(a.Offset + a.Length);
                                    }))
                << "step " << step;
            const auto block = std::span(rom).subspan(*offset, static_cast<size_t>(size));
            const uint8_t first = block[0];
            ASSERT_TRUE(first == 0xFF || first == 0x00) << "step " << step;
            ASSERT_TRUE(
                std::all_of(block.begin(), block.end(), [first](uint8_t b) { return b == first; }))
                << "step " << step;
            std::fill(block.begin(), block.end(), static_cast<uint8_t>(0x10 + step % 0x80));
        }
    }
}

// One request that no area can serve reads each byte of the areas about once.
TEST(BlankSpace, ScansEachByteOnce) {
    TempFolder folder;
    Bytes rom(kRomImageSize, 0xFF);
    Sprinkle(rom, kZm0, kRomImageSize, 32);
    const CountingView view(rom);
    StorageSystem storage = StorageWith(folder, DefaultStorageTable());
    ASSERT_EQ(storage.StorageAlloc(Game::ZM, 40, view).value(), 0u);
    uint64_t total = 0;
    for (const auto& area : kDefaultZMAreas) {
        total += static_cast<uint64_t>(area.Length);
    }
    EXPECT_LE(view.BytesRead(), total + 64 * 1024);
}

struct FitCase {
    const char* name;
    std::function<void(Bytes&)> setUp; // on a blank image
    std::array<int32_t, 6> used;       // ZM areas' Used after the fit
};

TEST(BlankSpace, FitSetsUsedJustPastTheLastData) {
    const auto& zm = kDefaultZMAreas;
    // clang-format off
    const std::vector<FitCase> cases = {
        {"all blank gives 0", [](Bytes&) {}, {0, 0, 0, 0, 0, 0}},
        {"zero-filled is blank too", [](Bytes& rom) { Fill(rom, kZm0, 0x800, 0x00); },
         {0, 0, 0, 0, 0, 0}},
        {"past the last data byte",
         [](Bytes& rom) { rom[kZm0 + 3] = kData; rom[kZm0 + 0x123] = kData; },
         {0x124, 0, 0, 0, 0, 0}},
        {"zeros that end data count with it",
         [](Bytes& rom) { rom[0x771000] = kData; Fill(rom, 0x771001, 3, 0x00); },
         {0, 0, 4, 0, 0, 0}},
        {"data in the last byte fills the area",
         [&](Bytes& rom) { rom[static_cast<size_t>(zm[4].Offset + zm[4].Length - 1)] = kData; },
         {0, 0, 0, 0, zm[4].Length, 0}},
        {"the part past the end of the file holds nothing",
         [](Bytes& rom) { rom.resize(0x770010); Fill(rom, 0x770000, 0x10, kData); },
         {0, 0x10, 0, 0, 0, 0}},
    };
    // clang-format on
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        for (auto& area : table.ZMAreas) {
            area.Used = 8; // stale counters, replaced by the fit
        }
        table.MFAreas[2].Used = 0x77;
        Bytes rom(kRomImageSize, 0xFF);
        test.setUp(rom);
        StorageSystem storage = StorageWith(folder, table);
        ASSERT_TRUE(storage.FitToRom(Game::ZM, SpanRomView(rom)));
        for (size_t i = 0; i < zm.size(); ++i) {
            table.ZMAreas[i].Used = test.used[i];
        }
        EXPECT_EQ(storage.Table(), table); // offsets, lengths and MF stay
        EXPECT_EQ(ParseStorageTable(testing::ReadWholeFile(folder / "os.bin")), table);
    }
}

} // namespace
} // namespace quarnel
