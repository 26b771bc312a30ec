#include "demo/SyntheticRooms.h"

#include "demo/SyntheticArt.h"
#include "demo/SyntheticRandom.h"

#include <algorithm>

namespace quarnel::synthetic {

namespace {

enum class Cell : uint8_t {
    Air,
    Wall,
    Platform,
    PillarTop,
    PillarMid,
    PillarBase,
    SlopeRise,
    SlopeFall,
    Liquid,
    Light,
    Machine,
    Transition,
    Hatch,
    Ledge, // a wall block that carries an upper door's landing
};

class Grid {
public:
    Grid(int width, int height)
        : m_width(width), m_height(height),
          m_cells(static_cast<size_t>(width * height), Cell::Air) {}
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Outside the room counts as wall.
    Cell At(int x, int y) const { return Inside(x, y) ? m_cells[Index(x, y)] : Cell::Wall; }
    void Set(int x, int y, Cell cell) {
        if (Inside(x, y)) {
            m_cells[Index(x, y)] = cell;
        }
    }
    // Walls and what is built into them; everything else lets light and sprites through.
    bool Solid(int x, int y) const {
        const Cell cell = At(x, y);
        return cell == Cell::Wall || cell == Cell::Ledge || cell == Cell::Light ||
               cell == Cell::Machine || cell == Cell::SlopeRise || cell == Cell::SlopeFall;
    }

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y * m_width + x); }
    int m_width;
    int m_height;
    std::vector<Cell> m_cells;
};

void SetBlock(RoomLayer& layer, int x, int y, Role role) {
    layer.SetCell(x, y, static_cast<int16_t>(BlockOf(role)));
}

// The wall block for a solid cell, from which of its sides face open space.
Role WallRole(const Grid& grid, int x, int y, uint64_t seed) {
    const bool up = !grid.Solid(x, y - 1);
    const bool down = !grid.Solid(x, y + 1);
    const bool left = !grid.Solid(x - 1, y);
    const bool right = !grid.Solid(x + 1, y);
    if (up) {
        return left ? Role::TopLeft : right ? Role::TopRight : Role::Top;
    }
    if (down) {
        return left ? Role::BottomLeft : right ? Role::BottomRight : Role::Bottom;
    }
    if (left) {
        return Role::Left;
    }
    if (right) {
        return Role::Right;
    }
    // Mostly one fill, in patches of 3 x 3 blocks, with a rare ornament.
    const auto seed32 = static_cast<uint32_t>(seed);
    if (Hash(seed32, static_cast<uint32_t>(x), static_cast<uint32_t>(y), 3) % 48 == 0) {
        return Role::Fill3;
    }
    const uint32_t pick =
        Hash(seed32, static_cast<uint32_t>(x / 3), static_cast<uint32_t>(y / 3)) % 16;
    return pick < 12 ? Role::Fill0 : pick < 14 ? Role::Fill1 : Role::Fill2;
}

struct Terrain {
    std::vector<int> floor;   // first solid row from the bottom part, per column
    std::vector<int> ceiling; // last solid row of the top part, per column
};

Terrain ShapeTerrain(const RoomPlan& plan, Random& random) {
    const int w = plan.width;
    const int h = plan.height;
    Terrain terrain{std::vector<int>(static_cast<size_t>(w)),
                    std::vector<int>(static_cast<size_t>(w), 1)};
    const int minFloor = std::max(8, h / 2);
    const int maxFloor = h - 3;
    int level = random.Range(std::max(minFloor, h - 6), maxFloor);
    for (int x = 0; x < w;) {
        const int length = x == 0 ? random.Range(6, 10) : random.Range(3, 9);
        for (int i = 0; i < length && x < w; ++i, ++x) {
            terrain.floor[static_cast<size_t>(x)] = level;
        }
        constexpr int kSteps[] = {-2, -1, -1, 0, 1, 1, 2};
        level = std::clamp(level + kSteps[random.Below(7)], minFloor, maxFloor);
    }
    // Flat ground in front of the right-hand doors.
    for (int x = w - 6; x < w; ++x) {
        terrain.floor[static_cast<size_t>(x)] = terrain.floor[static_cast<size_t>(w - 7)];
    }
    // Hanging rock in a few places, never near the doors and always leaving headroom.
    for (int x = 7; x < w - 7;) {
        const int length = random.Range(3, 8);
        const int drop = random.Chance(30) ? random.Range(1, 3) : 0;
        for (int i = 0; i < length && x < w - 7; ++i, ++x) {
            const int room = terrain.floor[static_cast<size_t>(x)] - 7;
            terrain.ceiling[static_cast<size_t>(x)] = std::max(1, std::min(1 + drop, room));
        }
    }
    return terrain;
}

void BuildTiny(const RoomPlan& plan, BuiltRoom& room) {
    const int w = plan.width;
    const int h = plan.height;
    Grid grid(w, h);
    const bool framed = w >= 3 && h >= 3;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            grid.Set(x, y, !framed || edge ? Cell::Wall : Cell::Air);
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (grid.At(x, y) == Cell::Wall) {
                SetBlock(room.level, x, y, WallRole(grid, x, y, plan.seed));
                room.clip.SetCell(x, y, kClipSolid);
            } else {
                const auto spot =
                    std::array<uint8_t, 2>{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                (grid.Solid(x, y + 1) ? room.groundSpots : room.airSpots).push_back(spot);
            }
        }
    }
    if (room.groundSpots.empty() && room.airSpots.empty()) {
        room.airSpots.push_back({0, 0});
    }
}

void BuildNormal(const RoomPlan& plan, BuiltRoom& room) {
    Random random(plan.seed, 1);
    const int w = plan.width;
    const int h = plan.height;
    Terrain terrain = ShapeTerrain(plan, random);
    auto floorAt = [&](int x) { return terrain.floor[static_cast<size_t>(x)]; };
    auto ceilingAt = [&](int x) { return terrain.ceiling[static_cast<size_t>(x)]; };

    Grid grid(w, h);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const bool sideWall = x < 2 || x >= w - 2;
            if (sideWall || y <= ceilingAt(x) || y >= floorAt(x)) {
                grid.Set(x, y, Cell::Wall);
            }
        }
    }
    for (int x = 3; x < w - 3; ++x) {
        if (floorAt(x) == floorAt(x - 1) - 1) {
            grid.Set(x, floorAt(x), Cell::SlopeRise);
        } else if (floorAt(x) == floorAt(x - 1) + 1 &&
                   grid.At(x - 1, floorAt(x - 1)) == Cell::Wall) {
            grid.Set(x - 1, floorAt(x - 1), Cell::SlopeFall);
        }
    }

    // A pool on a flat stretch of floor.
    std::vector<bool> busy(static_cast<size_t>(w), false);
    if (plan.liquid && w >= 30 && random.Chance(55)) {
        for (int start = random.Range(6, w / 2); start < w - 12; ++start) {
            int end = start;
            while (end < w - 7 && floorAt(end) == floorAt(start)) {
                ++end;
            }
            // A basin, not a bump: the ground on either side is not lower than the stretch.
            const bool basin =
                floorAt(start - 1) <= floorAt(start) && floorAt(end) <= floorAt(start);
            if (end - start >= 7 && basin && floorAt(start) + 3 < h) {
                for (int x = start + 1; x < end - 1; ++x) {
                    grid.Set(x, floorAt(x), Cell::Liquid);
                    grid.Set(x, floorAt(x) + 1, Cell::Liquid);
                    busy[static_cast<size_t>(x)] = true;
                }
                break;
            }
        }
    }
    // Floating one-way platforms.
    const int platforms = w * h / 260 + random.Range(0, 2);
    for (int tries = 0, made = 0; tries < platforms * 4 && made < platforms; ++tries) {
        const int length = random.Range(3, 6);
        const int x0 = random.Range(4, std::max(4, w - 5 - length));
        const int y = random.Range(4, h - 5);
        bool fits = true;
        for (int x = x0 - 1; x <= x0 + length && fits; ++x) {
            fits = x < w - 2 && y >= ceilingAt(x) + 3 && y <= floorAt(x) - 3 &&
                   grid.At(x, y) == Cell::Air && grid.At(x, y - 1) == Cell::Air &&
                   grid.At(x, y + 1) == Cell::Air;
        }
        if (fits) {
            for (int x = x0; x < x0 + length; ++x) {
                grid.Set(x, y, Cell::Platform);
            }
            ++made;
        }
    }
    // Pillars standing on flat floor.
    for (int i = 0; i < w / 20; ++i) {
        const int x = random.Range(6, w - 7);
        const int base = floorAt(x);
        const int height = random.Range(2, 4);
        if (busy[static_cast<size_t>(x)] || floorAt(x - 1) != base || floorAt(x + 1) != base ||
            base - height - 1 < ceilingAt(x) + 4 || grid.At(x, base - height) != Cell::Air) {
            continue;
        }
        for (int k = 1; k <= height; ++k) {
            grid.Set(x, base - k,
                     k == 1        ? Cell::PillarBase
                     : k == height ? Cell::PillarTop
                                   : Cell::PillarMid);
        }
        busy[static_cast<size_t>(x)] = true;
    }
    // Lamps in the ceiling, machinery set into the floor.
    if (plan.light) {
        for (int x = 4 + random.Range(0, 5); x < w - 4; x += random.Range(7, 14)) {
            if (grid.At(x, ceilingAt(x)) == Cell::Wall &&
                grid.At(x, ceilingAt(x) + 1) == Cell::Air) {
                grid.Set(x, ceilingAt(x), Cell::Light);
            }
        }
    }
    if (plan.machine && w >= 24) {
        const int start = random.Range(7, w - 12);
        for (int x = start; x < start + 4 && floorAt(x) == floorAt(start); ++x) {
            if (!busy[static_cast<size_t>(x)] && grid.At(x, floorAt(x)) == Cell::Wall) {
                grid.Set(x, floorAt(x), Cell::Machine);
            }
        }
    }

    // Door openings: a transition column at the edge, the hatch (or air) beside it, and
    // clear space in front; an upper door gets a ledge to land on.
    std::vector<uint8_t> hatchClips(static_cast<size_t>(w * h), 0);
    for (const DoorPlan& door : plan.doors) {
        const bool left = door.side == DoorSide::Left;
        const int edge = left ? 0 : w - 1;
        const int inner = left ? 1 : w - 2;
        const int top = door.upper ? ceilingAt(edge) + 2 : floorAt(edge) - 4;
        for (int y = top; y < top + 4; ++y) {
            grid.Set(edge, y, Cell::Transition);
            grid.Set(inner, y, door.hatchClip != 0 ? Cell::Hatch : Cell::Air);
            hatchClips[static_cast<size_t>(y * w + inner)] = door.hatchClip;
            for (int k = 2; k < 5; ++k) {
                grid.Set(left ? k : w - 1 - k, y, Cell::Air);
            }
        }
        if (door.upper) {
            for (int k = 2; k < 6; ++k) {
                grid.Set(left ? k : w - 1 - k, top + 4, Cell::Ledge);
            }
        }
        room.doors.push_back({static_cast<uint8_t>(edge), static_cast<uint8_t>(edge),
                              static_cast<uint8_t>(top), static_cast<uint8_t>(top + 3)});
    }

    // Blocks and clip values.
    const int dustyStart = plan.dustyFloor ? random.Range(2, w / 2) : w;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t clip = kClipSolid;
            switch (grid.At(x, y)) {
            case Cell::Air:
            case Cell::Transition:
                clip = grid.At(x, y) == Cell::Air ? kClipAir : kClipDoorTransition;
                break;
            case Cell::Wall:
            case Cell::Ledge:
                SetBlock(room.level, x, y, WallRole(grid, x, y, plan.seed));
                if (x >= dustyStart && x < dustyStart + 8 && !grid.Solid(x, y - 1)) {
                    clip = kClipDusty;
                }
                break;
            case Cell::Platform:
                SetBlock(room.level, x, y,
                         grid.At(x - 1, y) != Cell::Platform   ? Role::PlatformLeft
                         : grid.At(x + 1, y) != Cell::Platform ? Role::PlatformRight
                                                               : Role::PlatformMid);
                clip = kClipPlatform;
                break;
            case Cell::PillarTop:
                SetBlock(room.level, x, y, Role::PillarTop);
                break;
            case Cell::PillarMid:
                SetBlock(room.level, x, y, Role::PillarMid);
                break;
            case Cell::PillarBase:
                SetBlock(room.level, x, y, Role::PillarBase);
                break;
            case Cell::SlopeRise:
                SetBlock(room.level, x, y, Role::SlopeRise);
                clip = kClipSlopeRise;
                break;
            case Cell::SlopeFall:
                SetBlock(room.level, x, y, Role::SlopeFall);
                clip = kClipSlopeFall;
                break;
            case Cell::Liquid:
                SetBlock(room.level, x, y, Role::Liquid);
                clip = kClipWater;
                break;
            case Cell::Light:
                SetBlock(room.level, x, y, Role::Light);
                break;
            case Cell::Machine:
                SetBlock(room.level, x, y, Role::Machine);
                break;
            case Cell::Hatch: {
                const bool topCell = grid.At(x, y - 1) != Cell::Hatch;
                const bool bottomCell = grid.At(x, y + 1) != Cell::Hatch;
                SetBlock(room.level, x, y,
                         topCell      ? Role::HatchTop
                         : bottomCell ? Role::HatchBottom
                                      : Role::HatchMid);
                break;
            }
            }
            if (grid.At(x, y) == Cell::Hatch) {
                clip = hatchClips[static_cast<size_t>(y * w + x)];
            }
            room.clip.SetCell(x, y, clip);
            if (clip == kClipAir && x >= 2 && x < w - 2) {
                const auto spot =
                    std::array<uint8_t, 2>{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                (grid.Solid(x, y + 1) ? room.groundSpots : room.airSpots).push_back(spot);
            }
        }
    }

    // Foreground decoration: vines under the ceiling, grass on the floor, a pipe across.
    if (plan.decorated) {
        for (int x = 2; x < w - 2; ++x) {
            const int below = ceilingAt(x) + 1;
            if (grid.At(x, below) == Cell::Air && random.Chance(12)) {
                const int length = random.Range(1, 3);
                for (int k = 0; k < length && grid.At(x, below + k) == Cell::Air; ++k) {
                    SetBlock(room.foreground, x, below + k,
                             k + 1 == length ? Role::VineEnd : Role::VineMid);
                }
            }
            const int onFloor = floorAt(x) - 1;
            if (grid.At(x, onFloor) == Cell::Air && grid.At(x, floorAt(x)) == Cell::Wall &&
                random.Chance(30)) {
                SetBlock(room.foreground, x, onFloor, Role::Grass);
            }
        }
        if (random.Chance(40)) {
            const int y = random.Range(3, std::max(3, h / 2));
            const int start = random.Range(2, w / 2);
            for (int x = start; x < w - 2 && grid.At(x, y) == Cell::Air && x < start + w / 2; ++x) {
                SetBlock(room.foreground, x, y,
                         (x - start) % 5 == 4 ? Role::PipeJoint : Role::PipeH);
            }
        }
    }
}

void BuildBack(const RoomPlan& plan, BuiltRoom& room) {
    if (!plan.backPattern) {
        return;
    }
    for (int y = 0; y < room.back.Height; ++y) {
        for (int x = 0; x < room.back.Width; ++x) {
            const auto role =
                static_cast<Role>(static_cast<int>(Role::Back0) + (x % 2) + 2 * (y % 2));
            SetBlock(room.back, x, y, role);
        }
    }
    if (plan.highBits) {
        const int y = room.back.Height / 2;
        for (int x = 0; x < room.back.Width; ++x) {
            const int value = BlockOf(Role::Back0) | (((x % 63) + 1) << 10);
            room.back.SetCell(x, y, static_cast<int16_t>(static_cast<uint16_t>(value)));
        }
    }
}

} // namespace

BuiltRoom BuildRoom(const RoomPlan& plan) {
    BuiltRoom room;
    room.level = RoomLayer(plan.width, plan.height);
    room.foreground = RoomLayer(plan.width, plan.height);
    room.clip = RoomLayer(plan.width, plan.height);
    room.back = RoomLayer(plan.backWidth != 0 ? plan.backWidth : plan.width,
                          plan.backHeight != 0 ? plan.backHeight : plan.height);
    if (plan.shape == RoomShape::Tiny) {
        BuildTiny(plan, room);
    } else {
        BuildNormal(plan, room);
    }
    BuildBack(plan, room);
    return room;
}

} // namespace quarnel::synthetic
