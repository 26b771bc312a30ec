#pragma once
// Recognising which game a ROM file holds, from the seven title bytes at 0xA0:
// "ZEROMIS" is Zero Mission, "metroid" is Fusion (case-sensitive). Anything else, and a
// file too short or unreadable, is not a ROM the editor handles.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace quarnel {

class RomFile;

// The game named by seven title bytes; Game::None for anything else.
Game GameFromTitle(std::span<const uint8_t> title);

// Reads the title of an open file. NotARom when neither game is named; the detail says why
// (the file is empty, too short to hold a title, or which title it holds).
Result<Game, Error> RecogniseGame(const RomFile& file);

// Opens the file, reads its title and closes it. NotARom as RecogniseGame; FileOpen when it
// cannot be opened.
Result<Game, Error> DetectGame(const std::filesystem::path& path);

} // namespace quarnel
