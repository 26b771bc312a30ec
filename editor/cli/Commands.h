#pragma once
// The commands of quarnel-cli. Each takes its arguments (after the command word), writes its
// answer to `out` and its one-line error to `err`, and returns the process exit status.

#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const Arguments& args, std::ostream& out, std::ostream& err);
};

// The commands, each defined in the file of its group.
extern const Command kDemoRomCommand;
extern const Command kInfoCommand;
extern const Command kHeaderCommand;
extern const Command kLayerCommand;
extern const Command kRenderCommand;
extern const Command kTilesetCommand;
extern const Command kStorageCommand;
extern const Command kSpritesCommand;
extern const Command kDoorsCommand;
extern const Command kDoorCommand;
extern const Command kScrollsCommand;
extern const Command kPaintCommand;
extern const Command kResizeCommand;
extern const Command kPatchCommand;
extern const Command kMiniMapCommand;
extern const Command kMusicCommand;
extern const Command kDumpCommand;
extern const Command kTilesCommand;
extern const Command kPaletteCommand;
extern const Command kRunCommand;
extern const Command kPointerCommand;
extern const Command kClipsCommand;

// Every command, in the order the help lists them.
const std::vector<Command>& AllCommands();

} // namespace quarnel::cli
