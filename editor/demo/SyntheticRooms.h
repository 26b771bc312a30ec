#pragma once
// Builds the layers of one synthetic room from its plan: a level layer of walls, floors with
// slopes, ceilings, platforms, pillars, pools and door openings; the clipdata that matches it;
// a back layer pattern; foreground decoration; and the spots where sprites can stand.
// Block numbers are those of the synthetic tilesets (BlockOf in SyntheticArt.h).

#include "demo/SyntheticRom.h"
#include "rom/RoomLayer.h"

#include <cstdint>
#include <vector>

namespace quarnel::synthetic {

enum class DoorSide : uint8_t { Left, Right };

struct DoorPlan {
    DoorSide side;
    bool upper;        // the upper opening of a tall room, over a ledge; else at floor level
    uint8_t hatchClip; // clip value of the hatch in front of the opening; 0 for no hatch
};

enum class RoomShape : uint8_t {
    Normal, // walls, floor and ceiling; at least 12 x 12 blocks
    Tiny,   // any size below that: a frame or a single solid block
};

struct RoomPlan {
    uint8_t width = 0; // blocks; the level, foreground and clipdata share this size
    uint8_t height = 0;
    RoomShape shape = RoomShape::Normal;
    uint64_t seed = 0;
    std::vector<DoorPlan> doors;
    // The tileset's animated slots the room may use.
    bool liquid = false;
    bool light = false;
    bool machine = false;
    bool decorated = false;   // foreground decoration; else an empty foreground
    bool backPattern = false; // the back layer's pattern; else an empty back layer
    uint8_t backWidth = 0;    // the back layer's own size (0: the room's)
    uint8_t backHeight = 0;
    bool highBits = false;   // one back layer row carries bits 10-15 in its cells
    bool dustyFloor = false; // part of the floor uses the dusty-ground clip value
};

// A door's trigger rectangle in blocks, both ends inclusive.
struct DoorPlace {
    uint8_t xStart, xEnd, yStart, yEnd;
};

struct BuiltRoom {
    RoomLayer foreground;
    RoomLayer level;
    RoomLayer back;
    RoomLayer clip;
    std::vector<DoorPlace> doors;                    // in the plan's order
    std::vector<std::array<uint8_t, 2>> groundSpots; // (x, y) air cells on solid ground
    std::vector<std::array<uint8_t, 2>> airSpots;    // (x, y) other air cells
};

BuiltRoom BuildRoom(const RoomPlan& plan);

// Clip values the rooms use (the same in both games).
inline constexpr uint8_t kClipAir = 0x00;
inline constexpr uint8_t kClipPlatform = 0x01;
inline constexpr uint8_t kClipSolid = 0x10;
inline constexpr uint8_t kClipSlopeRise = 0x11;
inline constexpr uint8_t kClipSlopeFall = 0x12;
inline constexpr uint8_t kClipWater = 0x1B;
inline constexpr uint8_t kClipDusty = 0x1D;
inline constexpr uint8_t kClipDoorTransition = 0x20;
inline constexpr uint8_t kClipBlueHatch = 0x36;
inline constexpr uint8_t kClipOtherHatch = 0x40;

} // namespace quarnel::synthetic
