// quarnel-cli storage: shows the free-space bookkeeping of both games, after an optional reset
// of the areas to their defaults and an optional fit of one game's counters to a ROM, and how a
// ROM uses its game's areas.

#include "cli/CliSupport.h"
#include "cli/Commands.h"

#include "common/Hex.h"
#include "storage/Storage.h"
#include "storage/StorageEditing.h"
#include "storage/StorageMap.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace quarnel::cli {

namespace {

constexpr const char* kUsage = "storage [--storage PATH] [--reset] [--fit ROM] [--map ROM]";

void PrintAreas(std::ostream& out, std::string_view game, std::span<const StorageArea> areas) {
    for (size_t i = 0; i < areas.size(); ++i) {
        const auto& area = areas[i];
        out << game << " area " << i << " offset " << ToHex(static_cast<uint32_t>(area.Offset))
            << " used " << ToHex(static_cast<uint32_t>(area.Used)) << " length "
            << ToHex(static_cast<uint32_t>(area.Length)) << "\n";
    }
}

int Usage(std::ostream& err, std::string_view problem) {
    err << "quarnel-cli storage: " << problem << " (usage: " << kUsage << ")\n";
    return 2;
}

int RunStorage(const Arguments& args, std::ostream& out, std::ostream& err) {
    std::filesystem::path path = StorageSystem::DefaultPath();
    bool reset = false;
    bool pathGiven = false;
    std::optional<std::filesystem::path> fit;
    std::optional<std::filesystem::path> map;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--reset") {
            reset = true;
        } else if (arg == "--map") {
            if (map) {
                return Usage(err, "--map given twice");
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Usage(err, "--map needs a ROM");
            }
            map = args[++i];
        } else if (arg == "--fit") {
            if (fit) {
                return Usage(err, "--fit given twice");
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Usage(err, "--fit needs a ROM");
            }
            fit = args[++i];
        } else if (arg == "--storage") {
            if (pathGiven) {
                return Usage(err, "--storage given twice");
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Usage(err, "--storage needs a path");
            }
            path = args[++i];
            pathGiven = true;
        } else {
            return Usage(err, "unknown argument '" + arg + "'");
        }
    }

    // A ROM named by --fit or --map is read and checked as every other command checks it,
    // before anything is written: a truncated or foreign file leaves os.bin as it was.
    const auto gameOf = [&err](const std::filesystem::path& rom) -> std::optional<Game> {
        auto opened = OpenRomForReading(rom.string());
        if (!opened) {
            err << "quarnel-cli storage: " << Describe(opened.error()) << "\n";
            return std::nullopt;
        }
        return opened->catalog.game;
    };
    std::optional<Game> fitGame;
    std::optional<Game> mapGame;
    if (fit && !(fitGame = gameOf(*fit))) {
        return 1;
    }
    if (map && !(mapGame = gameOf(*map))) {
        return 1;
    }

    StorageSystem storage(path);
    if (auto loaded = storage.LoadStorage(); !loaded) {
        err << "quarnel-cli storage: " << Describe(loaded.error()) << "\n";
        return 1;
    }
    if (reset) {
        if (auto written = storage.ResetStorage(); !written) {
            err << "quarnel-cli storage: " << Describe(written.error()) << "\n";
            return 1;
        }
        out << "reset: defaults written to " << path.string() << "\n";
    }
    if (fit) {
        if (auto fitted = FitStorageToRom(storage, *fitGame, *fit); !fitted) {
            err << "quarnel-cli storage: " << Describe(fitted.error()) << "\n";
            return 1;
        }
        out << "fit: " << GameCodeText(*fitGame) << " areas fitted to " << fit->string() << "\n";
    }
    PrintAreas(out, GameCodeText(Game::ZM), UsableAreas(storage.Table(), Game::ZM));
    PrintAreas(out, GameCodeText(Game::MF), UsableAreas(storage.Table(), Game::MF));
    if (map) {
        auto usage = MapStorage(storage.Table(), *mapGame, *map);
        if (!usage) {
            err << "quarnel-cli storage: " << Describe(usage.error()) << "\n";
            return 1;
        }
        for (const AreaUsage& area : *usage) {
            out << "map " << AreaUsageLine(*mapGame, area) << "\n";
        }
    }
    return 0;
}

} // namespace

const Command kStorageCommand{"storage", kUsage,
                              "both games' free-space areas from os.bin or PATH; --reset "
                              "restores the defaults first; --fit sets the Used of ROM's game "
                              "to just past the last data in each area; --map shows how ROM "
                              "uses each area of its game: bytes in use, given back, never used",
                              RunStorage};

} // namespace quarnel::cli
