// quarnel-cli dump: the room and tileset dumps of the main window's "Dumps" menu.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "dumps/Dumps.h"

#include <ostream>

namespace quarnel::cli {

namespace {

int RunDump(const Arguments& args, std::ostream& out, std::ostream& err) {
    const char* usage = "usage: quarnel-cli dump rooms|tilesets|tileset-pointers ROM OUTDIR\n";
    if (args.size() != 3 || args[2].empty()) {
        err << usage;
        return kExitUsage;
    }
    DumpKind kind = DumpKind::Rooms;
    if (args[0] == "tilesets") {
        kind = DumpKind::Tilesets;
    } else if (args[0] == "tileset-pointers") {
        kind = DumpKind::TilesetPointers;
    } else if (args[0] != "rooms") {
        err << usage;
        return kExitUsage;
    }
    auto rom = OpenRomForReading(args[1]);
    if (!rom) {
        return ReportError(rom.error(), err);
    }
    const std::filesystem::path root = args[2];
    auto dumped = kind == DumpKind::Rooms      ? DumpRooms(rom->file, rom->catalog, root)
                  : kind == DumpKind::Tilesets ? DumpTilesets(rom->file, rom->catalog, root)
                                               : DumpTilesetPointers(rom->catalog, root);
    if (!dumped) {
        return ReportError(dumped.error(), err);
    }
    for (const auto& skipped : dumped->skipped) {
        err << "quarnel-cli: warning: " << skipped << "\n";
    }
    out << DumpFolder(root, rom->catalog.game, kind).string() << ": " << dumped->files
        << " files\n";
    return 0;
}

} // namespace

const Command kDumpCommand{"dump", "dump rooms|tilesets|tileset-pointers ROM OUTDIR",
                           "writes the room headers, the block tables or the tileset records as "
                           "text files under OUTDIR/Header/<game>/, as the \"Dumps\" menu does",
                           RunDump};

} // namespace quarnel::cli
