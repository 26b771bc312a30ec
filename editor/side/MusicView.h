#pragma once
// What the music viewer shows for a song number m, read from the ROM file:
//
// - the eight boxes and the label: the 12-byte record at (the GbaPointer at 0x22C23C) + 12 m,
//   bytes 0, 1, 2-3, 4-7, 9, 10 and 11 in Text1, Text2, Text3, Text5, Text6, Text7 and Text8
//   (Text4 keeps its text "Text4"), and m in Label1;
// - the song panel: entry m of the game's song table (a GbaPointer to the song header), and
//   from the header its track count, priority, reverb, voice-group pointer and track pointers.
//
// Numbers are upper-case hexadecimal without leading zeros, 16-bit and 32-bit fields with all
// their digits when the top bit is set. Nothing is read past the end of the file: a value whose
// bytes are not all inside it shows as "outside the file".

#include "rom/Game.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quarnel {

class RomFile;

inline constexpr const char* kOutsideTheFile = "outside the file";

struct MusicView {
    std::array<std::string, 8> boxes; // Text1 to Text8
    std::string label;                // Label1
    // The song panel, a label and a value per line: "Header", "Tracks", "Priority", "Reverb",
    // "Voice group", then "Track 1" and on for each track the header names.
    std::vector<std::pair<std::string, std::string>> song;
};

// The song table of a game: its ROM offset (0 for Game::None).
uint32_t SongTableOffset(Game game);

// Reads everything the viewer shows for song `m`.
MusicView ReadMusicView(const RomFile& file, Game game, uint32_t m);

// The viewer's content as lines: "Text1 <value>" to "Text8 <value>", "Label1 <value>", then
// "<label> <value>" for each line of the song panel.
std::vector<std::string> MusicViewLines(const MusicView& view);

} // namespace quarnel
