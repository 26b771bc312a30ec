#include "storage/SaveVerify.h"

#include "common/Hex.h"

#include <algorithm>

namespace quarnel {

namespace {

std::string LayerWhat(LayerKind kind) {
    return std::string(LayerName(kind)) + " layer";
}

void CompareLayer(const EditorState& state, const PlannedLayer& planned,
                  std::vector<std::string>& differences) {
    const std::string what = LayerWhat(planned.kind);
    if (planned.kind != LayerKind::Clip && !state.LayerUsable(planned.kind)) {
        differences.push_back("the " + what + " is not present after the reload");
        return;
    }
    if (state.LayerRefused[static_cast<size_t>(planned.kind)]) {
        differences.push_back("the " + what + " could not be read back");
        return;
    }
    const RoomLayer& loaded = state.Layer(planned.kind);
    const RoomLayer& saved = planned.saved;
    if (loaded.Width != saved.Width || loaded.Height != saved.Height) {
        differences.push_back("the " + what + " was saved as " + std::to_string(saved.Width) +
                              " x " + std::to_string(saved.Height) + " blocks but reads back as " +
                              std::to_string(loaded.Width) + " x " + std::to_string(loaded.Height));
        return;
    }
    size_t cells = 0;
    std::string first;
    for (int y = 0; y < saved.Height; ++y) {
        for (int x = 0; x < saved.Width; ++x) {
            const uint16_t want = StoredBits(planned.kind, saved.Cell(x, y));
            const uint16_t got = StoredBits(planned.kind, loaded.Cell(x, y));
            if (want != got) {
                if (cells++ == 0) {
                    first = " (first at " + std::to_string(x) + ", " + std::to_string(y) +
                            ": saved " + ToHex(want) + ", read " + ToHex(got) + ")";
                }
            }
        }
    }
    if (cells != 0) {
        differences.push_back(std::to_string(cells) + " cells of the " + what +
                              " read back differently" + first);
    }
}

void CompareSprites(const EditorState& state, const SpriteListWrite& written,
                    std::vector<std::string>& differences) {
    const auto& list = state.Sprites.List(written.listIndex);
    const size_t count = written.bytes.size() / SpritePlacement::kSize;
    bool same = list.size() == count;
    for (size_t i = 0; same && i < count; ++i) {
        const auto bytes = list[i].ToBytes();
        same = std::equal(bytes.begin(), bytes.end(),
                          written.bytes.begin() + static_cast<std::ptrdiff_t>(i * bytes.size()));
    }
    if (!same) {
        differences.push_back("sprite list " + std::to_string(written.listIndex + 1) +
                              " reads back differently");
    }
}

} // namespace

uint16_t StoredBits(LayerKind kind, int16_t cell) {
    const auto value = static_cast<uint16_t>(cell);
    return kind == LayerKind::Clip ? static_cast<uint16_t>(value & 0xFF)
                                   : static_cast<uint16_t>(value & 0x3FF);
}

std::vector<std::string> VerifySavedRoom(const EditorState& state, const SavePlan& plan,
                                         const LoadReport& reload) {
    std::vector<std::string> differences;
    if (!reload.Loaded || state.Area != plan.area || state.Room != plan.room) {
        differences.push_back("the room could not be loaded again");
        return differences;
    }
    const auto want = plan.header.ToBytes();
    const auto got = state.CurrentRoomHeader.ToBytes();
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] != got[i]) {
            differences.push_back("the room header reads back differently (first at byte " +
                                  std::to_string(i) + ")");
            break;
        }
    }
    for (const PlannedLayer& layer : plan.layers) {
        CompareLayer(state, layer, differences);
    }
    for (const auto& list : plan.spriteWrites) {
        CompareSprites(state, list, differences);
    }
    return differences;
}

} // namespace quarnel
