#pragma once
// Editing the loaded tileset's block table (TSA) in memory, as the tiles editor does: a block
// is four TileEntry words (top-left, top-right, bottom-left, bottom-right), and each can be
// split into its tile number, flip bits and palette bits and put together again. A change
// goes into the tileset's BlockTable only; Save Room writes the changed words back where the
// table was read (see ChangedBlockTableWrite).

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Gba.h"
#include "graphics/Tileset.h"
#include "main/EditHistory.h"
#include "storage/InPlaceWrite.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quarnel {

struct EditorState;

// One tile of a block as the editor shows it: the three fields of its TileEntry, unshifted.
struct BlockTile {
    uint16_t Tile = 0;    // entry & 0x3FF
    uint16_t Flip = 0;    // entry & 0x0C00: bit 10 horizontal, bit 11 vertical
    uint16_t Palette = 0; // entry & 0xF000: the palette row times 4,096

    bool HFlip() const { return (Flip & 0x0400) != 0; }
    bool VFlip() const { return (Flip & 0x0800) != 0; }
    uint8_t Row() const { return static_cast<uint8_t>(Palette >> 12); }
};

inline constexpr int kBlockCorners = 4;

// Splits an entry: Tile = Map16n & 0x3FF, Flip = Map16n & 0x0C00, thispal = Map16n & 0xF000.
void SetTSA(uint16_t Map16n, uint16_t& thispal, uint16_t& Flip, uint16_t& Tile);
BlockTile SplitEntry(uint16_t entry);

// The entry of a tile number (0-0x3FF), the two flips and a palette row (0-15).
TileEntry JoinEntry(uint16_t tile, bool hflip, bool vflip, uint8_t row);

// The block table word of corner `corner` (0-3) of block `block` (0-1023): 4 x block + 1 +
// corner.
size_t BlockWord(int block, int corner);

// The four tiles of a drawn block (0-1023); all zero for any other number.
std::array<BlockTile, kBlockCorners> BlockTilesOf(const Tileset& tileset, int block);

// Puts `entry` into corner `corner` of block `block` of the loaded tileset and records the
// change as one undo step of the room (so the room counts as edited, leaving it asks first,
// and Save Room writes the block table); redraws PicTSA. The map picture is the caller's to
// redraw. An entry equal to the one there changes and records nothing. BadArgument, with
// nothing changed, when no tileset is loaded or the block or corner is out of range.
Result<void, Error> SetBlockTile(EditorState& state, int block, int corner, TileEntry entry);

// The undo step of SetBlockTile: "Change Block 25 Tile 3".
class BlockTileStep final : public EditStep {
public:
    BlockTileStep(int block, int corner, uint16_t before, uint16_t after)
        : m_block(block), m_corner(corner), m_before(before), m_after(after) {}

    std::string Name() const override;
    EditEffect Undo(EditorState& state) override;
    EditEffect Redo(EditorState& state) override;

private:
    int m_block;
    int m_corner;
    uint16_t m_before;
    uint16_t m_after;
};

// The write that stores the changed words of the loaded tileset's block table where it was
// read: one range from the first to the last changed word, checked against the words as read.
// Nothing when no word changed. PointerOutOfRange when the table was read from a pointer
// below 0x08000000.
Result<std::optional<InPlaceWrite>, Error> ChangedBlockTableWrite(const Tileset& tileset);

} // namespace quarnel
