#include "emulator/EmulatorCommand.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

Error Refused(const std::string& detail) {
    return Error{ErrorKind::BadArgument, "the emulator command " + detail, std::nullopt};
}

// Replaces "%f" by `rom` and "%%" by "%"; says whether a "%f" was there.
std::string Substitute(std::string_view word, const std::string& rom, bool& used) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 1 < word.size()) {
            if (word[i + 1] == 'f') {
                out += rom;
                used = true;
                ++i;
                continue;
            }
            if (word[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += word[i];
    }
    return out;
}

bool Executable(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

Result<std::vector<std::string>, Error> SplitCommandLine(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (Blank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const size_t close = text.find('\'', i + 1);
            if (close == std::string_view::npos) {
                return Fail(Refused("has a ' without its closing '"));
            }
            word.append(text.substr(i + 1, close - i - 1));
            i = close;
        } else if (c == '"') {
            size_t j = i + 1;
            for (; j < text.size() && text[j] != '"'; ++j) {
                if (text[j] == '\\' && j + 1 < text.size() &&
                    (text[j + 1] == '\\' || text[j + 1] == '"')) {
                    ++j;
                }
                word += text[j];
            }
            if (j >= text.size()) {
                return Fail(Refused("has a \" without its closing \""));
            }
            i = j;
        } else if (c == '\\') {
            if (i + 1 >= text.size()) {
                return Fail(Refused("ends in a lone backslash"));
            }
            word += text[++i];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

Result<EmulatorLaunch, Error> EmulatorLaunchFor(std::string_view command,
                                                const std::filesystem::path& rom) {
    auto words = SplitCommandLine(command);
    if (!words) {
        return Fail(words.error());
    }
    if (words->empty()) {
        return Fail(Refused("is empty"));
    }
    const std::string path = rom.string();
    bool used = false;
    EmulatorLaunch launch;
    launch.program = Substitute((*words)[0], path, used);
    for (size_t i = 1; i < words->size(); ++i) {
        launch.arguments.push_back(Substitute((*words)[i], path, used));
    }
    if (!used) {
        launch.arguments.push_back(path);
    }
    return launch;
}

std::optional<std::filesystem::path> FindProgram(std::span<const std::string_view> names,
                                                 std::string_view pathVariable) {
    for (const std::string_view name : names) {
        for (size_t start = 0; start <= pathVariable.size();) {
            const size_t colon = std::min(pathVariable.find(':', start), pathVariable.size());
            const std::string_view folder = pathVariable.substr(start, colon - start);
            start = colon + 1;
            if (folder.empty()) {
                continue;
            }
            const std::filesystem::path candidate = std::filesystem::path(folder) / name;
            if (Executable(candidate)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

Result<std::optional<EmulatorLaunch>, Error> PlanEmulatorLaunch(std::string_view configured,
                                                                std::string_view pathVariable,
                                                                const std::filesystem::path& rom) {
    if (std::any_of(configured.begin(), configured.end(), [](char c) { return !Blank(c); })) {
        auto launch = EmulatorLaunchFor(configured, rom);
        if (!launch) {
            return Fail(launch.error());
        }
        return std::optional(std::move(*launch));
    }
    const auto found = FindProgram(kDefaultEmulators, pathVariable);
    if (!found) {
        return std::optional<EmulatorLaunch>();
    }
    return std::optional(EmulatorLaunch{found->string(), {rom.string()}});
}

std::string NoEmulatorText() {
    return "There is no emulator to run the ROM in: none is set, and neither mgba-qt nor mgba "
           "is on the PATH.\r\nSet one with File > Emulator Command… (for example "
           "\"mgba-qt %f\"; %f stands for the ROM's path), or install mGBA, for example with "
           "\"apt-get install mgba-qt\".";
}

} // namespace quarnel
