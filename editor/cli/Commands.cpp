#include "cli/Commands.h"

namespace quarnel::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        kDemoRomCommand, kInfoCommand,    kHeaderCommand,  kLayerCommand, kRenderCommand,
        kTilesetCommand, kStorageCommand, kSpritesCommand, kDoorsCommand, kDoorCommand,
        kScrollsCommand, kPaintCommand,   kResizeCommand,  kTilesCommand, kPaletteCommand,
        kPatchCommand,   kMiniMapCommand, kMusicCommand,   kDumpCommand,  kRunCommand,
        kPointerCommand, kClipsCommand,
    };
    return commands;
}

} // namespace quarnel::cli
