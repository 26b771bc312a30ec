#include "demo/SyntheticRom.h"

#include "common/ByteOrder.h"
#include "demo/SyntheticArt.h"
#include "demo/SyntheticAssembly.h"
#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"
#include "side/MusicView.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quarnel {

namespace synthetic {

namespace {

// Data that has no fixed offset goes from here on, below the games' fixed tables and free
// space; the allocator steps around the tables that lie further up.
constexpr uint32_t kDataStart = 0x240000;
constexpr uint32_t kCartridgeHeaderSize = 0xC0;
constexpr uint32_t kMusicRecords = 64;
constexpr uint32_t kSamples = 8;
constexpr uint32_t kSongs = 16;
constexpr uint32_t kSongEntries = 64;

uint32_t DoorRecordCount(const WorldPlan& world) {
    uint32_t count = 0;
    for (const AreaSpec& area : world.areas) {
        count += static_cast<uint32_t>(area.doors.size()) + 1; // and the closing record
    }
    return count;
}

void WriteCartridgeHeader(Image& image, Game game) {
    std::array<uint8_t, kCartridgeHeaderSize> header{};
    StoreLe32(header, 0, 0xEA00002E); // ARM branch over the header to the entry point
    const char* title = game == Game::ZM ? "ZEROMISSIONE" : "metroid4usa";
    std::memcpy(header.data() + kTitleOffset, title, std::strlen(title));
    std::memcpy(header.data() + 0xAC, game == Game::ZM ? "QZME" : "QMFE", 4); // game code
    std::memcpy(header.data() + 0xB0, "01", 2);                               // maker code
    header[0xB2] = 0x96;                                                      // fixed value
    uint8_t check = 0;
    for (uint32_t i = 0xA0; i < 0xBD; ++i) {
        check = static_cast<uint8_t>(check - header[i]);
    }
    header[0xBD] = static_cast<uint8_t>(check - 0x19); // the header's complement check
    image.Write(0, header);
}

// Song s has 1 + s mod 6 tracks; its header is 8 bytes and a pointer per track.
uint32_t SongHeaderSize(uint32_t song) {
    return 8 + 4 * (1 + song % 6);
}

// The first song's header lies at a fixed place: its voice-group pointer is the word at
// kMusicTablePointer.
constexpr uint32_t kFirstSongHeader = kMusicTablePointer - 4;

void WriteMusic(Image& image, SyntheticRom& rom) {
    Random random(rom.seed, 5);
    // Wave samples: a 16-byte header (type, pitch, loop start, length) and the samples.
    std::vector<uint32_t> samples;
    for (uint32_t w = 0; w < kSamples; ++w) {
        std::vector<uint8_t> sample(16 + 32);
        StoreLe32(sample, 4, 0x3C00 * (1 + random.Below(4)));
        StoreLe32(sample, 12, 32);
        for (size_t i = 16; i < sample.size(); ++i) {
            sample[i] = random.Byte();
        }
        samples.push_back(image.Place(sample, "wave sample " + std::to_string(w)));
    }
    const uint32_t voices = image.Allocate(kMusicRecords * kMusicRecordSize, "voice group");
    for (uint32_t m = 0; m < kMusicRecords; ++m) {
        MusicBytes record{};
        record[0] = static_cast<uint8_t>(1 + random.Below(10));
        record[1] = static_cast<uint8_t>(random.Below(4));
        StoreLe16(record, 2, static_cast<uint16_t>(random.Chance(50) ? 0 : random.Next()));
        StoreLe32(record, 4, Pointer(samples[random.Below(kSamples)]));
        record[9] = static_cast<uint8_t>(0x40 + random.Below(0x40));
        record[10] = static_cast<uint8_t>(random.Below(3));
        record[11] = static_cast<uint8_t>(random.Below(2));
        image.Write(voices + m * kMusicRecordSize, record);
        rom.musicRecords.push_back(record);
    }
    rom.musicTablePointer = Pointer(voices);

    for (uint32_t s = 0; s < kSongs; ++s) {
        const uint32_t tracks = 1 + s % 6;
        std::vector<uint8_t> header(SongHeaderSize(s));
        header[0] = static_cast<uint8_t>(tracks);
        header[2] = static_cast<uint8_t>(random.Below(4));
        header[3] = static_cast<uint8_t>(0x80 | random.Below(0x40));
        StoreLe32(header, 4, rom.musicTablePointer);
        for (uint32_t t = 0; t < tracks; ++t) {
            std::vector<uint8_t> track(8 + random.Below(24));
            for (auto& byte : track) {
                byte = random.Byte();
            }
            track.back() = 0xB1; // the end of a track
            const uint32_t at = image.Place(track, "song " + std::to_string(s) + " track");
            StoreLe32(header, 8 + 4 * t, Pointer(at));
        }
        const uint32_t offset =
            s == 0 ? kFirstSongHeader
                   : image.Allocate(SongHeaderSize(s), "song header " + std::to_string(s));
        image.Write(offset, header);
        rom.songs.push_back({offset, std::move(header)});
    }

    rom.songTable = SongTableOffset(rom.game);
    for (uint32_t e = 0; e < kSongEntries; ++e) {
        SongEntryBytes entry{};
        StoreLe32(entry, 0, Pointer(rom.songs[e == 0 ? 0 : random.Below(kSongs)].offset));
        const auto player = static_cast<uint16_t>(random.Below(4));
        StoreLe16(entry, 4, player);
        StoreLe16(entry, 6, player);
        image.Write(rom.songTable + e * kSongEntrySize, entry);
        rom.songEntries.push_back(entry);
    }
}

} // namespace

void ClaimFixedTables(Image& image, Game game, const WorldPlan& world) {
    const GameLayout& layout = *LayoutOf(game);
    const auto areas = static_cast<uint32_t>(world.areas.size());
    image.Claim(0, kCartridgeHeaderSize, "cartridge header");
    image.Claim(kFirstSongHeader, SongHeaderSize(0), "song header 0");
    image.Claim(SongTableOffset(game), kSongEntries * kSongEntrySize, "song table");
    image.Claim(layout.tilesetTable,
                static_cast<uint32_t>(world.tilesets.size()) * kTilesetRecordSize, "tileset table");
    image.Claim(FirstDoorTable(game), DoorRecordCount(world) * kDoorRecordSize, "door tables");
    image.Claim(layout.animatedGraphicsTable,
                static_cast<uint32_t>(AnimatedGraphicsPlans().size()) * kAnimatedGraphicsRecordSize,
                "animated graphics table");
    image.Claim(layout.animatedTilesetTable,
                static_cast<uint32_t>(AnimatedTilesetPlans().size()) * kAnimatedTilesetRecordSize,
                "animated tileset table");
    image.Claim(layout.commonTiles, kCommonTilesSize, "common tiles");
    image.Claim(layout.areaTable, 4 * areas, "area table");
    if (game == Game::ZM) {
        image.Claim(layout.commonTilesLastArea, kCommonTilesSize, "common tiles of the last area");
        image.Claim(kZmCommonPaletteRow0, 2 * kZmCommonPaletteRow0Colours, "common palette row 0");
        image.Claim(kZmCommonPaletteRow1, 2 * kZmCommonPaletteRow1Colours, "common palette row 1");
        image.Claim(kZmMiniMapTiles, kZmMiniMapTilesSize, "minimap tiles");
        image.Claim(kZmMiniMapPalette, 2 * kZmMiniMapPaletteColours, "minimap palette");
        image.Claim(layout.miniMapPointers, 4 * layout.miniMapCount, "minimap pointers");
        image.Claim(layout.doorTablePointers, 4 * areas, "door table pointers");
        image.Claim(kZmScrollTable, 4 * kZmScrollTableEntries, "scroll table");
    } else {
        image.Claim(kMfCommonPalette, 2 * kMfCommonPaletteColours, "common palette");
        image.Claim(kMfDoorTablePointers, 4 * areas, "door table pointers");
        image.Claim(kMfScrollTable, 4 * kMfScrollTableEntries, "scroll table");
    }
}

} // namespace synthetic

SyntheticRom BuildSyntheticRom(Game game, uint32_t seed) {
    if (LayoutOf(game) == nullptr) {
        throw std::invalid_argument("BuildSyntheticRom: no game");
    }
    const synthetic::WorldPlan world = synthetic::PlanWorld(game, seed);
    synthetic::Image image(game, synthetic::kDataStart);
    synthetic::ClaimFixedTables(image, game, world);

    SyntheticRom rom;
    rom.game = game;
    rom.seed = seed;
    synthetic::WriteCartridgeHeader(image, game);
    synthetic::WriteGraphics(image, world, rom);
    synthetic::WriteAreas(image, world, rom);
    synthetic::WriteMiniMaps(image, world, rom);
    synthetic::WriteMusic(image, rom);
    synthetic::WriteScrolls(image, rom);
    rom.image = image.TakeBytes();
    rom.blocks = image.TakeBlocks();
    return rom;
}

Result<void, Error> WriteSyntheticRom(const std::filesystem::path& path, Game game, uint32_t seed) {
    if (LayoutOf(game) == nullptr) {
        return Fail(Error{ErrorKind::BadArgument, "no game to build", std::nullopt});
    }
    const SyntheticRom rom = BuildSyntheticRom(game, seed);
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return Fail(Error{ErrorKind::FileOpen,
                              path.string() + ": " + std::generic_category().message(errno),
                              std::nullopt});
        }
        out.write(reinterpret_cast<const char*>(rom.image.data()),
                  static_cast<std::streamsize>(rom.image.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return Fail(Error{ErrorKind::FileWrite, temporary.string(), std::nullopt});
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return Fail(
            Error{ErrorKind::FileWrite, path.string() + ": " + error.message(), std::nullopt});
    }
    return {};
}

} // namespace quarnel
