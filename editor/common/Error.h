#pragma once
// The core's typed errors. The core returns them as values; Describe turns one into the
// sentence that the GUI shows in a message box and the CLI prints on stderr.

#include <cstdint>
#include <optional>
#include <string>

namespace quarnel {

enum class ErrorKind {
    FileOpen,          // the file cannot be opened (detail: path and reason)
    FileRead,          // a read failed or came back short where the caller needs all bytes
    FileWrite,         // a write or flush failed
    NotARom,           // the title bytes name neither game
    RomTooSmall,       // the file ends before the game's tables do
    PointerOutOfRange, // a GbaPointer below 0x08000000 or past the end of the file
    BadLayer,          // a stored layer lies outside its format
    BadSpriteList,     // a sprite list without terminator or outside the file
    BadDoorTable,      // a door table whose count is 0 or does not fit a byte
    BadTileset,        // a tileset number beyond its table
    BadArgument,       // an index or value outside what the operation accepts
    StorageExhausted,  // no free-space area can take the request
    LibraryMissing,    // libpelnix.so or one of its symbols cannot be loaded
    VerifyMismatch,    // data read back after a write differs from what was written
    BadPatch,          // a patch file that is truncated, malformed or made for another ROM
};

struct Error {
    ErrorKind kind;
    std::string detail;             // what was involved: a path, a field, a layer name
    std::optional<uint32_t> offset; // the ROM offset concerned, where there is one
};

// One clear sentence for the user, without a trailing newline.
std::string Describe(const Error& error);

} // namespace quarnel
