#include "main/MapReadout.h"

#include "common/Hex.h"
#include "main/MapEditing.h"

#include <array>
#include <cmath>

namespace quarnel {

namespace {

constexpr uint32_t kOverlayAlpha = 0x78;

// Hues spread by a step near the golden angle, so neighbouring values (which often mean related
// things) get clearly different colours; three brightness bands separate values of close hue.
constexpr std::array<uint32_t, 256> MakeClipColours() {
    std::array<uint32_t, 256> colours{};
    for (int value = 1; value < 256; ++value) {
        // Integer HSV: hue in 0..1535 (six 256-wide sectors), full saturation, value by band.
        const int hue = (value * 593) % 1536;
        const int band = value % 3;
        const int top = band == 0 ? 255 : band == 1 ? 215 : 170;
        const int rise = (hue % 256) * top / 255;
        const int fall = top - rise;
        int r = 0;
        int g = 0;
        int b = 0;
        switch (hue / 256) {
        case 0:
            r = top, g = rise, b = 0;
            break;
        case 1:
            r = fall, g = top, b = 0;
            break;
        case 2:
            r = 0, g = top, b = rise;
            break;
        case 3:
            r = 0, g = fall, b = top;
            break;
        case 4:
            r = rise, g = 0, b = top;
            break;
        default:
            r = top, g = 0, b = fall;
            break;
        }
        colours[static_cast<size_t>(value)] =
            (kOverlayAlpha << 24) | (static_cast<uint32_t>(r) << 16) |
            (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
    }
    return colours;
}

constexpr std::array<uint32_t, 256> kClipColours = MakeClipColours();

std::string ClipName(uint8_t value, const std::vector<std::string>& names) {
    return value < names.size() ? names[value] : ToHex(value) + " - ????????";
}

} // namespace

uint32_t ClipOverlayColour(uint8_t value) {
    return kClipColours[value];
}

std::vector<ClipLegendEntry> ClipLegend(const RoomLayer& clip,
                                        const std::vector<std::string>& names) {
    std::array<size_t, 256> counts{};
    for (int y = 0; y < clip.Height; ++y) {
        for (int x = 0; x < clip.Width; ++x) {
            ++counts[static_cast<uint8_t>(clip.Cell(x, y) & 0xFF)];
        }
    }
    std::vector<ClipLegendEntry> legend;
    for (size_t value = 0; value < counts.size(); ++value) {
        if (counts[value] != 0) {
            const auto byte = static_cast<uint8_t>(value);
            legend.push_back({byte, ClipOverlayColour(byte), counts[value], ClipName(byte, names)});
        }
    }
    return legend;
}

std::string PointerReadout(const EditorState& state, int x, int y,
                           const std::vector<std::string>& clipNames) {
    bool inside = state.ClipLayer.IsStored(x, y);
    for (LayerKind kind : {LayerKind::Level, LayerKind::Foreground, LayerKind::Back}) {
        inside = inside || state.Layer(kind).IsStored(x, y);
    }
    if (!inside) {
        return {};
    }
    const CellValues values = ValuesAt(state, x, y);
    const auto shown = [](const std::string& text) {
        return text.empty() ? std::string("-") : text;
    };
    std::string line = "X " + std::to_string(x) + " (" + ToHexWidth(static_cast<uint32_t>(x), 2) +
                       "), Y " + std::to_string(y) + " (" +
                       ToHexWidth(static_cast<uint32_t>(y), 2) + ")   Level " +
                       shown(values.Level) + "   Foreground " + shown(values.Foreground) +
                       "   Back " + shown(values.Back) + "   Clip: ";
    line += values.Clip ? ClipName(*values.Clip, clipNames) : std::string("-");
    return line;
}

} // namespace quarnel
