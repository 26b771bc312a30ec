#pragma once
// The first half of Save Room: everything the save will write, worked out and checked before
// the first byte is written. A plan holds the room header as it will be written (the four
// fields of the main window's lists taken over, the pointers of the written layers moved to
// their new space), the marked sprite lists written in place, every layer to write in its
// stored form with the free space reserved for it, the tileset records that changed since
// the ROM was opened and the changed words of the loaded tileset's block table. Planning
// changes nothing: not the editor state, not the storage bookkeeping, not the ROM file.

#include "common/Error.h"
#include "common/Result.h"
#include "main/EditorState.h"
#include "rom/LayerCodec.h"
#include "rom/RoomHeader.h"
#include "rom/RoomLayer.h"
#include "sprites/SpriteLists.h"
#include "storage/InPlaceWrite.h"
#include "storage/RomTransaction.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

class PelnixBinding;

// The values of the main window's four header lists (each list's index is the value).
struct HeaderLists {
    uint8_t Tileset = 0;
    uint8_t Music = 0;
    uint8_t MiniMapX = 0;
    uint8_t MiniMapY = 0;
};

// The lists as a room load sets them from a header.
HeaderLists ListsOf(const RoomHeader& header);

// The clipdata writer follows its stored layer with this many zero bytes.
inline constexpr size_t kClipTrailingZeros = 8;

// The free space each layer writer reserves, from the lengths RLComp returned for its
// planes (C for clipdata; L and H for a tile layer): clipdata C + 19, foreground L + H + 8,
// level L + H + 6, back layer L + H + 9.
int32_t ReservedSize(LayerKind kind, const EncodedLayer& encoded);

// One layer the save writes into new space.
struct PlannedLayer {
    LayerKind kind = LayerKind::Clip;
    RoomLayer saved;            // the layer as encoded, to compare with after the reload
    std::vector<uint8_t> bytes; // what is written: the stored layer (clipdata: then 8 zeros)
    int32_t reserved = 0;       // bytes asked of StorageAlloc
    uint32_t offset = 0;        // the ROM offset StorageAlloc will hand out for it
};

struct SavePlan {
    Game game = Game::None;
    std::filesystem::path romPath;
    int area = -1;
    int room = -1;
    uint32_t headerOffset = 0;
    RoomHeader header;                         // as it will be written
    std::vector<SpriteListWrite> spriteWrites; // the marked lists, each in place
    std::vector<PlannedLayer> layers;          // clipdata, foreground, level, back: those written
    std::vector<size_t> tilesetRecords;        // indexes of the tileset records written
    std::vector<size_t> doorRecords;           // indexes of the area's door records written
    bool scrollsWritten = false;               // the room's scroll record is written
    // Existing data rewritten where it stands, each checked against what was read there:
    // the changed tileset records (20 bytes each), the area's changed door records (12 bytes
    // each) and the room's scroll record (2 + 8 x count bytes) when a scroll changed. Written
    // after the layers and before the header.
    std::vector<InPlaceWrite> inPlaceWrites;
    // The entry of inPlaceWrites that stores the changed words of the loaded tileset's block
    // table, if any.
    std::optional<size_t> blockTableWrite;
    // The stored layers the header will no longer point to (the old place of each layer
    // written), given back to the free space after the save where nothing else uses them.
    std::vector<SupersededBlock> superseded;
    std::vector<std::string> notes; // what the save leaves out, for the user
};

// The layers of a plan as blocks of new data for free space, in write order, named as
// messages name them ("the level layer").
std::vector<NewBlock> LayerBlocks(const SavePlan& plan);

// Plans the save of the room loaded in `state`. The clipdata is always written (unless it
// was refused when the room was loaded, which a note says); the foreground, level and back
// layer when the header declares them, their data was usable and their change mark is set.
//
// Fails, with nothing changed anywhere, when: no room is loaded (BadArgument); the ROM file
// cannot be opened for writing (FileWrite); Pelnix or its RLComp cannot be loaded
// (LibraryMissing); a layer cannot be encoded (BadLayer, BadArgument); a marked sprite
// list cannot be written in place (BadSpriteList, PointerOutOfRange); an in-place write is
// refused by CheckInPlaceWrite (its target changed since it was read); or no free-space area
// has a blank run (all 0xFF or all 0x00 in this ROM) for every layer (StorageExhausted). Each
// layer's space is where StorageAlloc will hand it out on this ROM: past any data the
// bookkeeping did not know of, never over it.
Result<SavePlan, Error> PlanRoomSave(const EditorState& state, const HeaderLists& lists,
                                     PelnixBinding& pelnix);

} // namespace quarnel
