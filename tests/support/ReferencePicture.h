#pragma once
// An independent rendering of a generated room, computed pixel by pixel from the builder's
// description (tiles, palettes, block tables, layers) rather than through the editor's
// tileset and renderer code, so the two can be compared.

#include "demo/SyntheticRom.h"

#include <cstdint>
#include <vector>

namespace quarnel::testing {

struct ReferenceImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xFFRRGGBB, row by row
};

struct ShownLayers {
    bool back = true;
    bool level = true;
    bool foreground = true;
};

// The picture of room `room` of area `area` as the editor shows it in a fresh process after
// opening the image (area 0's room 0 loads first), choosing the area (its room 0 loads) and
// then the room. The picture is sized from the level layer, or from the largest present
// layer when there is none.
ReferenceImage ReferenceRoomPicture(const SyntheticRom& rom, int area, int room,
                                    ShownLayers shown = {});

} // namespace quarnel::testing
