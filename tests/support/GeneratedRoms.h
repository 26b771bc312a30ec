#pragma once
// Generated ROM images for tests: built once per (game, seed) in a test run and written as
// fresh copies into a test's temporary folder, never into the source tree.

#include "demo/SyntheticRom.h"
#include "rom/Game.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace quarnel::testing {

// One generated image, as a test parameter.
struct Image {
    Game game;
    uint32_t seed;
};

// "ZM_seed1": a test name for a parameter.
template <class ParamInfo>
std::string ImageName(const ParamInfo& info) {
    return std::string(GameCodeText(info.param.game)) + "_seed" + std::to_string(info.param.seed);
}

// The image and its description; built on first use and kept for the whole test run.
const SyntheticRom& GeneratedRom(Game game, uint32_t seed);

// Writes a copy of the generated image to `path` and returns `path`.
std::filesystem::path WriteGeneratedRom(const std::filesystem::path& path, Game game,
                                        uint32_t seed);

} // namespace quarnel::testing
