// quarnel-cli: the headless front end of the Quarnel core.

#include "cli/Commands.h"

#include <iostream>
#include <string_view>

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: quarnel-cli COMMAND [ARGUMENTS]\n"
           "Inspects and edits Metroid: Zero Mission and Metroid Fusion ROM images.\n"
           "Numbers are decimal or 0x-prefixed hexadecimal.\n\nCommands:\n";
    for (const auto& command : quarnel::cli::AllCommands()) {
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(std::cerr);
        return 2;
    }
    const std::string_view word = argv[1];
    if (word == "--help" || word == "-h" || word == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    for (const auto& command : quarnel::cli::AllCommands()) {
        if (word == command.name) {
            const quarnel::cli::Arguments args(argv + 2, argv + argc);
            return command.run(args, std::cout, std::cerr);
        }
    }
    std::cerr << "quarnel-cli: unknown command '" << word << "' (see quarnel-cli --help)\n";
    return 2;
}
