#include "doors/DoorData.h"

#include "common/Hex.h"
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

// The number of records an area's list may span, before any check of the file: Zero Mission
// bounds a list by the next area's table (the last area by a fixed count); Fusion's tables do
// not abut in a known order, so only the end record bounds its lists.
int64_t DoorSpan(const Catalog& catalog, const GameLayout& layout, size_t area) {
    if (catalog.game != Game::ZM) {
        return kLargestDoorCount;
    }
    if (area + 1 == layout.areaCount) {
        return layout.doorsInLastArea;
    }
    const int64_t span = static_cast<int64_t>(catalog.DoorTablePointers[area + 1]) -
                         static_cast<int64_t>(catalog.DoorTablePointers[area]);
    // Whole records only; a negative span stays negative and is refused.
    return span / static_cast<int64_t>(DoorRecord::kSize);
}

struct AreaList {
    std::vector<DoorRecord> doors;
    uint32_t offset = 0;
};

Result<AreaList, Error> ReadAreaDoors(const RomFile& file, const Catalog& catalog, int area) {
    const GameLayout* layout = LayoutOf(catalog.game);
    const std::string name = "area " + std::to_string(area) + " door table";
    if (layout == nullptr || area < 0 || static_cast<size_t>(area) >= layout->areaCount ||
        catalog.DoorTablePointers.size() != layout->areaCount) {
        return Fail(Error{
            ErrorKind::BadArgument, "area " + std::to_string(area) + " has no door table", {}});
    }
    const auto slot = static_cast<size_t>(area);
    const int64_t count = DoorSpan(catalog, *layout, slot);
    if (count <= 0) {
        // A negative span means the next area's table begins before this one.
        const std::string what = count < 0 ? " begins after the next area's door table"
                                           : " spans " + std::to_string(count) + " records";
        return Fail(Error{ErrorKind::BadDoorTable, name + what, {}});
    }
    // The games end each list with a record whose type byte is 0; a span only bounds the list.
    // A list that reaches 255 records without its end is refused, since the map has 255 door
    // labels and doors are counted in bytes.
    const auto limit = static_cast<size_t>(std::min(count, kLargestDoorCount));
    auto offset = ResolvePointer(catalog.DoorTablePointers[slot], file.Size(), name,
                                 static_cast<uint32_t>(DoorRecord::kSize));
    if (!offset) {
        return Fail(offset.error());
    }
    AreaList list;
    list.offset = *offset;
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
            return list;
        }
        list.doors.push_back(door);
    }
    // A Zero Mission list may fill its span without an end record; Fusion's lists have
    // nothing but the end record to stop them.
    if (count > kLargestDoorCount || catalog.game != Game::ZM) {
        return Fail(Error{ErrorKind::BadDoorTable,
                          name + " has no end record among its first 255 records", *offset});
    }
    return list;
}

} // namespace

DoorRecord DoorRecord::FromBytes(std::span<const uint8_t, kSize> bytes) {
    Bytes copy{};
    std::copy(bytes.begin(), bytes.end(), copy.begin());
    return DoorRecord(copy);
}

Result<void, Error> LoadAreaDoors(const RomFile& file, const Catalog& catalog, int area,
                                  DoorState& state) {
    auto list = ReadAreaDoors(file, catalog, area);
    if (!list) {
        state.AreaDoors.clear();
        state.AreaDoorsAsRead.clear();
        state.Area = -1;
        state.TableOffset = 0;
        state.RoomDoorCount = 0;
        return Fail(list.error());
    }
    state.AreaDoors = std::move(list->doors);
    state.AreaDoorsAsRead = state.AreaDoors;
    state.Area = area;
    state.TableOffset = list->offset;
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

std::optional<uint8_t> FindDoorConnection(const DoorState& state, size_t door) {
    if (door >= state.AreaDoors.size()) {
        return std::nullopt;
    }
    const uint8_t destination = state.AreaDoors[door].Destination();
    if (destination >= state.AreaDoors.size()) {
        return std::nullopt;
    }
    return destination;
}

std::string DoorConnectionText(const DoorState& state, size_t door) {
    const auto connection = FindDoorConnection(state, door);
    if (!connection) {
        return "none";
    }
    return ToHex(*connection) + " (room " + ToHex(state.AreaDoors[*connection].Room()) + ")";
}

std::optional<uint8_t> DoorIndexOfLabel(const DoorState& state, size_t label) {
    if (label >= state.RoomDoorCount || state.RoomDoorList[label] >= state.AreaDoors.size()) {
        return std::nullopt;
    }
    return state.RoomDoorList[label];
}

PixelPosition DoorLabelPosition(const DoorRecord& door) {
    return BlockLabelPosition(door.XEnd(), door.YEnd());
}

BlockRect DoorTrigger(const DoorRecord& door) {
    return {std::min(door.XStart(), door.XEnd()), std::min(door.YStart(), door.YEnd()),
            std::max(door.XStart(), door.XEnd()), std::max(door.YStart(), door.YEnd())};
}

} // namespace quarnel
