#include "rom/RoomHeader.h"

#include "common/ByteOrder.h"

namespace quarnel {

RoomHeader RoomHeader::FromBytes(std::span<const uint8_t, kSize> bytes) {
    const std::span<const uint8_t> b = bytes;
    RoomHeader h;
    h.Tileset = b[0];
    h.BG0Props = b[1];
    h.BG1Props = b[2];
    h.BG2Props = b[3];
    h.BG3Props = LoadLe32(b, 4);
    h.ForegroundPointer = LoadLe32(b, 8);
    h.LevelPointer = LoadLe32(b, 12);
    h.BackgroundPointer = LoadLe32(b, 16);
    h.ClipDataPointer = LoadLe32(b, 20);
    h.BgImagePointer = LoadLe32(b, 24);
    h.Unknown1 = b[28];
    h.Unknown2 = b[29];
    h.Separator = static_cast<int16_t>(LoadLe16(b, 30));
    h.SpritePointer1 = LoadLe32(b, 32);
    h.SpriteIndex1 = b[36];
    h.EventSwitch1 = b[37];
    h.Separator2 = static_cast<int16_t>(LoadLe16(b, 38));
    h.SpritePointer2 = LoadLe32(b, 40);
    h.SpriteIndex2 = b[44];
    h.EventSwitch2 = b[45];
    h.Reserved1 = {b[46], b[47]};
    h.SpritePointer3 = LoadLe32(b, 48);
    h.SpriteIndex3 = b[52];
    h.MiniMapX = b[53];
    h.MiniMapY = b[54];
    h.Separator3 = b[55];
    h.Tide = b[56];
    h.RoomEffect = b[57];
    h.Music = b[58];
    h.Reserved2 = b[59];
    return h;
}

RoomHeader::Bytes RoomHeader::ToBytes() const {
    Bytes bytes{};
    const std::span<uint8_t> b = bytes;
    b[0] = Tileset;
    b[1] = BG0Props;
    b[2] = BG1Props;
    b[3] = BG2Props;
    StoreLe32(b, 4, BG3Props);
    StoreLe32(b, 8, ForegroundPointer);
    StoreLe32(b, 12, LevelPointer);
    StoreLe32(b, 16, BackgroundPointer);
    StoreLe32(b, 20, ClipDataPointer);
    StoreLe32(b, 24, BgImagePointer);
    b[28] = Unknown1;
    b[29] = Unknown2;
    StoreLe16(b, 30, static_cast<uint16_t>(Separator));
    StoreLe32(b, 32, SpritePointer1);
    b[36] = SpriteIndex1;
    b[37] = EventSwitch1;
    StoreLe16(b, 38, static_cast<uint16_t>(Separator2));
    StoreLe32(b, 40, SpritePointer2);
    b[44] = SpriteIndex2;
    b[45] = EventSwitch2;
    b[46] = Reserved1[0];
    b[47] = Reserved1[1];
    StoreLe32(b, 48, SpritePointer3);
    b[52] = SpriteIndex3;
    b[53] = MiniMapX;
    b[54] = MiniMapY;
    b[55] = Separator3;
    b[56] = Tide;
    b[57] = RoomEffect;
    b[58] = Music;
    b[59] = Reserved2;
    return bytes;
}

uint8_t LayerProps(const RoomHeader& header, LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return header.BG0Props;
    case LayerKind::Level:
        return header.BG1Props;
    case LayerKind::Back:
        return header.BG2Props;
    case LayerKind::Clip:
        break;
    }
    return kLayerPresent;
}

uint32_t LayerPointer(const RoomHeader& header, LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return header.ForegroundPointer;
    case LayerKind::Level:
        return header.LevelPointer;
    case LayerKind::Back:
        return header.BackgroundPointer;
    case LayerKind::Clip:
        break;
    }
    return header.ClipDataPointer;
}

void SetLayerPointer(RoomHeader& header, LayerKind kind, uint32_t pointer) {
    switch (kind) {
    case LayerKind::Foreground:
        header.ForegroundPointer = pointer;
        return;
    case LayerKind::Level:
        header.LevelPointer = pointer;
        return;
    case LayerKind::Back:
        header.BackgroundPointer = pointer;
        return;
    case LayerKind::Clip:
        header.ClipDataPointer = pointer;
        return;
    }
}

bool LayerPresent(const RoomHeader& header, LayerKind kind) {
    return LayerProps(header, kind) == kLayerPresent;
}

uint32_t SpritePointer(const RoomHeader& header, int list) {
    switch (list) {
    case 0:
        return header.SpritePointer1;
    case 1:
        return header.SpritePointer2;
    default:
        return header.SpritePointer3;
    }
}

const char* LayerName(LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return "foreground";
    case LayerKind::Level:
        return "level";
    case LayerKind::Back:
        return "back";
    case LayerKind::Clip:
        break;
    }
    return "clip";
}

} // namespace quarnel
