#pragma once
// The editor's state: the open ROM, its game tables, the selected room with its header,
// layers, tileset, sprite lists, doors and scrolls, the change marks, the map picture and the layer
// switches. There is one of it per editor; windows read and change it and keep no copies
// of room data.

#include "doors/DoorData.h"
#include "doors/ScrollData.h"
#include "graphics/RoomRenderer.h"
#include "graphics/Surface.h"
#include "graphics/Tileset.h"
#include "main/EditHistory.h"
#include "rom/Catalog.h"
#include "rom/Game.h"
#include "rom/RoomHeader.h"
#include "rom/RoomLayer.h"
#include "side/MiniMap.h"
#include "sprites/SpriteLists.h"
#include "storage/Storage.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace quarnel {

struct ViewBox {
    bool Enabled = false;
    bool Ticked = false;
};

// The layer switches that a room load sets and the window shows: the view boxes of the
// three tile layers and whether each "Enable Layer" menu entry is enabled.
struct LayerSwitches {
    ViewBox ViewForeground;
    ViewBox ViewLevel;
    ViewBox ViewBack;
    bool EnableForeground = false;
    bool EnableLevel = false;
    bool EnableBack = false;
};

// Which layer painting goes to: the four mutually exclusive edit boxes.
enum class EditTarget { None, Back, Foreground, Level, Clip };

struct EditorState {
    explicit EditorState(std::filesystem::path storagePath) : Storage(std::move(storagePath)) {}

    // The open ROM.
    std::filesystem::path RomPath;
    Game GameCode = Game::None;
    bool RomOpened = false;
    Catalog Tables;

    // The selected room.
    int Area = -1;
    int Room = -1;
    uint32_t HeaderOffset = 0;
    RoomHeader CurrentRoomHeader;
    RoomLayer ForegroundLayer;
    RoomLayer LevelLayer;
    RoomLayer BackLayer;
    RoomLayer ClipLayer;
    // A layer whose stored data was refused at load: it is shown, edited and saved as absent.
    std::array<bool, 4> LayerRefused{};
    // A tile layer that holds this room's cells (read at load or enabled since); a layer
    // the room does not declare keeps another room's cells until then.
    std::array<bool, 4> LayerOfThisRoom{};
    bool ForegroundDirty = false;
    bool LevelDirty = false;
    bool BackDirty = false;
    // Set by every change the user makes to the room (cells, clip values, sprites, header
    // fields); a pick that changes nothing does not set it. Cleared when a room is selected.
    bool Edited = false;
    Tileset Graphics;
    SpriteLists Sprites;
    int ShownSpriteList = 0; // the list index chosen in the sprite set list
    DoorState Doors;         // the area's doors; edits to them last until a room is selected
    RoomScrolls Scrolls;     // the room's scrolls
    StorageSystem Storage;
    // The minimap the minimap editor shows, with its unsaved painting, and its entries as the
    // file holds them (the minimap editor saves it on its own).
    MiniMap MiniMapShown;
    std::vector<uint16_t> MiniMapAsRead;
    // The undo history of the open ROM, per room.
    EditHistory History;

    // The map picture and what the window shows of it.
    Surface MapPicture;
    MapLayout Layout;
    LayerSwitches Switches;
    EditTarget Editing = EditTarget::Level;
    uint16_t CurrentBlock = 0;

    // The room's size in blocks as the map picture shows it (the level layer's, else the
    // largest usable layer's); sprites stay on these blocks.
    int MapBlocksWide() const { return Layout.Width / 16; }
    int MapBlocksHigh() const { return Layout.Height / 16; }

    RoomLayer& Layer(LayerKind kind);
    const RoomLayer& Layer(LayerKind kind) const;

    // A tile layer is usable when the header declares it and its data was not refused.
    bool LayerUsable(LayerKind kind) const;

    // The LayerShown answers of the three view boxes.
    LayerVisibility Shown() const;
    RoomScene Scene() const;

    // Whether the user changed the room, the area's doors or the room's scrolls since the room
    // was selected.
    bool HasUnsavedChanges() const;
    // Whether the shown minimap has painting its editor has not saved.
    bool MiniMapChanged() const { return MiniMapShown.entries != MiniMapAsRead; }
};

} // namespace quarnel
