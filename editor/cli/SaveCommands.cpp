// quarnel-cli paint and resize: the editor's Save Room and Resize Room without the window.
// The room is loaded as the editor loads it, each --set paints one cell as a left click
// would (change marks included), and the room is saved through the same path as the
// window's "Save Room": free space from the storage file, a backup of the ROM on the first
// write, the reload and its check.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "main/MapEditing.h"
#include "main/RoomLoading.h"
#include "side/BlockEditing.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/RoomResize.h"
#include "storage/RoomSave.h"

#include <ostream>
#include <string_view>

namespace quarnel::cli {

namespace {

constexpr const char* kPaintUsage = "paint ROM AREA ROOM [--storage PATH] (--set LAYER:X,Y=VALUE | "
                                   "--block BLOCK:TILE=ENTRY)...";
constexpr const char* kResizeUsage =
    "resize ROM AREA ROOM WIDTH HEIGHT [--storage PATH] [--allow-large] [--set LAYER:X,Y=VALUE]...";

// One --set: a cell of a layer and its new value.
struct CellSet {
    LayerKind kind = LayerKind::Level;
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t value = 0;
    std::string text;
};

// One --block: a tile (0-3) of a block of the tileset and its new TileEntry.
struct BlockSet {
    uint32_t block = 0;
    uint32_t corner = 0;
    uint32_t entry = 0;
    std::string text;
};

struct SaveArguments {
    std::vector<std::string> positional;
    std::filesystem::path storage = StorageSystem::DefaultPath();
    std::vector<CellSet> sets;
    std::vector<BlockSet> blocks;
    bool allowLarge = false;
};

int Usage(std::ostream& err, const char* command, const char* usage, const std::string& problem) {
    err << "quarnel-cli " << command << ": " << problem << " (usage: " << usage << ")\n";
    return kExitUsage;
}

std::optional<LayerKind> LayerNamed(std::string_view name) {
    for (LayerKind kind :
         {LayerKind::Foreground, LayerKind::Level, LayerKind::Back, LayerKind::Clip}) {
        if (name == LayerName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

// "level:3,4=0x1F".
std::optional<CellSet> ParseSet(const std::string& text) {
    const auto colon = text.find(':');
    const auto comma = text.find(',', colon == std::string::npos ? 0 : colon);
    const auto equals = text.find('=', comma == std::string::npos ? 0 : comma);
    if (colon == std::string::npos || comma == std::string::npos || equals == std::string::npos) {
        return std::nullopt;
    }
    const auto kind = LayerNamed(std::string_view(text).substr(0, colon));
    const auto x = ParseNumber(std::string_view(text).substr(colon + 1, comma - colon - 1));
    const auto y = ParseNumber(std::string_view(text).substr(comma + 1, equals - comma - 1));
    const auto value = ParseNumber(std::string_view(text).substr(equals + 1));
    const uint64_t maximum = kind == LayerKind::Clip ? 0xFF : 0xFFFF;
    if (!kind || !x || !y || !value || *x > 255 || *y > 255 || *value > maximum) {
        return std::nullopt;
    }
    return CellSet{*kind, static_cast<uint32_t>(*x), static_cast<uint32_t>(*y),
                   static_cast<uint32_t>(*value), text};
}

// "37:2=0x3405": tile 2 (0-3: top-left, top-right, bottom-left, bottom-right) of block 37.
std::optional<BlockSet> ParseBlockSet(const std::string& text) {
    const auto colon = text.find(':');
    const auto equals = text.find('=', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || equals == std::string::npos) {
        return std::nullopt;
    }
    const auto block = ParseNumber(std::string_view(text).substr(0, colon));
    const auto corner = ParseNumber(std::string_view(text).substr(colon + 1, equals - colon - 1));
    const auto entry = ParseNumber(std::string_view(text).substr(equals + 1));
    if (!block || !corner || !entry || *block >= kDrawnBlocks || *corner >= kBlockCorners ||
        *entry > 0xFFFF) {
        return std::nullopt;
    }
    return BlockSet{static_cast<uint32_t>(*block), static_cast<uint32_t>(*corner),
                    static_cast<uint32_t>(*entry), text};
}

// Splits the arguments into positional ones and options; false after a usage message.
bool ParseArguments(const Arguments& args, const char* command, const char* usage,
                    bool allowLargeOption, SaveArguments& parsed, std::ostream& err) {
    bool storageGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--storage") {
            if (storageGiven || i + 1 >= args.size() || args[i + 1].empty()) {
                Usage(err, command, usage, "--storage needs one path");
                return false;
            }
            parsed.storage = args[++i];
            storageGiven = true;
        } else if (arg == "--set") {
            const auto set = i + 1 < args.size() ? ParseSet(args[i + 1]) : std::nullopt;
            if (!set) {
                Usage(err, command, usage,
                      "--set takes foreground|level|back|clip:X,Y=VALUE (VALUE up to 0xFFFF, "
                      "for clip up to 0xFF), not '" +
                          (i + 1 < args.size() ? args[i + 1] : std::string()) + "'");
                return false;
            }
            parsed.sets.push_back(*set);
            ++i;
        } else if (arg == "--block") {
            const auto set = i + 1 < args.size() ? ParseBlockSet(args[i + 1]) : std::nullopt;
            if (!set) {
                Usage(err, command, usage,
                      "--block takes BLOCK:TILE=ENTRY (BLOCK up to 1023, TILE 0-3, ENTRY up to "
                      "0xFFFF), not '" +
                          (i + 1 < args.size() ? args[i + 1] : std::string()) + "'");
                return false;
            }
            parsed.blocks.push_back(*set);
            ++i;
        } else if (allowLargeOption && arg == "--allow-large") {
            parsed.allowLarge = true;
        } else if (arg.rfind("--", 0) == 0) {
            Usage(err, command, usage, "unknown option '" + arg + "'");
            return false;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return true;
}

// Paints each cell as a left click with that layer's edit box ticked would.
bool ApplySets(EditorState& state, const std::vector<CellSet>& sets, std::ostream& err) {
    for (const CellSet& set : sets) {
        const RoomLayer& layer = state.Layer(set.kind);
        const bool usable =
            set.kind == LayerKind::Clip ? layer.Width > 0 : state.LayerUsable(set.kind);
        if (!usable) {
            err << "quarnel-cli: --set " << set.text << ": the room has no usable "
                << LayerName(set.kind) << " layer\n";
            return false;
        }
        if (set.x >= layer.Width || set.y >= layer.Height) {
            err << "quarnel-cli: --set " << set.text << ": the cell lies outside the "
                << LayerName(set.kind) << " layer of " << int{layer.Width} << " x "
                << int{layer.Height} << " blocks\n";
            return false;
        }
        if (!PaintCell(state, set.kind, static_cast<int>(set.x), static_cast<int>(set.y),
                       static_cast<uint16_t>(set.value))) {
            err << "quarnel-cli: --set " << set.text << ": the cell cannot be painted\n";
            return false;
        }
    }
    return true;
}

// Saves and prints what was written, then the check after the reload.
int SaveAndReport(EditorState& state, std::ostream& out, std::ostream& err) {
    RomBackups backups;
    SaveServices services{DefaultPelnix(), backups, {}};
    auto saved = SaveRoom(state, ListsOf(state.CurrentRoomHeader), services);
    if (!saved) {
        err << "quarnel-cli: the room was not saved: " << Describe(saved.error()) << "\n";
        return kExitFailure;
    }
    if (saved->backup) {
        out << "backup: " << saved->backup->string() << "\n";
    }
    for (const WrittenLayer& layer : saved->layers) {
        out << LayerName(layer.kind) << " layer: 0x" << ToHex(layer.offset) << ", " << layer.written
            << " bytes written, " << layer.reserved << " reserved\n";
    }
    if (saved->spriteList) {
        out << "sprite list " << saved->spriteList->listIndex + 1 << ": 0x"
            << ToHex(saved->spriteList->offset) << ", " << saved->spriteList->bytes.size()
            << " bytes written\n";
    }
    for (size_t record : saved->tilesetRecords) {
        out << "tileset record " << record << " written\n";
    }
    if (saved->blockTable) {
        out << saved->blockTable->what << ": 0x" << ToHex(saved->blockTable->offset) << ", "
            << saved->blockTable->bytes.size() << " bytes written\n";
    }
    for (const auto& note : saved->notes) {
        out << "note: " << note << "\n";
    }
    for (const auto& problem : saved->reloadProblems) {
        err << "quarnel-cli: warning: " << Describe(problem) << "\n";
    }
    if (!saved->differences.empty()) {
        for (const auto& difference : saved->differences) {
            err << "quarnel-cli: verify: " << difference << "\n";
        }
        return kExitFailure;
    }
    out << "verify: the reloaded room matches what was written\n";
    return 0;
}

int RunPaint(const Arguments& args, std::ostream& out, std::ostream& err) {
    SaveArguments parsed;
    if (!ParseArguments(args, "paint", kPaintUsage, false, parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 3) {
        return Usage(err, "paint", kPaintUsage, "expected ROM AREA ROOM");
    }
    if (parsed.sets.empty() && parsed.blocks.empty()) {
        return Usage(err, "paint", kPaintUsage, "at least one --set or --block is needed");
    }
    if (!PrepareStorage(parsed.storage, out, err)) {
        return kExitFailure;
    }
    int status = 0;
    auto state = OpenRoomForSaving(parsed.positional, parsed.storage, err, status);
    if (!state) {
        return status;
    }
    if (!ApplySets(*state, parsed.sets, err)) {
        return kExitFailure;
    }
    for (const BlockSet& set : parsed.blocks) {
        if (auto changed = SetBlockTile(*state, static_cast<int>(set.block),
                                        static_cast<int>(set.corner),
                                        TileEntry{static_cast<uint16_t>(set.entry)});
            !changed) {
            err << "quarnel-cli: --block " << set.text << ": " << Describe(changed.error()) << "\n";
            return kExitFailure;
        }
    }
    return SaveAndReport(*state, out, err);
}

int RunResize(const Arguments& args, std::ostream& out, std::ostream& err) {
    SaveArguments parsed;
    if (!ParseArguments(args, "resize", kResizeUsage, true, parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 5) {
        return Usage(err, "resize", kResizeUsage, "expected ROM AREA ROOM WIDTH HEIGHT");
    }
    const auto width = ParseRoomDimension(parsed.positional[3]);
    const auto height = ParseRoomDimension(parsed.positional[4]);
    if (!width || !height) {
        return Usage(err, "resize", kResizeUsage,
                     "WIDTH and HEIGHT must be whole numbers from 1 to 255");
    }
    const int blocks = int{*width} * int{*height};
    if (blocks > kGameLayerBlocks && !parsed.allowLarge) {
        err << "quarnel-cli: the games hold at most 6,144 blocks per layer; this room would have "
            << blocks << " (give --allow-large to resize anyway)\n";
        return kExitFailure;
    }
    if (!PrepareStorage(parsed.storage, out, err)) {
        return kExitFailure;
    }
    int status = 0;
    std::vector<std::string> room(parsed.positional.begin(), parsed.positional.begin() + 3);
    auto state = OpenRoomForSaving(room, parsed.storage, err, status);
    if (!state) {
        return status;
    }
    ApplyRoomResize(*state, RoomSize{*width, *height});
    if (!ApplySets(*state, parsed.sets, err)) {
        return kExitFailure;
    }
    return SaveAndReport(*state, out, err);
}

} // namespace

const Command kPaintCommand{"paint", kPaintUsage,
                            "paints cells as the editor's left click does and sets tiles of the "
                            "tileset's blocks as the TSA Editor's \"Save\" does, then saves the "
                            "room as \"Save Room\" does",
                            RunPaint};
const Command kResizeCommand{"resize", kResizeUsage,
                             "gives all layers of the room a new size, paints the --set cells, "
                             "then saves every present layer",
                             RunResize};

} // namespace quarnel::cli
