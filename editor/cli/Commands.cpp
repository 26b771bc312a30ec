#include "cli/Commands.h"

namespace quarnel::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        StorageCommand(),
    };
    return commands;
}

} // namespace quarnel::cli
