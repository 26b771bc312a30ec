// Generated images with random bytes written over their tables, headers, pointers and layer
// data: every room either loads or reports what is wrong; nothing crashes or reads outside
// its buffers (the sanitizer build checks the latter).

#include "main/RoomLoading.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace quarnel {
namespace {

using testing::TempFolder;

// The ranges worth corrupting: the fixed tables, the room headers, and the data the headers
// point to.
std::vector<std::pair<uint32_t, uint32_t>> Targets(const SyntheticRom& rom) {
    const GameLayout& layout = *LayoutOf(rom.game);
    std::vector<std::pair<uint32_t, uint32_t>> targets = {
        {layout.areaTable, 4 * layout.areaCount},
        {layout.tilesetTable, 20 * layout.tilesetCount},
        {layout.animatedTilesetTable, 48 * 8},
        {layout.animatedGraphicsTable, 8 * 20},
    };
    if (layout.doorTablePointers != 0) {
        targets.push_back({layout.doorTablePointers, 4 * layout.areaCount});
    }
    for (const auto& area : rom.areas) {
        for (const auto& room : area.rooms) {
            targets.push_back({room.headerOffset, 60});
            for (uint32_t pointer : {room.header.LevelPointer, room.header.ClipDataPointer,
                                     room.header.SpritePointer1}) {
                targets.push_back({pointer - 0x08000000u, 64});
            }
        }
    }
    return targets;
}

TEST(CorruptRom, EveryRoomLoadsOrReports) {
    for (Game game : {Game::ZM, Game::MF}) {
        const auto& built = testing::GeneratedRom(game, 3);
        TempFolder folder;
        const auto path = testing::WriteGeneratedRom(folder / "rom.gba", game, 3);
        const auto targets = Targets(built);
        std::mt19937 random(static_cast<unsigned>(game == Game::ZM ? 11 : 12));
        for (int round = 0; round < 24; ++round) {
            // Patch the file in place, remembering the bytes to put back.
            std::vector<std::pair<uint32_t, uint8_t>> undo;
            {
                auto file = RomFile::Open(path, OpenMode::ReadWrite);
                ASSERT_TRUE(file);
                for (int patch = 0; patch < 24; ++patch) {
                    const auto& [start, size] = targets[random() % targets.size()];
                    const uint32_t offset = start + static_cast<uint32_t>(random() % size);
                    if (offset >= built.image.size()) {
                        continue;
                    }
                    // Pointer-shaped values as well as plain noise.
                    const uint8_t kinds[] = {
                        static_cast<uint8_t>(random()), 0x08, 0x09, 0x00, 0xFF, 0x7F};
                    const uint8_t value = kinds[random() % 6];
                    undo.push_back({offset, built.image[offset]});
                    ASSERT_TRUE(file->WriteAt(offset, {&value, 1}));
                }
            }
            auto state = std::make_unique<EditorState>(folder / "os.bin");
            if (OpenRomFile(*state, path)) {
                for (int area = 0; area < static_cast<int>(state->Tables.AreaTable.size());
                     ++area) {
                    const auto selection = SelectArea(*state, area);
                    const int rooms = std::min(selection.RoomCount, 5);
                    for (int room = 0; room < rooms; ++room) {
                        const auto report = SelectRoom(*state, area, room);
                        EXPECT_TRUE(report.Loaded || !report.Problems.empty());
                    }
                }
            }
            auto file = RomFile::Open(path, OpenMode::ReadWrite);
            ASSERT_TRUE(file);
            for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
                ASSERT_TRUE(file->WriteAt(it->first, {&it->second, 1}));
            }
        }
    }
}

} // namespace
} // namespace quarnel
