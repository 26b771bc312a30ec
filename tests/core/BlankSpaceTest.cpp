// Free space handed out only where the ROM is blank: the counters of os.bin are shared by
// every ROM of a game, so they may point into data, and the allocator must step over it.

#include "storage/BlankSpace.h"
#include "storage/Storage.h"

#include "rom/GameTables.h"
#include "rom/RomView.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::TempFolder;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kZm0 = 0x760D38; // ZM area 0
constexpr uint32_t kEnd = kRomImageSize;

// `count` bytes of `value` from `at`, every `step` bytes.
struct Fill {
    uint32_t at, count;
    uint8_t value = 0x5A;
    uint32_t step = 1;
};

Bytes Image(const std::vector<Fill>& fills, uint32_t size = kEnd) {
    Bytes rom(kEnd, 0xFF);
    for (const Fill& fill : fills) {
        for (uint32_t i = 0; i < fill.count; i += fill.step) {
            rom[fill.at + i] = fill.value;
        }
    }
    rom.resize(size);
    return rom;
}

// A view that counts the bytes asked of it.
class CountingView final : public RomView {
public:
    explicit CountingView(const Bytes& bytes) : m_inner(bytes) {}
    uint64_t Size() const override { return m_inner.Size(); }
    size_t Read(uint64_t offset, std::span<uint8_t> out) const override {
        read += out.size();
        return m_inner.Read(offset, out);
    }
    mutable uint64_t read = 0;

private:
    SpanRomView m_inner;
};

TEST(BlankSpace, HandsOutOnlyBlankBlocksInsideTheirLimits) {
    const struct {
        const char* name;
        std::vector<Fill> fills;                           // on a blank 8 MiB image
        std::vector<std::pair<size_t, StorageArea>> areas; // ZM areas replaced
        uint32_t imageSize;
        int32_t size;
        uint32_t expected; // 0: no area can serve it
        int area;          // the ZM area that serves it, and its Used afterwards
        int32_t usedAfter;
    } cases[] = {
        {"data at the start of an area is stepped over",
         {{kZm0, 0x100}},
         {},
         kEnd,
         0x40,
         kZm0 + 0x100,
         0,
         0x140},
        {"a gap smaller than the request is stepped over",
         {{kZm0, 0x21, 0x5A, 0x20}},
         {},
         kEnd,
         0x30,
         kZm0 + 0x21,
         0,
         0x51},
        {"a block is all 0xFF or all 0x00, not a mix",
         {{kZm0, 0x10, 0x00}},
         {},
         kEnd,
         0x20,
         kZm0 + 0x10,
         0,
         0x30},
        {"zeros right after data are its end, not free",
         {{kZm0, 1}, {kZm0 + 1, 0x100, 0x00}},
         {},
         kEnd,
         8,
         kZm0 + 1 + kDataTailGuard,
         0,
         0x19},
        {"bytes before Offset + Used are not looked at",
         {{kZm0 + 0x10, 1}},
         {{0, {kZm0, 0x50, 0xF2C8}}},
         kEnd,
         0x10,
         kZm0 + 0x50,
         0,
         0x60},
        {"an area full of data sends the request on",
         {{kZm0, 0xF2C8, 0x5A, 16}},
         {},
         kEnd,
         0x20,
         0x770000,
         1,
         0x20},
        {"a block never runs into the never-written range but goes on after it",
         {},
         {{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {0x7D7F00, 0, 0x40000}}},
         kEnd,
         0x100,
         0x7F7734,
         4,
         0x7F7834 - 0x7D7F00},
        {"a block never runs past the end of the file", {}, {}, kZm0 + 0x30, 0x40, 0, -1, 0},
        {"no block starts at 0x7FFFFF, even in blank space",
         {{0x7FFFF4, 11}},
         {{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {0x7F7734, 0x88C0, 0x88CC}}},
         kEnd,
         1,
         0,
         -1,
         0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        for (const auto& [index, area] : test.areas) {
            table.ZMAreas[index] = area;
        }
        folder.WriteFile("os.bin", SerializeStorageTable(table));
        StorageSystem storage(folder / "os.bin");
        ASSERT_TRUE(storage.LoadStorage());
        const Bytes rom = Image(test.fills, test.imageSize);
        const SpanRomView view(rom);

        const auto planned = storage.PlanAllocations(Game::ZM, std::span(&test.size, 1), view);
        const auto offset = storage.StorageAlloc(Game::ZM, test.size, view);
        ASSERT_TRUE(offset);
        EXPECT_EQ(*offset, test.expected);
        EXPECT_EQ(planned.at(0), *offset);
        if (test.area >= 0) {
            table.ZMAreas[static_cast<size_t>(test.area)].Used = test.usedAfter;
        }
        EXPECT_EQ(storage.Table(), table);
        EXPECT_EQ(ParseStorageTable(testing::ReadWholeFile(folder / "os.bin")), table);
    }
}

// Space given back inside the handed-out part is handed out first: the lowest run of 0xFF
// that holds the block with a blank byte on each side, outside the blocks known pointers lead
// to and the blocks already handed out; only then does an area grow.
TEST(BlankSpace, HandsOutSpaceGivenBackFirst) {
    // Area 0 has handed out 0x400 bytes, all data but for the holes of each case.
    const uint32_t used = 0x400;
    const struct {
        const char* name;
        std::vector<Fill> holes; // blank runs inside the handed-out part
        std::vector<RomRange> known;
        std::vector<int32_t> sizes;
        std::vector<uint32_t> expected;
        int32_t usedAfter;
    } cases[] = {
        {"the lowest hole that holds the block and a spare byte on each side",
         {{kZm0 + 0x100, 0x20, 0xFF}, {kZm0 + 0x200, 0x40, 0xFF}},
         {},
         {0x1E},
         {kZm0 + 0x101},
         used},
        {"a hole without room for both spare bytes is passed over",
         {{kZm0 + 0x100, 0x20, 0xFF}, {kZm0 + 0x200, 0x40, 0xFF}},
         {},
         {0x1F},
         {kZm0 + 0x201},
         used},
        {"blocks taken before any is written keep a spare byte between them",
         {{kZm0 + 0x200, 0x40, 0xFF}},
         {},
         {0x10, 0x10, 0x1D},
         {kZm0 + 0x201, kZm0 + 0x212, kZm0 + 0x400},
         used + 0x1D},
        {"a block a known pointer leads to is never handed out, though all 0xFF",
         {{kZm0 + 0x200, 0x40, 0xFF}},
         {{kZm0 + 0x210, kZm0 + 0x213}},
         {0x20},
         {kZm0 + 0x214},
         used},
        {"zeros are not space given back",
         {{kZm0 + 0x200, 0x40, 0x00}},
         {},
         {0x10},
         {kZm0 + 0x400},
         used + 0x10},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        table.ZMAreas[0].Used = used;
        folder.WriteFile("os.bin", SerializeStorageTable(table));
        StorageSystem storage(folder / "os.bin");
        ASSERT_TRUE(storage.LoadStorage());
        std::vector<Fill> fills{{kZm0, used}};
        fills.insert(fills.end(), test.holes.begin(), test.holes.end());
        const Bytes rom = Image(fills);
        const SpanRomView view(rom);
        RangeSet occupied;
        for (const RomRange& range : test.known) {
            occupied.Add(range);
        }

        const auto planned = storage.PlanAllocations(Game::ZM, test.sizes, view, occupied);
        std::vector<uint32_t> taken;
        for (const int32_t size : test.sizes) {
            taken.push_back(storage.StorageAlloc(Game::ZM, size, view, occupied).value());
        }
        EXPECT_EQ(taken, test.expected);
        EXPECT_EQ(planned, test.expected);
        EXPECT_EQ(storage.Table().ZMAreas[0].Used, test.usedAfter);
    }
}

// A request that no area can serve reads each byte of the areas once, not again per start.
TEST(BlankSpace, ScansEachByteOnce) {
    TempFolder folder;
    const Bytes rom = Image({{kZm0, kEnd - kZm0, 0x5A, 32}});
    const CountingView view(rom);
    StorageSystem storage(folder / "os.bin");
    ASSERT_TRUE(storage.ResetStorage());
    ASSERT_EQ(storage.StorageAlloc(Game::ZM, 40, view).value(), 0u);
    EXPECT_LE(view.read, 523152u); // the ZM areas' bytes
}

} // namespace
} // namespace quarnel
