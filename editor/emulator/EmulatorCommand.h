#pragma once
// The emulator that "Run" starts on the open ROM. The user's setting is one command line,
// such as "mgba-qt -2 %f"; "%f" stands for the ROM's path, and without it the path is added
// as the last argument. The command is split into words here, the way a shell splits simple
// words, and started directly, never through a shell: nothing in a ROM's path or the command
// is expanded or run as shell code. With no command set, the first of mgba-qt and mgba found
// on the PATH is used.

#include "common/Error.h"
#include "common/Result.h"

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

inline constexpr std::string_view kRomPlaceholder = "%f";
inline constexpr std::array<std::string_view, 2> kDefaultEmulators{"mgba-qt", "mgba"};

// Splits `text` into words: blanks separate words; inside '...' every character is kept as it
// is; inside "..." a backslash keeps the next character if it is \ or " (else it stays a
// backslash); elsewhere a backslash keeps the next character. Quotes join the word around
// them ("a"'b'c is one word, abc). An unclosed quote or a backslash at the very end is refused
// (BadArgument).
Result<std::vector<std::string>, Error> SplitCommandLine(std::string_view text);

struct EmulatorLaunch {
    std::string program;
    std::vector<std::string> arguments;
};

// The launch of `command` on `rom`: its first word is the program; every "%f" in a word
// becomes the ROM's path and "%%" a single "%"; when no word holds "%f", the path is added as
// the last argument. A command with no words or that does not split is refused (BadArgument).
Result<EmulatorLaunch, Error> EmulatorLaunchFor(std::string_view command,
                                                const std::filesystem::path& rom);

// The first of `names` that is an executable file in a folder of `pathVariable` (folders
// separated by ':', as in PATH; empty entries are skipped), as its full path.
std::optional<std::filesystem::path> FindProgram(std::span<const std::string_view> names,
                                                 std::string_view pathVariable);

// What Run starts for `rom`: `configured` when it is not blank, else the first default
// emulator found on `pathVariable` with the ROM's path as its one argument. Nothing when no
// command is set and none is found; errors as EmulatorLaunchFor.
Result<std::optional<EmulatorLaunch>, Error> PlanEmulatorLaunch(std::string_view configured,
                                                                std::string_view pathVariable,
                                                                const std::filesystem::path& rom);

// The message shown when there is nothing to run: how to set an emulator, and where.
std::string NoEmulatorText();

} // namespace quarnel
