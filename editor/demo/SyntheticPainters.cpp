// The shade painters of the synthetic art: materials, the room building blocks, the common
// blocks and the backdrop. All integer arithmetic, so the pictures are the same everywhere.

#include "demo/SyntheticArt.h"
#include "demo/SyntheticRandom.h"

#include <algorithm>
#include <cstdlib>

namespace quarnel::synthetic {

namespace {

// Colour index ranges within a row: the main ramp, dark to light, and the accent ramp.
constexpr int kMainDark = 1;
constexpr int kMainLight = 9;
constexpr int kAccentDark = 10;
constexpr int kAccentLight = 15;

constexpr std::array<Theme, 8> kThemes{{
    {Material::Rock, Material::Rock, 28, 140, 100, 170, false},       // cavern, mossy
    {Material::Brick, Material::Brick, 12, 150, 40, 150, false},      // ruins
    {Material::Metal, Material::Metal, 210, 70, 185, 190, false},     // station
    {Material::Metal, Material::Brick, 30, 40, 22, 210, false},       // machinery, rusty
    {Material::Crystal, Material::Rock, 265, 130, 190, 170, false},   // crystal caves
    {Material::Organic, Material::Organic, 330, 120, 55, 190, false}, // hive
    {Material::Rock, Material::Brick, 8, 170, 28, 230, true},         // magma
    {Material::Brick, Material::Metal, 42, 130, 205, 170, false},     // temple
}};

// One period of a sine wave in 16 steps, amplitude 4.
constexpr std::array<int, 16> kSine{0, 2, 3, 4, 4, 4, 3, 2, 0, -2, -3, -4, -4, -4, -3, -2};

int Clamp(int value, int lo, int hi) {
    return std::max(lo, std::min(hi, value));
}

void Put(Shades& shades, int x, int y, int value) {
    if (x >= 0 && x < 16 && y >= 0 && y < 16) {
        shades[static_cast<size_t>(y * 16 + x)] = static_cast<uint8_t>(Clamp(value, 0, 15));
    }
}

int Get(const Shades& shades, int x, int y) {
    return shades[static_cast<size_t>(y * 16 + x)];
}

// Value noise 0-255 on a lattice of `cell` pixels that repeats every `period` pixels, so
// blocks painted from it tile without seams.
int Noise(int x, int y, int cell, int period, uint32_t seed) {
    const int n = period / cell;
    auto lattice = [&](int i, int j) {
        return static_cast<int>(Hash(seed, static_cast<uint32_t>((i % n + n) % n),
                                     static_cast<uint32_t>((j % n + n) % n)) &
                                0xFF);
    };
    const int gx = x / cell;
    const int gy = y / cell;
    const int fx = x % cell;
    const int fy = y % cell;
    const int top = lattice(gx, gy) * (cell - fx) + lattice(gx + 1, gy) * fx;
    const int bottom = lattice(gx, gy + 1) * (cell - fx) + lattice(gx + 1, gy + 1) * fx;
    return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

int Fractal(int x, int y, int period, uint32_t seed) {
    return (4 * Noise(x, y, 8, period, seed) + 2 * Noise(x, y, 4, period, seed + 1) +
            Noise(x, y, 2, period, seed + 2)) /
           7;
}

int RockShade(int x, int y, int period, uint32_t seed) {
    const int n = Fractal(x, y, period, seed);
    const int crack = Noise(x, y, 4, period, seed + 7);
    if (std::abs(crack - 128) < 9 && n < 170) {
        return kMainDark;
    }
    int shade = 2 + n * 6 / 256;
    if (n > 205) {
        shade = 8;
    }
    return shade;
}

int BrickShade(int x, int y, int period, uint32_t seed) {
    const int h = period / 4;
    const int w = period / 2;
    const int row = y / h;
    const int offset = (row % 2) * (w / 2);
    const int bx = (x + offset) % w;
    const int by = y % h;
    if (by == h - 1 || bx == w - 1) {
        return kMainDark;
    }
    const auto column = static_cast<uint32_t>(((x + offset) / w) % 2);
    int shade = 4 + static_cast<int>(Hash(seed, static_cast<uint32_t>(row), column) % 3);
    if (by == 0) {
        shade += 2;
    } else if (bx == 0) {
        shade += 1;
    } else if (by == h - 2) {
        shade -= 1;
    }
    if ((Hash(seed + 3, static_cast<uint32_t>(x), static_cast<uint32_t>(y)) & 15) == 0) {
        shade -= 1;
    }
    return Clamp(shade, 2, kMainLight);
}

int MetalShade(int x, int y, int period, uint32_t seed) {
    const int px = x % period;
    const int py = y % period;
    const int last = period - 1;
    if (px == 0 || py == 0) {
        return 8;
    }
    if (px == last || py == last) {
        return 2;
    }
    for (int cx : {2, last - 2}) {
        for (int cy : {2, last - 2}) {
            if (px == cx && py == cy) {
                return kMainLight;
            }
            if (px == cx + 1 && py == cy + 1) {
                return 3;
            }
        }
    }
    const bool vents = (seed & 1) != 0;
    if (vents && px >= 4 && px <= last - 4 && py >= 5 && py <= last - 4 && py % 3 == 0) {
        return 2;
    }
    return py < period / 2 ? 6 : 5;
}

int CrystalShade(int x, int y, int period, uint32_t seed) {
    const int u = x + y;
    const int v = x - y + period;
    if (u % 5 == 0 || v % 7 == 0) {
        return 8;
    }
    const auto facet = Hash(seed, static_cast<uint32_t>(u / 5), static_cast<uint32_t>(v / 7));
    int shade = 3 + static_cast<int>(facet % 5);
    if (u % 5 == 1) {
        shade += 1;
    }
    return Clamp(shade, 2, kMainLight);
}

int OrganicShade(int x, int y, int period, uint32_t seed) {
    int nearest = 1 << 20;
    int second = 1 << 20;
    const int points = period / 4;
    for (int i = 0; i < points; ++i) {
        const int px = static_cast<int>(Hash(seed, static_cast<uint32_t>(i), 1) % period);
        const int py = static_cast<int>(Hash(seed, static_cast<uint32_t>(i), 2) % period);
        for (int ox = -period; ox <= period; ox += period) {
            for (int oy = -period; oy <= period; oy += period) {
                const int dx = x - px - ox;
                const int dy = y - py - oy;
                const int d = dx * dx + dy * dy;
                if (d < nearest) {
                    second = nearest;
                    nearest = d;
                } else if (d < second) {
                    second = d;
                }
            }
        }
    }
    if (second - nearest < 2 * period / 4) {
        return kMainDark;
    }
    return Clamp(8 - nearest * 6 / (period * 2), 2, 8);
}

int MaterialShade(Material material, int x, int y, int period, uint32_t seed) {
    switch (material) {
    case Material::Rock:
        return RockShade(x, y, period, seed);
    case Material::Brick:
        return BrickShade(x, y, period, seed);
    case Material::Metal:
        return MetalShade(x, y, period, seed);
    case Material::Crystal:
        return CrystalShade(x, y, period, seed);
    case Material::Organic:
        return OrganicShade(x, y, period, seed);
    }
    return 5;
}

Shades Fill(const Theme& theme, uint32_t seed) {
    Shades shades{};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Put(shades, x, y, MaterialShade(theme.wall, x, y, 16, seed));
        }
    }
    return shades;
}

// The lit top band of a wall: an accent fringe of varying depth over a dark line.
void AddTopBand(Shades& shades, uint32_t seed) {
    for (int x = 0; x < 16; ++x) {
        const int depth = 2 + static_cast<int>(Hash(seed, static_cast<uint32_t>(x)) % 3);
        for (int y = 0; y < depth; ++y) {
            Put(shades, x, y, kAccentLight - y * 2);
        }
        Put(shades, x, depth, kMainDark);
    }
}

void AddBottomShadow(Shades& shades) {
    for (int x = 0; x < 16; ++x) {
        Put(shades, x, 15, kMainDark);
        Put(shades, x, 14, 2);
    }
}

void AddLeftEdge(Shades& shades) {
    for (int y = 0; y < 16; ++y) {
        if (Get(shades, 0, y) < kAccentDark) {
            Put(shades, 0, y, kMainDark);
            Put(shades, 1, y, 8);
        }
    }
}

// A cylinder across `size` pixels, lit from the upper left.
int Cylinder(int at, int size) {
    constexpr std::array<int, 8> kProfile{3, 6, 8, 9, 8, 6, 4, 2};
    return kProfile[static_cast<size_t>(Clamp(at * 8 / size, 0, 7))];
}

Shades Platform(uint32_t seed) {
    Shades shades{};
    for (int x = 0; x < 16; ++x) {
        for (int y = 0; y < 7; ++y) {
            const int shade = y == 0 ? 9 : y == 5 ? 2 : y == 6 ? 1 : 7 - y;
            Put(shades, x, y, shade);
        }
        if (x % 8 == 4 && (seed & 1) == 0) {
            Put(shades, x, 3, kAccentLight);
        }
    }
    return shades;
}

Shades PlatformEnd(uint32_t seed) {
    Shades shades = Platform(seed);
    for (int y = 0; y < 7; ++y) {
        const int inset = (y == 0 || y == 6) ? 2 : (y == 1 || y == 5) ? 1 : 0;
        for (int x = 0; x < inset; ++x) {
            Put(shades, x, y, 0);
        }
        Put(shades, inset, y, kMainDark);
    }
    return shades;
}

Shades Pillar(Role role) {
    Shades shades{};
    for (int y = 0; y < 16; ++y) {
        const bool cap = (role == Role::PillarTop && y < 4) || (role == Role::PillarBase && y > 11);
        const int left = cap ? 1 : 3;
        const int width = 16 - 2 * left;
        for (int x = left; x < 16 - left; ++x) {
            int shade = Cylinder(x - left, width);
            if (cap && (y == 0 || y == 12)) {
                shade = 9;
            } else if (cap && (y == 3 || y == 15)) {
                shade = 1;
            } else if (!cap && y % 8 == 0) {
                shade -= 2;
            }
            Put(shades, x, y, shade);
        }
    }
    return shades;
}

Shades Vine(bool end, uint32_t seed) {
    Shades shades{};
    const int stemEnd = end ? 10 : 16;
    for (int y = 0; y < stemEnd; ++y) {
        const int x = 7 + kSine[static_cast<size_t>((y + static_cast<int>(seed % 4)) % 16)] / 2;
        Put(shades, x, y, 4);
        Put(shades, x + 1, y, 6);
        if (y % 8 == 3) {
            for (int dx = 0; dx < 3; ++dx) {
                Put(shades, x - 1 - dx, y + dx / 2, 7 + dx / 2);
                Put(shades, x + 2 + dx, y + 4 + dx / 2, 8 - dx / 2);
            }
        }
    }
    if (end) {
        for (int y = 9; y < 16; ++y) {
            for (int x = 4; x < 12; ++x) {
                const int d = (x - 7) * (x - 7) + (y - 12) * (y - 12);
                if (d <= 9) {
                    Put(shades, x, y, kAccentLight - d / 2);
                }
            }
        }
    }
    return shades;
}

Shades Grass(uint32_t seed) {
    Shades shades{};
    for (int x = 0; x < 16; ++x) {
        const int height = 2 + static_cast<int>(Hash(seed, static_cast<uint32_t>(x)) % 6);
        for (int y = 16 - height; y < 16; ++y) {
            Put(shades, x, y, y == 16 - height ? 9 : 5 + (x + y) % 3);
        }
        if (height > 6) {
            Put(shades, x, 16 - height - 1, kAccentLight - 1);
        }
    }
    return shades;
}

Shades Pipe(bool joint) {
    Shades shades{};
    for (int y = 3; y < 13; ++y) {
        for (int x = 0; x < 16; ++x) {
            Put(shades, x, y, Cylinder(y - 3, 10));
        }
    }
    if (joint) {
        for (int y = 2; y < 14; ++y) {
            for (int x = 5; x < 11; ++x) {
                const int shade = (x == 5 || x == 10) ? kMainDark : Cylinder(y - 2, 12) + 1;
                Put(shades, x, y, shade);
            }
        }
        Put(shades, 7, 7, kAccentLight);
        Put(shades, 8, 7, kAccentLight - 2);
    }
    return shades;
}

Shades Transpose(const Shades& shades) {
    Shades turned{};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Put(turned, x, y, Get(shades, y, x));
        }
    }
    return turned;
}

Shades Slope(const Theme& theme, uint32_t seed) {
    const Shades fill = Fill(theme, seed);
    Shades shades{};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int above = y - (15 - x); // 0 on the slope's surface line
            if (above < 0) {
                continue;
            }
            Put(shades, x, y, above < 2 ? 13 : above == 2 ? 11 : above == 3 ? 1 : Get(fill, x, y));
        }
    }
    return shades;
}

} // namespace

size_t ThemeCount() {
    return kThemes.size();
}

const Theme& ThemeOf(size_t theme) {
    return kThemes[theme % kThemes.size()];
}

Shades Mirror(const Shades& shades) {
    Shades mirrored{};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Put(mirrored, x, y, Get(shades, 15 - x, y));
        }
    }
    return mirrored;
}

Shades PaintRole(size_t themeIndex, Role role, uint32_t seed) {
    const Theme& theme = ThemeOf(themeIndex);
    switch (role) {
    case Role::Fill0:
    case Role::Fill1:
    case Role::Fill2:
        return Fill(theme, seed + static_cast<uint32_t>(role) * 101);
    case Role::Fill3: {
        Shades shades = Fill(theme, seed + 404);
        for (int y = 4; y < 12; ++y) {
            for (int x = 4; x < 12; ++x) {
                const int d = (x - 8) * (x - 8) + (y - 8) * (y - 8);
                if (d <= 10) {
                    Put(shades, x, y, d >= 8 ? kMainDark : kAccentLight - d / 2);
                }
            }
        }
        return shades;
    }
    case Role::Top: {
        Shades shades = Fill(theme, seed + 101);
        AddTopBand(shades, seed);
        return shades;
    }
    case Role::Bottom: {
        Shades shades = Fill(theme, seed + 101);
        AddBottomShadow(shades);
        return shades;
    }
    case Role::Left:
    case Role::Right: {
        Shades shades = Fill(theme, seed + 101);
        AddLeftEdge(shades);
        return role == Role::Left ? shades : Mirror(shades);
    }
    case Role::TopLeft:
    case Role::TopRight: {
        Shades shades = Fill(theme, seed + 101);
        AddTopBand(shades, seed);
        AddLeftEdge(shades);
        Put(shades, 0, 0, 0);
        Put(shades, 1, 0, 0);
        Put(shades, 0, 1, 0);
        return role == Role::TopLeft ? shades : Mirror(shades);
    }
    case Role::BottomLeft:
    case Role::BottomRight: {
        Shades shades = Fill(theme, seed + 101);
        AddBottomShadow(shades);
        AddLeftEdge(shades);
        Put(shades, 0, 15, 0);
        Put(shades, 1, 15, 0);
        Put(shades, 0, 14, 0);
        return role == Role::BottomLeft ? shades : Mirror(shades);
    }
    case Role::SlopeRise:
        return Slope(theme, seed + 101);
    case Role::SlopeFall:
        return Mirror(Slope(theme, seed + 101));
    case Role::PlatformLeft:
        return PlatformEnd(seed);
    case Role::PlatformMid:
        return Platform(seed);
    case Role::PlatformRight:
        return Mirror(PlatformEnd(seed));
    case Role::PillarTop:
    case Role::PillarMid:
    case Role::PillarBase:
        return Pillar(role);
    case Role::Back0:
    case Role::Back1:
    case Role::Back2:
    case Role::Back3: {
        const int index = static_cast<int>(role) - static_cast<int>(Role::Back0);
        Shades shades{};
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int s = MaterialShade(theme.back, (index % 2) * 16 + x, (index / 2) * 16 + y,
                                            32, seed + 900);
                Put(shades, x, y, 1 + (s - 1) * 5 / 8);
            }
        }
        return shades;
    }
    case Role::VineMid:
        return Vine(false, seed);
    case Role::VineEnd:
        return Vine(true, seed);
    case Role::Grass:
        return Grass(seed);
    case Role::PipeH:
        return Pipe(false);
    case Role::PipeJoint:
        return Pipe(true);
    case Role::PipeV:
        return Transpose(Pipe(false));
    case Role::Empty:
    case Role::Liquid:
    case Role::Light:
    case Role::Machine:
    case Role::HatchTop:
    case Role::HatchMid:
    case Role::HatchBottom:
    case Role::Count:
        break;
    }
    return Shades{};
}

Shades PaintCommonBlock(int index, int style) {
    Shades shades{};
    if (index < 3) {
        // Door hatch: a capsule two tiles wide, rounded at the top and the bottom piece.
        for (int y = 0; y < 16; ++y) {
            for (int x = 3; x < 13; ++x) {
                const int fromEnd = index == 0 ? y : index == 2 ? 15 - y : 8;
                const int edge = std::abs(2 * x - 15);
                if (fromEnd < 4 && edge > 3 + 2 * fromEnd) {
                    continue;
                }
                int shade = Cylinder(x - 3, 10);
                if (style == 1) {
                    shade = 10 - shade;
                }
                if (x == 7 || x == 8) {
                    shade = kAccentLight - (y % 4);
                }
                Put(shades, x, y, shade);
            }
        }
        return shades;
    }
    const int symbol = (index + 3 * style) % 8;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int shade = 5;
            if (x == 0 || y == 0) {
                shade = style == 1 ? 2 : 8;
            } else if (x == 15 || y == 15) {
                shade = style == 1 ? 8 : 2;
            }
            const int dx = x - 8;
            const int dy = y - 8;
            bool mark = false;
            switch (symbol) {
            case 0:
                mark =
                    (std::abs(dx) < 2 || std::abs(dy) < 2) && std::abs(dx) < 6 && std::abs(dy) < 6;
                break;
            case 1:
                mark = dx * dx + dy * dy >= 9 && dx * dx + dy * dy <= 20;
                break;
            case 2:
                mark = (x * 3 + y * 5) % 11 == 0 && x > 1 && y > 1;
                break;
            case 3:
                mark = dx >= -4 && dx <= 4 - std::abs(dy) * 2 && std::abs(dy) <= 3;
                break;
            case 4:
                mark = std::abs(dx) + std::abs(dy) <= 5;
                break;
            case 5:
                mark = x % 4 == 2 && y % 4 == 2;
                break;
            case 6:
                mark = (x + y) % 6 < 2 && x > 1 && y > 1 && x < 15 && y < 15;
                break;
            default:
                mark = (std::abs(dx - dy) < 2 || std::abs(dx + dy) < 2) && std::abs(dx) < 6;
                break;
            }
            if (mark && x > 0 && y > 0 && x < 15 && y < 15) {
                shade = kAccentDark + 3 + (index % 3);
            }
            Put(shades, x, y, shade);
        }
    }
    return shades;
}

Shades PaintBackdropBlock(size_t themeIndex, int index, uint32_t seed) {
    const Theme& theme = ThemeOf(themeIndex);
    Shades shades{};
    // 16 blocks form a 64x64 picture: a dark sky gradient, stars, and a ridge of the back
    // material along the bottom.
    const int bx = (index % 4) * 16;
    const int by = (index / 4) * 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int px = bx + x;
            const int py = by + y;
            const int ridge = 40 + kSine[static_cast<size_t>((px / 4) % 16)] * 3;
            int shade = 1 + py / 12;
            if (py > ridge) {
                shade = MaterialShade(theme.back, px, py, 32, seed) / 2 + 1;
            } else if ((Hash(seed, static_cast<uint32_t>(px), static_cast<uint32_t>(py)) & 63) ==
                       0) {
                shade = kAccentLight;
            }
            Put(shades, x, y, shade);
        }
    }
    return shades;
}

std::vector<uint8_t> PaintAnimationFrames(Motion motion, int frames, uint32_t variant) {
    std::vector<uint8_t> out;
    for (int t = 0; t < frames; ++t) {
        Shades shades{};
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                int shade = 5;
                const auto phase = static_cast<size_t>((x + 4 * t) % 16);
                switch (motion) {
                case Motion::Still:
                    shade = MetalShade(x, y, 16, variant);
                    break;
                case Motion::Water:
                    shade = 8 - y / 3 + kSine[phase] / 2;
                    if ((y + 16 + kSine[static_cast<size_t>((2 * x + 4 * t) % 16)] / 2) % 8 == 0) {
                        shade = kAccentDark + 2;
                    }
                    break;
                case Motion::Lava: {
                    shade = 4 + Noise(x + 4 * t, y, 4, 16, variant) / 64;
                    const int bx = (5 + 3 * t) % 16 - x;
                    const int by = 10 - 2 * t % 12 - y + 4;
                    if (bx * bx + by * by < 6) {
                        shade = kAccentLight - (bx * bx + by * by) / 2;
                    }
                    break;
                }
                case Motion::Blink:
                case Motion::Pulse: {
                    const int d = (x - 8) * (x - 8) + (y - 8) * (y - 8);
                    const bool on = motion == Motion::Blink ? t == 0 : true;
                    const int glow = motion == Motion::Pulse ? t * 2 : 0;
                    if (x == 0 || y == 0 || x == 15 || y == 15) {
                        shade = 2;
                    } else if (d < 16) {
                        shade = on ? kAccentLight - d / 4 - glow : 4;
                    } else {
                        shade = 3;
                    }
                    break;
                }
                case Motion::Conveyor:
                    shade = ((x + y + 4 * t) / 4) % 2 == 0 ? 7 : 3;
                    if (y < 2 || y > 13) {
                        shade = 1;
                    }
                    break;
                case Motion::Screen: {
                    shade = (x == 0 || y == 0 || x == 15 || y == 15) ? 2 : 1;
                    const int line = y - 3;
                    if (line >= 0 && line % 3 == 0 && y < 14) {
                        const int length =
                            2 + static_cast<int>(Hash(variant, static_cast<uint32_t>(t),
                                                      static_cast<uint32_t>(line)) %
                                                 10);
                        if (x >= 3 && x < 3 + length) {
                            shade = kAccentDark + 2 + line % 4;
                        }
                    }
                    break;
                }
                case Motion::Flow:
                    shade =
                        6 + kSine[static_cast<size_t>((2 * y - 4 * t + (x / 4) * 3 + 32) % 16)] / 2;
                    if ((x + y * 3 - 4 * t + 64) % 13 == 0) {
                        shade = kAccentDark + 3;
                    }
                    break;
                }
                Put(shades, x, y, shade);
            }
        }
        const std::vector<uint8_t> tiles = PackBlockTiles(shades);
        out.insert(out.end(), tiles.begin(), tiles.end());
    }
    return out;
}

} // namespace quarnel::synthetic
