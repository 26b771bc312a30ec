#include "graphics/Animation.h"

#include "graphics/PointerRead.h"
#include "rom/RomFile.h"

namespace quarnel {

uint8_t NextFrame(uint8_t counter, uint8_t frames) {
    if (int{counter} >= int{frames} - 1) {
        return 0;
    }
    return static_cast<uint8_t>(counter + 1);
}

bool StepAnimation(const RomFile& rom, int slot, Tileset& tileset) {
    if (slot < 0 || slot >= static_cast<int>(tileset.Slots.size())) {
        return false;
    }
    const auto s = static_cast<size_t>(slot);
    AnimSlot& state = tileset.Slots[s];
    state.Counter = NextFrame(state.Counter, state.Record.FrameCount);
    ReadAtPointer(rom, state.Record.Frames, uint64_t{kAnimSlotBytes} * state.Counter,
                  std::span(tileset.Tiles).subspan(kAnimSlotBytes * s, kAnimSlotBytes));
    DrawTileset(tileset);
    return true;
}

} // namespace quarnel
