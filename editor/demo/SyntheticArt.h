#pragma once
// Procedural art for synthetic ROM images: tilesets (tiles, block table, palettes), the
// common tiles and palettes, animated tile frames and the minimap graphics. Everything is
// painted as shade images (colour indexes 1-15 of one palette row, 0 transparent) and coloured
// by palette rows of GBA colours (red bits 0-4, green 5-9, blue 10-14).
//
// Every tileset puts the blocks that rooms are built from at the same block numbers
// (BlockOf), each painted in its theme's style, so the room builder needs no per-tileset
// knowledge beyond which animated slots the tileset has.

#include "rom/Game.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel::synthetic {

// A 16x16 image of colour indexes, row by row.
using Shades = std::array<uint8_t, 256>;

enum class Role : uint8_t {
    Empty,
    Fill0, // wall interior, four variants
    Fill1,
    Fill2,
    Fill3,
    Top, // wall surfaces that face air
    Bottom,
    Left,
    Right,
    TopLeft, // outer corners
    TopRight,
    BottomLeft,
    BottomRight,
    SlopeRise, // floor rising to the right
    SlopeFall, // floor falling to the right
    PlatformLeft,
    PlatformMid,
    PlatformRight,
    PillarTop,
    PillarMid,
    PillarBase,
    Back0, // the back layer's 2x2 pattern
    Back1,
    Back2,
    Back3,
    VineMid, // foreground decoration
    VineEnd,
    Grass,
    PipeH,
    PipeJoint,
    PipeV,
    Liquid,   // animated slot 0
    Light,    // animated slot 1
    Machine,  // animated slot 2
    HatchTop, // door hatches, from the common tiles
    HatchMid,
    HatchBottom,
    Count,
};

uint16_t BlockOf(Role role);

// The animated slots that the Liquid, Light and Machine blocks show.
inline constexpr int kLiquidSlot = 0;
inline constexpr int kLightSlot = 1;
inline constexpr int kMachineSlot = 2;

enum class Material : uint8_t { Rock, Brick, Metal, Crystal, Organic };

// A painted look of a tileset: the materials of its walls and back layer and the hues
// (degrees) and saturations (0-255) of its main and accent colours.
struct Theme {
    Material wall;
    Material back;
    int mainHue;
    int mainSat;
    int accentHue;
    int accentSat;
    bool lava; // its liquid glows (lava) rather than flows (water)
};

size_t ThemeCount();
const Theme& ThemeOf(size_t theme);

struct TilesetArt {
    std::vector<uint8_t> tiles;       // kTilesetGraphicsSize bytes: tiles 192-839
    std::vector<uint16_t> blockTable; // kBlockTableWords words
    std::vector<uint8_t> backdrop;    // 64 tiles of distant scenery (the record's third data)
};

TilesetArt PaintTilesetArt(size_t theme, uint64_t seed);
// kTilesetPaletteColours colours; local row 0 holds only the transparent colour.
std::vector<uint16_t> PaintTilesetPalette(size_t theme, int variant);

// 128 tiles (kCommonTilesSize bytes): door hatches and special blocks. Style 1 is ZM's
// variant for its last area.
std::vector<uint8_t> PaintCommonTiles(int style);
// ZM: 15 colours of row 0, then the 16 of row 1. MF: 48 colours (rows 0-2 from index 1).
std::vector<uint16_t> PaintCommonPalette(Game game);

// Animated tile frames: 128 bytes (four tiles of one 16x16 block) per frame.
enum class Motion : uint8_t { Still, Water, Blink, Lava, Conveyor, Screen, Flow, Pulse };
std::vector<uint8_t> PaintAnimationFrames(Motion motion, int frames, uint32_t variant);

// ZM's minimap tiles (kZmMiniMapTilesSize bytes) and palette (kZmMiniMapPaletteColours).
std::vector<uint8_t> PaintMiniMapTiles();
std::vector<uint16_t> PaintMiniMapPalette();
// Minimap tile numbers: a room cell with walls on the sides in `walls` (bit 0 left, 1 right,
// 2 top, 3 bottom), the background cell, and icons.
inline constexpr uint16_t kMiniMapRoomTile = 1; // + walls
inline constexpr uint16_t kMiniMapBackgroundTile = 17;
inline constexpr uint16_t kMiniMapIconTile = 18; // four icons

// Packs a 16x16 shade image into four 4bpp tiles (top-left, top-right, bottom-left,
// bottom-right), 128 bytes.
std::vector<uint8_t> PackBlockTiles(const Shades& shades);

// Painting primitives shared by the painters.
Shades PaintRole(size_t theme, Role role, uint32_t seed);
Shades PaintCommonBlock(int index, int style);
Shades PaintBackdropBlock(size_t theme, int index, uint32_t seed);
Shades Mirror(const Shades& shades);

} // namespace quarnel::synthetic
