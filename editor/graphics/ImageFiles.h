#pragma once
// Picture files of a Surface: a 24-bit Windows bitmap and an 8-bit RGB PNG. Both keep every
// pixel's colour exactly (the alpha byte is dropped). Files are written atomically: into a
// temporary file beside the target, then renamed over it, so a failed write never leaves a
// half-written picture under the chosen name.

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Surface.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quarnel {

// The file bytes. A picture of no pixels (width or height 0) has no file form and gives an
// error, as does one too large for the format's 32-bit sizes.
Result<std::vector<uint8_t>, Error> EncodeBmp(const Surface& picture);
Result<std::vector<uint8_t>, Error> EncodePng(const Surface& picture);

Result<void, Error> WriteBmp(const Surface& picture, const std::filesystem::path& path);
Result<void, Error> WritePng(const Surface& picture, const std::filesystem::path& path);

} // namespace quarnel
