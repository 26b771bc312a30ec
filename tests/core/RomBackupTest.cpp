#include "storage/RomBackup.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::system_clock;

std::set<std::string> FileNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A run of the program whose clock shows `when`.
std::optional<std::filesystem::path> SaveInRun(const std::filesystem::path& rom,
                                               Clock::time_point when) {
    RomBackups run([when] { return when; });
    auto first = run.EnsureBackup(rom);
    EXPECT_TRUE(first) << Describe(first.error());
    auto again = run.EnsureBackup(rom); // one copy per run
    EXPECT_TRUE(again && !*again);
    return first ? *first : std::nullopt;
}

TEST(RomBackups, KeepTheFirstCopyAndTheTenNewestTimestampedOnes) {
    testing::TempFolder folder;
    const auto rom = folder.WriteFile("game.gba", Bytes{0});
    const Clock::time_point start = Clock::now();

    // Files a pruning must never touch: other names, another ROM's copies.
    const std::string others[] = {"game.gba.old.bak",
                                  "game.gba.20200101-000000.bak.txt",
                                  "game.gba.2020010-0000000.bak",
                                  "game.gba.20200101-000000-x.bak",
                                  "other.gba.20200101-000000.bak",
                                  "xgame.gba.20200101-000000.bak"};
    for (const auto& name : others) {
        folder.WriteFile(name, Bytes{9});
    }

    // The first save ever makes <name>.bak and nothing else.
    EXPECT_EQ(SaveInRun(rom, start), folder / "game.gba.bak");
    EXPECT_EQ(FileNames(folder.Path()).size(), std::size(others) + 2);

    // Each later run adds one timestamped copy of the file as it was before its first write;
    // a name already taken gets a suffix; the .bak is never written again.
    std::vector<std::filesystem::path> copies;
    for (uint8_t run = 1; run <= 12; ++run) {
        folder.WriteFile("game.gba", Bytes{run});
        const auto when = start + std::chrono::seconds(run == 2 ? 1 : run); // runs 1 and 2 clash
        const auto copy = SaveInRun(rom, when);
        ASSERT_TRUE(copy);
        auto expected = RomBackups::TimedCopyPathOf(rom, when);
        if (run == 2) {
            expected.replace_extension();
            expected += "-2.bak";
        }
        EXPECT_EQ(*copy, expected);
        EXPECT_EQ(ReadWholeFile(*copy), Bytes{run});
        copies.push_back(*copy);
        EXPECT_EQ(ReadWholeFile(folder / "game.gba.bak"), Bytes{0});
    }

    // Of twelve timestamped copies the ten newest stay; nothing else was removed.
    std::set<std::string> expected(std::begin(others), std::end(others));
    expected.insert({"game.gba", "game.gba.bak"});
    for (size_t i = 2; i < copies.size(); ++i) {
        expected.insert(copies[i].filename().string());
    }
    EXPECT_EQ(FileNames(folder.Path()), expected);
}

TEST(RomBackups, RefuseAFirstBackupNameThatIsNotAFile) {
    testing::TempFolder folder;
    const auto rom = folder.WriteFile("game.gba", Bytes{1, 2});
    std::filesystem::create_directory(folder / "game.gba.bak");
    RomBackups run;
    auto made = run.EnsureBackup(rom);
    ASSERT_FALSE(made);
    EXPECT_EQ(made.error().kind, ErrorKind::FileWrite);
    EXPECT_FALSE(OpenRomForWriting(run, rom)); // no write without the copy
    EXPECT_EQ(FileNames(folder.Path()), (std::set<std::string>{"game.gba", "game.gba.bak"}));
}

} // namespace
} // namespace quarnel
