// quarnel-cli sprites and doors: a room's three sprite placement lists, and the door records
// of a Zero Mission area.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "doors/DoorData.h"
#include "sprites/SpriteLists.h"

#include <ostream>

namespace quarnel::cli {

namespace {

int RunSprites(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: quarnel-cli sprites ROM AREA ROOM\n";
        return kExitUsage;
    }
    int status = 0;
    auto room = OpenRoomArguments(args, err, status);
    if (!room) {
        return status;
    }
    SpriteLists lists;
    const auto refused = LoadRoomSprites(room->rom.file, room->header, lists);
    for (int listIndex = 0; listIndex < static_cast<int>(kSpriteListsPerRoom); ++listIndex) {
        const int number = listIndex + 1;
        if (const auto& error = refused[static_cast<size_t>(listIndex)]) {
            out << "list " << number << " refused\n";
            err << "quarnel-cli: " << Describe(*error) << "\n";
            continue;
        }
        const auto& list = lists.List(listIndex);
        out << "list " << number << " count " << int{lists.Count(listIndex)} << "\n";
        for (size_t i = 0; i < list.size(); ++i) {
            out << i << " x " << int{list[i].X} << " y " << int{list[i].Y} << " sprite "
                << ToHex(list[i].SpriteNumber) << "\n";
        }
    }
    return 0;
}

int RunDoors(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: quarnel-cli doors ROM AREA\n";
        return kExitUsage;
    }
    const auto area = ParseArgument(args[1], "AREA", 255, err);
    if (!area) {
        return kExitUsage;
    }
    auto rom = OpenRomForReading(args[0]);
    if (!rom) {
        return ReportError(rom.error(), err);
    }
    const auto& catalog = rom->catalog;
    if (catalog.game != Game::ZM) {
        err << "quarnel-cli: doors: only Zero Mission ROMs have door records the editor reads\n";
        return kExitFailure;
    }
    if (*area >= catalog.AreaTable.size()) {
        return ReportError(Error{ErrorKind::BadArgument,
                                 "area " + std::to_string(*area) +
                                     " does not exist; the game has areas 0 to " +
                                     std::to_string(catalog.AreaTable.size() - 1),
                                 {}},
                           err);
    }
    DoorState state;
    if (auto loaded = LoadAreaDoors(rom->file, catalog, static_cast<int>(*area), state); !loaded) {
        return ReportError(loaded.error(), err);
    }
    for (size_t i = 0; i < state.AreaDoors.size(); ++i) {
        out << i;
        const auto& bytes = state.AreaDoors[i].ToBytes();
        for (size_t b = 0; b < DoorRecord::kNamedBytes; ++b) {
            out << " " << ToHexWidth(bytes[b], 2);
        }
        out << "\n";
    }
    return 0;
}

} // namespace

const Command kSpritesCommand{
    "sprites", "sprites ROM AREA ROOM",
    "the room's three sprite lists: 'list N count C', then 'I x X y Y sprite HEX' per entry",
    RunSprites};
const Command kDoorsCommand{
    "doors", "doors ROM AREA",
    "(Zero Mission) the area's door records: index, then bytes 0-7 in hexadecimal", RunDoors};

} // namespace quarnel::cli
