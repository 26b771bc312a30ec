#include "storage/SavePlan.h"

#include "common/Hex.h"
#include "doors/DoorEdits.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"
#include "side/BlockEditing.h"
#include "storage/PelnixBinding.h"

#include <algorithm>

namespace quarnel {

namespace {

// The order the layer writers run in: clipdata always first.
constexpr LayerKind kWriteOrder[] = {LayerKind::Clip, LayerKind::Foreground, LayerKind::Level,
                                     LayerKind::Back};

std::string LayerWhat(LayerKind kind) {
    return std::string(LayerName(kind)) + " layer";
}

bool Dirty(const EditorState& state, LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return state.ForegroundDirty;
    case LayerKind::Level:
        return state.LevelDirty;
    case LayerKind::Back:
        return state.BackDirty;
    case LayerKind::Clip:
        break;
    }
    return true;
}

// Whether the save writes this layer; a clipdata refused at load is left out with a note.
bool Written(const EditorState& state, LayerKind kind, std::vector<std::string>& notes) {
    if (kind != LayerKind::Clip) {
        return state.LayerUsable(kind) && Dirty(state, kind);
    }
    if (state.LayerRefused[static_cast<size_t>(LayerKind::Clip)] || state.ClipLayer.Width == 0 ||
        state.ClipLayer.Height == 0) {
        notes.push_back("The clipdata was not written: it could not be read when the room was "
                        "loaded.");
        return false;
    }
    return true;
}

Result<PlannedLayer, Error> PlanLayer(const EditorState& state, LayerKind kind,
                                      RLCompFunction rlComp) {
    const RoomLayer& layer = state.Layer(kind);
    auto encoded = EncodeStoredLayer(layer, kind, rlComp);
    if (!encoded) {
        return Fail(encoded.error());
    }
    PlannedLayer planned;
    planned.kind = kind;
    planned.saved = layer;
    planned.reserved = ReservedSize(kind, *encoded);
    planned.bytes = std::move(encoded->bytes);
    if (kind == LayerKind::Clip) {
        planned.bytes.insert(planned.bytes.end(), kClipTrailingZeros, uint8_t{0});
    }
    return planned;
}

std::vector<size_t> ChangedTilesetRecords(const Catalog& tables) {
    std::vector<size_t> changed;
    const size_t count = std::min(tables.TilesetTable.size(), tables.TilesetTableAsRead.size());
    for (size_t i = 0; i < count; ++i) {
        if (tables.TilesetTable[i] != tables.TilesetTableAsRead[i]) {
            changed.push_back(i);
        }
    }
    return changed;
}

} // namespace

std::vector<NewBlock> LayerBlocks(const SavePlan& plan) {
    std::vector<NewBlock> blocks;
    for (const PlannedLayer& layer : plan.layers) {
        blocks.push_back(
            {layer.bytes, layer.reserved, "the " + LayerWhat(layer.kind), layer.offset});
    }
    return blocks;
}

HeaderLists ListsOf(const RoomHeader& header) {
    return {header.Tileset, header.Music, header.MiniMapX, header.MiniMapY};
}

int32_t ReservedSize(LayerKind kind, const EncodedLayer& encoded) {
    uint64_t planes = 0;
    for (uint32_t length : encoded.planes) {
        planes += length;
    }
    uint64_t extra = 0;
    switch (kind) {
    case LayerKind::Clip:
        extra = 19;
        break;
    case LayerKind::Foreground:
        extra = 8;
        break;
    case LayerKind::Level:
        extra = 6;
        break;
    case LayerKind::Back:
        extra = 9;
        break;
    }
    return static_cast<int32_t>(planes + extra);
}

Result<SavePlan, Error> PlanRoomSave(const EditorState& state, const HeaderLists& lists,
                                     PelnixBinding& pelnix) {
    if (!state.RomOpened || state.Area < 0 || state.Room < 0) {
        return Fail(Error{ErrorKind::BadArgument, "no room is loaded", std::nullopt});
    }
    const GameLayout* layout = LayoutOf(state.GameCode);
    if (layout == nullptr) {
        return Fail(Error{ErrorKind::BadArgument, "the open file is neither game", std::nullopt});
    }
    auto file = RomFile::Open(state.RomPath, OpenMode::ReadWrite);
    if (!file) {
        return Fail(Error{ErrorKind::FileWrite,
                          file.error().detail + " (the ROM file cannot be opened for writing)",
                          std::nullopt});
    }
    auto headerOffset = RoomHeaderOffset(state.Tables, state.Area, state.Room, file->Size());
    if (!headerOffset) {
        return Fail(headerOffset.error());
    }
    if (*headerOffset != state.HeaderOffset) {
        return Fail(Error{ErrorKind::BadArgument,
                          "the room's header no longer lies where it was read",
                          state.HeaderOffset});
    }
    auto rlComp = pelnix.RLComp();
    if (!rlComp) {
        return Fail(rlComp.error());
    }

    SavePlan plan;
    plan.game = state.GameCode;
    plan.romPath = state.RomPath;
    plan.area = state.Area;
    plan.room = state.Room;
    plan.headerOffset = *headerOffset;
    plan.header = state.CurrentRoomHeader;
    plan.header.Tileset = lists.Tileset;
    plan.header.Music = lists.Music;
    plan.header.MiniMapX = lists.MiniMapX;
    plan.header.MiniMapY = lists.MiniMapY;
    // The game would read other data as the record of a tileset it does not have. A header
    // that already names one is saved as it stands; a new choice of one is refused.
    const uint8_t storedTileset = file->ReadU8(*headerOffset);
    if (lists.Tileset >= RealTilesetCount(*layout) && lists.Tileset != storedTileset) {
        return Fail(
            Error{ErrorKind::BadTileset, NotARealTileset(*layout, lists.Tileset), *headerOffset});
    }

    auto sprites = PlanSaveEnemies(*file, state.CurrentRoomHeader, state.Sprites);
    if (!sprites) {
        return Fail(sprites.error());
    }
    plan.spriteWrites = std::move(*sprites);

    for (LayerKind kind : kWriteOrder) {
        if (!Written(state, kind, plan.notes)) {
            continue;
        }
        auto layer = PlanLayer(state, kind, *rlComp);
        if (!layer) {
            return Fail(layer.error());
        }
        plan.layers.push_back(std::move(*layer));
    }
    auto blocks = LayerBlocks(plan);
    if (auto placed = PlaceBlocks(state.Storage, state.GameCode, *file, blocks); !placed) {
        return Fail(placed.error());
    }
    for (size_t i = 0; i < plan.layers.size(); ++i) {
        PlannedLayer& layer = plan.layers[i];
        layer.offset = blocks[i].offset;
        const uint32_t old = LayerPointer(plan.header, layer.kind);
        if (old >= kGbaRomBase && old - kGbaRomBase < file->Size()) {
            plan.superseded.push_back(
                {old - kGbaRomBase,
                 layer.kind == LayerKind::Clip ? StoredKind::ClipLayer : StoredKind::TileLayer, 0,
                 "the old " + LayerWhat(layer.kind)});
        }
        SetLayerPointer(plan.header, layer.kind, PointerFromOffset(layer.offset));
    }

    plan.tilesetRecords = ChangedTilesetRecords(state.Tables);
    for (size_t index : plan.tilesetRecords) {
        const auto bytes = state.Tables.TilesetTable[index].ToBytes();
        const auto read = state.Tables.TilesetTableAsRead[index].ToBytes();
        plan.inPlaceWrites.push_back(
            {static_cast<uint32_t>(layout->tilesetTable + index * kTilesetRecordSize),
             {read.begin(), read.end()},
             {bytes.begin(), bytes.end()},
             "tileset record " + std::to_string(index)});
    }
    // The area's changed door records and the room's scroll record, each where it stands.
    if (state.Doors.Area == state.Area) {
        plan.doorRecords = ChangedDoors(state.Doors);
        for (InPlaceWrite& write : DoorWrites(state.Doors)) {
            plan.inPlaceWrites.push_back(std::move(write));
        }
    }
    if (state.Scrolls.Area == state.Area && state.Scrolls.Room == state.Room) {
        if (auto scrolls = ScrollWrite(state.Scrolls)) {
            plan.inPlaceWrites.push_back(std::move(*scrolls));
            plan.scrollsWritten = true;
        }
    }
    if (state.Graphics.BlocksChanged() && state.Graphics.Number >= 0 &&
        static_cast<uint32_t>(state.Graphics.Number) >= RealTilesetCount(*layout)) {
        return Fail(Error{ErrorKind::BadTileset,
                          NotARealTileset(*layout, static_cast<size_t>(state.Graphics.Number)),
                          std::nullopt});
    }
    auto blockTable = ChangedBlockTableWrite(state.Graphics);
    if (!blockTable) {
        return Fail(blockTable.error());
    }
    if (*blockTable) {
        plan.blockTableWrite = plan.inPlaceWrites.size();
        plan.inPlaceWrites.push_back(std::move(**blockTable));
    }
    for (const InPlaceWrite& write : plan.inPlaceWrites) {
        if (auto checked = CheckInPlaceWrite(*file, write); !checked) {
            return Fail(checked.error());
        }
    }
    return plan;
}

} // namespace quarnel
