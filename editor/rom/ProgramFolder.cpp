#include "rom/ProgramFolder.h"

#include <system_error>

namespace quarnel {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty()) {
        return std::filesystem::current_path();
    }
    return executable.parent_path();
}

} // namespace quarnel
