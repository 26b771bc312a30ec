#include "side/BlockEditing.h"

#include "common/Hex.h"
#include "main/EditSteps.h"
#include "main/EditorState.h"
#include "rom/GameTables.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

namespace quarnel {

namespace {

constexpr uint16_t kTileBits = 0x03FF;
constexpr uint16_t kFlipBits = 0x0C00;
constexpr uint16_t kPaletteBits = 0xF000;

void AppendWord(std::vector<uint8_t>& out, uint16_t word) {
    out.push_back(static_cast<uint8_t>(word & 0xFF));
    out.push_back(static_cast<uint8_t>(word >> 8));
}

// The one writer of block table words: the edit, its undo and its redo.
EditEffect PutBlockWord(EditorState& state, int block, int corner, uint16_t value) {
    state.Graphics.Blocks[BlockWord(block, corner)] = value;
    DrawTileset(state.Graphics);
    EditEffect effect;
    effect.blocks = true;
    return effect;
}

} // namespace

void SetTSA(uint16_t Map16n, uint16_t& thispal, uint16_t& Flip, uint16_t& Tile) {
    Tile = Map16n & kTileBits;
    Flip = Map16n & kFlipBits;
    thispal = Map16n & kPaletteBits;
}

BlockTile SplitEntry(uint16_t entry) {
    BlockTile tile;
    SetTSA(entry, tile.Palette, tile.Flip, tile.Tile);
    return tile;
}

TileEntry JoinEntry(uint16_t tile, bool hflip, bool vflip, uint8_t row) {
    return TileEntry::Make(tile, hflip, vflip, row);
}

size_t BlockWord(int block, int corner) {
    return 4 * static_cast<size_t>(block) + 1 + static_cast<size_t>(corner);
}

std::array<BlockTile, kBlockCorners> BlockTilesOf(const Tileset& tileset, int block) {
    std::array<BlockTile, kBlockCorners> tiles{};
    if (block < 0 || block >= kDrawnBlocks) {
        return tiles;
    }
    for (int corner = 0; corner < kBlockCorners; ++corner) {
        tiles[static_cast<size_t>(corner)] = SplitEntry(tileset.Blocks[BlockWord(block, corner)]);
    }
    return tiles;
}

Result<void, Error> SetBlockTile(EditorState& state, int block, int corner, TileEntry entry) {
    if (!state.RomOpened || state.Graphics.Number < 0) {
        return Fail(Error{ErrorKind::BadArgument, "no tileset is loaded", std::nullopt});
    }
    if (block < 0 || block >= kDrawnBlocks || corner < 0 || corner >= kBlockCorners) {
        return Fail(Error{ErrorKind::BadArgument,
                          "block " + std::to_string(block) + ", tile " +
                              std::to_string(corner + 1) + " is not a tile of a drawn block",
                          std::nullopt});
    }
    const uint16_t before = state.Graphics.Blocks[BlockWord(block, corner)];
    if (before == entry.value) {
        return {};
    }
    PutBlockWord(state, block, corner, entry.value);
    state.History.Record(state, CurrentRoom(state),
                         std::make_unique<BlockTileStep>(block, corner, before, entry.value));
    return {};
}

std::string BlockTileStep::Name() const {
    return "Change Block " + ToHex(static_cast<uint32_t>(m_block)) + " Tile " +
           std::to_string(m_corner + 1);
}

EditEffect BlockTileStep::Undo(EditorState& state) {
    return PutBlockWord(state, m_block, m_corner, m_before);
}

EditEffect BlockTileStep::Redo(EditorState& state) {
    return PutBlockWord(state, m_block, m_corner, m_after);
}

Result<std::optional<InPlaceWrite>, Error> ChangedBlockTableWrite(const Tileset& tileset) {
    const BlockTable& now = tileset.Blocks;
    const BlockTable& read = tileset.BlocksAsRead;
    size_t first = now.size();
    size_t last = 0;
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != read[i]) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (first == now.size()) {
        return std::optional<InPlaceWrite>{};
    }
    const uint64_t offset = uint64_t{tileset.BlocksPointer} - kGbaRomBase + 2 * first;
    if (tileset.BlocksPointer < kGbaRomBase || offset > UINT32_MAX) {
        return Fail(Error{ErrorKind::PointerOutOfRange,
                          "the block table of tileset " + std::to_string(tileset.Number) +
                              " was read from 0x" + ToHex(tileset.BlocksPointer) +
                              ", which is not a ROM address",
                          std::nullopt});
    }
    InPlaceWrite write;
    write.offset = static_cast<uint32_t>(offset);
    for (size_t i = first; i <= last; ++i) {
        AppendWord(write.expected, read[i]);
        AppendWord(write.bytes, now[i]);
    }
    write.what = "block table of tileset " + std::to_string(tileset.Number) + " (words " +
                 std::to_string(first) + " to " + std::to_string(last) + ")";
    return std::optional<InPlaceWrite>(std::move(write));
}

} // namespace quarnel
