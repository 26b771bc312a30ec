// Writes the scroll data of a synthetic image in the games' layout: the scroll table at its
// fixed offset, one list of record pointers per area ending with a pointer to the end record
// (room byte 0xFF), and the rooms' records. Most rooms get one scroll inside their walls; wide
// or tall rooms are often split in two, and some scrolls are extended by a breakable block.

#include "demo/SyntheticAssembly.h"
#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"

#include <string>

namespace quarnel::synthetic {

namespace {

constexpr uint8_t kNone = 0xFF;
constexpr int kBorder = 2; // blocks of wall a scroll leaves out on every side

// The rectangle of a room's single scroll: inside the border when the room is large enough.
ScrollBytes Rectangle(int from, int to, int top, int bottom) {
    return {static_cast<uint8_t>(from),
            static_cast<uint8_t>(to),
            static_cast<uint8_t>(top),
            static_cast<uint8_t>(bottom),
            kNone,
            kNone,
            0,
            0};
}

std::vector<ScrollBytes> PlanRoomScrolls(const RoomLayer& clip, Random& random) {
    const int width = clip.Width;
    const int height = clip.Height;
    const int inset = width > 2 * kBorder + 4 && height > 2 * kBorder + 4 ? kBorder : 0;
    const int left = inset;
    const int right = width - 1 - inset;
    const int top = inset;
    const int bottom = height - 1 - inset;
    std::vector<ScrollBytes> scrolls;
    if (right - left >= 30 && random.Chance(60)) {
        const int split = left + (right - left) / 2 + random.Range(-3, 3);
        scrolls.push_back(Rectangle(left, split, top, bottom));
        scrolls.push_back(Rectangle(split + 1, right, top, bottom));
    } else if (bottom - top >= 24 && random.Chance(60)) {
        const int split = top + (bottom - top) / 2 + random.Range(-2, 2);
        scrolls.push_back(Rectangle(left, right, top, split));
        scrolls.push_back(Rectangle(left, right, split + 1, bottom));
    } else {
        scrolls.push_back(Rectangle(left, right, top, bottom));
    }
    // A breakable block that, once destroyed, lets the first scroll reach further.
    if (random.Chance(25)) {
        ScrollBytes& scroll = scrolls.front();
        scroll[4] = static_cast<uint8_t>(random.Range(scroll[0], scroll[1]));
        scroll[5] = static_cast<uint8_t>(random.Range(scroll[2], scroll[3]));
        scroll[6] = static_cast<uint8_t>(random.Below(4));
        const bool horizontal = scroll[6] < 2;
        scroll[7] = static_cast<uint8_t>(random.Range(0, (horizontal ? width : height) - 1));
    }
    return scrolls;
}

uint32_t PlaceList(Image& image, const std::vector<uint32_t>& records, const std::string& what) {
    std::vector<uint8_t> bytes;
    for (uint32_t offset : records) {
        const uint32_t pointer = Pointer(offset);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(pointer >> shift));
        }
    }
    return image.Place(bytes, what);
}

} // namespace

void WriteScrolls(Image& image, SyntheticRom& rom) {
    Random random(rom.seed, static_cast<uint64_t>(rom.game) * 1000 + 7);
    const bool zm = rom.game == Game::ZM;
    const uint32_t table = zm ? kZmScrollTable : kMfScrollTable;
    const uint32_t entries = zm ? kZmScrollTableEntries : kMfScrollTableEntries;
    const std::vector<uint8_t> endRecord = {0xFF, 0x00};
    const uint32_t end = image.Place(endRecord, "scroll list end record");

    for (size_t a = 0; a < rom.areas.size(); ++a) {
        SyntheticArea& area = rom.areas[a];
        std::vector<uint32_t> records;
        for (size_t r = 0; r < area.rooms.size() && r < kNone; ++r) {
            if (!random.Chance(80)) {
                continue; // no record: the room has no scrolls
            }
            SyntheticScrollRoom room{static_cast<uint8_t>(r), 0,
                                     PlanRoomScrolls(area.rooms[r].clip, random)};
            std::vector<uint8_t> bytes = {room.room, static_cast<uint8_t>(room.scrolls.size())};
            for (const ScrollBytes& scroll : room.scrolls) {
                bytes.insert(bytes.end(), scroll.begin(), scroll.end());
            }
            room.offset = image.Place(bytes, "area " + std::to_string(a) + " room " +
                                                 std::to_string(r) + " scrolls");
            records.push_back(room.offset);
            area.scrollRooms.push_back(std::move(room));
        }
        records.push_back(end);
        area.scrollListPointer =
            Pointer(PlaceList(image, records, "area " + std::to_string(a) + " scroll list"));
        rom.scrollTable.push_back(area.scrollListPointer);
    }
    if (rom.scrollTable.size() < entries) {
        const uint32_t empty = Pointer(PlaceList(image, {end}, "empty scroll list"));
        rom.scrollTable.resize(entries, empty);
    }
    for (uint32_t i = 0; i < entries; ++i) {
        image.Write32(table + 4 * i, rom.scrollTable[i]);
    }
}

} // namespace quarnel::synthetic
