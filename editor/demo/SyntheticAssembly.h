#pragma once
// The steps that turn a world plan into the bytes of a synthetic ROM image. Each step writes
// its part into the image (fixed tables into space claimed beforehand by ClaimFixedTables,
// everything else through the allocator) and records what it wrote in the description.

#include "demo/SyntheticImage.h"
#include "demo/SyntheticRom.h"
#include "demo/SyntheticWorld.h"

#include <cstdint>

namespace quarnel::synthetic {

// Claims every table that lives at a fixed offset, before anything is allocated, so that
// the allocator steps around them.
void ClaimFixedTables(Image& image, Game game, const WorldPlan& world);

// The tileset records and their art and palettes, the animated tile tables and frames, and
// the common tiles and palettes.
void WriteGraphics(Image& image, const WorldPlan& world, SyntheticRom& rom);

// The rooms (headers, layers, sprite lists), the area room tables and the door tables.
void WriteAreas(Image& image, const WorldPlan& world, SyntheticRom& rom);

// ZM's minimaps: tiles, palette, and one compressed map per minimap pointer.
void WriteMiniMaps(Image& image, const WorldPlan& world, SyntheticRom& rom);

// The scroll table, each area's scroll list and the rooms' scroll records.
void WriteScrolls(Image& image, SyntheticRom& rom);

// The file offset of each area's door table: consecutive tables from the fixed first one.
uint32_t FirstDoorTable(Game game);

} // namespace quarnel::synthetic
