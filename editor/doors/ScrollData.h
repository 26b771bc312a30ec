#pragma once
// The games' scroll data: per room, rectangles of blocks that bound the camera. Each game has
// a table of one GbaPointer per area to a list of GbaPointers to room records; the list ends
// with a pointer to a record whose room byte is 0xFF, and a room without a record has no
// scrolls. A room record is the room byte, a count byte, then 8 bytes per scroll. The editor
// reads the loaded room's record, shows its rectangles on the large map, lets them be dragged
// and their extension fields edited, and writes the record back where it stands (same count,
// same place).

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "storage/InPlaceWrite.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quarnel {

class RomFile;

// One 8-byte scroll. The rectangle is in blocks, both ends inclusive. A breakable block at
// (BreakX, BreakY) (0xFF: none) extends the scroll once destroyed: the bound named by
// ExtendBound (0 X start, 1 X end, 2 Y start, 3 Y end) then takes ExtendValue.
class ScrollRecord {
public:
    static constexpr size_t kSize = 8;
    using Bytes = std::array<uint8_t, kSize>;

    ScrollRecord() = default;
    explicit ScrollRecord(const Bytes& bytes) : m_bytes(bytes) {}

    uint8_t XStart() const { return m_bytes[0]; }
    uint8_t XEnd() const { return m_bytes[1]; }
    uint8_t YStart() const { return m_bytes[2]; }
    uint8_t YEnd() const { return m_bytes[3]; }
    uint8_t BreakX() const { return m_bytes[4]; }
    uint8_t BreakY() const { return m_bytes[5]; }
    uint8_t ExtendBound() const { return m_bytes[6]; }
    uint8_t ExtendValue() const { return m_bytes[7]; }

    void SetRectangle(uint8_t xStart, uint8_t xEnd, uint8_t yStart, uint8_t yEnd);
    void SetBreakX(uint8_t value) { m_bytes[4] = value; }
    void SetBreakY(uint8_t value) { m_bytes[5] = value; }
    void SetExtendBound(uint8_t value) { m_bytes[6] = value; }
    void SetExtendValue(uint8_t value) { m_bytes[7] = value; }

    const Bytes& ToBytes() const { return m_bytes; }
    bool operator==(const ScrollRecord&) const = default;

private:
    Bytes m_bytes{};
};

inline constexpr uint8_t kNoBreakableBlock = 0xFF;
inline constexpr uint8_t kScrollListEnd = 0xFF; // the room byte of the record that ends a list
inline constexpr int kScrollBounds = 4;         // ExtendBound takes 0 to 3

// The loaded room's scrolls, as edited and as the file holds them.
struct RoomScrolls {
    int Area = -1;
    int Room = -1;
    bool Stored = false;  // the room has a record; without one it has no scrolls
    uint32_t Offset = 0;  // ROM offset of the record (room byte, count, scrolls)
    uint8_t RoomByte = 0; // as read
    std::vector<ScrollRecord> ScrollList;
    std::vector<ScrollRecord> AsRead;
};

// Reads the scroll record of room `room` of area `area`: the first record of the area's list
// whose room byte is the room. Errors: an area the game's table lacks (BadArgument); a table,
// list or record pointer outside the file, or a record whose scrolls run past it
// (PointerOutOfRange); a list without its end record among its first 256 pointers
// (BadScrollData).
Result<RoomScrolls, Error> ReadRoomScrolls(const RomFile& file, Game game, int area, int room);

// Where a scroll's label stands on the large map, in pixels (16 a block): it covers
// (X end - X start + 1) x (Y end - Y start + 1) blocks. Nothing for a record whose end lies
// before its start.
struct ScrollLabelPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScrollLabelPlace&) const = default;
};
std::optional<ScrollLabelPlace> ScrollLabelGeometry(const ScrollRecord& scroll);

// The part of a scroll that a drag moves.
enum class ScrollHandle { Body, Left, Right, Top, Bottom };

// Which part the pointer at (x, y) pixels inside a label of width x height grabs: an edge when
// it lies within `grip` pixels of it (left and right before top and bottom; on a label too
// narrow or too low for two grips and a body, that direction has no edges), else the body.
ScrollHandle ScrollHandleAt(int width, int height, int x, int y, int grip);

// `original` dragged by (dx, dy) blocks: the body moves the whole rectangle, stopping at
// block 0 and at the room's last column `lastX` and row `lastY` (a camera bound past the room
// would show what lies beyond it); an edge moves only its bound, never past the opposite
// bound nor out of the room. A bound that already lies past the room is not moved further out.
// The other four bytes are kept.
ScrollRecord DragScroll(const ScrollRecord& original, ScrollHandle handle, int dx, int dy,
                        int lastX = 255, int lastY = 255);

enum class ScrollField { BreakX, BreakY, ExtendBound, ExtendValue };

// Stores `value` (0-255; 0-3 for ExtendBound) in scroll `index`. Returns whether it changed;
// BadArgument, changing nothing, for another value or index.
Result<bool, Error> SetScrollField(RoomScrolls& scrolls, size_t index, ScrollField field,
                                   int value);
// Replaces scroll `index` (a drag); false when there is no such scroll.
bool SetScroll(RoomScrolls& scrolls, size_t index, const ScrollRecord& scroll);

bool ScrollsChanged(const RoomScrolls& scrolls);
void DiscardScrollEdits(RoomScrolls& scrolls);

// The write of the changed record in place: 2 + 8 x count bytes at its offset, checked against
// the bytes read there. Nothing when no scroll changed.
std::optional<InPlaceWrite> ScrollWrite(const RoomScrolls& scrolls);

// After a save wrote the record: the file holds the scrolls as they are in memory.
void MarkScrollsSaved(RoomScrolls& scrolls);

} // namespace quarnel
