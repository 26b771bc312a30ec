// quarnel-cli render and tileset: the pictures the editor shows for a room right after the
// ROM is opened and the room selected, in a fresh process.

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "graphics/ImageFiles.h"
#include "main/MapReadout.h"
#include "main/NameLists.h"
#include "main/RoomLoading.h"
#include "storage/Storage.h"

#include <cctype>
#include <iomanip>
#include <ostream>
#include <sstream>

namespace quarnel::cli {

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    std::string tail = text.substr(text.size() - suffix.size());
    for (char& c : tail) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return tail == suffix;
}

// Opens the ROM as the editor does and selects the room; warnings go to `err`.
std::optional<EditorState> LoadLikeTheEditor(const Arguments& args, std::ostream& err,
                                             int& status) {
    return OpenRoomLikeTheEditor(args, StorageSystem::DefaultPath(), err, status);
}

// The room loaded as the editor loads it, with the names the window gives its clip values.
struct RoomAndClipNames {
    EditorState state;
    std::vector<std::string> names;
};

std::optional<RoomAndClipNames> LoadWithClipNames(const Arguments& args, std::ostream& err,
                                                  int& status) {
    auto state = LoadLikeTheEditor(args, err, status);
    if (!state) {
        return std::nullopt;
    }
    auto names = ClipAttributeNames(state->GameCode, DefaultClipNamesFile(state->GameCode));
    return RoomAndClipNames{std::move(*state), std::move(names)};
}

Result<void, Error> WritePicture(const Surface& picture, const std::string& path) {
    return EndsWith(path, ".png") ? WritePng(picture, path) : WriteBmp(picture, path);
}

// Applies --hide back,level,foreground by unticking those view boxes.
bool ApplyHidden(const std::string& list, EditorState& state, std::ostream& err) {
    std::stringstream words(list);
    std::string word;
    while (std::getline(words, word, ',')) {
        if (word == "back") {
            state.Switches.ViewBack.Ticked = false;
        } else if (word == "level") {
            state.Switches.ViewLevel.Ticked = false;
        } else if (word == "foreground") {
            state.Switches.ViewForeground.Ticked = false;
        } else {
            err << "quarnel-cli: --hide takes back, level and foreground, not '" << word << "'\n";
            return false;
        }
    }
    return true;
}

int RunRender(const Arguments& args, std::ostream& out, std::ostream& err) {
    const char* usage =
        "usage: quarnel-cli render ROM AREA ROOM OUT.bmp|OUT.png [--hide back,level,foreground]\n";
    const bool hiding = args.size() == 6 && args[4] == "--hide";
    if ((args.size() != 4 && !hiding) ||
        !(EndsWith(args[3], ".bmp") || EndsWith(args[3], ".png"))) {
        err << usage;
        return kExitUsage;
    }
    int status = 0;
    auto state = LoadLikeTheEditor(args, err, status);
    if (!state) {
        return status;
    }
    if (hiding) {
        if (!ApplyHidden(args[5], *state, err)) {
            return kExitUsage;
        }
        RedrawMap(*state);
    }
    if (state->MapPicture.Width() == 0 || state->MapPicture.Height() == 0) {
        err << "quarnel-cli: the room has no layer to draw (its picture is empty)\n";
        return kExitFailure;
    }
    if (auto written = WritePicture(state->MapPicture, args[3]); !written) {
        return ReportError(written.error(), err);
    }
    out << args[3] << ": " << state->MapPicture.Width() << " x " << state->MapPicture.Height()
        << "\n";
    return 0;
}

int RunTileset(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4 || !EndsWith(args[3], ".png")) {
        err << "usage: quarnel-cli tileset ROM AREA ROOM OUT.png\n";
        return kExitUsage;
    }
    int status = 0;
    auto state = LoadLikeTheEditor(args, err, status);
    if (!state) {
        return status;
    }
    if (auto written = WritePng(state->Graphics.PicTSA, args[3]); !written) {
        return ReportError(written.error(), err);
    }
    out << args[3] << ": tileset " << int{state->CurrentRoomHeader.Tileset} << "\n";
    return 0;
}

// The window's status line for the block under the pointer.
int RunPointer(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 5) {
        err << "usage: quarnel-cli pointer ROM AREA ROOM X Y\n";
        return kExitUsage;
    }
    const auto x = ParseArgument(args[3], "X", 255, err);
    const auto y = ParseArgument(args[4], "Y", 255, err);
    if (!x || !y) {
        return kExitUsage;
    }
    int status = 0;
    auto room = LoadWithClipNames(args, err, status);
    if (!room) {
        return status;
    }
    const std::string line =
        PointerReadout(room->state, static_cast<int>(*x), static_cast<int>(*y), room->names);
    if (line.empty()) {
        err << "quarnel-cli: block (" << *x << ", " << *y << ") lies outside the room\n";
        return kExitFailure;
    }
    out << line << "\n";
    return 0;
}

// The clipdata overlay's legend: each clip value of the room, its colour and its name.
int RunClips(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: quarnel-cli clips ROM AREA ROOM\n";
        return kExitUsage;
    }
    int status = 0;
    auto room = LoadWithClipNames(args, err, status);
    if (!room) {
        return status;
    }
    for (const ClipLegendEntry& entry : ClipLegend(room->state.ClipLayer, room->names)) {
        out << "#" << std::hex << std::uppercase << std::setw(8) << std::setfill('0')
            << entry.Colour << std::dec << std::setfill(' ') << " " << std::setw(6) << entry.Cells
            << "  " << entry.Name << "\n";
    }
    return 0;
}

} // namespace

const Command kPointerCommand{"pointer", "pointer ROM AREA ROOM X Y",
                              "the status line for block (X, Y): position, layer values, clip name",
                              RunPointer};
const Command kClipsCommand{"clips", "clips ROM AREA ROOM",
                            "the clipdata overlay's legend: 'AARRGGBB colour, blocks, name' per "
                            "clip value of the room",
                            RunClips};

const Command kRenderCommand{
    "render", "render ROM AREA ROOM OUT.bmp|OUT.png [--hide back,level,foreground]",
    "the room's picture as the editor shows it after opening the ROM and choosing the room",
    RunRender};
const Command kTilesetCommand{"tileset", "tileset ROM AREA ROOM OUT.png",
                              "the picture of the room's tileset: 1,024 blocks, 16 per row",
                              RunTileset};

} // namespace quarnel::cli
