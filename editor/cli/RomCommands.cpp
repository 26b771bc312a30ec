// quarnel-cli info, header and layer: what the catalog, a room header and a stored layer hold.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "dumps/RoomDump.h"
#include "rom/LayerCodec.h"

#include <ostream>

namespace quarnel::cli {

namespace {

int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: quarnel-cli info ROM\n";
        return kExitUsage;
    }
    auto rom = OpenRomForReading(args[0]);
    if (!rom) {
        return ReportError(rom.error(), err);
    }
    const auto& catalog = rom->catalog;
    out << "game: " << GameCodeText(catalog.game) << "\n";
    const auto names = AreaNames(catalog.game);
    for (size_t area = 0; area < names.size(); ++area) {
        out << "area " << area << " " << names[area] << " rooms "
            << int{RoomCount(catalog, static_cast<int>(area)).count} << "\n";
    }
    return 0;
}

int RunHeader(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: quarnel-cli header ROM AREA ROOM\n";
        return kExitUsage;
    }
    int status = 0;
    auto room = OpenRoomArguments(args, err, status);
    if (!room) {
        return status;
    }
    for (const auto& line : RoomDumpLines(room->header, room->headerOffset)) {
        out << line << "\n";
    }
    return 0;
}

std::optional<LayerKind> ParseLayerKind(const std::string& word) {
    for (LayerKind kind :
         {LayerKind::Foreground, LayerKind::Level, LayerKind::Back, LayerKind::Clip}) {
        if (word == LayerName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

int RunLayer(const Arguments& args, std::ostream& out, std::ostream& err) {
    const auto kind = args.size() == 4 ? ParseLayerKind(args[3]) : std::nullopt;
    if (!kind) {
        err << "usage: quarnel-cli layer ROM AREA ROOM foreground|level|back|clip\n";
        return kExitUsage;
    }
    int status = 0;
    auto room = OpenRoomArguments(args, err, status);
    if (!room) {
        return status;
    }
    const auto& file = room->rom.file;
    const RoomHeader& header = room->header;
    if (!LayerPresent(header, *kind)) {
        out << "absent\n";
        return 0;
    }
    auto stored = ReadLayer(file, LayerPointer(header, *kind), *kind);
    // Data the editor refuses is not an absent layer: the cells asked for cannot be shown.
    if (!stored) {
        return ReportError(stored.error(), err);
    }
    if (stored->warning) {
        err << "quarnel-cli: " << Describe(*stored->warning) << "\n";
    }
    const RoomLayer& layer = stored->layer;
    out << int{layer.Width} << " " << int{layer.Height} << "\n";
    for (int y = 0; y < layer.Height; ++y) {
        for (int x = 0; x < layer.Width; ++x) {
            out << (x == 0 ? "" : " ") << ToHex(static_cast<uint16_t>(layer.Cell(x, y)));
        }
        out << "\n";
    }
    return 0;
}

} // namespace

const Command kInfoCommand{"info", "info ROM", "the game and each area's name and room count",
                           RunInfo};
const Command kHeaderCommand{"header", "header ROM AREA ROOM",
                             "the room's 60-byte header, one labelled field per line", RunHeader};
const Command kLayerCommand{"layer", "layer ROM AREA ROOM foreground|level|back|clip",
                            "the layer's size, then its cells row by row in hexadecimal", RunLayer};

} // namespace quarnel::cli
