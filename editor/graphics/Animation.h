#pragma once
// One step of a slot's tile animation: the next frame of the slot's graphics replaces its
// four tiles and PicTSA is drawn again. The room picture follows at its next redraw.

#include "graphics/Tileset.h"

#include <cstdint>

namespace quarnel {

class RomFile;

// The frame after `counter` for a slot of `frames` frames: 0 when the counter equals or lies
// beyond frames - 1 (so a slot of 0 or 1 frames stays at 0), else counter + 1.
uint8_t NextFrame(uint8_t counter, uint8_t frames);

// Advances slot `slot` (0-15) to its next frame, reads the frame's 128 bytes at the slot's
// frame pointer + 128 x frame into tiles 4 * slot to 4 * slot + 3, and redraws PicTSA.
// A frame pointer below 0x08000000 or beyond the file reads zeros. A slot number outside
// 0-15 does nothing and returns false.
bool StepAnimation(const RomFile& rom, int slot, Tileset& tileset);

} // namespace quarnel
