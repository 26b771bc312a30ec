#pragma once
// Whole files that are not the ROM being edited (pictures, patches, exported data): read in
// one piece, and written through a temporary file beside the target and a rename, so the
// target is either the old file or the whole new one.

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel {

// Reads every byte of a file (FileOpen, FileRead). Files larger than `limit` are refused
// (FileRead), so a wrong choice of file cannot exhaust memory.
Result<std::vector<uint8_t>, Error> ReadWholeFile(const std::filesystem::path& path,
                                                  uint64_t limit = uint64_t{1} << 30);

// Writes `bytes` as the whole file at `path`, through a temporary file and a rename.
Result<void, Error> WriteFileAtomically(const std::filesystem::path& path,
                                        std::span<const uint8_t> bytes);

// Whether two paths name the same existing file (after following links); false when either
// does not exist.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace quarnel
