// quarnel-cli tiles and palette: the tiles editor's file buttons and its "Import Tileset"
// without the window. The room is loaded as the editor loads it; its tileset's tiles and
// colours are what the files hold.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "rom/RomFile.h"
#include "side/PaletteFiles.h"
#include "side/TileFiles.h"
#include "side/TilesetReinsert.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include <cctype>
#include <ostream>

namespace quarnel::cli {

namespace {

constexpr const char* kTilesUsage = "tiles export ROM AREA ROOM OUT.png|OUT.bin [--row N] | "
                                    "tiles import ROM AREA ROOM IN.png|IN.bin [--storage PATH]";
constexpr const char* kPaletteUsage = "palette ROM AREA ROOM OUT.pal [--jasc]";

int Usage(std::ostream& err, const char* usage, const std::string& problem) {
    err << "quarnel-cli: " << problem << " (usage: quarnel-cli " << usage << ")\n";
    return kExitUsage;
}

std::string Extension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

// Positional arguments and the value of the one option a command takes.
struct Parsed {
    std::vector<std::string> positional;
    std::optional<std::string> option;
    bool flag = false;
};

// `option` takes a value; `flag` does not. False after a usage message.
bool Parse(const Arguments& args, const char* option, const char* flag, const char* usage,
           Parsed& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (option != nullptr && args[i] == option) {
            if (parsed.option || i + 1 >= args.size() || args[i + 1].empty()) {
                Usage(err, usage, std::string(option) + " needs one value");
                return false;
            }
            parsed.option = args[++i];
        } else if (flag != nullptr && args[i] == flag) {
            parsed.flag = true;
        } else if (args[i].rfind("--", 0) == 0) {
            Usage(err, usage, "unknown option '" + args[i] + "'");
            return false;
        } else {
            parsed.positional.push_back(args[i]);
        }
    }
    return true;
}

int RunExport(const Arguments& args, std::ostream& out, std::ostream& err) {
    Parsed parsed;
    if (!Parse(args, "--row", nullptr, kTilesUsage, parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 4) {
        return Usage(err, kTilesUsage, "tiles export expects ROM AREA ROOM OUT");
    }
    const std::string& target = parsed.positional[3];
    const std::string extension = Extension(target);
    if (extension != ".png" && extension != ".bin") {
        return Usage(err, kTilesUsage, "OUT must end in .png or .bin");
    }
    uint32_t row = 0;
    if (parsed.option) {
        const auto value = ParseArgument(*parsed.option, "--row", kPaletteRows - 1, err);
        if (!value) {
            return kExitUsage;
        }
        row = *value;
    }
    int status = 0;
    auto state =
        OpenRoomLikeTheEditor(parsed.positional, StorageSystem::DefaultPath(), err, status);
    if (!state) {
        return status;
    }
    const Tileset& tileset = state->Graphics;
    auto written = extension == ".png" ? WriteTileSheet(tileset.Tiles, tileset.Colours,
                                                        static_cast<int>(row), target)
                                       : WriteTileFile(tileset.Tiles, target);
    if (!written) {
        return ReportError(written.error(), err);
    }
    out << target << ": the 840 tiles of tileset " << tileset.Number
        << (extension == ".png" ? " in palette row " + std::to_string(row) : std::string()) << "\n";
    return 0;
}

int RunImport(const Arguments& args, std::ostream& out, std::ostream& err) {
    Parsed parsed;
    if (!Parse(args, "--storage", nullptr, kTilesUsage, parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 4) {
        return Usage(err, kTilesUsage, "tiles import expects ROM AREA ROOM IN");
    }
    const std::filesystem::path storagePath =
        parsed.option ? std::filesystem::path(*parsed.option) : StorageSystem::DefaultPath();
    auto tiles = ReadTilesFile(parsed.positional[3]);
    if (!tiles) {
        return ReportError(tiles.error(), err);
    }
    if (!PrepareStorage(storagePath, out, err)) {
        return kExitFailure;
    }
    int status = 0;
    auto state = OpenRoomLikeTheEditor(parsed.positional, storagePath, err, status);
    if (!state) {
        return status;
    }
    state->Graphics.Tiles = *tiles;
    RomBackups backups;
    RomWriteServices services{state->Storage, backups, {}};
    auto done = ReinsertTileset(*state, services);
    if (!done) {
        return ReportError("the tiles were not written", done.error(), err);
    }
    PrintBackup(done->backup, out);
    for (const auto& line : done->written) {
        out << "written: " << line << "\n";
    }
    PrintGiveBack(done->givenBack, out);
    PrintNotes(done->notes, out);
    if (done->written.empty()) {
        out << "nothing written: the ROM already holds these tiles\n";
    } else {
        out << "verify: everything written reads back as written\n";
    }
    return 0;
}

int RunTiles(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || (args[0] != "export" && args[0] != "import")) {
        return Usage(err, kTilesUsage, "tiles takes export or import");
    }
    const Arguments rest(args.begin() + 1, args.end());
    return args[0] == "export" ? RunExport(rest, out, err) : RunImport(rest, out, err);
}

int RunPalette(const Arguments& args, std::ostream& out, std::ostream& err) {
    Parsed parsed;
    if (!Parse(args, nullptr, "--jasc", kPaletteUsage, parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 4) {
        return Usage(err, kPaletteUsage, "palette expects ROM AREA ROOM OUT.pal");
    }
    int status = 0;
    auto state =
        OpenRoomLikeTheEditor(parsed.positional, StorageSystem::DefaultPath(), err, status);
    if (!state) {
        return status;
    }
    const std::string& target = parsed.positional[3];
    auto written = parsed.flag ? WriteJascPal(state->Graphics.Colours, target)
                               : WritePaletteFile(state->Graphics.Colours, target);
    if (!written) {
        return ReportError(written.error(), err);
    }
    out << target << ": the 256 colours of tileset " << state->Graphics.Number
        << (parsed.flag ? " as JASC-PAL text\n" : " (1,024 bytes)\n");
    return 0;
}

} // namespace

const Command kTilesCommand{"tiles", kTilesUsage,
                            "exports the room's tileset tiles as a tile sheet PNG (in palette row "
                            "N) or a 26,880-byte tile file, or writes such a file back into the "
                            "ROM as \"Import Tileset\" does",
                            RunTiles};
const Command kPaletteCommand{"palette", kPaletteUsage,
                              "writes the room's 256 tileset colours as the 1,024-byte palette "
                              "file, or as JASC-PAL text",
                              RunPalette};

} // namespace quarnel::cli
