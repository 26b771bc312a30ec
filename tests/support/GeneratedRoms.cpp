#include "GeneratedRoms.h"

#include <fstream>
#include <map>
#include <memory>
#include <utility>

namespace quarnel::testing {

const SyntheticRom& GeneratedRom(Game game, uint32_t seed) {
    static std::map<std::pair<Game, uint32_t>, std::unique_ptr<SyntheticRom>> built;
    auto& slot = built[{game, seed}];
    if (!slot) {
        slot = std::make_unique<SyntheticRom>(BuildSyntheticRom(game, seed));
    }
    return *slot;
}

std::filesystem::path WriteGeneratedRom(const std::filesystem::path& path, Game game,
                                        uint32_t seed) {
    const auto& rom = GeneratedRom(game, seed);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(rom.image.data()),
              static_cast<std::streamsize>(rom.image.size()));
    return path;
}

} // namespace quarnel::testing
