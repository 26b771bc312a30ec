// The synthetic ROM builder's own promises, checked from the stored formats with small
// decoders of the tests' own (not the editor's readers): every pointer leads into written
// data outside free space, nothing overlaps, stored layers and LZ77 streams decode to what
// the description says, the tables sit where the games keep them, and the image depends on
// nothing but (game, seed).

#include "demo/SyntheticRom.h"
#include "common/ByteOrder.h"
#include "demo/SyntheticEncoders.h"
#include "demo/SyntheticImage.h"
#include "rom/GameTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <unistd.h>

namespace quarnel {
namespace {

constexpr uint32_t kBase = 0x08000000;
constexpr size_t kLayerReadLimit = 2 + 32570;

const SyntheticRom& Rom(Game game) {
    static const SyntheticRom zm = BuildSyntheticRom(Game::ZM, 1);
    static const SyntheticRom mf = BuildSyntheticRom(Game::MF, 1);
    return game == Game::ZM ? zm : mf;
}

std::span<const RomRange> FreeSpace(Game game) {
    if (game == Game::ZM) {
        return kZmFreeSpace;
    }
    return kMfFreeSpace;
}

bool Overlaps(uint32_t begin, uint32_t end, RomRange range) {
    return begin < range.end && range.begin < end;
}

// The block that holds [offset, offset + size), or nullptr.
const SyntheticBlock* BlockHolding(const SyntheticRom& rom, uint32_t offset, uint32_t size) {
    auto next =
        std::upper_bound(rom.blocks.begin(), rom.blocks.end(), offset,
                         [](uint32_t at, const SyntheticBlock& b) { return at < b.offset; });
    if (next == rom.blocks.begin()) {
        return nullptr;
    }
    const SyntheticBlock& block = *std::prev(next);
    return offset + size <= block.offset + block.size ? &block : nullptr;
}

uint32_t Read32(const SyntheticRom& rom, uint32_t offset) {
    return LoadLe32(rom.image, offset);
}

// A stored room layer, decoded the way the games do: type 1 passes have 8-bit counts, any
// other type 16-bit big-endian counts; bit 7 (15) marks a run; 0 ends a pass.
struct DecodedLayer {
    RoomLayer layer;
    size_t storedSize = 0;
    std::set<uint8_t> passTypes;
};

DecodedLayer DecodeLayer(std::span<const uint8_t> image, uint32_t offset, bool sixteenBit) {
    DecodedLayer out;
    size_t at = offset;
    const uint8_t width = image[at++];
    const uint8_t height = image[at++];
    const size_t cells = size_t{width} * height;
    std::vector<uint16_t> values(cells, 0);
    for (int pass = 0; pass < (sixteenBit ? 2 : 1); ++pass) {
        const uint8_t type = image[at++];
        out.passTypes.insert(type);
        size_t cell = 0;
        for (;;) {
            size_t count = image[at++];
            if (type != 1) {
                count = (count << 8) | image[at++];
            }
            if (count == 0) {
                break;
            }
            const size_t runBit = type == 1 ? 0x80 : 0x8000;
            const size_t length = count & (runBit - 1);
            for (size_t i = 0; i < length; ++i) {
                const uint8_t byte = (count & runBit) ? image[at] : image[at + i];
                EXPECT_LT(cell, cells) << "pass runs past the layer at 0x" << std::hex << offset;
                if (cell < cells) {
                    values[cell++] |= static_cast<uint16_t>(byte << (8 * pass));
                }
            }
            at += (count & runBit) ? 1 : length;
        }
        EXPECT_EQ(cell, cells) << "pass leaves cells out at 0x" << std::hex << offset;
    }
    out.layer = RoomLayer(width, height);
    for (size_t i = 0; i < cells; ++i) {
        out.layer.SetCell(static_cast<int>(i % width), static_cast<int>(i / width),
                          static_cast<int16_t>(values[i]));
    }
    out.storedSize = at - offset;
    return out;
}

// A BIOS LZ77 stream (type 0x10), decoded; distances below 2 count as a failure, since the
// builder promises streams that a VRAM-safe decoder can read.
std::vector<uint8_t> DecodeLz77(std::span<const uint8_t> image, uint32_t offset) {
    EXPECT_EQ(image[offset], 0x10);
    const uint32_t size = LoadLe32(image, offset) >> 8;
    std::vector<uint8_t> out;
    size_t at = offset + 4;
    while (out.size() < size) {
        const uint8_t flags = image[at++];
        for (int bit = 7; bit >= 0 && out.size() < size; --bit) {
            if ((flags >> bit) & 1) {
                const size_t length = (image[at] >> 4) + 3;
                const size_t distance = (((image[at] & 0xF) << 8) | image[at + 1]) + 1;
                at += 2;
                EXPECT_GE(distance, 2u);
                EXPECT_LE(distance, out.size());
                if (distance > out.size()) {
                    return out;
                }
                for (size_t i = 0; i < length && out.size() < size; ++i) {
                    out.push_back(out[out.size() - distance]);
                }
            } else {
                out.push_back(image[at++]);
            }
        }
    }
    return out;
}

std::vector<uint16_t> Words(std::span<const uint8_t> bytes) {
    std::vector<uint16_t> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = LoadLe16(bytes, 2 * i);
    }
    return words;
}

std::vector<uint16_t> WordsAt(const SyntheticRom& rom, uint32_t offset, size_t count) {
    return Words(std::span<const uint8_t>(rom.image).subspan(offset, 2 * count));
}

// Rounds to the nearest whole number, halves to even.
uint32_t RoundHalfEven(uint32_t numerator, uint32_t denominator) {
    const uint32_t whole = numerator / denominator;
    const uint32_t rest = 2 * (numerator % denominator);
    return whole + ((rest > denominator || (rest == denominator && whole % 2 == 1)) ? 1 : 0);
}

class SyntheticRomTest : public ::testing::TestWithParam<Game> {
protected:
    const SyntheticRom& rom = Rom(GetParam());
    const GameLayout& layout = *LayoutOf(GetParam());
    bool zm = GetParam() == Game::ZM;
};

TEST_P(SyntheticRomTest, ImageHasTheTitleAndKeepsFreeSpaceAndItsBlocksApart) {
    ASSERT_EQ(rom.image.size(), kRomImageSize);
    const std::string title(rom.image.begin() + kTitleOffset,
                            rom.image.begin() + kTitleOffset + kTitleLength);
    EXPECT_EQ(title, zm ? "ZEROMIS" : "metroid");

    std::vector<RomRange> forbidden(FreeSpace(GetParam()).begin(), FreeSpace(GetParam()).end());
    if (zm) {
        forbidden.push_back(kZmForeignProgram);
    }
    for (const RomRange& range : forbidden) {
        EXPECT_TRUE(std::all_of(rom.image.begin() + range.begin, rom.image.begin() + range.end,
                                [](uint8_t b) { return b == 0xFF; }))
            << "free space at 0x" << std::hex << range.begin << " was written";
    }
    ASSERT_FALSE(rom.blocks.empty());
    for (size_t i = 0; i < rom.blocks.size(); ++i) {
        const SyntheticBlock& block = rom.blocks[i];
        EXPECT_GT(block.size, 0u) << block.what;
        EXPECT_LE(block.offset + block.size, kRomImageSize) << block.what;
        if (i > 0) {
            EXPECT_LE(rom.blocks[i - 1].offset + rom.blocks[i - 1].size, block.offset)
                << rom.blocks[i - 1].what << " overlaps " << block.what;
        }
        for (const RomRange& range : forbidden) {
            EXPECT_FALSE(Overlaps(block.offset, block.offset + block.size, range)) << block.what;
        }
    }
}

TEST_P(SyntheticRomTest, EveryStoredPointerLeadsIntoWrittenData) {
    std::vector<std::pair<uint32_t, std::string>> pointers;
    for (uint32_t a = 0; a < layout.areaCount; ++a) {
        const uint32_t table = Read32(rom, layout.areaTable + 4 * a);
        pointers.emplace_back(table, "area table");
        for (const SyntheticRoom& room : rom.areas[a].rooms) {
            const auto header = RoomHeader::FromBytes(
                std::span<const uint8_t, 60>(rom.image.data() + room.headerOffset, 60));
            for (uint32_t p :
                 {header.ForegroundPointer, header.LevelPointer, header.BackgroundPointer,
                  header.ClipDataPointer, header.BgImagePointer, header.SpritePointer1,
                  header.SpritePointer2, header.SpritePointer3}) {
                pointers.emplace_back(p, "room header");
            }
        }
        const uint32_t doors = zm ? layout.doorTablePointers : kMfDoorTablePointers;
        pointers.emplace_back(Read32(rom, doors + 4 * a), "door table pointer");
    }
    const uint32_t realTilesets = zm ? kZmRealTilesetCount : layout.tilesetCount;
    for (uint32_t t = 0; t < realTilesets; ++t) {
        for (uint32_t field = 0; field < 16; field += 4) {
            pointers.emplace_back(Read32(rom, layout.tilesetTable + 20 * t + field),
                                  "tileset record");
        }
    }
    for (uint32_t g = 0; g < 16; ++g) {
        pointers.emplace_back(Read32(rom, layout.animatedGraphicsTable + 8 * g + 4),
                              "animated graphics");
    }
    for (uint32_t m = 0; m < layout.miniMapCount; ++m) {
        pointers.emplace_back(Read32(rom, layout.miniMapPointers + 4 * m), "minimap pointer");
    }
    const uint32_t music = Read32(rom, kMusicTablePointer);
    pointers.emplace_back(music, "music table");
    for (uint32_t m = 0; m < rom.musicRecords.size(); ++m) {
        pointers.emplace_back(Read32(rom, music - kBase + 12 * m + 4), "music record");
    }
    for (const auto& [pointer, what] : pointers) {
        ASSERT_GE(pointer, kBase) << what;
        ASSERT_LT(pointer - kBase, kRomImageSize) << what;
        EXPECT_NE(BlockHolding(rom, pointer - kBase, 1), nullptr)
            << what << " 0x" << std::hex << pointer << " leads to nothing written";
    }
}

TEST_P(SyntheticRomTest, RoomTablesGiveTheDescribedCountsAndHeaders) {
    ASSERT_EQ(rom.areas.size(), layout.areaCount);
    bool halfRoundedDown = false;
    bool shortTail = false;
    for (uint32_t a = 0; a < layout.areaCount; ++a) {
        const SyntheticArea& area = rom.areas[a];
        const uint32_t pointer = Read32(rom, layout.areaTable + 4 * a);
        EXPECT_EQ(pointer, area.roomTablePointer);
        uint32_t count = layout.fallbackRoomCount;
        if (a + 1 < layout.areaCount) {
            const uint32_t gap = Read32(rom, layout.areaTable + 4 * (a + 1)) - pointer;
            const uint32_t tail = gap - 60 * static_cast<uint32_t>(area.rooms.size());
            halfRoundedDown |= tail == 30;
            shortTail |= tail > 0 && tail < 30;
            count = static_cast<int>(a) == layout.fixedCountArea ? layout.fixedRoomCount
                                                                 : RoundHalfEven(gap, 60);
            if (static_cast<int>(a) == layout.fixedCountArea) {
                EXPECT_NE(RoundHalfEven(gap, 60), count)
                    << "the table itself should disagree with the fixed count";
            }
        }
        EXPECT_EQ(area.expectedRoomCount, count) << "area " << a;
        EXPECT_LE(area.expectedRoomCount, area.rooms.size())
            << "area " << a << " lists a missing room";
        for (size_t r = 0; r < area.rooms.size(); ++r) {
            const SyntheticRoom& room = area.rooms[r];
            ASSERT_EQ(room.headerOffset, pointer - kBase + 60 * r);
            const auto bytes = room.header.ToBytes();
            EXPECT_TRUE(
                std::equal(bytes.begin(), bytes.end(), rom.image.begin() + room.headerOffset))
                << "area " << a << " room " << r;
            EXPECT_LT(room.header.Tileset, zm ? kZmRealTilesetCount : layout.tilesetCount);
        }
    }
    EXPECT_TRUE(halfRoundedDown);
    EXPECT_TRUE(shortTail);
    EXPECT_EQ(rom.areas.back().rooms.size(), layout.fallbackRoomCount);
}

TEST_P(SyntheticRomTest, StoredLayersDecodeToTheDescribedGrids) {
    std::set<uint8_t> passTypes;
    std::set<uint8_t> absentProps;
    bool highBits = false;
    bool huge = false;
    bool single = false;
    bool bg3Upper = false;
    std::map<uint32_t, int> uses;
    for (const SyntheticArea& area : rom.areas) {
        for (const SyntheticRoom& room : area.rooms) {
            const RoomHeader& h = room.header;
            bg3Upper |= (h.BG3Props >> 8) != 0;
            const std::array<std::pair<uint8_t, const std::optional<RoomLayer>*>, 3> tileLayers{
                {{h.BG0Props, &room.foreground},
                 {h.BG1Props, &room.level},
                 {h.BG2Props, &room.back}}};
            const std::array<uint32_t, 3> pointers{h.ForegroundPointer, h.LevelPointer,
                                                   h.BackgroundPointer};
            for (size_t k = 0; k < 3; ++k) {
                const auto& [props, layer] = tileLayers[k];
                const DecodedLayer decoded = DecodeLayer(rom.image, pointers[k] - kBase, true);
                ++uses[pointers[k]];
                EXPECT_LE(decoded.storedSize, kLayerReadLimit);
                ASSERT_EQ(layer->has_value(), props == kLayerPresent);
                if (!layer->has_value()) {
                    absentProps.insert(props);
                    continue;
                }
                ASSERT_EQ(decoded.layer, **layer)
                    << "layer " << k << " at 0x" << std::hex << pointers[k];
                passTypes.insert(decoded.passTypes.begin(), decoded.passTypes.end());
                for (int16_t cell : decoded.layer.StoredCells()) {
                    highBits |= (static_cast<uint16_t>(cell) & 0xFC00) != 0;
                }
                huge |= decoded.layer.Width == 255 && decoded.layer.Height == 255;
                single |= decoded.layer.Width == 1 && decoded.layer.Height == 1;
            }
            const DecodedLayer clip = DecodeLayer(rom.image, h.ClipDataPointer - kBase, false);
            ASSERT_EQ(clip.layer, room.clip);
            EXPECT_LE(clip.storedSize, kLayerReadLimit);
            // Rooms are closed: their outer ring is solid or a door.
            for (int y = 0; y < room.clip.Height; ++y) {
                for (int x = 0; x < room.clip.Width; ++x) {
                    const bool ring =
                        x == 0 || y == 0 || x + 1 == room.clip.Width || y + 1 == room.clip.Height;
                    const int16_t value = room.clip.Cell(x, y);
                    EXPECT_TRUE(!ring || value == 0x10 || value == 0x20)
                        << "(" << x << ", " << y << ")";
                }
            }
            if (room.level) {
                ASSERT_EQ(room.level->Width, room.clip.Width);
                ASSERT_EQ(room.level->Height, room.clip.Height);
                // Open clip values (air, door transitions) go with empty level blocks only.
                for (int y = 0; y < room.clip.Height; ++y) {
                    for (int x = 0; x < room.clip.Width; ++x) {
                        const bool open =
                            room.clip.Cell(x, y) == 0x00 || room.clip.Cell(x, y) == 0x20;
                        ASSERT_EQ(open, room.level->Cell(x, y) == 0)
                            << "(" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
    EXPECT_EQ(passTypes, (std::set<uint8_t>{1, 2}));
    EXPECT_TRUE(highBits);
    EXPECT_TRUE(huge);
    EXPECT_TRUE(single);
    EXPECT_TRUE(bg3Upper);
    EXPECT_TRUE(absentProps.contains(0x00));
    EXPECT_GE(absentProps.size(), 2u);
    EXPECT_TRUE(std::any_of(uses.begin(), uses.end(), [](const auto& use) {
        return use.second >= 10;
    })) << "rooms should share stored layers";
}

TEST_P(SyntheticRomTest, SpriteListsEndWithTheTerminatorAndStayInsideTheirRooms) {
    std::set<size_t> counts;
    std::map<uint32_t, int> uses;
    for (const SyntheticArea& area : rom.areas) {
        for (const SyntheticRoom& room : area.rooms) {
            const std::array<uint32_t, 3> pointers{
                room.header.SpritePointer1, room.header.SpritePointer2, room.header.SpritePointer3};
            for (size_t l = 0; l < 3; ++l) {
                const auto& list = room.spriteLists[l];
                const uint32_t at = pointers[l] - kBase;
                ++uses[at];
                counts.insert(list.size());
                EXPECT_LE(list.size(), 24u);
                for (size_t i = 0; i < list.size(); ++i) {
                    EXPECT_TRUE(
                        std::equal(list[i].begin(), list[i].end(), rom.image.begin() + at + 3 * i));
                    EXPECT_LT(list[i][0], room.clip.Height);
                    EXPECT_LT(list[i][1], room.clip.Width);
                    EXPECT_NE(list[i][2], 0xFF);
                }
                const uint32_t end = at + 3 * static_cast<uint32_t>(list.size());
                EXPECT_EQ(rom.image[end], 0xFF);
                EXPECT_EQ(rom.image[end + 1], 0xFF);
                EXPECT_EQ(rom.image[end + 2], 0xFF);
                EXPECT_NE(BlockHolding(rom, at, end + 3 - at), nullptr);
            }
        }
    }
    EXPECT_TRUE(counts.contains(0) && counts.contains(1) && counts.contains(24));
    EXPECT_GT(std::max_element(uses.begin(), uses.end(),
                               [](auto& x, auto& y) { return x.second < y.second; })
                  ->second,
              50)
        << "the empty list should be shared";
}

TEST_P(SyntheticRomTest, DoorTablesAbutAndHoldDoorsInsideTheirRooms) {
    const uint32_t pointerTable = zm ? layout.doorTablePointers : kMfDoorTablePointers;
    const uint32_t tilesetEnd =
        layout.tilesetTable + 20 * (zm ? kZmRealTilesetCount : layout.tilesetCount);
    EXPECT_EQ(Read32(rom, pointerTable) - kBase, tilesetEnd)
        << "the first door table follows the tileset records";
    if (zm) {
        EXPECT_EQ(tilesetEnd, kZmFirstDoorTable);
    }
    for (uint32_t a = 0; a < layout.areaCount; ++a) {
        const SyntheticArea& area = rom.areas[a];
        const uint32_t pointer = Read32(rom, pointerTable + 4 * a);
        EXPECT_EQ(pointer, area.doorTablePointer);
        ASSERT_GE(area.doors.size(), 1u);
        ASSERT_LE(area.doors.size(), 255u);
        if (a + 1 < layout.areaCount) {
            EXPECT_EQ((Read32(rom, pointerTable + 4 * (a + 1)) - pointer) / 12, area.doors.size());
        } else if (zm) {
            EXPECT_GE(area.doors.size(), layout.doorsInLastArea);
        }
        EXPECT_EQ(area.doors.back()[0], 0) << "a table ends with a type-0 record";
        for (size_t d = 0; d < area.doors.size(); ++d) {
            const DoorBytes& door = area.doors[d];
            ASSERT_TRUE(
                std::equal(door.begin(), door.end(), rom.image.begin() + pointer - kBase + 12 * d));
            if (door[0] == 0) {
                continue;
            }
            ASSERT_LT(door[1], area.rooms.size());
            const RoomLayer& clip = area.rooms[door[1]].clip;
            EXPECT_LE(door[2], door[3]);
            EXPECT_LT(door[3], clip.Width);
            EXPECT_LE(door[4], door[5]);
            EXPECT_LT(door[5], clip.Height);
            EXPECT_EQ(clip.Cell(door[2], door[4]), 0x20) << "a door's cells are door transitions";
            ASSERT_LT(door[6], area.doors.size() - 1);
            EXPECT_TRUE(area.doors[door[6]][6] == d || door[6] == d)
                << "doors lead back to each other";
            EXPECT_EQ(door[9] | door[10] | door[11], 0);
        }
    }
}

TEST_P(SyntheticRomTest, TilesetsDecodeToTheDescribedArt) {
    EXPECT_EQ(rom.tilesets.size(), zm ? kZmRealTilesetCount : layout.tilesetCount);
    for (size_t t = 0; t < rom.tilesets.size(); ++t) {
        const SyntheticTileset& record = rom.tilesets[t];
        const uint32_t at = layout.tilesetTable + 20 * static_cast<uint32_t>(t);
        EXPECT_EQ(Read32(rom, at), record.graphicsPointer);
        EXPECT_EQ(Read32(rom, at + 4), record.palettePointer);
        EXPECT_EQ(Read32(rom, at + 12), record.blockTablePointer);
        EXPECT_EQ(Read32(rom, at + 16), record.animation);
        EXPECT_LT(record.animation & 0xFF, rom.animatedTilesets.size());
        EXPECT_EQ(record.graphicsPointer - kBase, rom.tilesetArt[record.art].graphicsOffset);
        EXPECT_EQ(record.blockTablePointer - kBase, rom.tilesetArt[record.art].blockTableOffset);
        EXPECT_EQ(record.palettePointer - kBase, rom.tilesetPalettes[record.palette].offset);
    }
    EXPECT_GE(rom.tilesetArt.size(), 4u);
    for (const SyntheticTilesetArt& art : rom.tilesetArt) {
        ASSERT_EQ(art.tiles.size(), kTilesetGraphicsSize);
        EXPECT_EQ(LoadLe32(rom.image, art.graphicsOffset) >> 8, kTilesetGraphicsSize);
        EXPECT_EQ(DecodeLz77(rom.image, art.graphicsOffset), art.tiles);
        ASSERT_EQ(art.blockTable.size(), kBlockTableWords);
        EXPECT_EQ(WordsAt(rom, art.blockTableOffset, kBlockTableWords), art.blockTable);
        bool flipped = false;
        for (size_t w = 1; w <= 4 * 1024; ++w) {
            EXPECT_LT(art.blockTable[w] & 0x3FF, 840);
            flipped |= (art.blockTable[w] & 0x0C00) != 0;
        }
        EXPECT_TRUE(flipped) << "blocks reuse tiles mirrored";
    }
    for (const SyntheticPalette& palette : rom.tilesetPalettes) {
        ASSERT_EQ(palette.colours.size(), kTilesetPaletteColours);
        EXPECT_EQ(WordsAt(rom, palette.offset, kTilesetPaletteColours), palette.colours);
        EXPECT_TRUE(std::all_of(palette.colours.begin(), palette.colours.end(),
                                [](uint16_t c) { return c < 0x8000; }));
    }
}

TEST_P(SyntheticRomTest, FixedGraphicsTablesHoldTheDescribedData) {
    for (size_t n = 0; n < rom.animatedTilesets.size(); ++n) {
        const auto& record = rom.animatedTilesets[n];
        EXPECT_TRUE(std::equal(record.begin(), record.end(),
                               rom.image.begin() + layout.animatedTilesetTable + 48 * n));
        for (size_t s = 0; s < 16; ++s) {
            EXPECT_LT(record[3 * s], rom.animatedGraphics.size());
            if (zm) {
                EXPECT_EQ(record[3 * s + 1] | record[3 * s + 2], 0)
                    << "ZM uses only the first byte";
            }
        }
    }
    EXPECT_GE(rom.animatedGraphics.size(), 16u);
    for (size_t g = 0; g < rom.animatedGraphics.size(); ++g) {
        const SyntheticAnimatedGraphics& graphics = rom.animatedGraphics[g];
        EXPECT_TRUE(std::equal(graphics.record.begin(), graphics.record.end(),
                               rom.image.begin() + layout.animatedGraphicsTable + 8 * g));
        ASSERT_EQ(graphics.frames.size(), kAnimationFrameSize * graphics.record[2]);
        const uint32_t frames = LoadLe32(graphics.record, 4) - kBase;
        EXPECT_TRUE(
            std::equal(graphics.frames.begin(), graphics.frames.end(), rom.image.begin() + frames));
    }
    ASSERT_EQ(rom.commonTiles.size(), kCommonTilesSize);
    EXPECT_TRUE(std::equal(rom.commonTiles.begin(), rom.commonTiles.end(),
                           rom.image.begin() + layout.commonTiles));
    if (zm) {
        EXPECT_TRUE(std::equal(rom.commonTilesLastArea.begin(), rom.commonTilesLastArea.end(),
                               rom.image.begin() + layout.commonTilesLastArea));
        EXPECT_NE(rom.commonTilesLastArea, rom.commonTiles);
        ASSERT_EQ(rom.commonPalette.size(), 31u);
        EXPECT_EQ(WordsAt(rom, kZmCommonPaletteRow0, 15),
                  std::vector<uint16_t>(rom.commonPalette.begin(), rom.commonPalette.begin() + 15));
        EXPECT_EQ(WordsAt(rom, kZmCommonPaletteRow1, 16),
                  std::vector<uint16_t>(rom.commonPalette.begin() + 15, rom.commonPalette.end()));
        EXPECT_EQ(WordsAt(rom, kZmMiniMapPalette, kZmMiniMapPaletteColours), rom.miniMapPalette);
        EXPECT_TRUE(std::equal(rom.miniMapTiles.begin(), rom.miniMapTiles.end(),
                               rom.image.begin() + kZmMiniMapTiles));
        ASSERT_EQ(rom.miniMaps.size(), layout.miniMapCount);
        for (uint32_t m = 0; m < layout.miniMapCount; ++m) {
            EXPECT_EQ(Read32(rom, layout.miniMapPointers + 4 * m), rom.miniMaps[m].pointer);
            EXPECT_EQ(Words(DecodeLz77(rom.image, rom.miniMaps[m].pointer - kBase)),
                      rom.miniMaps[m].entries);
        }
    } else {
        EXPECT_EQ(WordsAt(rom, kMfCommonPalette, 48), rom.commonPalette);
    }
    EXPECT_EQ(Read32(rom, kMusicTablePointer), rom.musicTablePointer);
    for (size_t m = 0; m < rom.musicRecords.size(); ++m) {
        EXPECT_TRUE(std::equal(rom.musicRecords[m].begin(), rom.musicRecords[m].end(),
                               rom.image.begin() + rom.musicTablePointer - kBase + 12 * m));
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, SyntheticRomTest, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

TEST(SyntheticEncoders, Lz77StreamsDecodeBackAtTheirEdges) {
    std::vector<std::vector<uint8_t>> inputs{
        {}, {7}, {7, 7}, {7, 7, 7}, std::vector<uint8_t>(5000, 0)};
    std::vector<uint8_t> pairs;
    std::vector<uint8_t> noise;
    std::vector<uint8_t> text;
    uint32_t state = 1;
    for (int i = 0; i < 9000; ++i) {
        pairs.push_back(static_cast<uint8_t>(i % 2 == 0 ? 0xAB : 0xCD));
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<uint8_t>(state >> 24));
        text.push_back(static_cast<uint8_t>("the quick brown fox "[(i * 7 + i / 4096) % 20]));
    }
    inputs.push_back(pairs);
    inputs.push_back(noise);
    inputs.push_back(text);
    for (const auto& input : inputs) {
        std::vector<uint8_t> stream = synthetic::EncodeLz77(input);
        EXPECT_EQ(stream.size() % 4, 0u);
        EXPECT_EQ(LoadLe32(stream, 0), 0x10u | static_cast<uint32_t>(input.size() << 8));
        stream.resize(stream.size() + 4, 0); // room for the test decoder's look at a flag byte
        EXPECT_EQ(DecodeLz77(stream, 0), input) << input.size() << " bytes";
    }
}

TEST(SyntheticEncoders, RoomLayersDecodeBackWithEitherCountWidth) {
    // Runs around the 7-bit and 15-bit limits, literals around 127, and single cells.
    RoomLayer wide(255, 255);
    for (int y = 0; y < 255; ++y) {
        for (int x = 0; x < 255; ++x) {
            const int cell = y * 255 + x;
            wide.SetCell(x, y,
                         static_cast<int16_t>(cell < 40000   ? 0x0102
                                              : cell < 40300 ? cell * 977
                                                             : 0x8001));
        }
    }
    RoomLayer single(1, 1);
    single.SetCell(0, 0, static_cast<int16_t>(0xFC05));
    for (const RoomLayer* layer : {&wide, &single}) {
        for (const auto width : {synthetic::CountWidth::Byte, synthetic::CountWidth::Word}) {
            for (int minRun : {2, 3}) {
                for (bool sixteenBit : {true, false}) {
                    const synthetic::LayerEncoding encoding{width, width, minRun};
                    std::vector<uint8_t> stored =
                        synthetic::EncodeRoomLayer(*layer, sixteenBit, encoding);
                    stored.resize(stored.size() + 2, 0xEE);
                    const DecodedLayer decoded = DecodeLayer(stored, 0, sixteenBit);
                    EXPECT_EQ(decoded.storedSize, stored.size() - 2)
                        << "the passes end at their closing count";
                    EXPECT_EQ(decoded.passTypes, std::set<uint8_t>{static_cast<uint8_t>(width)});
                    for (int y = 0; y < layer->Height; ++y) {
                        for (int x = 0; x < layer->Width; ++x) {
                            const auto expected = static_cast<uint16_t>(layer->Cell(x, y));
                            ASSERT_EQ(static_cast<uint16_t>(decoded.layer.Cell(x, y)),
                                      sixteenBit ? expected : expected & 0xFF);
                        }
                    }
                }
            }
        }
    }
}

TEST(SyntheticImage, PlacesDataAroundClaimsAndFreeSpace) {
    synthetic::Image image(Game::MF, 0x1000);
    image.Claim(0x1010, 0x10, "fixed table");
    EXPECT_THROW(image.Claim(0x101F, 1, "overlapping"), std::logic_error);
    EXPECT_THROW(image.Claim(kMfFreeSpace[0].begin + 8, 4, "in free space"), std::logic_error);
    EXPECT_EQ(image.Allocate(0x20, "a"), 0x1020u) << "skips the claim";
    EXPECT_EQ(image.Allocate(3, "b"), 0x1040u);
    EXPECT_EQ(image.Allocate(4, "c"), 0x1044u) << "4-aligned";
    const std::vector<uint8_t> bytes{1, 2, 3};
    const uint32_t shared = image.PlaceShared(bytes, "shared");
    EXPECT_EQ(image.PlaceShared(bytes, "shared again"), shared);
    EXPECT_NE(image.PlaceShared(std::vector<uint8_t>{1, 2}, "other"), shared);
    EXPECT_THROW(image.Write(0x2000, bytes), std::logic_error) << "unclaimed space";
    EXPECT_THROW(image.Write(0x1042, bytes), std::logic_error) << "runs past its block";

    synthetic::Image full(Game::MF, kMfFreeSpace[0].begin - 0x10);
    EXPECT_THROW(full.Allocate(0x20, "too big"), std::logic_error);
}

TEST(SyntheticRom, DependsOnlyOnGameAndSeed) {
    for (Game game : {Game::ZM, Game::MF}) {
        EXPECT_EQ(BuildSyntheticRom(game, 1).image, Rom(game).image);
        EXPECT_NE(BuildSyntheticRom(game, 2).image, Rom(game).image);
    }
    EXPECT_THROW(BuildSyntheticRom(Game::None, 1), std::invalid_argument);
}

TEST(SyntheticRom, WritesTheImageWholeOrNotAtAll) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("quarnel-synthetic-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "demo.gba";
    ASSERT_TRUE(WriteSyntheticRom(path, Game::MF, 1));
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, Rom(Game::MF).image);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "no temporary file is left";

    const auto failed = WriteSyntheticRom(folder / "missing" / "demo.gba", Game::ZM, 1);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, ErrorKind::FileOpen);
    EXPECT_FALSE(WriteSyntheticRom(path, Game::None, 1));
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace quarnel
