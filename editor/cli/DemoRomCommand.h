#pragma once
// quarnel-cli demo-rom: writes a synthetic ROM image of either game, so the editor can be
// tried without a cartridge image.

#include "cli/Commands.h"

namespace quarnel::cli {

// demo-rom zm|mf OUT.gba [--seed N]. Exit 0 written, 1 the file could not be written,
// 2 bad usage.
int RunDemoRom(const Arguments& args, std::ostream& out, std::ostream& err);

} // namespace quarnel::cli
