#include "doors/ScrollData.h"

#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <string>
#include <utility>

namespace quarnel {

namespace {

// A list holds at most one record per room byte (0-254) and its end record.
constexpr size_t kLargestScrollList = 256;
constexpr int kLastBlock = 255;
constexpr uint32_t kRecordHead = 2; // room byte, count byte

struct ScrollTable {
    uint32_t offset;
    uint32_t entries;
};

std::optional<ScrollTable> ScrollTableOf(Game game) {
    switch (game) {
    case Game::ZM:
        return ScrollTable{kZmScrollTable, kZmScrollTableEntries};
    case Game::MF:
        return ScrollTable{kMfScrollTable, kMfScrollTableEntries};
    case Game::None:
        break;
    }
    return std::nullopt;
}

Error OutsideFile(const std::string& what, uint64_t offset) {
    return Error{ErrorKind::PointerOutOfRange, what + " runs past the end of the file",
                 static_cast<uint32_t>(offset)};
}

std::vector<uint8_t> RecordBytes(uint8_t room, const std::vector<ScrollRecord>& scrolls) {
    std::vector<uint8_t> bytes = {room, static_cast<uint8_t>(scrolls.size())};
    for (const ScrollRecord& scroll : scrolls) {
        bytes.insert(bytes.end(), scroll.ToBytes().begin(), scroll.ToBytes().end());
    }
    return bytes;
}

} // namespace

void ScrollRecord::SetRectangle(uint8_t xStart, uint8_t xEnd, uint8_t yStart, uint8_t yEnd) {
    m_bytes[0] = xStart;
    m_bytes[1] = xEnd;
    m_bytes[2] = yStart;
    m_bytes[3] = yEnd;
}

Result<RoomScrolls, Error> ReadRoomScrolls(const RomFile& file, Game game, int area, int room) {
    const auto table = ScrollTableOf(game);
    if (!table || area < 0 || static_cast<uint32_t>(area) >= table->entries) {
        return Fail(Error{ErrorKind::BadArgument,
                          "area " + std::to_string(area) + " has no scroll list", std::nullopt});
    }
    const std::string name = "area " + std::to_string(area) + " scroll list";
    RoomScrolls scrolls;
    scrolls.Area = area;
    scrolls.Room = room;
    const uint64_t entry = uint64_t{table->offset} + 4 * static_cast<uint64_t>(area);
    if (entry + 4 > file.Size()) {
        return Fail(OutsideFile("the scroll table", entry));
    }
    auto list = ResolvePointer(file.ReadU32(entry), file.Size(), name, 4);
    if (!list) {
        return Fail(list.error());
    }
    for (size_t i = 0; i < kLargestScrollList; ++i) {
        const uint64_t at = uint64_t{*list} + 4 * i;
        if (at + 4 > file.Size()) {
            return Fail(OutsideFile(name, at));
        }
        const std::string what = name + " record " + std::to_string(i);
        auto record = ResolvePointer(file.ReadU32(at), file.Size(), what, kRecordHead);
        if (!record) {
            return Fail(record.error());
        }
        const uint8_t roomByte = file.ReadU8(*record);
        if (roomByte == kScrollListEnd) {
            return scrolls; // the room has no record, so no scrolls
        }
        if (roomByte != room) {
            continue;
        }
        const uint8_t count = file.ReadU8(*record + 1);
        const uint64_t end = uint64_t{*record} + kRecordHead + ScrollRecord::kSize * count;
        if (end > file.Size()) {
            return Fail(OutsideFile("the scroll record of room " + std::to_string(room) + " (" +
                                        std::to_string(count) + " scrolls)",
                                    *record));
        }
        for (size_t s = 0; s < count; ++s) {
            ScrollRecord::Bytes bytes{};
            file.ReadAt(*record + kRecordHead + ScrollRecord::kSize * s, bytes);
            scrolls.ScrollList.emplace_back(bytes);
        }
        scrolls.Stored = true;
        scrolls.Offset = *record;
        scrolls.RoomByte = roomByte;
        scrolls.AsRead = scrolls.ScrollList;
        return scrolls;
    }
    return Fail(Error{ErrorKind::BadScrollData,
                      name + " has no end record among its first " +
                          std::to_string(kLargestScrollList) + " entries",
                      *list});
}

std::optional<ScrollLabelPlace> ScrollLabelGeometry(const ScrollRecord& scroll) {
    if (scroll.XEnd() < scroll.XStart() || scroll.YEnd() < scroll.YStart()) {
        return std::nullopt;
    }
    return ScrollLabelPlace{16 * scroll.XStart(), 16 * scroll.YStart(),
                            16 * (scroll.XEnd() - scroll.XStart() + 1),
                            16 * (scroll.YEnd() - scroll.YStart() + 1)};
}

ScrollHandle ScrollHandleAt(int width, int height, int x, int y, int grip) {
    if (width > 3 * grip) {
        if (x < grip) {
            return ScrollHandle::Left;
        }
        if (x >= width - grip) {
            return ScrollHandle::Right;
        }
    }
    if (height > 3 * grip) {
        if (y < grip) {
            return ScrollHandle::Top;
        }
        if (y >= height - grip) {
            return ScrollHandle::Bottom;
        }
    }
    return ScrollHandle::Body;
}

ScrollRecord DragScroll(const ScrollRecord& original, ScrollHandle handle, int dx, int dy,
                        int lastX, int lastY) {
    int xStart = original.XStart();
    int xEnd = original.XEnd();
    int yStart = original.YStart();
    int yEnd = original.YEnd();
    lastX = std::clamp(lastX, 0, kLastBlock);
    lastY = std::clamp(lastY, 0, kLastBlock);
    // How far an end bound may go: the room's last block, or where the ROM put it if further.
    const auto endRange = [](int start, int end, int last) {
        return std::pair{start, std::max(start, std::max(last, end))};
    };
    switch (handle) {
    case ScrollHandle::Body: {
        // The whole rectangle, as far as block 0 and the room's last block allow.
        const int x =
            std::clamp(dx, -std::min(xStart, xEnd), std::max(0, lastX - std::max(xStart, xEnd)));
        const int y =
            std::clamp(dy, -std::min(yStart, yEnd), std::max(0, lastY - std::max(yStart, yEnd)));
        xStart += x;
        xEnd += x;
        yStart += y;
        yEnd += y;
        break;
    }
    case ScrollHandle::Left:
        xStart = std::clamp(xStart + dx, 0, std::max(xEnd, 0));
        break;
    case ScrollHandle::Right: {
        const auto [low, high] = endRange(xStart, xEnd, lastX);
        xEnd = std::clamp(xEnd + dx, low, high);
        break;
    }
    case ScrollHandle::Top:
        yStart = std::clamp(yStart + dy, 0, std::max(yEnd, 0));
        break;
    case ScrollHandle::Bottom: {
        const auto [low, high] = endRange(yStart, yEnd, lastY);
        yEnd = std::clamp(yEnd + dy, low, high);
        break;
    }
    }
    ScrollRecord dragged = original;
    dragged.SetRectangle(static_cast<uint8_t>(xStart), static_cast<uint8_t>(xEnd),
                         static_cast<uint8_t>(yStart), static_cast<uint8_t>(yEnd));
    return dragged;
}

Result<bool, Error> SetScrollField(RoomScrolls& scrolls, size_t index, ScrollField field,
                                   int value) {
    if (index >= scrolls.ScrollList.size()) {
        return Fail(Error{ErrorKind::BadArgument, "the room has no scroll " + std::to_string(index),
                          std::nullopt});
    }
    const int maximum = field == ScrollField::ExtendBound ? kScrollBounds - 1 : 255;
    if (value < 0 || value > maximum) {
        return Fail(Error{ErrorKind::BadArgument,
                          "the value must lie from 0 to " + std::to_string(maximum) + ", not " +
                              std::to_string(value),
                          std::nullopt});
    }
    ScrollRecord& scroll = scrolls.ScrollList[index];
    const ScrollRecord before = scroll;
    const auto byte = static_cast<uint8_t>(value);
    switch (field) {
    case ScrollField::BreakX:
        scroll.SetBreakX(byte);
        break;
    case ScrollField::BreakY:
        scroll.SetBreakY(byte);
        break;
    case ScrollField::ExtendBound:
        scroll.SetExtendBound(byte);
        break;
    case ScrollField::ExtendValue:
        scroll.SetExtendValue(byte);
        break;
    }
    return scroll != before;
}

bool SetScroll(RoomScrolls& scrolls, size_t index, const ScrollRecord& scroll) {
    if (index >= scrolls.ScrollList.size()) {
        return false;
    }
    scrolls.ScrollList[index] = scroll;
    return true;
}

bool ScrollsChanged(const RoomScrolls& scrolls) {
    return scrolls.Stored && scrolls.ScrollList != scrolls.AsRead;
}

void DiscardScrollEdits(RoomScrolls& scrolls) {
    scrolls.ScrollList = scrolls.AsRead;
}

std::optional<InPlaceWrite> ScrollWrite(const RoomScrolls& scrolls) {
    if (!ScrollsChanged(scrolls) || scrolls.ScrollList.size() != scrolls.AsRead.size()) {
        return std::nullopt;
    }
    return InPlaceWrite{scrolls.Offset, RecordBytes(scrolls.RoomByte, scrolls.AsRead),
                        RecordBytes(scrolls.RoomByte, scrolls.ScrollList),
                        "the scroll record of room " + std::to_string(scrolls.Room) + " of area " +
                            std::to_string(scrolls.Area)};
}

void MarkScrollsSaved(RoomScrolls& scrolls) {
    scrolls.AsRead = scrolls.ScrollList;
}

} // namespace quarnel
