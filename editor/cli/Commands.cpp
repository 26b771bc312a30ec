#include "cli/Commands.h"

#include "cli/DemoRomCommand.h"

namespace quarnel::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"demo-rom", "demo-rom zm|mf OUT.gba [--seed N]",
         "Writes an 8 MiB synthetic ROM image of the game, made from generated data only.",
         RunDemoRom},
    };
    return commands;
}

} // namespace quarnel::cli
