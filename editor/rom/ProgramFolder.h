#pragma once
// The folder of the running program, where the editor keeps os.bin and its data files and
// looks for libpelnix.so.

#include <filesystem>

namespace quarnel {

// The folder that holds the running executable; the current folder if it cannot be told.
std::filesystem::path ProgramFolder();

} // namespace quarnel
