// quarnel-cli demo-rom: writes a synthetic ROM image of either game, so the editor can be
// tried without a cartridge image.

#include "cli/Commands.h"

#include "common/Hex.h"
#include "demo/SyntheticRom.h"

#include <ostream>
#include <string_view>

namespace quarnel::cli {

namespace {

constexpr std::string_view kUsage = "demo-rom zm|mf OUT.gba [--seed N]";
constexpr uint32_t kDefaultSeed = 1;

int UsageError(std::ostream& err, std::string_view problem) {
    err << "quarnel-cli demo-rom: " << problem << " (usage: " << kUsage << ")\n";
    return 2;
}

Game GameNamed(std::string_view name) {
    if (name == "zm" || name == "ZM") {
        return Game::ZM;
    }
    if (name == "mf" || name == "MF") {
        return Game::MF;
    }
    return Game::None;
}

int RunDemoRom(const Arguments& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> positional;
    uint32_t seed = kDefaultSeed;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seed") {
            if (i + 1 == args.size()) {
                return UsageError(err, "--seed needs a number");
            }
            const auto value = ParseNumber(args[++i]);
            if (!value || *value > 0xFFFFFFFFu) {
                return UsageError(err, "'" + args[i] + "' is not a seed from 0 to 4294967295");
            }
            seed = static_cast<uint32_t>(*value);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return UsageError(err, "unknown option '" + args[i] + "'");
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        return UsageError(err, "expected a game and an output file");
    }
    const Game game = GameNamed(positional[0]);
    if (game == Game::None) {
        return UsageError(err, "unknown game '" + positional[0] + "'");
    }
    const auto written = WriteSyntheticRom(positional[1], game, seed);
    if (!written) {
        err << "quarnel-cli demo-rom: " << Describe(written.error()) << "\n";
        return 1;
    }
    out << "Wrote " << positional[1] << ": synthetic " << GameCodeText(game) << " image, seed "
        << seed << "\n";
    return 0;
}

} // namespace

const Command kDemoRomCommand{"demo-rom", "demo-rom zm|mf OUT.gba [--seed N]",
                              "an 8 MiB synthetic ROM image of the game, made from generated data",
                              RunDemoRom};

} // namespace quarnel::cli
