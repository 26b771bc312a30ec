#pragma once
// A generated ROM in a temporary folder with a fresh os.bin and one of its rooms loaded as
// the editor loads it, with what a save needs; shared by the save and resize tests.

#include "main/EditorState.h"
#include "main/RoomLoading.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/RoomSave.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quarnel::testing {

using RoomWanted = std::function<bool(const SyntheticRoom&)>;

// All three tile layers and three non-empty sprite lists of their own.
inline bool FullRoom(const SyntheticRoom& room) {
    const RoomHeader& h = room.header;
    return room.foreground && room.level && room.back && !room.spriteLists[0].empty() &&
           !room.spriteLists[1].empty() && !room.spriteLists[2].empty() &&
           h.SpritePointer1 != h.SpritePointer2 && h.SpritePointer2 != h.SpritePointer3 &&
           h.SpritePointer1 != h.SpritePointer3;
}

struct SaveRig {
    Game game;
    TempFolder folder;
    std::filesystem::path rom = folder / "game.gba";
    std::filesystem::path storagePath = folder / "os.bin";
    EditorState state{storagePath};
    PelnixBinding pelnix{{std::filesystem::path(QUARNEL_BIN_DIR)}};
    RomBackups backups;
    SaveServices services{pelnix, backups, {}};
    int area = -1;
    int room = -1;

    // The first listed room of the generated image for which `wanted` holds.
    explicit SaveRig(Game which, const RoomWanted& wanted = FullRoom) : game(which) {
        WriteGeneratedRom(rom, game, 1);
        EXPECT_TRUE(StorageSystem(storagePath).ResetStorage());
        const auto& areas = GeneratedRom(game, 1).areas;
        for (size_t a = 0; a < areas.size() && room < 0; ++a) {
            for (size_t r = 0; r < areas[a].expectedRoomCount && room < 0; ++r) {
                if (wanted(areas[a].rooms[r])) {
                    area = static_cast<int>(a);
                    room = static_cast<int>(r);
                }
            }
        }
        EXPECT_GE(room, 0) << "no such room";
        Load(state);
    }

    void Load(EditorState& into) const {
        ASSERT_TRUE(OpenRomFile(into, rom));
        ASSERT_TRUE(into.Storage.LoadStorage());
        SelectArea(into, 0);
        SelectArea(into, area);
        ASSERT_TRUE(SelectRoom(into, area, room).Loaded);
    }

    // A fresh editor on the file as it is now.
    std::unique_ptr<EditorState> Reopened() const {
        auto fresh = std::make_unique<EditorState>(storagePath);
        Load(*fresh);
        return fresh;
    }

    Result<SaveOutcome, Error> Save() {
        return SaveRoom(state, ListsOf(state.CurrentRoomHeader), services);
    }
    std::vector<uint8_t> Bytes() const { return ReadWholeFile(rom); }
    StorageTable Storage() const { return ParseStorageTable(ReadWholeFile(storagePath)); }
};

} // namespace quarnel::testing
