#pragma once
// RoomHeader: the 60-byte record that describes a room (tileset, layer properties, layer and
// sprite list pointers, minimap position, music). It is read and written as one block; every
// byte has a field, so a read-write cycle keeps every byte.

#include <array>
#include <cstdint>
#include <span>

namespace quarnel {

inline constexpr uint8_t kLayerPresent = 0x10; // BG0-BG2 property value of a stored layer

struct RoomHeader {
    uint8_t Tileset = 0;
    uint8_t BG0Props = 0; // foreground layer
    uint8_t BG1Props = 0; // level layer
    uint8_t BG2Props = 0; // back layer
    uint32_t BG3Props = 0;
    uint32_t ForegroundPointer = 0; // GbaPointers
    uint32_t LevelPointer = 0;
    uint32_t BackgroundPointer = 0;
    uint32_t ClipDataPointer = 0;
    uint32_t BgImagePointer = 0;
    uint8_t Unknown1 = 0;
    uint8_t Unknown2 = 0;
    int16_t Separator = 0;
    uint32_t SpritePointer1 = 0;
    uint8_t SpriteIndex1 = 0;
    uint8_t EventSwitch1 = 0;
    int16_t Separator2 = 0;
    uint32_t SpritePointer2 = 0;
    uint8_t SpriteIndex2 = 0;
    uint8_t EventSwitch2 = 0;
    std::array<uint8_t, 2> Reserved1{};
    uint32_t SpritePointer3 = 0;
    uint8_t SpriteIndex3 = 0;
    uint8_t MiniMapX = 0;
    uint8_t MiniMapY = 0;
    uint8_t Separator3 = 0;
    uint8_t Tide = 0;
    uint8_t RoomEffect = 0;
    uint8_t Music = 0;
    uint8_t Reserved2 = 0;

    static constexpr size_t kSize = 60;
    using Bytes = std::array<uint8_t, kSize>;

    static RoomHeader FromBytes(std::span<const uint8_t, kSize> bytes);
    Bytes ToBytes() const;

    bool operator==(const RoomHeader&) const = default;
};

// The three tile layers and the clipdata, in the order of the header's pointer fields.
enum class LayerKind { Foreground, Level, Back, Clip };

// The property byte of a tile layer (BG0-BG2); Clip has none and counts as present.
uint8_t LayerProps(const RoomHeader& header, LayerKind kind);
// The header's GbaPointer of a layer.
uint32_t LayerPointer(const RoomHeader& header, LayerKind kind);
void SetLayerPointer(RoomHeader& header, LayerKind kind, uint32_t pointer);
// Is the layer stored in the room (property 0x10; clipdata always)?
bool LayerPresent(const RoomHeader& header, LayerKind kind);
// The GbaPointer of sprite list 0, 1 or 2.
uint32_t SpritePointer(const RoomHeader& header, int list);
// "foreground", "level", "back", "clip".
const char* LayerName(LayerKind kind);

} // namespace quarnel
