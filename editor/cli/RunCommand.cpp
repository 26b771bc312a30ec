// quarnel-cli run: starts an emulator on a ROM as the editor's "Run" does: the command given
// (or the first of mgba-qt and mgba on the PATH), %f replaced by the ROM's path or the path
// added at the end, split into words without a shell and started in a session of its own, so
// it keeps running after this command ends. --print shows what would be started instead.

#include "cli/CliSupport.h"
#include "cli/Commands.h"

#include "emulator/EmulatorCommand.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>

#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace quarnel::cli {

namespace {

constexpr const char* kUsage = "run ROM [--emulator COMMAND] [--print]";

int Usage(std::ostream& err, const std::string& problem) {
    err << "quarnel-cli run: " << problem << " (usage: " << kUsage << ")\n";
    return kExitUsage;
}

// Starts the launch in a new session without waiting for it; the error number on failure.
int Start(const EmulatorLaunch& launch) {
    std::vector<std::string> words{launch.program};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error =
        posix_spawnp(&child, launch.program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return error;
}

int RunRun(const Arguments& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> rom;
    std::optional<std::string> command;
    bool print = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--print") {
            print = true;
        } else if (args[i] == "--emulator") {
            if (command || i + 1 >= args.size()) {
                return Usage(err, "--emulator takes one COMMAND");
            }
            command = args[++i];
        } else if (!rom) {
            rom = args[i];
        } else {
            return Usage(err, "unexpected argument '" + args[i] + "'");
        }
    }
    if (!rom) {
        return Usage(err, "expected ROM");
    }
    // The ROM is opened and checked as every other command opens it, so a file the editor
    // would refuse is never handed to the emulator.
    if (auto opened = OpenRomForReading(*rom); !opened) {
        return ReportError(opened.error(), err);
    }
    const char* path = std::getenv("PATH");
    auto plan = PlanEmulatorLaunch(command.value_or(""), path != nullptr ? path : "", *rom);
    if (!plan) {
        return ReportError(plan.error(), err);
    }
    if (!*plan) {
        err << "quarnel-cli run: there is no emulator: give --emulator COMMAND, or install mGBA "
               "(apt-get install mgba-qt)\n";
        return kExitFailure;
    }
    const EmulatorLaunch& launch = **plan;
    if (print) {
        out << "program: " << launch.program << "\n";
        for (const std::string& argument : launch.arguments) {
            out << "argument: " << argument << "\n";
        }
        return 0;
    }
    if (const int error = Start(launch); error != 0) {
        err << "quarnel-cli run: " << launch.program
            << " could not be started: " << std::strerror(error) << "\n";
        return kExitFailure;
    }
    out << "started " << launch.program << "\n";
    return 0;
}

} // namespace

const Command kRunCommand{"run", kUsage,
                          "starts COMMAND (default: mgba-qt or mgba from the PATH) on ROM as "
                          "the editor's Run does: %f stands for ROM's path, else it is added at "
                          "the end; --print shows the program and its arguments instead",
                          RunRun};

} // namespace quarnel::cli
