// quarnel-cli doors, door and scrolls: an area's door records, one record rewritten in place,
// and a room's scroll rectangles.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "doors/DoorEdits.h"
#include "doors/DoorSave.h"
#include "doors/ScrollData.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include <ostream>
#include <string_view>

namespace quarnel::cli {

namespace {

constexpr const char* kDoorUsage = "door ROM AREA INDEX [--set FIELD=VALUE]...";

// "3 type 4 room 1 x 0-0 y 6-9 to 1A exit 32,0"
std::string DoorLine(size_t index, const DoorRecord& door) {
    return ToHex(index) + " type " + ToHex(door.Type()) + " room " + ToHex(door.Room()) + " x " +
           ToHex(door.XStart()) + "-" + ToHex(door.XEnd()) + " y " + ToHex(door.YStart()) + "-" +
           ToHex(door.YEnd()) + " to " + ToHex(door.Destination()) + " exit " +
           std::to_string(door.ExitX()) + "," + std::to_string(door.ExitY());
}

// Opens the ROM and reads the doors of the area named by args[1].
std::optional<std::pair<OpenedRom, DoorState>> OpenAreaDoors(const Arguments& args,
                                                             std::ostream& err, int& status) {
    status = kExitUsage;
    const auto area = ParseArgument(args[1], "AREA", 255, err);
    if (!area) {
        return std::nullopt;
    }
    status = kExitFailure;
    auto rom = OpenRomAtArea(args[0], *area, std::nullopt, err);
    if (!rom) {
        return std::nullopt;
    }
    DoorState doors;
    if (auto loaded = LoadAreaDoors(rom->file, rom->catalog, static_cast<int>(*area), doors);
        !loaded) {
        ReportError(loaded.error(), err);
        return std::nullopt;
    }
    status = 0;
    return std::pair{std::move(rom).value(), std::move(doors)};
}

int RunDoors(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: quarnel-cli doors ROM AREA\n";
        return kExitUsage;
    }
    int status = 0;
    auto opened = OpenAreaDoors(args, err, status);
    if (!opened) {
        return status;
    }
    const auto& doors = opened->second.AreaDoors;
    for (size_t i = 0; i < doors.size(); ++i) {
        out << DoorLine(i, doors[i]) << "\n";
    }
    return 0;
}

// A whole number, decimal (with an optional minus sign) or 0x-prefixed hexadecimal.
std::optional<int> ParseValue(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    const auto magnitude = ParseNumber(negative ? text.substr(1) : text);
    if (!magnitude || *magnitude > 1000 || (negative && text.substr(1, 2) == "0x")) {
        return std::nullopt;
    }
    const int value = static_cast<int>(*magnitude);
    return negative ? -value : value;
}

struct FieldSet {
    DoorField field;
    int value;
};

// "xstart=0x1F", "exitx=-16"; an error message when the text is not one.
std::optional<FieldSet> ParseFieldSet(const std::string& text, std::string& problem) {
    const auto equals = text.find('=');
    const auto field =
        equals == std::string::npos ? std::nullopt : DoorFieldNamed(text.substr(0, equals));
    if (!field) {
        problem = "--set takes FIELD=VALUE with FIELD one of type, room, xstart, xend, ystart, "
                  "yend, to, exitx, exity, not '" +
                  text + "'";
        return std::nullopt;
    }
    const FieldRange range = DoorFieldRange(*field);
    const auto value = ParseValue(std::string_view(text).substr(equals + 1));
    if (!value || *value < range.minimum || *value > range.maximum) {
        problem = std::string(DoorFieldName(*field)) + " takes a number from " +
                  std::to_string(range.minimum) + " to " + std::to_string(range.maximum) +
                  ", not '" + text.substr(equals + 1) + "'";
        return std::nullopt;
    }
    return FieldSet{*field, *value};
}

int DoorUsage(std::ostream& err, const std::string& problem) {
    err << "quarnel-cli door: " << problem << " (usage: " << kDoorUsage << ")\n";
    return kExitUsage;
}

int RunDoor(const Arguments& args, std::ostream& out, std::ostream& err) {
    Arguments positional;
    std::vector<FieldSet> sets;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--set") {
            if (i + 1 >= args.size()) {
                return DoorUsage(err, "--set needs FIELD=VALUE");
            }
            std::string problem;
            const auto set = ParseFieldSet(args[++i], problem);
            if (!set) {
                return DoorUsage(err, problem);
            }
            sets.push_back(*set);
        } else if (args[i].rfind("--", 0) == 0) {
            return DoorUsage(err, "unknown option '" + args[i] + "'");
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3) {
        return DoorUsage(err, "expected ROM AREA INDEX");
    }
    const auto index = ParseArgument(positional[2], "INDEX", 254, err);
    if (!index) {
        return kExitUsage;
    }
    int status = 0;
    auto opened = OpenAreaDoors(positional, err, status);
    if (!opened) {
        return status;
    }
    auto& [rom, doors] = *opened;
    if (*index >= doors.AreaDoors.size()) {
        return ReportError(Error{ErrorKind::BadArgument,
                                 "door " + ToHex(*index) + " is not in area " + positional[1] +
                                     ", which has " + std::to_string(doors.AreaDoors.size()) +
                                     " doors",
                                 {}},
                           err);
    }
    for (const FieldSet& set : sets) {
        if (auto changed = SetDoorField(doors, *index, set.field, set.value); !changed) {
            return ReportError(changed.error(), err);
        }
    }
    StorageSystem storage(StorageSystem::DefaultPath());
    RomBackups backups;
    RomWriteServices services{storage, backups, {}};
    auto saved = SaveDoors(positional[0], rom.catalog.game, doors, services);
    if (!saved) {
        return ReportError("the door was not saved", saved.error(), err);
    }
    PrintBackup(saved->write.backup, out);
    PrintNotes(saved->write.notes, out);
    out << DoorLine(*index, doors.AreaDoors[*index]) << "\n";
    out << (saved->doors.empty()
                ? "unchanged: nothing was written\n"
                : "written: 12 bytes at 0x" + ToHex(doors.TableOffset + 12 * *index) + "\n");
    return 0;
}

int RunScrolls(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: quarnel-cli scrolls ROM AREA ROOM\n";
        return kExitUsage;
    }
    int status = 0;
    auto room = OpenRoomArguments(args, err, status);
    if (!room) {
        return status;
    }
    auto scrolls = ReadRoomScrolls(room->rom.file, room->rom.catalog.game,
                                   static_cast<int>(room->area), static_cast<int>(room->room));
    if (!scrolls) {
        return ReportError(scrolls.error(), err);
    }
    out << "count " << scrolls->ScrollList.size() << "\n";
    for (size_t i = 0; i < scrolls->ScrollList.size(); ++i) {
        const ScrollRecord& s = scrolls->ScrollList[i];
        out << i << " x " << int{s.XStart()} << "-" << int{s.XEnd()} << " y " << int{s.YStart()}
            << "-" << int{s.YEnd()} << " break " << ToHex(s.BreakX()) << "," << ToHex(s.BreakY())
            << " extend " << int{s.ExtendBound()} << " " << ToHex(s.ExtendValue()) << "\n";
    }
    return 0;
}

} // namespace

const Command kDoorsCommand{"doors", "doors ROM AREA",
                            "the area's doors: 'INDEX type T room R x XS-XE y YS-YE to DOOR exit "
                            "EX,EY' (hexadecimal; exit offsets in signed decimal)",
                            RunDoors};
const Command kDoorCommand{"door", kDoorUsage,
                           "sets fields of one door record (room, xstart, xend, ystart, yend, to: "
                           "0-255; type: 1-255, as 0 ends the area's list; exitx, exity: -128 to "
                           "127) and writes its 12 bytes in place, after a backup",
                           RunDoor};
const Command kScrollsCommand{"scrolls", "scrolls ROM AREA ROOM",
                              "the room's scrolls: 'count N', then 'I x XS-XE y YS-YE break "
                              "BX,BY extend BOUND VALUE' per scroll",
                              RunScrolls};

} // namespace quarnel::cli
