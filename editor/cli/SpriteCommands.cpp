// quarnel-cli sprites: a room's three sprite placement lists.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
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

} // namespace

const Command kSpritesCommand{
    "sprites", "sprites ROM AREA ROOM",
    "the room's three sprite lists: 'list N count C', then 'I x X y Y sprite HEX' per entry",
    RunSprites};

} // namespace quarnel::cli
