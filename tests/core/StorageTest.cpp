#include "storage/Storage.h"

#include "rom/GameTables.h"
#include "rom/RomView.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace quarnel {
namespace {

namespace fs = std::filesystem;

// An 8 MiB image that is blank everywhere: the allocator follows the counters alone.
const RomView& BlankImage() {
    static const std::vector<uint8_t> bytes(kRomImageSize, 0xFF);
    static const SpanRomView view(bytes);
    return view;
}

// A fresh folder per test, removed afterwards.
class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int serial = 0;
        m_folder = fs::temp_directory_path() / ("quarnel-storage-" + std::to_string(::getpid()) +
                                                "-" + std::to_string(serial++));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, ignored);
        fs::remove_all(m_folder, ignored);
    }

    fs::path Path() const { return m_folder / "os.bin"; }

    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(Path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void WriteFile(std::span<const uint8_t> bytes) const {
        std::ofstream(Path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }

    // A storage system whose file holds `table`.
    StorageSystem Loaded(const StorageTable& table) const {
        WriteFile(SerializeStorageTable(table));
        StorageSystem storage(Path());
        EXPECT_TRUE(storage.LoadStorage());
        return storage;
    }

    void ExpectFileHolds(const StorageTable& table) const {
        const auto expected = SerializeStorageTable(table);
        EXPECT_EQ(FileBytes(), std::vector<uint8_t>(expected.begin(), expected.end()));
    }

    fs::path m_folder;
};

// Each default area ends where the next begins, except after ZM area 4; both games end at
// 0x800000 and have the stated totals.
TEST_F(StorageTest, DefaultAreasMatchTheImageLayout) {
    auto check = [](std::span<const StorageArea> areas, int64_t total) {
        int64_t sum = 0;
        for (size_t i = 0; i < areas.size(); ++i) {
            sum += areas[i].Length;
            const int64_t end = areas[i].Offset + int64_t{areas[i].Length};
            const int64_t next = i + 1 < areas.size() ? areas[i + 1].Offset : 0x800000;
            EXPECT_EQ(end, areas[i].Offset == 0x77C898 ? 0x7D7FFC : next) << "area " << i;
        }
        EXPECT_EQ(sum, total);
    };
    check(kDefaultZMAreas, 523152);
    check(kDefaultMFAreas, 398136);
}

TEST_F(StorageTest, FileLayoutIsByteExact) {
    StorageTable table;
    table.ZMAreas[0] = {0x01020304, -2, 0x7F000000};
    table.MFAreas[0] = {0x11223344, 5, 6};
    table.MFAreas[6] = {7, 8, static_cast<int32_t>(0xA1B2C3D4u)};
    const auto bytes = SerializeStorageTable(table);
    const std::vector<std::pair<size_t, std::vector<uint8_t>>> expected = {
        {0, {0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x7F}},
        {72, {0x44, 0x33, 0x22, 0x11, 5, 0, 0, 0, 6, 0, 0, 0}},
        {144, {7, 0, 0, 0, 8, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1}},
    };
    for (const auto& [at, want] : expected) {
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + static_cast<long>(at),
                                       bytes.begin() + static_cast<long>(at + want.size())),
                  want)
            << "at byte " << at;
    }
    EXPECT_EQ(ParseStorageTable(bytes), table);

    // A short input reads as zeros past its end; a long one is cut at 156 bytes.
    std::vector<uint8_t> longer(bytes.begin(), bytes.end());
    longer.resize(200, 0xEE);
    EXPECT_EQ(ParseStorageTable(longer), table);
    StorageTable shortTable = ParseStorageTable(std::span(bytes).first(76));
    EXPECT_EQ(shortTable.ZMAreas[0], table.ZMAreas[0]);
    EXPECT_EQ(shortTable.MFAreas[0], (StorageArea{0x11223344, 0, 0}));
}

TEST_F(StorageTest, FreshFileHandsOutAbuttingBlocks) {
    StorageSystem storage(Path());
    ASSERT_TRUE(storage.ResetStorage());
    ExpectFileHolds(DefaultStorageTable());
    EXPECT_EQ(storage.StorageAlloc(Game::ZM, 100, BlankImage()).value(), 0x760D38u);
    EXPECT_EQ(storage.Table().ZMAreas[0].Used, 100);
    EXPECT_EQ(storage.StorageAlloc(Game::ZM, 19, BlankImage()).value(), 0x760D9Cu);
    EXPECT_EQ(storage.StorageAlloc(Game::MF, 1, BlankImage()).value(), 0x79ECC8u);
    ExpectFileHolds(storage.Table());
    // Only os.bin is left behind: no temporary file survives a write.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

// A game's whole slot array (MF includes slots 5 and 6).
std::span<StorageArea> Slots(StorageTable& table, Game game) {
    return game == Game::MF ? std::span<StorageArea>(table.MFAreas)
                            : std::span<StorageArea>(table.ZMAreas);
}

struct FitCase {
    const char* name;
    Game game;
    size_t fullAreas; // the game's first areas made full (Used = Length)
    std::vector<std::pair<size_t, StorageArea>> patches; // then these slots replaced
    int32_t size;
    uint32_t expected;
    int area; // the slot that serves the request, -1 for none
};

TEST_F(StorageTest, FirstFitRules) {
    const Game ZM = Game::ZM, MF = Game::MF;
    // clang-format off
    const std::vector<FitCase> cases = {
        {"larger than area 0 goes to area 4", ZM, 0, {}, 0xF2C9, 0x77C898, 4},
        {"remaining equal to size is granted", ZM, 0, {{0, {0x760D38, 0xF2BE, 0xF2C8}}}, 10,
         0x76FFF6, 0},
        {"remaining one short is skipped", ZM, 0, {{0, {0x760D38, 0xF2BF, 0xF2C8}}}, 10,
         0x770000, 1},
        {"candidate 0x7FFFFF refused with room left", ZM, 5, {{5, {0x7F7734, 0x88CB, 0x88CC}}}, 1,
         0, -1},
        {"candidate 0x7FFFFE granted", ZM, 5, {{5, {0x7F7734, 0x88CA, 0x88CC}}}, 2, 0x7FFFFE, 5},
        {"candidate past the limit skips to the next area", ZM, 0, {{0, {0x7FFFFF, 0, 100}}}, 1,
         0x770000, 1},
        {"MF never uses slots 5 and 6", MF, 5,
         {{5, {0x100000, 0, 0x100000}}, {6, {0x200000, 0, 0x100000}}}, 1, 0, -1},
        {"MF larger than area 0 goes to area 1", MF, 0, {}, 0x1CA9, 0x7A0970, 1},
        {"no game has no area", Game::None, 0, {}, 1, 0, -1},
        {"no area fits the largest size", ZM, 0, {}, INT32_MAX, 0, -1},
        // Damaged counters from a hand-edited file.
        {"negative Used is passed over", ZM, 0, {{0, {0x760D38, -8, 0xF2C8}}}, 4, 0x770000, 1},
        {"Used beyond Length is passed over", ZM, 0, {{0, {0x1000, 0x30, 0x20}}}, 1, 0x770000, 1},
        {"an area at offset 0 is passed over: 0 means none", ZM, 0, {{0, {0, 0, 0x100}}}, 1,
         0x770000, 1},
        {"counters near the limits do not overflow", ZM, 0,
         {{0, {INT32_MAX, 5, 100}}, {1, {0x770000, -10, INT32_MAX}}}, 1, 0x771000, 2},
    };
    // clang-format on
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        StorageTable before = DefaultStorageTable();
        const auto slots = Slots(before, test.game);
        for (size_t i = 0; i < test.fullAreas; ++i) {
            slots[i].Used = slots[i].Length;
        }
        for (const auto& [index, area] : test.patches) {
            slots[index] = area;
        }
        StorageSystem storage = Loaded(before);
        const auto offset = storage.StorageAlloc(test.game, test.size, BlankImage());
        ASSERT_TRUE(offset) << Describe(offset.error());
        EXPECT_EQ(*offset, test.expected);

        // Exactly the serving area grows by the size; the file holds the new table.
        StorageTable after = before;
        if (test.area >= 0) {
            Slots(after, test.game)[static_cast<size_t>(test.area)].Used += test.size;
        }
        EXPECT_EQ(storage.Table(), after);
        ExpectFileHolds(after);
    }
}

// The allocator restated over plain 64-bit arithmetic, to check long sequences against.
uint32_t ModelAlloc(std::span<StorageArea> areas, int32_t size) {
    for (auto& area : areas) {
        const int64_t candidate = int64_t{area.Offset} + area.Used;
        if (int64_t{area.Length} - area.Used >= size && candidate < 0x7FFFFF) {
            area.Used += size;
            return static_cast<uint32_t>(candidate);
        }
    }
    return 0;
}

TEST_F(StorageTest, RandomSequencesFollowTheModelAndNeverOverlap) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 4; ++round) {
        fs::remove(Path());
        StorageSystem storage(Path());
        ASSERT_TRUE(storage.ResetStorage());
        StorageTable model = DefaultStorageTable();
        std::vector<std::pair<uint32_t, uint32_t>> blocks[2]; // per game: their areas overlap
        for (int step = 0; step < 250; ++step) {
            const Game game = std::array{Game::ZM, Game::MF, Game::None}[random() % 3];
            const uint32_t limit = random() % 4 == 0 ? 0x30000 : 0x800; // mostly small
            const auto size = static_cast<int32_t>(random() % limit + 1);
            const auto offset = storage.StorageAlloc(game, size, BlankImage());
            ASSERT_TRUE(offset);
            const uint32_t expected =
                game == Game::None
                    ? 0
                    : ModelAlloc(Slots(model, game).first(game == Game::ZM ? 6 : 5), size);
            ASSERT_EQ(*offset, expected) << "step " << step;
            ASSERT_EQ(storage.Table(), model) << "step " << step;
            ExpectFileHolds(model);
            if (expected != 0) {
                auto& mine = blocks[game == Game::ZM ? 0 : 1];
                for (const auto& [start, end] : mine) {
                    ASSERT_TRUE(expected >= end || expected + uint32_t(size) <= start);
                }
                mine.push_back({expected, expected + uint32_t(size)});
            }
        }
    }
}

TEST_F(StorageTest, PlanMatchesRealAllocationsAndChangesNothing) {
    std::mt19937 random(7);
    StorageTable start = DefaultStorageTable();
    start.ZMAreas[0].Used = 0xF000;
    for (const Game game : {Game::ZM, Game::MF, Game::None}) {
        StorageSystem storage = Loaded(start);
        std::vector<int32_t> sizes;
        for (int i = 0; i < 40; ++i) {
            sizes.push_back(static_cast<int32_t>(random() % 0x12000) - 0x100);
        }
        const auto plan = storage.PlanAllocations(game, sizes, BlankImage());
        EXPECT_EQ(storage.Table(), start);
        ExpectFileHolds(start);
        ASSERT_EQ(plan.size(), sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            const auto real = storage.StorageAlloc(game, sizes[i], BlankImage());
            EXPECT_EQ(real.value_or(0), plan[i]) << "request " << i;
        }
    }
}

TEST_F(StorageTest, ResetRestoresOffsetsAndLengthsAndKeepsUsed) {
    StorageTable odd;
    StorageTable expected = DefaultStorageTable();
    for (const Game game : {Game::ZM, Game::MF}) {
        for (size_t i = 0; i < Slots(odd, game).size(); ++i) {
            Slots(odd, game)[i] = {1, static_cast<int32_t>(i + 10), 2};
            Slots(expected, game)[i].Used = static_cast<int32_t>(i + 10);
        }
    }
    expected.MFAreas[5] = odd.MFAreas[5];
    expected.MFAreas[6] = odd.MFAreas[6];
    StorageSystem storage = Loaded(odd);
    ASSERT_TRUE(storage.ResetStorage());
    EXPECT_EQ(storage.Table(), expected);
    ExpectFileHolds(expected);
}

TEST_F(StorageTest, LoadReadsShortAndMissingFilesAsZeros) {
    StorageSystem storage = Loaded(DefaultStorageTable());
    EXPECT_TRUE(storage.FileExists());
    auto bytes = SerializeStorageTable(DefaultStorageTable());
    WriteFile(std::span(bytes).first(80));
    ASSERT_TRUE(storage.LoadStorage());
    EXPECT_EQ(storage.Table(), ParseStorageTable(std::span(bytes).first(80)));
    EXPECT_EQ(storage.Table().MFAreas[1], StorageArea{});

    fs::remove(Path());
    EXPECT_FALSE(storage.FileExists());
    ASSERT_TRUE(storage.LoadStorage());
    EXPECT_EQ(storage.Table(), StorageTable{});
    EXPECT_FALSE(storage.FileExists()); // reading never creates the file
}

TEST_F(StorageTest, FailuresLeaveTableAndFileUnchanged) {
    StorageTable start = DefaultStorageTable();
    start.ZMAreas[0].Used = 40;
    StorageSystem storage = Loaded(start);

    // Sizes of 0 or less are refused before anything is touched.
    for (const int32_t size : {0, -1, INT32_MIN}) {
        const auto refused = storage.StorageAlloc(Game::ZM, size, BlankImage());
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().kind, ErrorKind::BadArgument);
    }
    EXPECT_EQ(storage.Table(), start);

    // os.bin replaced by a folder: reading fails, and so does renaming over it.
    fs::remove(Path());
    fs::create_directories(Path() / "inside");
    const auto read = storage.LoadStorage();
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, ErrorKind::FileRead);
    const auto alloc = storage.StorageAlloc(Game::ZM, 8, BlankImage());
    ASSERT_FALSE(alloc);
    EXPECT_EQ(alloc.error().kind, ErrorKind::FileWrite);
    EXPECT_FALSE(storage.ResetStorage());
    EXPECT_EQ(storage.Table(), start);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);

    // A file that exists but cannot be opened (a link to itself) is an error, not zeros.
    fs::remove_all(Path());
    fs::create_symlink("os.bin", Path());
    const auto loop = storage.LoadStorage();
    ASSERT_FALSE(loop);
    EXPECT_EQ(loop.error().kind, ErrorKind::FileOpen);
    EXPECT_EQ(storage.Table(), start);

    // A folder that is gone: the write fails, and the block is handed out once it is back.
    fs::remove_all(m_folder);
    ASSERT_FALSE(storage.StorageAlloc(Game::ZM, 8, BlankImage()));
    EXPECT_EQ(storage.Table(), start);
    fs::create_directories(m_folder);
    EXPECT_EQ(storage.StorageAlloc(Game::ZM, 8, BlankImage()).value(), 0x760D38u + 40);
    ExpectFileHolds(storage.Table());
}

TEST_F(StorageTest, PermissionsDeniedLeaveTheTableUnchanged) {
    StorageSystem storage = Loaded(DefaultStorageTable());
    fs::permissions(Path(), fs::perms::none);
    if (std::ifstream(Path()).is_open()) {
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    const auto denied = storage.LoadStorage();
    ASSERT_FALSE(denied);
    EXPECT_EQ(denied.error().kind, ErrorKind::FileOpen);
    fs::permissions(Path(), fs::perms::owner_all);
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(storage.StorageAlloc(Game::ZM, 8, BlankImage()));
    EXPECT_EQ(storage.Table(), DefaultStorageTable());
}

TEST(StorageDisplay, ShowsSixDigits) {
    const std::vector<std::pair<int32_t, const char*>> cases = {
        {0x760D38, "760D38"}, {0, "000000"},          {0xF2C8, "00F2C8"},
        {0x1180A, "01180A"},  {0x12345678, "345678"}, {-1, "FFFFFF"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(StorageDisplayHex(value), text);
    }
}

} // namespace
} // namespace quarnel
