// Assembles the synthetic art into the games' forms: tiles found once and reused under
// flips, block tables of TileEntry words, palette rows of GBA colours, common tiles and the
// minimap graphics.

#include "demo/SyntheticArt.h"

#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"

#include <cstdlib>
#include <map>
#include <stdexcept>

namespace quarnel::synthetic {

namespace {

using Tile = std::array<uint8_t, 32>;

constexpr uint16_t kHFlip = 1u << 10;
constexpr uint16_t kVFlip = 1u << 11;
constexpr uint16_t kFirstOwnTile = 192;
constexpr uint16_t kOwnTileCount = 648;
constexpr uint16_t kCommonFirstTile = 64;

// The 8x8 quarter (qx, qy) of a block, optionally mirrored, in GBA 4bpp layout: 8 rows of
// 4 bytes, the left pixel of each pair in the low nibble.
Tile PackTile(const Shades& shades, int qx, int qy, bool hflip, bool vflip) {
    Tile tile{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int sx = hflip ? 7 - x : x;
            const int sy = vflip ? 7 - y : y;
            const uint8_t value = shades[static_cast<size_t>((qy * 8 + sy) * 16 + qx * 8 + sx)];
            auto& byte = tile[static_cast<size_t>(y * 4 + x / 2)];
            byte = static_cast<uint8_t>(byte | (x % 2 == 1 ? value << 4 : value));
        }
    }
    return tile;
}

// The tileset's own tiles, each stored once: a quarter that equals a stored tile mirrored
// refers to that tile with the flip bits set.
class TileBank {
public:
    uint16_t Add(const Shades& shades, int qx, int qy) {
        for (const uint16_t flips : {uint16_t{0}, kHFlip, kVFlip, uint16_t(kHFlip | kVFlip)}) {
            const Tile tile =
                PackTile(shades, qx, qy, (flips & kHFlip) != 0, (flips & kVFlip) != 0);
            const auto known = m_index.find(tile);
            if (known != m_index.end()) {
                return static_cast<uint16_t>(known->second | flips);
            }
        }
        if (m_tiles.size() == kOwnTileCount) {
            throw std::logic_error("synthetic tileset: more than 648 distinct tiles");
        }
        const auto number = static_cast<uint16_t>(kFirstOwnTile + m_tiles.size());
        const Tile tile = PackTile(shades, qx, qy, false, false);
        m_tiles.push_back(tile);
        m_index.emplace(tile, number);
        return number;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes(kTilesetGraphicsSize, 0);
        for (size_t i = 0; i < m_tiles.size(); ++i) {
            std::copy(m_tiles[i].begin(), m_tiles[i].end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(i * 32));
        }
        return bytes;
    }

private:
    std::vector<Tile> m_tiles;
    std::map<Tile, uint16_t> m_index;
};

// The palette row each painted block uses.
uint16_t RowOf(Role role) {
    switch (role) {
    case Role::Fill2:
        return 4;
    case Role::PlatformLeft:
    case Role::PlatformMid:
    case Role::PlatformRight:
    case Role::PillarTop:
    case Role::PillarMid:
    case Role::PillarBase:
        return 6;
    case Role::Back0:
    case Role::Back1:
    case Role::Back2:
        return 7;
    case Role::Back3:
        return 8;
    case Role::VineMid:
    case Role::VineEnd:
    case Role::Grass:
        return 9;
    case Role::PipeH:
    case Role::PipeJoint:
    case Role::PipeV:
        return 10;
    case Role::Liquid:
        return 11;
    case Role::Light:
        return 12;
    case Role::Machine:
        return 13;
    case Role::HatchTop:
    case Role::HatchMid:
    case Role::HatchBottom:
        return 1;
    default:
        return 3;
    }
}

bool IsPainted(Role role) {
    return role != Role::Empty && role != Role::Liquid && role != Role::Light &&
           role != Role::Machine && role != Role::HatchTop && role != Role::HatchMid &&
           role != Role::HatchBottom && role != Role::Count;
}

struct Rgb {
    int r, g, b; // 0-255
};

Rgb Hsv(int hue, int sat, int val) {
    hue = ((hue % 360) + 360) % 360;
    sat = std::max(0, std::min(255, sat));
    val = std::max(0, std::min(255, val));
    const int region = hue / 60;
    const int rest = (hue % 60) * 255 / 60;
    const int p = val * (255 - sat) / 255;
    const int q = val * (255 - sat * rest / 255) / 255;
    const int t = val * (255 - sat * (255 - rest) / 255) / 255;
    switch (region) {
    case 0:
        return {val, t, p};
    case 1:
        return {q, val, p};
    case 2:
        return {p, val, t};
    case 3:
        return {p, q, val};
    case 4:
        return {t, p, val};
    default:
        return {val, p, q};
    }
}

uint16_t Gba(Rgb colour) {
    return static_cast<uint16_t>((colour.r >> 3) | ((colour.g >> 3) << 5) |
                                 ((colour.b >> 3) << 10));
}

// One palette row: colour 0 transparent (stored as 0), 1-9 the main ramp dark to light,
// 10-15 the accent ramp.
struct RowColours {
    int hue, sat, low, high;
    int accentHue, accentSat, accentLow, accentHigh;
};

std::array<uint16_t, 16> Row(const RowColours& c) {
    std::array<uint16_t, 16> row{};
    for (int i = 1; i <= 9; ++i) {
        const int t = i - 1;
        row[static_cast<size_t>(i)] =
            Gba(Hsv(c.hue - 8 + 2 * t, c.sat - t * c.sat / 24, c.low + (c.high - c.low) * t / 8));
    }
    for (int i = 10; i <= 15; ++i) {
        const int t = i - 10;
        row[static_cast<size_t>(i)] = Gba(Hsv(c.accentHue, c.accentSat - t * c.accentSat / 15,
                                              c.accentLow + (c.accentHigh - c.accentLow) * t / 5));
    }
    return row;
}

void AppendRow(std::vector<uint16_t>& colours, const RowColours& c, size_t from = 0) {
    const auto row = Row(c);
    colours.insert(colours.end(), row.begin() + static_cast<std::ptrdiff_t>(from), row.end());
}

// A shade image of an 8x8 minimap tile, in the top-left quarter of a block.
std::vector<uint8_t> PackMiniTile(const Shades& shades) {
    const Tile tile = PackTile(shades, 0, 0, false, false);
    return {tile.begin(), tile.end()};
}

} // namespace

uint16_t BlockOf(Role role) {
    switch (role) {
    case Role::Liquid:
        return 0x30;
    case Role::Light:
        return 0x31;
    case Role::Machine:
        return 0x32;
    case Role::HatchTop:
        return 0x104;
    case Role::HatchMid:
        return 0x105;
    case Role::HatchBottom:
        return 0x106;
    case Role::Back0:
    case Role::Back1:
    case Role::Back2:
    case Role::Back3:
        return static_cast<uint16_t>(0x140 + static_cast<int>(role) -
                                     static_cast<int>(Role::Back0));
    case Role::VineMid:
    case Role::VineEnd:
    case Role::Grass:
    case Role::PipeH:
    case Role::PipeJoint:
    case Role::PipeV:
        return static_cast<uint16_t>(0x280 + static_cast<int>(role) -
                                     static_cast<int>(Role::VineMid));
    default:
        return static_cast<uint16_t>(role); // Empty 0, the wall set from 1
    }
}

std::vector<uint8_t> PackBlockTiles(const Shades& shades) {
    std::vector<uint8_t> bytes;
    for (int q = 0; q < 4; ++q) {
        const Tile tile = PackTile(shades, q % 2, q / 2, false, false);
        bytes.insert(bytes.end(), tile.begin(), tile.end());
    }
    return bytes;
}

TilesetArt PaintTilesetArt(size_t theme, uint64_t seed) {
    TileBank bank;
    std::vector<uint16_t> words(kBlockTableWords, 0);
    auto setBlock = [&](uint16_t block, const std::array<uint16_t, 4>& entries) {
        for (size_t q = 0; q < 4; ++q) {
            words[1 + 4 * static_cast<size_t>(block) + q] = entries[q];
        }
    };

    const uint16_t blank = bank.Add(Shades{}, 0, 0);
    std::vector<bool> used(1024, false);
    std::vector<std::array<uint16_t, 4>> painted;
    const auto paintSeed = static_cast<uint32_t>(seed);
    for (int r = 0; r < static_cast<int>(Role::Count); ++r) {
        const auto role = static_cast<Role>(r);
        const uint16_t block = BlockOf(role);
        const uint16_t row = static_cast<uint16_t>(RowOf(role) << 12);
        std::array<uint16_t, 4> entries{};
        if (role == Role::Empty) {
            entries.fill(blank);
        } else if (IsPainted(role)) {
            const Shades shades = PaintRole(theme, role, paintSeed);
            for (int q = 0; q < 4; ++q) {
                entries[static_cast<size_t>(q)] =
                    static_cast<uint16_t>(bank.Add(shades, q % 2, q / 2) | row);
            }
            painted.push_back(entries);
        } else {
            // Animated slots show tiles 4s..4s+3; hatches use the common tiles.
            const bool hatch =
                role == Role::HatchTop || role == Role::HatchMid || role == Role::HatchBottom;
            const int first = hatch ? kCommonFirstTile + 4 * (r - static_cast<int>(Role::HatchTop))
                                    : 4 * (r - static_cast<int>(Role::Liquid));
            for (int q = 0; q < 4; ++q) {
                entries[static_cast<size_t>(q)] = static_cast<uint16_t>((first + q) | row);
            }
        }
        setBlock(block, entries);
        used[block] = true;
    }
    // The rest of the 1,024 drawn blocks: the painted blocks again in other palette rows.
    for (uint16_t b = 0; b < 1024; ++b) {
        if (used[b]) {
            continue;
        }
        std::array<uint16_t, 4> entries = painted[(b * 7u) % painted.size()];
        for (uint16_t& entry : entries) {
            const int row = entry >> 12;
            const int shifted = 3 + (row - 3 + 1 + b % 12) % 13;
            entry = static_cast<uint16_t>((entry & 0x0FFF) | (shifted << 12));
        }
        setBlock(b, entries);
    }

    TilesetArt art;
    art.tiles = bank.Bytes();
    art.blockTable = std::move(words);
    for (int i = 0; i < 16; ++i) {
        const std::vector<uint8_t> tiles = PackBlockTiles(PaintBackdropBlock(theme, i, paintSeed));
        art.backdrop.insert(art.backdrop.end(), tiles.begin(), tiles.end());
    }
    return art;
}

std::vector<uint16_t> PaintTilesetPalette(size_t themeIndex, int variant) {
    const Theme& theme = ThemeOf(themeIndex);
    constexpr std::array<int, 3> kMainShift{0, 32, -45};
    constexpr std::array<int, 3> kAccentShift{0, -30, 50};
    const int main = theme.mainHue + kMainShift[static_cast<size_t>(variant % 3)];
    const int accent = theme.accentHue + kAccentShift[static_cast<size_t>(variant % 3)];
    const int sat = theme.mainSat;
    const int accentSat = theme.accentSat;

    std::vector<uint16_t> colours(16, 0); // local row 0: only the transparent colour
    AppendRow(colours, {main, sat, 30, 215, accent, accentSat, 70, 250});                  // 3 wall
    AppendRow(colours, {main + 14, sat * 4 / 5, 35, 200, accent, accentSat, 70, 240});     // 4
    AppendRow(colours, {main - 20, sat, 40, 230, accent + 60, accentSat, 80, 250});        // 5
    AppendRow(colours, {215, 50, 40, 235, main, sat, 80, 250});                            // 6
    AppendRow(colours, {main, sat * 3 / 4, 16, 120, accent, accentSat / 2, 40, 140});      // 7 back
    AppendRow(colours, {main + 20, sat * 3 / 4, 20, 130, accent, accentSat / 2, 40, 150}); // 8
    AppendRow(colours, {110 + kMainShift[static_cast<size_t>(variant % 3)] / 2, 160, 30, 220, 320,
                        150, 120, 255});                       // 9 plants
    AppendRow(colours, {200, 40, 35, 230, 10, 200, 100, 255}); // 10 pipes
    if (theme.lava) {
        AppendRow(colours, {14, 230, 80, 255, 45, 120, 200, 255}); // 11 lava
    } else {
        AppendRow(colours, {205, 200, 50, 240, 190, 40, 180, 255}); // 11 water
    }
    AppendRow(colours, {50, 180, 40, 200, 45, 200, 150, 255});   // 12 lights
    AppendRow(colours, {140, 90, 20, 120, 120, 210, 110, 255});  // 13 screens
    AppendRow(colours, {45, 170, 40, 240, 20, 150, 120, 255});   // 14 gold
    AppendRow(colours, {225, 140, 30, 200, 280, 100, 100, 240}); // 15 sky
    for (int k = 0; k < 14; ++k) { // the rows beyond the background palette
        AppendRow(colours, {k * 26, 170, 40, 250, k * 26 + 180, 150, 90, 255});
    }
    colours.push_back(Gba({248, 248, 248}));
    return colours;
}

std::vector<uint8_t> PaintCommonTiles(int style) {
    std::vector<uint8_t> bytes;
    for (int block = 0; block < 32; ++block) {
        const std::vector<uint8_t> tiles = PackBlockTiles(PaintCommonBlock(block, style));
        bytes.insert(bytes.end(), tiles.begin(), tiles.end());
    }
    return bytes;
}

std::vector<uint16_t> PaintCommonPalette(Game game) {
    std::vector<uint16_t> colours;
    AppendRow(colours, {210, 25, 40, 230, 48, 200, 120, 255}, 1); // row 0 without colour 0
    AppendRow(colours, {215, 180, 40, 240, 190, 150, 130, 255});  // row 1: door hatches
    if (game == Game::MF) {
        AppendRow(colours, {0, 190, 50, 240, 30, 200, 130, 255});
        colours.push_back(0);
    }
    return colours;
}

std::vector<uint8_t> PaintMiniMapTiles() {
    std::vector<uint8_t> bytes(32, 0); // tile 0: blank
    // Index 1 wall line, 2 room, 3 grid line, 4 background, 5 icon.
    for (int walls = 0; walls < 16; ++walls) {
        Shades shades{};
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool wall = ((walls & 1) && x == 0) || ((walls & 2) && x == 7) ||
                                  ((walls & 4) && y == 0) || ((walls & 8) && y == 7);
                shades[static_cast<size_t>(y * 16 + x)] = wall ? 1 : 2;
            }
        }
        const auto tile = PackMiniTile(shades);
        bytes.insert(bytes.end(), tile.begin(), tile.end());
    }
    Shades background{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            background[static_cast<size_t>(y * 16 + x)] = (x == 0 || y == 0) ? 3 : 4;
        }
    }
    const auto backgroundTile = PackMiniTile(background);
    bytes.insert(bytes.end(), backgroundTile.begin(), backgroundTile.end());
    for (int icon = 0; icon < 4; ++icon) {
        Shades shades{};
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int dx = 2 * x - 7;
                const int dy = 2 * y - 7;
                bool mark = false;
                switch (icon) {
                case 0: // item: a dot
                    mark = dx * dx + dy * dy <= 12;
                    break;
                case 1: // save room: a frame
                    mark = (x == 2 || x == 5 || y == 2 || y == 5) && x >= 2 && x <= 5 && y >= 2 &&
                           y <= 5;
                    break;
                case 2: // elevator: an arrow
                    mark = (y >= 2 && std::abs(dx) <= 1) ||
                           (y == 2 + std::abs(dx) / 2 && std::abs(dx) <= 5);
                    break;
                default: // boss: a cross
                    mark = (std::abs(dx - dy) <= 1 || std::abs(dx + dy) <= 1) && std::abs(dx) <= 5;
                    break;
                }
                shades[static_cast<size_t>(y * 16 + x)] = mark ? 5 : 2;
            }
        }
        const auto tile = PackMiniTile(shades);
        bytes.insert(bytes.end(), tile.begin(), tile.end());
    }
    bytes.resize(kZmMiniMapTilesSize, 0);
    return bytes;
}

std::vector<uint16_t> PaintMiniMapPalette() {
    std::vector<uint16_t> colours;
    constexpr std::array<int, 5> kHues{220, 330, 0, 120, 30};
    constexpr std::array<int, 5> kSats{200, 150, 0, 170, 190};
    for (size_t row = 0; row < kHues.size(); ++row) {
        std::array<uint16_t, 16> colour{};
        colour[1] = Gba({248, 248, 248});
        colour[2] = Gba(Hsv(kHues[row], kSats[row], 200));
        colour[3] = Gba(Hsv(kHues[row], kSats[row] / 2, 90));
        colour[4] = Gba(Hsv(kHues[row], kSats[row] / 2, 50));
        colour[5] = Gba(Hsv(50, 220, 255));
        for (size_t i = 6; i < 16; ++i) {
            colour[i] = Gba(Hsv(kHues[row], kSats[row], static_cast<int>(i) * 15));
        }
        colours.insert(colours.end(), colour.begin(), colour.end());
    }
    return colours;
}

} // namespace quarnel::synthetic
