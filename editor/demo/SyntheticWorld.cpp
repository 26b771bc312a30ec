#include "demo/SyntheticWorld.h"

#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"
#include "rom/RoomHeader.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <span>

namespace quarnel::synthetic {

namespace {

constexpr std::array<int, 7> kZmRoomCounts{42, 42, 57, 33, 20, 22, 99};
constexpr std::array<int, 10> kMfRoomCounts{87, 54, 61, 39, 48, 52, 41, 4, 4, 3};
constexpr size_t kMaxDoorsPerArea = 254; // plus the closing record: the count fits a byte

// Rooms that are not ordinary: the one 255 x 255 room, tiny rooms and rooms without a level.
struct SpecialRoom {
    size_t area;
    size_t room;
    uint8_t width; // 0: an ordinary size
    uint8_t height;
    bool levelAbsent;
};

constexpr std::array<SpecialRoom, 5> kZmSpecialRooms{{
    {6, 98, 255, 255, false},
    {6, 97, 0, 0, true},
    {4, 19, 1, 1, false},
    {5, 21, 3, 2, false},
    {3, 32, 6, 4, false},
}};

constexpr std::array<SpecialRoom, 6> kMfSpecialRooms{{
    {7, 0, 255, 255, false},
    {7, 1, 1, 1, false},
    {7, 3, 2, 3, false},
    {8, 1, 0, 0, true},
    {8, 2, 5, 5, false},
    {9, 0, 4, 1, false},
}};

// The tileset records: one group of records per area, each group in one theme (a fifth of
// its records in the next group's), with palette variants and animated tilesets.
std::vector<TilesetPlan> PlanTilesets(Game game, Random& random, size_t groups) {
    const size_t count = game == Game::ZM ? kZmRealTilesetCount : kMfLayout.tilesetCount;
    std::vector<size_t> themes(ThemeCount());
    std::iota(themes.begin(), themes.end(), 0);
    for (size_t i = themes.size(); i > 1; --i) {
        std::swap(themes[i - 1], themes[random.Below(static_cast<uint32_t>(i))]);
    }
    std::vector<size_t> groupThemes;
    for (size_t g = 0; g < groups; ++g) {
        groupThemes.push_back(themes[g % themes.size()]);
    }
    std::vector<TilesetPlan> plans;
    const size_t perGroup = (count + groups - 1) / groups;
    for (size_t t = 0; t < count; ++t) {
        const size_t group = std::min(t / perGroup, groups - 1);
        TilesetPlan plan{};
        plan.theme = random.Chance(20) ? groupThemes[(group + 1) % groups] : groupThemes[group];
        plan.variant = static_cast<int>(t % 3);
        constexpr std::array<uint8_t, 4> kLavaSets{2, 5, 2, 0};
        constexpr std::array<uint8_t, 6> kWaterSets{1, 3, 4, 6, 7, 0};
        plan.animatedTileset =
            ThemeOf(plan.theme).lava ? kLavaSets[random.Below(4)] : kWaterSets[random.Below(6)];
        plan.animationField = plan.animatedTileset;
        if (t % 17 == 5) {
            plan.animationField |= 0x100u; // bits above the low byte mean nothing
        }
        plans.push_back(plan);
    }
    return plans;
}

// The minimap cells a room covers, and its place: rooms run left to right in bands, so
// consecutive rooms sit side by side like the doors that join them.
class MiniMapCursor {
public:
    void Place(RoomSpec& design, int width, int height) {
        if (m_x + width > 31) {
            m_x = 1;
            m_y += m_band;
            m_band = 0;
        }
        if (m_y + height > 31) {
            m_y = 1;
        }
        design.miniMapX = static_cast<uint8_t>(m_x);
        design.miniMapY = static_cast<uint8_t>(m_y);
        design.miniMapWidth = static_cast<uint8_t>(width);
        design.miniMapHeight = static_cast<uint8_t>(height);
        m_x += width;
        m_band = std::max(m_band, height);
    }

private:
    int m_x = 1;
    int m_y = 1;
    int m_band = 0;
};

LayerEncoding PickEncoding(Random& random, bool forceWide, bool forceMixed) {
    LayerEncoding encoding;
    encoding.minRun = random.Chance(30) ? 2 : 3;
    const uint32_t pick = random.Below(100);
    if (forceWide || (!forceMixed && pick < 10)) {
        encoding.low = CountWidth::Word;
        encoding.high = CountWidth::Word;
    } else if (forceMixed || pick < 15) {
        encoding.low = pick % 2 == 0 ? CountWidth::Byte : CountWidth::Word;
        encoding.high = encoding.low == CountWidth::Byte ? CountWidth::Word : CountWidth::Byte;
    }
    return encoding;
}

uint8_t PickProps(Random& random, uint32_t presentPercent, uint8_t absentA, uint8_t absentB) {
    const uint32_t pick = random.Below(100);
    return pick < presentPercent ? kLayerPresent : pick % 2 == 0 ? absentA : absentB;
}

RoomSpec PlanRoom(Game game, size_t area, size_t index, size_t roomCount,
                  const std::vector<TilesetPlan>& tilesets, std::pair<size_t, size_t> group,
                  uint32_t seed, Random& random) {
    RoomSpec design{};
    RoomPlan& plan = design.plan;
    plan.seed = Mix64((static_cast<uint64_t>(seed) << 20) ^ (area << 12) ^ index);
    design.tileset = static_cast<uint8_t>(
        group.first + random.Below(static_cast<uint32_t>(group.second - group.first)));
    const TilesetPlan& tileset = tilesets[design.tileset];
    const auto& slots = AnimatedTilesetPlans()[tileset.animatedTileset];
    plan.liquid = slots.size() > static_cast<size_t>(kLiquidSlot);
    plan.light = slots.size() > static_cast<size_t>(kLightSlot);
    plan.machine = slots.size() > static_cast<size_t>(kMachineSlot);

    // Sizes in screens of 15 x 10 blocks plus a border; big areas have smaller rooms.
    const int maxCells = roomCount > 60 ? 4 : 8;
    int screensX = random.Range(1, roomCount > 60 ? 3 : 5);
    int screensY = random.Range(1, 3);
    while (screensX * screensY > maxCells) {
        --screensY;
    }
    int width = 15 * screensX + 4 + (random.Chance(10) ? random.Range(1, 11) : 0);
    int height = 10 * screensY + 4;
    bool levelAbsent = false;
    const std::span<const SpecialRoom> specials =
        game == Game::ZM ? std::span<const SpecialRoom>(kZmSpecialRooms)
                         : std::span<const SpecialRoom>(kMfSpecialRooms);
    for (const SpecialRoom& special : specials) {
        if (special.area == area && special.room == index) {
            if (special.width != 0) {
                width = special.width;
                height = special.height;
            }
            levelAbsent = special.levelAbsent;
        }
    }
    plan.width = static_cast<uint8_t>(width);
    plan.height = static_cast<uint8_t>(height);
    plan.shape = width < 12 || height < 12 ? RoomShape::Tiny : RoomShape::Normal;
    const bool huge = width * height > 6144;

    plan.decorated = !huge && random.Chance(55);
    plan.backPattern = !huge && random.Chance(60);
    if (plan.backPattern && plan.shape == RoomShape::Normal && random.Chance(8)) {
        plan.backWidth = static_cast<uint8_t>(width / 2);
        plan.backHeight = static_cast<uint8_t>(height / 2);
    }
    plan.dustyFloor = random.Chance(20);

    // Every seed gets a room with 16-bit counts whose back layer uses bits 10-15, and a room
    // whose two passes differ in count width.
    const bool forceWide = area == 0 && index == 3;
    const bool forceMixed = area == 1 && index == 0;
    design.encoding = huge ? LayerEncoding{} : PickEncoding(random, forceWide, forceMixed);
    const bool wide =
        design.encoding.low == CountWidth::Word || design.encoding.high == CountWidth::Word;
    if (forceWide) {
        plan.backPattern = true;
    }
    plan.highBits = plan.backPattern && wide && (forceWide || random.Chance(50));

    design.foregroundProps = huge ? 0x00 : PickProps(random, 80, 0x00, 0x40);
    design.levelProps = levelAbsent ? 0x00 : kLayerPresent;
    design.backProps = huge ? 0x40 : PickProps(random, 85, 0x00, 0x08);
    if (forceWide) {
        design.backProps = kLayerPresent;
    }

    design.miniMapWidth = static_cast<uint8_t>(std::clamp(width / 15, 1, 4));
    design.miniMapHeight = static_cast<uint8_t>(std::clamp(height / 10, 1, 4));
    return design;
}

// Joins two rooms: a door on the right of one and on the left of the other, of one type.
void Link(AreaSpec& area, size_t from, size_t to, bool upper, Random& random,
          std::vector<std::array<size_t, 2>>& pairs) {
    const uint32_t pick = random.Below(10);
    const uint8_t type = pick < 5 ? 3 : pick < 7 ? 4 : 2; // open hatch, closed hatch, no hatch
    const uint8_t hatch = type == 3 ? kClipBlueHatch : type == 4 ? kClipOtherHatch : 0;
    const uint8_t flags = random.Chance(8) ? 0x20 : 0;
    auto add = [&](size_t room, DoorSide side) {
        area.rooms[room].plan.doors.push_back({side, upper, hatch});
        const int8_t exitX = side == DoorSide::Left ? 32 : -32;
        area.doors.push_back({room, area.rooms[room].plan.doors.size() - 1,
                              static_cast<uint8_t>(type | flags), 0, exitX,
                              static_cast<int8_t>(upper ? -16 : 0)});
        return area.doors.size() - 1;
    };
    const size_t a = add(from, DoorSide::Right);
    const size_t b = add(to, DoorSide::Left);
    pairs.push_back({a, b});
}

void PlanDoors(AreaSpec& area, Random& random) {
    std::vector<size_t> linked;
    for (size_t r = 0; r < area.rooms.size(); ++r) {
        if (area.rooms[r].plan.shape == RoomShape::Normal) {
            linked.push_back(r);
        }
    }
    std::vector<std::array<size_t, 2>> pairs;
    for (size_t i = 0; i + 1 < linked.size(); ++i) {
        Link(area, linked[i], linked[i + 1], false, random, pairs);
    }
    // Tall rooms also join through upper doors, as far as the table can take them.
    std::vector<size_t> tall;
    for (size_t r : linked) {
        if (area.rooms[r].plan.height >= 24) {
            tall.push_back(r);
        }
    }
    for (size_t i = 0; i + 1 < tall.size() && area.doors.size() + 3 <= kMaxDoorsPerArea; i += 2) {
        Link(area, tall[i], tall[i + 1], true, random, pairs);
    }
    // The lift to another area, in the first room.
    if (!linked.empty()) {
        RoomPlan& first = area.rooms[linked.front()].plan;
        first.doors.push_back({DoorSide::Left, false, 0});
        area.doors.push_back({linked.front(), first.doors.size() - 1, 1, 0, 32, 0});
        pairs.push_back({area.doors.size() - 1, area.doors.size() - 1});
    }
    // The table lists doors by room; destinations follow the new order.
    std::vector<size_t> order(area.doors.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const DoorLink& x = area.doors[a];
        const DoorLink& y = area.doors[b];
        return x.room != y.room ? x.room < y.room : x.door < y.door;
    });
    std::vector<size_t> position(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        position[order[i]] = i;
    }
    for (const auto& pair : pairs) {
        area.doors[pair[0]].destination = position[pair[1]];
        area.doors[pair[1]].destination = position[pair[0]];
    }
    std::vector<DoorLink> sorted;
    for (size_t i : order) {
        sorted.push_back(area.doors[i]);
    }
    area.doors = std::move(sorted);
}

// The gaps after the room tables. The editor rounds (gap / 60) to the nearest whole number,
// halves to even, so a gap below 30 bytes, or of exactly 30 after an even count, still counts
// only the rooms that are there. Every seed gets one 30-byte gap (a quotient of x.5 that
// rounds down) and one gap of 29 bytes after an odd count; AQA's gap would round up, which
// only the editor's fixed count of 48 hides.
void PlanTails(Game game, std::vector<AreaSpec>& areas, Random& random) {
    constexpr std::array<uint32_t, 6> kTails{0, 2, 8, 14, 20, 26};
    bool half = false;
    bool odd = false;
    for (size_t a = 0; a + 1 < areas.size(); ++a) {
        const size_t count = areas[a].rooms.size();
        if (static_cast<int>(a) == LayoutOf(game)->fixedCountArea) {
            areas[a].tail = 40;
        } else if (!half && count % 2 == 0) {
            areas[a].tail = 30;
            half = true;
        } else if (!odd && count % 2 == 1) {
            areas[a].tail = 29;
            odd = true;
        } else {
            areas[a].tail = kTails[random.Below(kTails.size())];
        }
    }
}

} // namespace

const std::vector<AnimatedGraphicsPlan>& AnimatedGraphicsPlans() {
    static const std::vector<AnimatedGraphicsPlan> plans = [] {
        std::vector<AnimatedGraphicsPlan> list{
            {Motion::Still, 0, 0, 1}, {Motion::Water, 1, 1, 4},    {Motion::Blink, 1, 2, 2},
            {Motion::Lava, 1, 1, 4},  {Motion::Conveyor, 1, 1, 4}, {Motion::Screen, 1, 2, 3},
            {Motion::Flow, 1, 1, 4},  {Motion::Pulse, 1, 1, 3},    {Motion::Water, 1, 2, 4},
            {Motion::Blink, 1, 1, 2},
        };
        while (list.size() < 20) {
            list.push_back({Motion::Still, 0, 0, 1});
        }
        return list;
    }();
    return plans;
}

const std::vector<std::vector<AnimatedSlotPlan>>& AnimatedTilesetPlans() {
    static const std::vector<std::vector<AnimatedSlotPlan>> plans{
        {},
        {{1, 0, 8}, {2, 0, 9}, {5, 0, 5}},
        {{3, 0, 3}, {7, 0x1A, 2}, {4, 0, 4}},
        {{6, 0, 6}, {2, 0, 9}, {4, 0x0C, 5}},
        {{1, 0, 6}, {7, 0, 7}, {5, 0x21, 4}, {6, 0, 6}},
        {{3, 0, 3}, {2, 0x05, 9}},
        {{6, 0, 1}},
        {{8, 0, 1}, {9, 0, 2}},
    };
    return plans;
}

WorldPlan PlanWorld(Game game, uint32_t seed) {
    Random random(seed, static_cast<uint64_t>(game) * 1000 + 1);
    const bool zm = game == Game::ZM;
    const size_t areaCount = zm ? kZmRoomCounts.size() : kMfRoomCounts.size();

    WorldPlan world;
    world.tilesets = PlanTilesets(game, random, areaCount);
    const size_t perGroup = (world.tilesets.size() + areaCount - 1) / areaCount;

    for (size_t a = 0; a < areaCount; ++a) {
        AreaSpec area;
        const auto count = static_cast<size_t>(zm ? kZmRoomCounts[a] : kMfRoomCounts[a]);
        const size_t first = a * perGroup;
        const std::pair<size_t, size_t> group{first,
                                              std::min(first + perGroup, world.tilesets.size())};
        MiniMapCursor cursor;
        for (size_t r = 0; r < count; ++r) {
            RoomSpec design = PlanRoom(game, a, r, count, world.tilesets, group, seed, random);
            cursor.Place(design, design.miniMapWidth, design.miniMapHeight);
            area.rooms.push_back(std::move(design));
        }
        PlanDoors(area, random);
        world.areas.push_back(std::move(area));
    }
    PlanTails(game, world.areas, random);
    return world;
}

} // namespace quarnel::synthetic
