// Free space that does not leak: saves give the old place of their layers back when nothing
// else uses it, keep it when something might, survive a failure while giving back, and twenty
// saves of one room through quarnel-cli stay within a few saves' worth of space.

#include "storage/GiveBack.h"

#include "main/MapEditing.h"
#include "rom/Catalog.h"
#include "rom/GbaPointer.h"
#include "rom/LayerCodec.h"
#include "rom/RomFile.h"
#include "sprites/SpriteLists.h"

#include "SaveRig.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using testing::SaveRig;
using Bytes = std::vector<uint8_t>;

int64_t TotalUsed(const StorageTable& table, Game game) {
    int64_t used = 0;
    for (const auto& area : UsableAreas(table, game)) {
        used += area.Used;
    }
    return used;
}

Bytes Slice(const Bytes& bytes, uint32_t at, uint32_t size) {
    return {bytes.begin() + at, bytes.begin() + at + size};
}

void WriteU32(const std::filesystem::path& rom, uint32_t at, uint32_t value) {
    auto file = RomFile::Open(rom, OpenMode::ReadWrite);
    ASSERT_TRUE(file);
    const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    ASSERT_TRUE(file->WriteAt(at, bytes));
}

// Paints a level cell and saves; the layers the save wrote, clipdata first.
std::vector<WrittenLayer> PaintAndSave(SaveRig& rig, uint16_t value,
                                       std::optional<SaveOutcome>* outcome = nullptr) {
    EXPECT_TRUE(PaintCell(rig.state, LayerKind::Level, 1, 1, value));
    auto saved = rig.Save();
    EXPECT_TRUE(saved) << Describe(saved.error());
    if (!saved) {
        return {};
    }
    if (outcome != nullptr) {
        *outcome = *saved;
    }
    return saved->layers;
}

// What is kept after a second save when, between the two saves, the ROM or os.bin is changed
// so that the first save's layers are still in use or no longer inside an area.
TEST(GiveBack, KeepsWhatMayStillBeUsed) {
    enum class Change { None, OtherRoomUsesClip, MiniMapInsideLevel, AreaShrunk };
    const struct {
        const char* name;
        Change change;
        const char* clipReason;  // nullptr: given back
        const char* levelReason; // nullptr: given back
    } cases[] = {
        {"nothing else uses them", Change::None, nullptr, nullptr},
        {"another room's header points to the old clipdata", Change::OtherRoomUsesClip,
         "it is still used by room ", nullptr},
        {"a minimap pointer leads into the middle of the old level layer",
         Change::MiniMapInsideLevel, nullptr, "it is still used by minimap 3"},
        {"the area now ends inside the old clipdata", Change::AreaShrunk,
         "it does not lie wholly inside a free-space area",
         "it does not lie wholly inside a free-space area"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SaveRig rig(Game::ZM);
        std::optional<SaveOutcome> first;
        const auto old = PaintAndSave(rig, 0x21, &first);
        ASSERT_EQ(old.size(), 2u);
        // The first save's old layers are the game's own data, outside every area.
        ASSERT_EQ(first->givenBack.kept.size(), 2u);
        for (const KeptBlock& kept : first->givenBack.kept) {
            EXPECT_EQ(kept.reason, "it does not lie wholly inside a free-space area");
        }
        const uint32_t clip = old[0].offset;
        const uint32_t level = old[1].offset;
        switch (c.change) {
        case Change::None:
            break;
        case Change::OtherRoomUsesClip: {
            const int other = rig.room == 0 ? 1 : 0;
            auto file = RomFile::Open(rig.rom, OpenMode::Read);
            const uint32_t header =
                RoomHeaderOffset(rig.state.Tables, rig.area, other, file->Size()).value();
            WriteU32(rig.rom, header + 20, PointerFromOffset(clip));
            break;
        }
        case Change::MiniMapInsideLevel:
            WriteU32(rig.rom, kZmLayout.miniMapPointers + 12, PointerFromOffset(level + 5));
            break;
        case Change::AreaShrunk: {
            StorageTable table = rig.Storage();
            table.ZMAreas[0].Length = static_cast<int32_t>(clip + 3 - kDefaultZMAreas[0].Offset);
            table.ZMAreas[0].Used = table.ZMAreas[0].Length;
            rig.folder.WriteFile("os.bin", SerializeStorageTable(table));
            break;
        }
        }
        const Bytes before = rig.Bytes();

        std::optional<SaveOutcome> second;
        PaintAndSave(rig, 0x22, &second);
        ASSERT_TRUE(second);
        EXPECT_FALSE(second->givenBack.problem);
        const Bytes after = rig.Bytes();
        for (const auto& [offset, size, reason] :
             {std::tuple(clip, old[0].written, c.clipReason),
              std::tuple(level, old[1].written, c.levelReason)}) {
            const auto given =
                std::find_if(second->givenBack.given.begin(), second->givenBack.given.end(),
                             [offset](const GivenBackBlock& b) { return b.offset == offset; });
            const auto kept =
                std::find_if(second->givenBack.kept.begin(), second->givenBack.kept.end(),
                             [offset](const KeptBlock& b) { return b.offset == offset; });
            if (reason == nullptr) {
                ASSERT_NE(given, second->givenBack.given.end());
                EXPECT_GE(given->size, size);
                EXPECT_EQ(Slice(after, offset, given->size), Bytes(given->size, 0xFF));
            } else {
                ASSERT_NE(kept, second->givenBack.kept.end());
                EXPECT_EQ(kept->reason.rfind(reason, 0), 0u) << kept->reason;
                EXPECT_EQ(Slice(after, offset, size), Slice(before, offset, size));
            }
        }
    }
}

// A writer that fails the first write at `failOffset` after writing half of it, or, with
// `failLastFlush`, every flush once that offset was written.
class GiveBackFaults final : public RomWriter {
public:
    GiveBackFaults(RomFile& file, uint32_t failOffset, bool failLastFlush)
        : m_inner(file), m_failOffset(failOffset), m_failLastFlush(failLastFlush) {}

    Result<void, Error> WriteAt(uint32_t offset, std::span<const uint8_t> bytes) override {
        if (offset == m_failOffset && !m_reached) {
            m_reached = true;
            if (!m_failLastFlush) {
                (void)m_inner.WriteAt(offset, bytes.first(bytes.size() / 2));
                return Fail(Error{ErrorKind::FileWrite, "injected", offset});
            }
        }
        return m_inner.WriteAt(offset, bytes);
    }
    Result<void, Error> Flush() override {
        if (m_reached && m_failLastFlush) {
            return Fail(Error{ErrorKind::FileWrite, "injected", std::nullopt});
        }
        return m_inner.Flush();
    }

private:
    RomFileWriter m_inner;
    uint32_t m_failOffset;
    bool m_failLastFlush;
    bool m_reached = false;
};

class GiveBackFault : public ::testing::TestWithParam<bool> {};

// A failure while giving back leaves the room saved, and the old block as it was or blank.
TEST_P(GiveBackFault, LeavesTheRoomSavedAndTheOldBlockWholeOrBlank) {
    const bool flushFails = GetParam();
    SaveRig rig(Game::MF);
    const auto old = PaintAndSave(rig, 0x31);
    ASSERT_EQ(old.size(), 2u);
    const Bytes before = rig.Bytes();
    rig.services.writerFor = [&](RomFile& file) {
        return std::make_unique<GiveBackFaults>(file, old[0].offset, flushFails);
    };

    ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, 1, 1, 0x32));
    auto saved = rig.Save();
    ASSERT_TRUE(saved) << Describe(saved.error());
    ASSERT_TRUE(saved->givenBack.problem);
    EXPECT_TRUE(saved->differences.empty());
    EXPECT_NE(std::find_if(saved->notes.begin(), saved->notes.end(),
                           [](const std::string& note) {
                               return note.rfind("The room was saved; ", 0) == 0;
                           }),
              saved->notes.end());
    EXPECT_EQ(SaveStatusText(*saved).rfind("Room saved.", 0), 0u);

    // The room on disk is the new one.
    auto fresh = rig.Reopened();
    EXPECT_EQ(fresh->LevelLayer.Cell(1, 1), 0x32);
    EXPECT_EQ(fresh->CurrentRoomHeader.ClipDataPointer, PointerFromOffset(saved->layers[0].offset));
    // Each old block is whole or blank, never half of each.
    const Bytes after = rig.Bytes();
    for (const WrittenLayer& layer : old) {
        const Bytes now = Slice(after, layer.offset, layer.written);
        EXPECT_TRUE(now == Slice(before, layer.offset, layer.written) ||
                    now == Bytes(layer.written, 0xFF));
    }
    EXPECT_EQ(Slice(after, old[0].offset, old[0].written),
              flushFails ? Bytes(old[0].written, 0xFF)
                         : Slice(before, old[0].offset, old[0].written));
}

INSTANTIATE_TEST_SUITE_P(WriteOrFlush, GiveBackFault, ::testing::Bool(),
                         [](const auto& which) { return which.param ? "Flush" : "Write"; });

class TwentySaves : public ::testing::TestWithParam<Game> {};

// The same room saved twenty times through quarnel-cli paint: the areas grow by at most three
// times what the first save took, and every room reads back as built but for the painted
// cells.
TEST_P(TwentySaves, StayWithinThreeSavesAndKeepEveryRoom) {
    const Game game = GetParam();
    testing::TempFolder folder;
    const auto rom = testing::WriteGeneratedRom(folder / "game.gba", game, 1);
    const auto storage = folder / "os.bin";
    ASSERT_TRUE(StorageSystem(storage).ResetStorage());
    const std::string cli = std::string(QUARNEL_BIN_DIR) + "/quarnel-cli";
    const int64_t start = TotalUsed(DefaultStorageTable(), game);
    int64_t afterFirst = 0;
    uint16_t level = 0;
    uint8_t clip = 0;
    for (int save = 1; save <= 20; ++save) {
        level = static_cast<uint16_t>(0x40 + save);
        clip = static_cast<uint8_t>(save % 7);
        const std::string command = "'" + cli + "' paint '" + rom.string() + "' 0 1 --storage '" +
                                    storage.string() +
                                    "' --set level:2,3=" + std::to_string(level) +
                                    " --set clip:1,1=" + std::to_string(clip) + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << "save " << save;
        if (save == 1) {
            afterFirst = TotalUsed(ParseStorageTable(ReadWholeFile(storage)), game);
        }
    }
    const int64_t afterLast = TotalUsed(ParseStorageTable(ReadWholeFile(storage)), game);
    EXPECT_LE(afterLast - afterFirst, 3 * (afterFirst - start));

    const auto& built = testing::GeneratedRom(game, 1);
    auto file = RomFile::Open(rom, OpenMode::Read);
    ASSERT_TRUE(file);
    const Catalog catalog = LoadCatalog(*file, game);
    for (size_t a = 0; a < built.areas.size(); ++a) {
        for (size_t r = 0; r < built.areas[a].expectedRoomCount; ++r) {
            SCOPED_TRACE("area " + std::to_string(a) + " room " + std::to_string(r));
            SyntheticRoom expected = built.areas[a].rooms[r];
            const auto header =
                ReadRoomHeader(*file, catalog, static_cast<int>(a), static_cast<int>(r));
            ASSERT_TRUE(header);
            if (a == 0 && r == 1) {
                expected.level->SetCell(2, 3, static_cast<int16_t>(level));
                expected.clip.SetCell(1, 1, clip);
                expected.header.LevelPointer = header->LevelPointer;
                expected.header.ClipDataPointer = header->ClipDataPointer;
            }
            EXPECT_EQ(*header, expected.header);
            const std::pair<LayerKind, const std::optional<RoomLayer>*> tiles[] = {
                {LayerKind::Foreground, &expected.foreground},
                {LayerKind::Level, &expected.level},
                {LayerKind::Back, &expected.back}};
            for (const auto& [kind, layer] : tiles) {
                if (layer->has_value()) {
                    auto read = ReadLayer(*file, LayerPointer(*header, kind), kind);
                    ASSERT_TRUE(read);
                    EXPECT_EQ(read->layer, **layer) << LayerName(kind);
                }
            }
            auto clipRead = ReadLayer(*file, header->ClipDataPointer, LayerKind::Clip);
            ASSERT_TRUE(clipRead);
            EXPECT_EQ(clipRead->layer, expected.clip);
            SpriteLists lists;
            LoadRoomSprites(*file, *header, lists);
            for (int l = 0; l < 3; ++l) {
                ASSERT_EQ(lists.List(l).size(),
                          expected.spriteLists[static_cast<size_t>(l)].size());
                for (size_t e = 0; e < lists.List(l).size(); ++e) {
                    EXPECT_EQ(lists.List(l)[e].ToBytes(),
                              expected.spriteLists[static_cast<size_t>(l)][e]);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, TwentySaves, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

} // namespace
} // namespace quarnel
