#pragma once
// The palette files the tiles editor writes from the converted colours (ColourTable):
//
// - the palette file: 1,024 bytes, 256 little-endian 32-bit values red + 256 x green +
//   65,536 x blue, entry 16c + r holding colour c of row r (colour 0 of rows 0-15 first, then
//   colour 1 of rows 0-15, and so on);
// - JASC-PAL text, which graphics programs read: the header lines "JASC-PAL", "0100", "256",
//   then one "R G B" line per colour, colour c of row r on line 16r + c (rows of 16), with
//   CR LF line ends.

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Gba.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace quarnel {

inline constexpr size_t kPaletteFileSize = 1024;

std::array<uint8_t, kPaletteFileSize> PaletteFileBytes(const ColourTable& colours);
std::string JascPalText(const ColourTable& colours);

// Each written atomically at `path`.
Result<void, Error> WritePaletteFile(const ColourTable& colours, const std::filesystem::path& path);
Result<void, Error> WriteJascPal(const ColourTable& colours, const std::filesystem::path& path);

} // namespace quarnel
