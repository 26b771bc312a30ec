#pragma once
// The commands of quarnel-cli. Each takes its arguments (after the command word), writes its
// answer to `out` and its one-line error to `err`, and returns the process exit status.

#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const Arguments& args, std::ostream& out, std::ostream& err);
};

// Every command, in the order the help lists them.
const std::vector<Command>& AllCommands();

// The commands, one per file.
const Command& StorageCommand();

} // namespace quarnel::cli
