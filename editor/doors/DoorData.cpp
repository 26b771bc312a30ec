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
    if (count <= 0 || count > kLargestDoorCount) {
        return Fail(
            Error{ErrorKind::BadDoorTable,
                  name + " spans " + std::to_string(count) + " records; an area holds 1 to 255",
                  {}});
    }
    const auto bytes = static_cast<uint32_t>(count) * static_cast<uint32_t>(DoorRecord::kSize);
    auto offset = ResolvePointer(catalog.DoorTablePointers[slot], file.Size(), name, bytes);
    if (!offset) {
        return Fail(offset.error());
    }
    const auto stored = file.ReadBlock(*offset, bytes);
    std::vector<DoorRecord> doors;
    doors.reserve(static_cast<size_t>(count));
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        doors.push_back(DoorRecord::FromBytes(
            std::span(stored).subspan(i * DoorRecord::kSize).first<DoorRecord::kSize>()));
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
