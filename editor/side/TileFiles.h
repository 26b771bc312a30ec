#pragma once
// The files the tiles editor reads and writes for a tileset's 840 tiles (TileGraphics):
//
// - the tile file: the 26,880 bytes of TileGraphics as they stand (4 bits per pixel);
// - the tile sheet: a palette PNG of 128 x 424 pixels, 16 tiles per row in tile order, the
//   last 8 cells value 0. Its palette holds all 256 colours of the ColourTable (entry 16r + c
//   is colour c of row r), and a pixel's index is 16 x the chosen row + its 4-bit value, so
//   graphics programs show the tiles in that row's colours. Reading one back takes each
//   pixel's index & 15.

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Gba.h"
#include "graphics/IndexedPng.h"

#include <filesystem>
#include <span>

namespace quarnel {

inline constexpr int kSheetTilesPerRow = 16;
inline constexpr int kSheetWidth = kSheetTilesPerRow * kTileSize; // 128 pixels
inline constexpr int kSheetHeight =
    static_cast<int>((kTileCount + kSheetTilesPerRow - 1) / kSheetTilesPerRow) * kTileSize; // 424

// The sheet of `tiles` coloured with palette row `row` (0-15; other values count as 0).
IndexedImage TileSheet(const TileGraphics& tiles, const ColourTable& colours, int row);

// The tiles of a sheet. BadImage when the picture is not 128 x 424 pixels.
Result<TileGraphics, Error> TilesFromSheet(const IndexedImage& sheet);

// Writes the tile file (26,880 bytes) or the sheet (PNG), atomically.
Result<void, Error> WriteTileFile(const TileGraphics& tiles, const std::filesystem::path& path);
Result<void, Error> WriteTileSheet(const TileGraphics& tiles, const ColourTable& colours, int row,
                                   const std::filesystem::path& path);

// The tiles of a file's bytes, told apart by content: a PNG (by its signature) must be a
// 128 x 424 palette picture; anything else must be a tile file of exactly 26,880 bytes.
// BadImage, with the reason, for everything else: true-colour and greyscale PNGs, other
// sizes, damaged files.
Result<TileGraphics, Error> TilesFromFileBytes(std::span<const uint8_t> bytes);

// Reads a file and takes its tiles as TilesFromFileBytes does. FileOpen, FileRead when the
// file cannot be read; files above 16 MiB are refused unread (FileRead).
Result<TileGraphics, Error> ReadTilesFile(const std::filesystem::path& path);

// The same for a file that must be a PNG: any other file is refused (BadImage).
Result<TileGraphics, Error> ReadTileSheet(const std::filesystem::path& path);

} // namespace quarnel
