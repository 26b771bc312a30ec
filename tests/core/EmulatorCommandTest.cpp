// The emulator command of "Run": split into words without a shell, the ROM's path put where
// %f stands or added at the end, and the default emulator found on the PATH.

#include "emulator/EmulatorCommand.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace quarnel {
namespace {

using Words = std::vector<std::string>;

TEST(EmulatorCommand, SplitsWithoutAShellAndPlacesTheRom) {
    const std::filesystem::path rom = "/roms/my hack's $HOME.gba";
    const struct {
        const char* command;
        Words expected; // program, then arguments; empty: refused
    } cases[] = {
        {"mgba-qt", {"mgba-qt", rom.string()}},
        {"  mgba-qt   -2\t%f ", {"mgba-qt", "-2", rom.string()}},
        {"emu --rom=%f --save %f.sav",
         {"emu", "--rom=" + rom.string(), "--save", rom.string() + ".sav"}},
        {"'/opt/my emu/run' -f", {"/opt/my emu/run", "-f", rom.string()}},
        {R"("a \"b\" \c" d\ e 'x'"y"z)", {R"(a "b" \c)", "d e", "xyz", rom.string()}},
        {"emu 100%% %%f", {"emu", "100%", "%f", rom.string()}},
        {"emu $(rm -rf /) `id` ; ls",
         {"emu", "$(rm", "-rf", "/)", "`id`", ";", "ls", rom.string()}},
        {"emu 'unclosed", {}},
        {"emu \"unclosed", {}},
        {"emu trailing\\", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        auto launch = EmulatorLaunchFor(c.command, rom);
        if (c.expected.empty()) {
            ASSERT_FALSE(launch);
            EXPECT_EQ(launch.error().kind, ErrorKind::BadArgument);
            continue;
        }
        ASSERT_TRUE(launch) << Describe(launch.error());
        Words got{launch->program};
        got.insert(got.end(), launch->arguments.begin(), launch->arguments.end());
        EXPECT_EQ(got, c.expected);
    }
}

TEST(EmulatorCommand, UsesTheSettingElseTheFirstDefaultOnThePath) {
    testing::TempFolder folder;
    const auto make = [&](const std::string& name, bool executable) {
        const auto path = folder.WriteFile(name, std::vector<uint8_t>{'#', '!'});
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    };
    std::filesystem::create_directories(folder / "a");
    std::filesystem::create_directories(folder / "b");
    make("a/mgba-qt", false); // not executable: passed over
    make("a/mgba", true);
    const std::string path = "::" + (folder / "a").string() + ":" + (folder / "b").string();
    const std::filesystem::path rom = "/r.gba";

    auto launch = PlanEmulatorLaunch("", path, rom);
    ASSERT_TRUE(launch && *launch);
    EXPECT_EQ((*launch)->program, (folder / "a/mgba").string());
    EXPECT_EQ((*launch)->arguments, Words{"/r.gba"});

    make("b/mgba-qt", true); // the first name wins over a folder earlier on the PATH
    launch = PlanEmulatorLaunch(" \t", path, rom);
    ASSERT_TRUE(launch && *launch);
    EXPECT_EQ((*launch)->program, (folder / "b/mgba-qt").string());

    launch = PlanEmulatorLaunch("other %f -x", path, rom);
    ASSERT_TRUE(launch && *launch);
    EXPECT_EQ((*launch)->program, "other");

    launch = PlanEmulatorLaunch("", (folder / "nowhere").string(), rom);
    ASSERT_TRUE(launch);
    EXPECT_FALSE(*launch);
}

} // namespace
} // namespace quarnel
