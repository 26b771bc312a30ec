// Writes the areas of a synthetic image: every room's layers, sprite lists and header, the
// room tables with their planned gaps, the area table and the door tables.

#include "common/ByteOrder.h"
#include "demo/SyntheticAssembly.h"
#include "demo/SyntheticEncoders.h"
#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"

#include <stdexcept>
#include <string>

namespace quarnel::synthetic {

namespace {

// The layer readers take the two size bytes and then at most this many bytes of passes.
constexpr size_t kLayerReadLimit = 2 + 32570;
constexpr size_t kMaxSprites = 24; // the games read no more entries of a list

uint32_t PlaceLayer(Image& image, const RoomLayer& layer, bool sixteenBit,
                    const LayerEncoding& encoding, const std::string& what) {
    const std::vector<uint8_t> stored = EncodeRoomLayer(layer, sixteenBit, encoding);
    if (stored.size() > kLayerReadLimit) {
        throw std::logic_error("synthetic ROM builder: " + what + " is too long to be read back");
    }
    return image.PlaceShared(stored, what);
}

std::vector<SpriteEntry> MakeSpriteList(const BuiltRoom& room, size_t count, Random& random) {
    std::vector<SpriteEntry> list;
    for (size_t i = 0; i < count; ++i) {
        const bool ground =
            !room.groundSpots.empty() && (room.airSpots.empty() || random.Chance(70));
        const auto& spots = ground ? room.groundSpots : room.airSpots;
        const auto& spot = spots[random.Below(static_cast<uint32_t>(spots.size()))];
        const auto number =
            static_cast<uint8_t>(random.Chance(80) ? 0x11 + random.Below(8) : 1 + random.Below(16));
        list.push_back({spot[1], spot[0], number});
    }
    return list;
}

size_t PickSpriteCount(Random& random) {
    const uint32_t pick = random.Below(100);
    if (pick < 25) {
        return 0;
    }
    if (pick < 40) {
        return 1;
    }
    if (pick < 85) {
        return static_cast<size_t>(random.Range(2, 8));
    }
    return static_cast<size_t>(random.Range(9, static_cast<int>(kMaxSprites)));
}

uint32_t PlaceSpriteList(Image& image, const std::vector<SpriteEntry>& list) {
    std::vector<uint8_t> bytes;
    for (const SpriteEntry& entry : list) {
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF});
    return image.PlaceShared(bytes, "sprite list");
}

// A background picture for layer 3: an LZ77 tile map of 32 x 32 entries over the tileset's
// backdrop tiles.
uint32_t PlaceBackgroundImage(Image& image, size_t area) {
    constexpr uint32_t kEntries = 32 * 32;
    std::vector<uint8_t> raw(kEntries * 2);
    for (uint32_t i = 0; i < kEntries; ++i) {
        const uint32_t x = i % 32;
        const uint32_t y = i / 32;
        const auto entry = static_cast<uint16_t>(((y % 8) * 8 + (x + area) % 8) | (15u << 12));
        StoreLe16(raw, 2 * i, entry);
    }
    return image.Place(EncodeLz77(raw), "background image " + std::to_string(area));
}

RoomHeader MakeHeader(const RoomSpec& design, bool sameSecondList, Game game, Random& random) {
    RoomHeader header;
    header.Tileset = design.tileset;
    header.BG0Props = design.foregroundProps;
    header.BG1Props = design.levelProps;
    header.BG2Props = design.backProps;
    constexpr std::array<uint32_t, 8> kBg3{0x00, 0x40, 0x40, 0x00, 0x10, 0x40, 0x140, 0x2F0};
    header.BG3Props = kBg3[random.Below(kBg3.size())];
    header.Unknown1 = random.Byte();
    header.Unknown2 = random.Chance(50) ? 0 : random.Byte();
    header.Separator =
        static_cast<int16_t>(random.Chance(40) ? 0 : static_cast<uint16_t>(random.Next()));
    const uint32_t spriteSets = game == Game::ZM ? 114 : 130;
    header.SpriteIndex1 = static_cast<uint8_t>(random.Below(spriteSets));
    header.SpriteIndex2 =
        sameSecondList ? header.SpriteIndex1 : static_cast<uint8_t>(random.Below(spriteSets));
    header.SpriteIndex3 = static_cast<uint8_t>(random.Below(spriteSets));
    header.EventSwitch1 = random.Chance(70) ? 0 : static_cast<uint8_t>(random.Range(1, 0x7F));
    header.EventSwitch2 = random.Chance(60) ? 0 : static_cast<uint8_t>(random.Range(1, 0x7F));
    header.Separator2 = static_cast<int16_t>(static_cast<uint16_t>(random.Next()));
    header.Reserved1 = {random.Byte(), random.Byte()};
    header.MiniMapX = design.miniMapX;
    header.MiniMapY = design.miniMapY;
    header.Separator3 = random.Byte();
    header.Tide = random.Chance(80) ? 0 : static_cast<uint8_t>(random.Range(1, 0x40));
    header.RoomEffect = static_cast<uint8_t>(random.Chance(60) ? 0 : random.Range(1, 7));
    header.Music = static_cast<uint8_t>(random.Below(48));
    header.Reserved2 = random.Byte();
    return header;
}

// Rounds numerator / denominator to the nearest whole number, halves to the even neighbour.
uint32_t RoundHalfEven(uint32_t numerator, uint32_t denominator) {
    const uint32_t whole = numerator / denominator;
    const uint32_t twice = 2 * (numerator % denominator);
    if (twice > denominator || (twice == denominator && whole % 2 == 1)) {
        return whole + 1;
    }
    return whole;
}

} // namespace

uint32_t FirstDoorTable(Game game) {
    return game == Game::ZM ? kZmFirstDoorTable
                            : kMfLayout.tilesetTable + kMfLayout.tilesetCount * kTilesetRecordSize;
}

void WriteAreas(Image& image, const WorldPlan& world, SyntheticRom& rom) {
    const GameLayout& layout = *LayoutOf(rom.game);
    Random random(rom.seed, static_cast<uint64_t>(rom.game) * 1000 + 2);

    // The room tables of all areas lie in one run, each followed by its planned gap, so that
    // the gap decides the count the editor works out.
    uint32_t tablesSize = 0;
    for (const AreaSpec& area : world.areas) {
        tablesSize += static_cast<uint32_t>(area.rooms.size()) * kRoomHeaderSize + area.tail;
    }
    const uint32_t tables = image.Allocate(tablesSize, "area room tables");
    image.Write(tables, std::vector<uint8_t>(tablesSize, 0));

    uint32_t headerAt = tables;
    uint32_t doorAt = FirstDoorTable(rom.game);
    const uint32_t doorPointers =
        rom.game == Game::ZM ? layout.doorTablePointers : kMfDoorTablePointers;
    for (size_t a = 0; a < world.areas.size(); ++a) {
        const AreaSpec& design = world.areas[a];
        SyntheticArea area;
        area.roomTablePointer = Pointer(headerAt);
        area.doorTablePointer = Pointer(doorAt);
        image.Write32(layout.areaTable + 4 * static_cast<uint32_t>(a), area.roomTablePointer);
        image.Write32(doorPointers + 4 * static_cast<uint32_t>(a), area.doorTablePointer);
        const uint32_t background = PlaceBackgroundImage(image, a);

        std::vector<std::vector<DoorPlace>> doorPlaces;
        for (size_t r = 0; r < design.rooms.size(); ++r) {
            const RoomSpec& roomSpec = design.rooms[r];
            const std::string name = "area " + std::to_string(a) + " room " + std::to_string(r);
            BuiltRoom built = BuildRoom(roomSpec.plan);
            doorPlaces.push_back(built.doors);

            SyntheticRoom room;
            room.headerOffset = headerAt;
            // An absent layer's pointer still leads to an empty layer of the room's size.
            const RoomLayer empty(roomSpec.plan.width, roomSpec.plan.height);
            auto tileLayer = [&](uint8_t props, const RoomLayer& layer, const char* what,
                                 std::optional<RoomLayer>& out) {
                if (props == kLayerPresent) {
                    out = layer;
                    return PlaceLayer(image, layer, true, roomSpec.encoding, name + " " + what);
                }
                return PlaceLayer(image, empty, true, LayerEncoding{}, name + " " + what);
            };
            const uint32_t foreground = tileLayer(roomSpec.foregroundProps, built.foreground,
                                                  "foreground", room.foreground);
            const uint32_t level = tileLayer(roomSpec.levelProps, built.level, "level", room.level);
            const uint32_t back = tileLayer(roomSpec.backProps, built.back, "back", room.back);
            LayerEncoding clipEncoding = roomSpec.encoding;
            clipEncoding.high = CountWidth::Byte;
            const uint32_t clip =
                PlaceLayer(image, built.clip, false, clipEncoding, name + " clipdata");
            room.clip = built.clip;

            // Lists: the first, then often the same list or a variant for another event,
            // and mostly an empty third.
            const bool showcase = a == 0 && (r == 1 || r == 2);
            const size_t count = showcase ? (r == 1 ? kMaxSprites : 1) : PickSpriteCount(random);
            room.spriteLists[0] = MakeSpriteList(built, count, random);
            const uint32_t pick = random.Below(10);
            room.spriteLists[1] = pick < 5 ? room.spriteLists[0]
                                  : pick < 8
                                      ? MakeSpriteList(built, PickSpriteCount(random), random)
                                      : std::vector<SpriteEntry>{};
            room.spriteLists[2] = random.Chance(70)
                                      ? std::vector<SpriteEntry>{}
                                      : MakeSpriteList(built, PickSpriteCount(random), random);
            std::array<uint32_t, 3> lists{};
            for (size_t l = 0; l < 3; ++l) {
                lists[l] = PlaceSpriteList(image, room.spriteLists[l]);
            }

            RoomHeader& header = room.header;
            header = MakeHeader(roomSpec, pick < 5, rom.game, random);
            header.ForegroundPointer = Pointer(foreground);
            header.LevelPointer = Pointer(level);
            header.BackgroundPointer = Pointer(back);
            header.ClipDataPointer = Pointer(clip);
            header.BgImagePointer = Pointer(background);
            header.SpritePointer1 = Pointer(lists[0]);
            header.SpritePointer2 = Pointer(lists[1]);
            header.SpritePointer3 = Pointer(lists[2]);
            image.Write(headerAt, header.ToBytes());
            headerAt += kRoomHeaderSize;
            area.rooms.push_back(std::move(room));
        }
        headerAt += design.tail;

        // The count the editor's rule gives; the plan's gaps keep it at the real count.
        const auto rooms = static_cast<uint32_t>(design.rooms.size());
        uint32_t expected = RoundHalfEven(rooms * kRoomHeaderSize + design.tail, kRoomHeaderSize);
        if (a + 1 == world.areas.size()) {
            expected = layout.fallbackRoomCount;
        } else if (static_cast<int>(a) == layout.fixedCountArea) {
            expected = layout.fixedRoomCount;
        }
        if (expected > rooms) {
            throw std::logic_error("synthetic ROM builder: area " + std::to_string(a) +
                                   " would list missing rooms");
        }
        area.expectedRoomCount = static_cast<uint8_t>(expected);

        for (const DoorLink& link : design.doors) {
            const DoorPlace& place = doorPlaces[link.room][link.door];
            DoorBytes record{};
            record[0] = link.type;
            record[1] = static_cast<uint8_t>(link.room);
            record[2] = place.xStart;
            record[3] = place.xEnd;
            record[4] = place.yStart;
            record[5] = place.yEnd;
            record[6] = static_cast<uint8_t>(link.destination);
            record[7] = static_cast<uint8_t>(link.exitX);
            record[8] = static_cast<uint8_t>(link.exitY);
            area.doors.push_back(record);
        }
        area.doors.push_back(DoorBytes{}); // the closing record: all zero, as the games store it
        for (const DoorBytes& record : area.doors) {
            image.Write(doorAt, record);
            doorAt += kDoorRecordSize;
        }
        rom.areas.push_back(std::move(area));
    }
}

} // namespace quarnel::synthetic
