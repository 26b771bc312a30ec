#pragma once
// The plan of a synthetic game world, before any byte is written: which tileset records
// exist and what they show, the animated tile tables, and per area its rooms (size, tileset,
// layers, minimap place), its doors and the gap after its room table.

#include "demo/SyntheticArt.h"
#include "demo/SyntheticEncoders.h"
#include "demo/SyntheticRooms.h"
#include "rom/Game.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel::synthetic {

struct AnimatedGraphicsPlan {
    Motion motion;
    uint8_t type;  // 1: animated; 0: a still record
    uint8_t delay; // x 500 ms
    uint8_t frames;
};

// The animated graphics table, by graphics number. Number 0 is a still record that no
// tileset names, since a graphics number of 0 ends a slot list.
const std::vector<AnimatedGraphicsPlan>& AnimatedGraphicsPlans();

// One slot of an animated tileset: its graphics number, and (used by MF) an event flag with
// the graphics shown once that flag is set.
struct AnimatedSlotPlan {
    uint8_t graphics;
    uint8_t flag;
    uint8_t alternative;
};

// The animated tileset table. Record 0 has no slots; slot 0 of a record is always a liquid,
// slot 1 a light, slot 2 a machine, where the record has them.
const std::vector<std::vector<AnimatedSlotPlan>>& AnimatedTilesetPlans();

struct TilesetPlan {
    size_t theme;
    int variant;             // palette variant of the theme
    uint8_t animatedTileset; // index into AnimatedTilesetPlans
    uint32_t animationField; // the record's field: the animated tileset in the low byte
};

// One door of an area's table.
struct DoorLink {
    size_t room;        // index of the room in its area
    size_t door;        // index into that room's plan.doors
    uint8_t type;       // record byte 0
    size_t destination; // the partner's index in the same table
    int8_t exitX;       // record bytes 7 and 8: pixel offsets of the exit
    int8_t exitY;
};

struct RoomSpec {
    RoomPlan plan;
    uint8_t tileset;
    uint8_t foregroundProps; // 0x10 present; other values absent
    uint8_t levelProps;
    uint8_t backProps;
    LayerEncoding encoding;
    uint8_t miniMapX;
    uint8_t miniMapY;
    uint8_t miniMapWidth; // cells the room covers on the minimap
    uint8_t miniMapHeight;
};

struct AreaSpec {
    std::vector<RoomSpec> rooms;
    std::vector<DoorLink> doors; // in table order, by room
    uint32_t tail = 0;           // bytes between this room table and the next area's
};

struct WorldPlan {
    std::vector<TilesetPlan> tilesets; // the records the game holds
    std::vector<AreaSpec> areas;
};

WorldPlan PlanWorld(Game game, uint32_t seed);

} // namespace quarnel::synthetic
