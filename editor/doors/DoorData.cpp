#include "doors/DoorData.h"

#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <limits>
#include <string>

namespace quarnel {

namespace {

constexpr int64_t kLargestDoorCount = std::numeric_limits<uint8_t>::max();

// The number of records of an area, before any check of the file.
int64_t DoorCount(const Catalog& catalog, const GameLayout& layout, size_t area) {
    if (area + 1 == layout.areaCount) {
        return layout.doorsInLastArea;
    }
    const int64_t span = static_cast<int64_t>(catalog.DoorTablePointers[area + 1]) -
                         static_cast<int64_t>(catalog.DoorTablePointers[area]);
    // Whole records only; a negative span stays negative and is refused.
    return span / static_cast<int64_t>(DoorRecord::kSize);
}

Result<std::vector<DoorRecord>, Error> ReadAreaDoors(const RomFile& file, const Catalog& catalog,
                                                     int area) {
    const GameLayout* layout = LayoutOf(catalog.game);
    const std::string name = "area " + std::to_string(area) + " door table";
    if (layout == nullptr || area < 0 || static_cast<size_t>(area) >= layout->areaCount ||
        catalog.DoorTablePointers.size() != layout->areaCount) {
        return Fail(Error{
            ErrorKind::BadArgument, "area " + std::to_string(area) + " has no door table", {}});
    }
    const auto slot = static_cast<size_t>(area);
    const int64_t count = DoorCount(catalog, *layout, slot);
    if (count <= 0) {
        return Fail(Error{
            ErrorKind::BadDoorTable, name + " spans " + std::to_string(count) + " records", {}});
    }
    // The games end each list with a record whose type byte is 0; the span between the tables
    // only bounds the list. A list that reaches 255 doors without its end is refused, since
    // the map has 255 door labels and doors are counted in bytes.
    const auto limit = static_cast<size_t>(std::min(count, kLargestDoorCount));
    auto offset = ResolvePointer(catalog.DoorTablePointers[slot], file.Size(), name,
                                 static_cast<uint32_t>(DoorRecord::kSize));
    if (!offset) {
        return Fail(offset.error());
    }
    std::vector<DoorRecord> doors;
    for (size_t i = 0; i < limit; ++i) {
        const uint64_t at = uint64_t{*offset} + i * DoorRecord::kSize;
        DoorRecord::Bytes bytes{};
        if (file.ReadAt(at, bytes) != bytes.size()) {
            return Fail(
                Error{ErrorKind::PointerOutOfRange,
                      name + " runs past the end of the file at record " + std::to_string(i),
                      static_cast<uint32_t>(at)});
        }
        const DoorRecord door(bytes);
        if (door.Type() == kDoorListEnd) {
            return doors;
        }
        doors.push_back(door);
    }
    if (count > kLargestDoorCount) {
        return Fail(Error{ErrorKind::BadDoorTable,
                          name + " has no end record among its first 255 records", *offset});
    }
    return doors;
}

} // namespace

DoorRecord DoorRecord::FromBytes(std::span<const uint8_t, kSize> bytes) {
    Bytes copy{};
    std::copy(bytes.begin(), bytes.end(), copy.begin());
    return DoorRecord(copy);
}

Result<void, Error> LoadAreaDoors(const RomFile& file, const Catalog& catalog, int area,
                                  DoorState& state) {
    if (catalog.game != Game::ZM) {
        return {};
    }
    auto doors = ReadAreaDoors(file, catalog, area);
    if (!doors) {
        state.AreaDoors.clear();
        return Fail(doors.error());
    }
    state.AreaDoors = std::move(doors).value();
    return {};
}

void ShowRoomDoors(DoorState& state, int room) {
    state.RoomDoorCount = 0;
    // RoomDoorList holds byte indexes and there are 255 door labels.
    const size_t last = std::min<size_t>(state.AreaDoors.size(), state.RoomDoorList.size());
    for (size_t i = 0; i < last && state.RoomDoorCount < kLargestDoorCount; ++i) {
        if (state.AreaDoors[i].Room() == room) {
            state.RoomDoorList[state.RoomDoorCount] = static_cast<uint8_t>(i);
            ++state.RoomDoorCount;
        }
    }
}

uint8_t FindDoorConnection(const DoorState& state, uint8_t door) {
    if (door >= state.AreaDoors.size()) {
        return 0;
    }
    const uint8_t target = state.AreaDoors[door].ExitRoom();
    uint8_t result = 0;
    const size_t last = std::min<size_t>(state.AreaDoors.size(), kLargestDoorCount + 1);
    for (size_t i = 0; i < last; ++i) {
        if (state.AreaDoors[i].Room() == target) {
            result = static_cast<uint8_t>(i);
        }
    }
    return result;
}

std::optional<uint8_t> DoorIndexOfLabel(const DoorState& state, size_t label) {
    if (label >= state.RoomDoorCount || state.RoomDoorList[label] >= state.AreaDoors.size()) {
        return std::nullopt;
    }
    return state.RoomDoorList[label];
}

PixelPosition DoorLabelPosition(const DoorRecord& door) {
    return BlockLabelPosition(door.X(), door.Y());
}

bool MoveDoor(DoorState& state, size_t label, const LabelSnap& snap) {
    const auto index = DoorIndexOfLabel(state, label);
    if (!index) {
        return false;
    }
    DoorRecord& door = state.AreaDoors[*index];
    if (snap.blockX) {
        door.SetX(*snap.blockX);
    }
    if (snap.blockY) {
        door.SetY(*snap.blockY);
    }
    return true;
}

} // namespace quarnel
