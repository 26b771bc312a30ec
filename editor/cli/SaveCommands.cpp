// quarnel-cli paint and resize: the editor's Save Room and Resize Room without the window.
// The room is loaded as the editor loads it, each --set paints one cell as a left click
// would (change marks included), each --sprite moves and renumbers a sprite as a drag and
// the right-click question on the map would (marking its list), and the room is saved
// through the same path as the window's "Save Room": free space from the storage file, a
// backup of the ROM before the first write, the reload and its check.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "common/Hex.h"
#include "main/EditSteps.h"
#include "main/MapEditing.h"
#include "main/RoomLoading.h"
#include "side/BlockEditing.h"
#include "sprites/SpriteLists.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/RoomResize.h"
#include "storage/RoomSave.h"

#include <ostream>
#include <string_view>

namespace quarnel::cli {

namespace {

constexpr const char* kPaintUsage =
    "paint ROM AREA ROOM [--storage PATH] (--set LAYER:X,Y=VALUE | "
    "--sprite LIST:INDEX=X,Y[,NUMBER] | --block BLOCK:TILE=ENTRY)... [--undo N]";
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

// One --sprite: entry `index` of sprite list `list` (1-3) to block (x, y), and a new sprite
// number when one is given.
struct SpriteSet {
    int list = 1;
    uint32_t index = 0;
    uint8_t x = 0;
    uint8_t y = 0;
    std::optional<uint8_t> number;
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
    std::vector<SpriteSet> sprites;
    std::vector<BlockSet> blocks;
    bool allowLarge = false;
    int undo = 0; // steps undone before the save
};

// Which options a command takes besides --storage and --set.
struct SaveOptions {
    bool allowLarge = false;
    bool sprites = false;
    bool blocks = false;
    bool undo = false;
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
    // A tile layer's cell is a block of the tileset: a save keeps only those ten bits, and the
    // window paints no other value.
    const uint64_t maximum = kind == LayerKind::Clip ? 0xFF : kDrawnBlocks - 1;
    if (!kind || !x || !y || !value || *x > 255 || *y > 255 || *value > maximum) {
        return std::nullopt;
    }
    return CellSet{*kind, static_cast<uint32_t>(*x), static_cast<uint32_t>(*y),
                   static_cast<uint32_t>(*value), text};
}

// A decimal number of at most three digits, no larger than `maximum`.
std::optional<uint32_t> SmallDecimal(std::string_view text, uint32_t maximum) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const auto value = static_cast<uint32_t>(std::stoul(std::string(text)));
    return value <= maximum ? std::optional(value) : std::nullopt;
}

// "1:0=3,4" or "2:5=10,7,33", all decimal; the reason when refused.
Result<SpriteSet, std::string> ParseSprite(const std::string& text) {
    const auto colon = text.find(':');
    const auto equals = text.find('=');
    if (colon == std::string::npos || equals == std::string::npos || equals < colon) {
        return Fail(std::string("--sprite takes LIST:INDEX=X,Y[,NUMBER]"));
    }
    std::vector<std::string_view> values;
    for (size_t start = equals + 1;;) {
        const auto comma = text.find(',', start);
        values.push_back(std::string_view(text).substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (values.size() != 2 && values.size() != 3) {
        return Fail(std::string("--sprite takes LIST:INDEX=X,Y[,NUMBER]"));
    }
    const auto list = SmallDecimal(std::string_view(text).substr(0, colon), 3);
    // A list holds at most 254 sprites before its closing entry.
    const auto index = SmallDecimal(std::string_view(text).substr(colon + 1, equals - colon - 1),
                                    kSpriteEntriesScanned - 2);
    const auto x = SmallDecimal(values[0], 255);
    const auto y = SmallDecimal(values[1], 255);
    if (!list || *list == 0) {
        return Fail(std::string("LIST must be 1, 2 or 3"));
    }
    if (!index) {
        return Fail(std::string("INDEX must be a decimal number from 0 to 253"));
    }
    if (!x || !y) {
        return Fail(std::string("X and Y must be decimal block numbers from 0 to 255"));
    }
    SpriteSet set;
    set.list = static_cast<int>(*list);
    set.index = *index;
    set.x = static_cast<uint8_t>(*x);
    set.y = static_cast<uint8_t>(*y);
    set.text = text;
    if (values.size() == 3) {
        const auto number = ParseSpriteNumber(values[2]);
        if (!number || values[2].find_first_of(" \t") != std::string_view::npos) {
            return Fail(std::string("NUMBER must be a decimal number from 0 to 254 (255 marks the "
                                    "end of a sprite list)"));
        }
        set.number = *number;
    }
    return set;
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
                    SaveOptions options, SaveArguments& parsed, std::ostream& err) {
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
                      "--set takes foreground|level|back|clip:X,Y=VALUE (VALUE a block up to "
                      "0x3FF, for clip up to 0xFF), not '" +
                          (i + 1 < args.size() ? args[i + 1] : std::string()) + "'");
                return false;
            }
            parsed.sets.push_back(*set);
            ++i;
        } else if (options.sprites && arg == "--sprite") {
            auto sprite =
                i + 1 < args.size()
                    ? ParseSprite(args[i + 1])
                    : Result<SpriteSet, std::string>(Fail(std::string("--sprite needs a value")));
            if (!sprite) {
                Usage(err, command, usage,
                      sprite.error() + (i + 1 < args.size() ? ", not '" + args[i + 1] + "'" : ""));
                return false;
            }
            parsed.sprites.push_back(*sprite);
            ++i;
        } else if (options.blocks && arg == "--block") {
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
        } else if (options.undo && arg == "--undo") {
            const auto count = i + 1 < args.size() ? ParseNumber(args[i + 1]) : std::nullopt;
            if (!count || *count > 0xFFFF || parsed.undo != 0) {
                Usage(err, command, usage, "--undo takes one count of steps");
                return false;
            }
            parsed.undo = static_cast<int>(*count);
            ++i;
        } else if (options.allowLarge && arg == "--allow-large") {
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
        const int x = static_cast<int>(set.x);
        const int y = static_cast<int>(set.y);
        const int16_t before = layer.Cell(x, y);
        if (!PaintCell(state, set.kind, x, y, static_cast<uint16_t>(set.value))) {
            err << "quarnel-cli: --set " << set.text << ": the cell cannot be painted\n";
            return false;
        }
        // Each --set is one step of the room's history, as one click on the map is.
        if (layer.Cell(x, y) != before) {
            state.History.Record(
                state, CurrentRoom(state),
                std::make_unique<CellsStep>(CellChange{set.kind, x, y, before, layer.Cell(x, y)}));
        }
    }
    return true;
}

// Moves and renumbers each sprite as a drag to its block and the right-click question on
// the map do; the list it belongs to is then marked, so the save writes it.
bool ApplySprites(EditorState& state, const std::vector<SpriteSet>& sprites, std::ostream& err) {
    for (const SpriteSet& sprite : sprites) {
        const int listIndex = sprite.list - 1;
        const auto& list = state.Sprites.List(listIndex);
        if (!state.Sprites.origin[static_cast<size_t>(listIndex)]) {
            err << "quarnel-cli: --sprite " << sprite.text << ": sprite list " << sprite.list
                << " could not be read from the ROM\n";
            return false;
        }
        if (sprite.index >= list.size()) {
            err << "quarnel-cli: --sprite " << sprite.text << ": sprite list " << sprite.list
                << " holds " << list.size() << " sprites"
                << (list.empty() ? std::string()
                                 : " (INDEX 0 to " + std::to_string(list.size() - 1) + ")")
                << "\n";
            return false;
        }
        // The map keeps a dragged sprite on the room's blocks; so does the command line.
        if (sprite.x >= state.MapBlocksWide() || sprite.y >= state.MapBlocksHigh()) {
            err << "quarnel-cli: --sprite " << sprite.text << ": block " << int{sprite.x} << ","
                << int{sprite.y} << " lies outside the room of " << state.MapBlocksWide() << " x "
                << state.MapBlocksHigh() << " blocks\n";
            return false;
        }
        LabelSnap snap;
        snap.position = BlockLabelPosition(sprite.x, sprite.y);
        snap.blockX = sprite.x;
        snap.blockY = sprite.y;
        const SpritePlacement before = list[sprite.index];
        MoveSprite(state.Sprites, listIndex, sprite.index, snap);
        if (sprite.number) {
            SetSpriteNumber(state.Sprites, listIndex, sprite.index, *sprite.number);
        }
        if (list[sprite.index] != before) {
            state.History.Record(state, CurrentRoom(state),
                                 std::make_unique<SpriteStep>(SpriteStep::Kind::Move, listIndex,
                                                              sprite.index, before,
                                                              list[sprite.index]));
        }
    }
    return true;
}

// Sets each tile of a block as the TSA Editor's "Save" does.
bool ApplyBlocks(EditorState& state, const std::vector<BlockSet>& blocks, std::ostream& err) {
    for (const BlockSet& set : blocks) {
        if (auto changed =
                SetBlockTile(state, static_cast<int>(set.block), static_cast<int>(set.corner),
                             TileEntry{static_cast<uint16_t>(set.entry)});
            !changed) {
            err << "quarnel-cli: --block " << set.text << ": " << Describe(changed.error()) << "\n";
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
        return ReportError("the room was not saved", saved.error(), err);
    }
    PrintBackup(saved->backup, out);
    for (const WrittenLayer& layer : saved->layers) {
        out << LayerName(layer.kind) << " layer: 0x" << ToHex(layer.offset) << ", " << layer.written
            << " bytes written, " << layer.reserved << " reserved\n";
    }
    for (const SpriteListWrite& list : saved->spriteLists) {
        out << "sprite list " << list.listIndex + 1 << ": 0x" << ToHex(list.offset) << ", "
            << list.bytes.size() << " bytes written\n";
    }
    for (size_t record : saved->tilesetRecords) {
        out << "tileset record " << record << " written\n";
    }
    if (saved->blockTable) {
        out << saved->blockTable->what << ": 0x" << ToHex(saved->blockTable->offset) << ", "
            << saved->blockTable->bytes.size() << " bytes written\n";
    }
    PrintGiveBack(saved->givenBack, out);
    PrintNotes(saved->notes, out);
    PrintWarnings(saved->reloadProblems, err);
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
    if (!ParseArguments(args, "paint", kPaintUsage,
                        {.allowLarge = false, .sprites = true, .blocks = true, .undo = true},
                        parsed, err)) {
        return kExitUsage;
    }
    if (parsed.positional.size() != 3) {
        return Usage(err, "paint", kPaintUsage, "expected ROM AREA ROOM");
    }
    if (parsed.sets.empty() && parsed.sprites.empty() && parsed.blocks.empty()) {
        return Usage(err, "paint", kPaintUsage,
                     "at least one --set, --sprite or --block is needed");
    }
    if (!PrepareStorage(parsed.storage, out, err)) {
        return kExitFailure;
    }
    int status = 0;
    auto state = OpenRoomLikeTheEditor(parsed.positional, parsed.storage, err, status);
    if (!state) {
        return status;
    }
    if (!ApplySets(*state, parsed.sets, err) || !ApplySprites(*state, parsed.sprites, err) ||
        !ApplyBlocks(*state, parsed.blocks, err)) {
        return kExitFailure;
    }
    // --undo N takes back the last N changes through the history, as Ctrl+Z does.
    for (int i = 0; i < parsed.undo; ++i) {
        if (!state->History.UndoName(CurrentRoom(*state))) {
            err << "quarnel-cli: --undo " << parsed.undo << ": only " << i
                << (i == 1 ? " change" : " changes") << " can be undone\n";
            return kExitFailure;
        }
        out << "undo: " << *state->History.UndoName(CurrentRoom(*state)) << "\n";
        state->History.Undo(*state, CurrentRoom(*state));
    }
    return SaveAndReport(*state, out, err);
}

int RunResize(const Arguments& args, std::ostream& out, std::ostream& err) {
    SaveArguments parsed;
    if (!ParseArguments(args, "resize", kResizeUsage, {.allowLarge = true, .sprites = false},
                        parsed, err)) {
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
    auto state = OpenRoomLikeTheEditor(room, parsed.storage, err, status);
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

const Command kPaintCommand{
    "paint", kPaintUsage,
    "paints cells as the editor's left click does (VALUE a block up to 0x3FF, or a clip value "
    "up to 0xFF; decimal or 0x-prefixed), moves sprite "
    "INDEX (from 0) of sprite list LIST (1-3) to block X,Y and gives it sprite NUMBER (0-254) "
    "as dragging and right-clicking it on the map do (all decimal), sets tile TILE (0-3) of "
    "block BLOCK of the tileset to ENTRY as the TSA Editor's \"Save\" does, then saves the "
    "room as \"Save Room\" does",
    RunPaint};
const Command kResizeCommand{"resize", kResizeUsage,
                             "gives all layers of the room a new size, paints the --set cells, "
                             "then saves every present layer",
                             RunResize};

} // namespace quarnel::cli
