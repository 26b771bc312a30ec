#pragma once
// Patch files: a patch from an original ROM to an edited one, in BPS or IPS by the patch
// file's extension (".bps", ".ips"; any other is refused), and a patch applied to a ROM into a
// new file. Files are read whole and written through a temporary file and a rename, so a
// failed command never leaves a half-written file.

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel {

enum class PatchFormat { Bps, Ips };

// The format named by a path's extension, case-insensitively; BadArgument for any other.
Result<PatchFormat, Error> PatchFormatOf(const std::filesystem::path& patch);

// Makes a patch from `original` to `modified` and writes it to `out`. Returns its size.
Result<uint64_t, Error> MakePatchFile(const std::filesystem::path& original,
                                      const std::filesystem::path& modified,
                                      const std::filesystem::path& out);

// Applies `patch` (BPS or IPS, recognised by its first bytes) to `rom` and writes the result
// to `out`, which must not be `rom` or `patch` (BadArgument): the input is never overwritten.
// A patch that is refused writes nothing.
Result<void, Error> ApplyPatchFile(const std::filesystem::path& rom,
                                   const std::filesystem::path& patch,
                                   const std::filesystem::path& out);

// The same on bytes: the patch format is recognised by its magic ("BPS1", "PATCH").
Result<std::vector<uint8_t>, Error> ApplyPatch(std::span<const uint8_t> rom,
                                               std::span<const uint8_t> patch);

} // namespace quarnel
