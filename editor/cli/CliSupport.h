#pragma once
// Shared pieces of the quarnel-cli commands: argument parsing and opening a ROM with its
// game tables.

#include "common/Error.h"
#include "main/EditorState.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"
#include "storage/GiveBack.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Reads a decimal or 0x-prefixed number no larger than `maximum`; on failure writes one
// line to `err` naming `what` and gives nothing.
std::optional<uint32_t> ParseArgument(const std::string& text, const char* what, uint32_t maximum,
                                      std::ostream& err);

// Prints one error line ("quarnel-cli: " + the described error) and returns kExitFailure.
int ReportError(const Error& error, std::ostream& err);
// The same, saying first what did not happen: "quarnel-cli: the room was not saved: ...".
int ReportError(std::string_view failed, const Error& error, std::ostream& err);

// Prints each problem that did not stop the command as "quarnel-cli: warning: ..." on `err`.
void PrintWarnings(const std::vector<Error>& problems, std::ostream& err);

// What a write to the ROM reports besides its data: "backup: PATH" when it made a backup, and
// each note as "note: ...".
void PrintBackup(const std::optional<std::filesystem::path>& backup, std::ostream& out);
void PrintNotes(const std::vector<std::string>& notes, std::ostream& out);

struct OpenedRom {
    RomFile file;
    Catalog catalog;
};

// Opens a ROM for reading, recognises the game, reads its tables and checks them as the
// window's open does; the error says why a file is refused.
Result<OpenedRom, Error> OpenRomForReading(const std::string& path);

// Creates the storage file at `path` with the default free-space areas when it is missing, as
// the editor does at start, and says so on `out`; false after an error line on `err`.
bool PrepareStorage(const std::filesystem::path& path, std::ostream& out, std::ostream& err);

// Opens the ROM at `path` as OpenRomForReading does and checks `area`, and `room` when one is
// given, against the game's lists. On failure writes one line to `err` (naming the valid
// range for an index) and gives nothing.
std::optional<OpenedRom> OpenRomAtArea(const std::string& path, uint32_t area,
                                       std::optional<uint32_t> room, std::ostream& err);

// A room named on the command line as ROM AREA ROOM, opened with its header read.
struct OpenedRoom {
    OpenedRom rom;
    uint32_t area = 0;
    uint32_t room = 0;
    uint32_t headerOffset = 0;
    RoomHeader header;
};

// Parses args[0..2] as ROM AREA ROOM, opens the ROM and reads the room's header. On
// failure writes one line to `err`, sets `status` (usage or failure) and gives nothing.
std::optional<OpenedRoom> OpenRoomArguments(const std::vector<std::string>& args, std::ostream& err,
                                            int& status);

// Opens the ROM and selects the room of args[0..2] (ROM AREA ROOM) as the editor does, with
// `storage` as the storage file (what a save takes free space from); warnings go to `err`.
// On failure writes one line to `err`, sets `status` and gives nothing.
std::optional<EditorState> OpenRoomLikeTheEditor(const std::vector<std::string>& args,
                                                 const std::filesystem::path& storage,
                                                 std::ostream& err, int& status);

// Prints what a save gave back to the free space ("given back: ...") and what it kept, and why
// ("kept: ..."), one line each.
void PrintGiveBack(const GiveBackOutcome& outcome, std::ostream& out);

} // namespace quarnel::cli
