#include "dumps/RoomDump.h"

#include "common/Hex.h"

namespace quarnel {

std::vector<std::string> RoomDumpLines(const RoomHeader& h, uint32_t headerOffset) {
    const auto u16 = [](int16_t value) { return ToHex(static_cast<uint16_t>(value)); };
    return {
        "Room Offset: " + ToHex(uint64_t{headerOffset} + 1),
        "Tileset: " + ToHex(h.Tileset),
        "Background 0: " + ToHex(h.BG0Props),
        "Background 1: " + ToHex(h.BG1Props),
        "Background 2: " + ToHex(h.BG2Props),
        "Background 3: " + ToHex(h.BG3Props),
        "Foreground    Address: " + ToHex(h.ForegroundPointer),
        "Level         Address: " + ToHex(h.LevelPointer),
        "Background    Address: " + ToHex(h.BackgroundPointer),
        "ClipData      Address: " + ToHex(h.ClipDataPointer),
        "Background Image Data Address: " + ToHex(h.BgImagePointer),
        "???????              : " + ToHex(h.Unknown1),
        "???????              : " + ToHex(h.Unknown2),
        "Separator            : " + u16(h.Separator),
        "Sprites Pointer 1    : " + ToHex(h.SpritePointer1),
        "Sprite Index1        : " + ToHex(h.SpriteIndex1),
        "Event Switch1        : " + ToHex(h.EventSwitch1),
        "Separator2           : " + u16(h.Separator2),
        "Sprite Pointer  2    : " + ToHex(h.SpritePointer2),
        "Sprite Index2 Address: " + ToHex(h.SpriteIndex2),
        "Event Switch2        : " + ToHex(h.EventSwitch2),
        "Sprite Pointer  3    : " + ToHex(h.SpritePointer3),
        "Separator            : " + ToHex(h.Separator3),
        "MiniMap X  Position  : " + ToHex(h.MiniMapX),
        "MiniMap Y  Position  : " + ToHex(h.MiniMapY),
        "Tide                 : " + ToHex(h.Tide),
        "Room Effect          : " + ToHex(h.RoomEffect),
        "Music                : " + ToHex(h.Music),
    };
}

} // namespace quarnel
