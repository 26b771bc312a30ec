#pragma once
// The name files that ship beside the program: "ZMClip.txt" and "MFClip.txt" name each game's
// clip values, "Enemylist.txt" names the sprite sets. The loaders always answer with 256 entries,
// one per byte value; a missing file or a file that ends early is not an error: the entries it
// does not give get a numbered placeholder.

#include "rom/Game.h"
#include "rom/ProgramFolder.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel {

inline constexpr size_t kNamedClipValues = 163;   // lines of ZMClip.txt: values 0 to 0xA2
inline constexpr size_t kNamedMfClipValues = 176; // lines of MFClip.txt: values 0 to 0xAF
inline constexpr size_t kNamedSpriteSets = 108;   // lines of Enemylist.txt: sets 0 to 0x6B
inline constexpr size_t kByteValues = 256;

// The clip name file of a game ("ZMClip.txt", "MFClip.txt") in `folder`; for any other game
// the Zero Mission file's name (the loader does not read it then).
std::filesystem::path ClipNamesFile(Game game, const std::filesystem::path& folder);

inline std::filesystem::path DefaultClipNamesFile(Game game = Game::ZM) {
    return ClipNamesFile(game, ProgramFolder());
}
inline std::filesystem::path DefaultSpriteSetNamesFile() {
    return ProgramFolder() / "Enemylist.txt";
}

// The first `maxLines` lines of a text file, each without its line end (LF or CR LF). A
// final line without a line end counts; a file that cannot be opened gives no lines.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path, size_t maxLines);

// The clip attribute list: entry v names clip value v. ZM: the first 163 lines of the file as
// they stand, then "A3 - ????????" to "FF - ????????"; MF: the first 176 lines, then
// "B0 - ????????" on. Any other game reads no file: "0 - ????????" to "FF - ????????". Lines
// the file lacks take the "<hex> - ????????" form.
std::vector<std::string> ClipAttributeNames(Game game, const std::filesystem::path& clipNamesFile);

// The sprite set list: entry i names sprite set i. Entries 0 to 107 are the file's first 108
// lines as they stand; the others, and any line the file lacks, read "6C - Generic" (two
// upper-case digits).
std::vector<std::string>
SpriteSetNames(const std::filesystem::path& spriteSetNamesFile = DefaultSpriteSetNamesFile());

} // namespace quarnel
