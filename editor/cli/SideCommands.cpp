// quarnel-cli minimap and music: the minimap editor and the music viewer without their windows.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "graphics/ImageFiles.h"
#include "rom/Catalog.h"
#include "side/MiniMap.h"
#include "side/MiniMapSave.h"
#include "side/MusicView.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include <cctype>
#include <ostream>

namespace quarnel::cli {

namespace {

constexpr const char* kMiniMapUsage =
    "minimap ROM AREA OUT.png | minimap ROM AREA [--storage PATH] (--set X,Y=ENTRY)...";

int MiniMapUsage(std::ostream& err, const std::string& problem) {
    err << "quarnel-cli minimap: " << problem << " (usage: " << kMiniMapUsage << ")\n";
    return kExitUsage;
}

bool IsPicturePath(std::string path) {
    for (char& c : path) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path.size() > 4 && path.ends_with(".png");
}

// One --set: a cell and the whole entry painted into it.
struct MiniMapSet {
    int x = 0;
    int y = 0;
    uint16_t entry = 0;
};

// "3,4=0x1012".
std::optional<MiniMapSet> ParseMiniMapSet(const std::string& text) {
    const auto comma = text.find(',');
    const auto equals = text.find('=', comma == std::string::npos ? 0 : comma);
    if (comma == std::string::npos || equals == std::string::npos) {
        return std::nullopt;
    }
    const auto x = ParseNumber(std::string_view(text).substr(0, comma));
    const auto y = ParseNumber(std::string_view(text).substr(comma + 1, equals - comma - 1));
    const auto entry = ParseNumber(std::string_view(text).substr(equals + 1));
    if (!x || !y || !entry || *x >= kMiniMapSide || *y >= kMiniMapSide || *entry > 0xFFFF) {
        return std::nullopt;
    }
    return MiniMapSet{static_cast<int>(*x), static_cast<int>(*y), static_cast<uint16_t>(*entry)};
}

int RenderMiniMap(const OpenedRom& rom, const MiniMap& map, const std::string& out,
                  std::ostream& text, std::ostream& err) {
    Surface picture;
    DrawMap(picture, map.entries, LoadMiniMapArt(rom.file));
    if (auto written = WritePng(picture, out); !written) {
        return ReportError(written.error(), err);
    }
    text << out << ": " << picture.Width() << " x " << picture.Height() << "\n";
    return 0;
}

int SaveMiniMapCells(OpenedRom& rom, MiniMap& map, const std::string& romPath,
                     const std::vector<MiniMapSet>& sets, const std::filesystem::path& storagePath,
                     std::ostream& out, std::ostream& err) {
    for (const MiniMapSet& set : sets) {
        map.Paint(set.x, set.y, set.entry);
    }
    if (!PrepareStorage(storagePath, out, err)) {
        return kExitFailure;
    }
    StorageSystem storage(storagePath);
    RomBackups backups;
    RomWriteServices services{storage, backups, {}};
    auto saved = SaveMiniMap(romPath, rom.catalog, map, services);
    if (!saved) {
        return ReportError("the minimap was not saved", saved.error(), err);
    }
    PrintBackup(saved->backup, out);
    out << "minimap " << kMiniMapAreaNames[map.area] << ": 0x" << ToHex(saved->offset) << ", "
        << saved->length << " bytes written; pointer 0x"
        << ToHex(kZmLayout.miniMapPointers + 4 * static_cast<uint32_t>(map.area)) << " = 0x"
        << ToHex(rom.catalog.MiniMapPointers[static_cast<size_t>(map.area)]) << "\n";
    PrintGiveBack(saved->givenBack, out);
    PrintNotes(saved->notes, out);
    for (const auto& difference : saved->differences) {
        err << "quarnel-cli: verify: " << difference << " reads back otherwise than written\n";
    }
    return saved->differences.empty() ? 0 : kExitFailure;
}

int RunMiniMap(const Arguments& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> positional;
    std::vector<MiniMapSet> sets;
    std::optional<std::filesystem::path> storagePath;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--storage") {
            if (storagePath || i + 1 >= args.size() || args[i + 1].empty()) {
                return MiniMapUsage(err, "--storage needs one path");
            }
            storagePath = args[++i];
        } else if (args[i] == "--set") {
            const auto set = i + 1 < args.size() ? ParseMiniMapSet(args[i + 1]) : std::nullopt;
            if (!set) {
                return MiniMapUsage(err, "--set takes X,Y=ENTRY with X and Y from 0 to 31 and "
                                         "ENTRY up to 0xFFFF, not '" +
                                             (i + 1 < args.size() ? args[i + 1] : "") + "'");
            }
            sets.push_back(*set);
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return MiniMapUsage(err, "unknown option '" + args[i] + "'");
        } else {
            positional.push_back(args[i]);
        }
    }
    const bool rendering = sets.empty();
    if (rendering && (positional.size() != 3 || !IsPicturePath(positional[2]) || storagePath)) {
        return MiniMapUsage(err, "expected ROM AREA OUT.png, or ROM AREA with --set");
    }
    if (!rendering && positional.size() != 2) {
        return MiniMapUsage(err, "expected ROM AREA before the --set options");
    }
    const auto area = ParseArgument(positional[1], "AREA", kMiniMapAreaCount - 1, err);
    if (!area) {
        return kExitUsage;
    }
    auto rom = OpenRomForReading(positional[0]);
    if (!rom) {
        return ReportError(rom.error(), err);
    }
    if (rom->catalog.game != Game::ZM) {
        err << "quarnel-cli: Metroid Fusion is not supported\n";
        return kExitFailure;
    }
    auto map = ReadMiniMap(rom->file, rom->catalog, static_cast<int>(*area));
    if (!map) {
        return ReportError(map.error(), err);
    }
    if (rendering) {
        return RenderMiniMap(*rom, *map, positional[2], out, err);
    }
    return SaveMiniMapCells(*rom, *map, positional[0], sets,
                            storagePath.value_or(StorageSystem::DefaultPath()), out, err);
}

int RunMusic(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: quarnel-cli music ROM SONG\n";
        return kExitUsage;
    }
    const auto song = ParseArgument(args[1], "SONG", 0xFFFF, err);
    if (!song) {
        return kExitUsage;
    }
    auto rom = OpenRomForReading(args[0]);
    if (!rom) {
        return ReportError(rom.error(), err);
    }
    for (const auto& line : MusicViewLines(ReadMusicView(rom->file, rom->catalog.game, *song))) {
        out << line << "\n";
    }
    return 0;
}

} // namespace

const Command kMiniMapCommand{
    "minimap", kMiniMapUsage,
    "draws a ZM minimap (AREA 0-10 as in the minimap editor's list) as a 256 x 256 picture, or "
    "paints whole entries into its cells and saves it as the editor's \"Save\" does",
    RunMiniMap};
const Command kMusicCommand{
    "music", "music ROM SONG",
    "what the music viewer shows for a song: Text1 to Text8, Label1, then the song's header",
    RunMusic};

} // namespace quarnel::cli
