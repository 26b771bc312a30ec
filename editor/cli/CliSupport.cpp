#include "cli/CliSupport.h"

#include "common/Hex.h"
#include "main/RomOpening.h"
#include "main/RoomLoading.h"
#include "storage/Storage.h"

#include <ostream>

namespace quarnel::cli {

std::optional<uint32_t> ParseArgument(const std::string& text, const char* what, uint32_t maximum,
                                      std::ostream& err) {
    const auto value = ParseNumber(text);
    if (!value || *value > maximum) {
        err << "quarnel-cli: " << what << " must be a number from 0 to " << maximum << ", not '"
            << text << "'\n";
        return std::nullopt;
    }
    return static_cast<uint32_t>(*value);
}

int ReportError(const Error& error, std::ostream& err) {
    err << "quarnel-cli: " << Describe(error) << "\n";
    return kExitFailure;
}

int ReportError(std::string_view failed, const Error& error, std::ostream& err) {
    err << "quarnel-cli: " << failed << ": " << Describe(error) << "\n";
    return kExitFailure;
}

void PrintWarnings(const std::vector<Error>& problems, std::ostream& err) {
    for (const auto& problem : problems) {
        err << "quarnel-cli: warning: " << Describe(problem) << "\n";
    }
}

void PrintBackup(const std::optional<std::filesystem::path>& backup, std::ostream& out) {
    if (backup) {
        out << "backup: " << backup->string() << "\n";
    }
}

void PrintNotes(const std::vector<std::string>& notes, std::ostream& out) {
    for (const auto& note : notes) {
        out << "note: " << note << "\n";
    }
}

Result<OpenedRom, Error> OpenRomForReading(const std::string& path) {
    // The same reading and checks as the window's open, so both refuse the same files.
    auto catalog = ReadRomTables(path);
    if (!catalog) {
        return Fail(catalog.error());
    }
    auto file = RomFile::Open(path, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    return OpenedRom{std::move(file).value(), std::move(catalog).value()};
}

bool PrepareStorage(const std::filesystem::path& path, std::ostream& out, std::ostream& err) {
    StorageSystem storage(path);
    if (storage.FileExists()) {
        return true;
    }
    if (auto reset = storage.ResetStorage(); !reset) {
        ReportError(reset.error(), err);
        return false;
    }
    out << "storage: created " << path.string() << " with the default free-space areas\n";
    return true;
}

namespace {

Result<void, Error> CheckArea(const Catalog& catalog, uint32_t area) {
    if (area >= catalog.AreaTable.size()) {
        return Fail(Error{ErrorKind::BadArgument,
                          "area " + std::to_string(area) +
                              " does not exist; the game has areas 0 to " +
                              std::to_string(catalog.AreaTable.size() - 1),
                          {}});
    }
    return {};
}

Result<void, Error> CheckRoom(const Catalog& catalog, uint32_t area, uint32_t room) {
    if (auto checked = CheckArea(catalog, area); !checked) {
        return checked;
    }
    const auto rooms = RoomCount(catalog, static_cast<int>(area)).count;
    if (room >= rooms) {
        return Fail(Error{ErrorKind::BadArgument,
                          "room " + std::to_string(room) + " is not in area " +
                              std::to_string(area) + ", which lists " + std::to_string(rooms) +
                              " rooms",
                          {}});
    }
    return {};
}

} // namespace

std::optional<OpenedRom> OpenRomAtArea(const std::string& path, uint32_t area,
                                       std::optional<uint32_t> room, std::ostream& err) {
    auto rom = OpenRomForReading(path);
    if (!rom) {
        ReportError(rom.error(), err);
        return std::nullopt;
    }
    if (auto checked = room ? CheckRoom(rom->catalog, area, *room) : CheckArea(rom->catalog, area);
        !checked) {
        ReportError(checked.error(), err);
        return std::nullopt;
    }
    return std::move(rom).value();
}

std::optional<OpenedRoom> OpenRoomArguments(const std::vector<std::string>& args, std::ostream& err,
                                            int& status) {
    status = kExitUsage;
    const auto area = ParseArgument(args.at(1), "AREA", 255, err);
    const auto room = ParseArgument(args.at(2), "ROOM", 255, err);
    if (!area || !room) {
        return std::nullopt;
    }
    status = kExitFailure;
    auto rom = OpenRomAtArea(args[0], *area, *room, err);
    if (!rom) {
        return std::nullopt;
    }
    const int areaIndex = static_cast<int>(*area);
    const int roomIndex = static_cast<int>(*room);
    auto offset = RoomHeaderOffset(rom->catalog, areaIndex, roomIndex, rom->file.Size());
    if (!offset) {
        ReportError(offset.error(), err);
        return std::nullopt;
    }
    auto header = ReadRoomHeader(rom->file, rom->catalog, areaIndex, roomIndex);
    if (!header) {
        ReportError(header.error(), err);
        return std::nullopt;
    }
    status = 0;
    return OpenedRoom{std::move(rom).value(), *area, *room, *offset, *header};
}

std::optional<EditorState> OpenRoomLikeTheEditor(const std::vector<std::string>& args,
                                                 const std::filesystem::path& storage,
                                                 std::ostream& err, int& status) {
    auto room = OpenRoomArguments(args, err, status);
    if (!room) {
        return std::nullopt;
    }
    std::optional<EditorState> state(std::in_place, storage);
    auto problems =
        OpenAtRoom(*state, args[0], static_cast<int>(room->area), static_cast<int>(room->room));
    if (!problems) {
        status = ReportError(problems.error(), err);
        return std::nullopt;
    }
    PrintWarnings(*problems, err);
    return state;
}

void PrintGiveBack(const GiveBackOutcome& outcome, std::ostream& out) {
    for (const GivenBackBlock& block : outcome.given) {
        out << "given back: 0x" << ToHex(block.offset) << ", " << block.size << " bytes ("
            << block.what << ")\n";
    }
    for (const KeptBlock& block : outcome.kept) {
        out << "kept: " << block.what << " at 0x" << ToHex(block.offset) << ": " << block.reason
            << "\n";
    }
}

} // namespace quarnel::cli
