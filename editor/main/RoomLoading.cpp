#include "main/RoomLoading.h"

#include "doors/DoorEdits.h"
#include "main/RomOpening.h"
#include "rom/LayerCodec.h"
#include "rom/RomFile.h"

namespace quarnel {

namespace {

constexpr LayerKind kTileLayers[] = {LayerKind::Foreground, LayerKind::Level, LayerKind::Back};

ViewBox& ViewBoxOf(LayerSwitches& switches, LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return switches.ViewForeground;
    case LayerKind::Level:
        return switches.ViewLevel;
    default:
        return switches.ViewBack;
    }
}

bool& EnableEntryOf(LayerSwitches& switches, LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return switches.EnableForeground;
    case LayerKind::Level:
        return switches.EnableLevel;
    default:
        return switches.EnableBack;
    }
}

// Reads one layer, or empties it and marks it refused when its data cannot be used.
void ReadLayerInto(EditorState& state, const RomFile& file, LayerKind kind, LoadReport& report) {
    auto stored = ReadLayer(file, LayerPointer(state.CurrentRoomHeader, kind), kind);
    const auto slot = static_cast<size_t>(kind);
    if (!stored) {
        state.Layer(kind) = RoomLayer{};
        state.LayerRefused[slot] = true;
        state.LayerOfThisRoom[slot] = true;
        report.Problems.push_back(stored.error());
        return;
    }
    state.Layer(kind) = std::move(stored->layer);
    state.LayerRefused[slot] = false;
    state.LayerOfThisRoom[slot] = true;
    if (stored->warning) {
        report.Problems.push_back(*stored->warning);
    }
}

// The three tile layers the header declares, foreground, level, back.
void LoadRoomLayers(EditorState& state, const RomFile& file, LoadReport& report) {
    for (LayerKind kind : kTileLayers) {
        if (LayerPresent(state.CurrentRoomHeader, kind)) {
            ReadLayerInto(state, file, kind, report);
        } else {
            state.LayerRefused[static_cast<size_t>(kind)] = false;
            state.LayerOfThisRoom[static_cast<size_t>(kind)] = false;
        }
    }
}

// The map picture's size for the loaded room: the level layer's when it is usable, else
// the largest usable layer's, so a room without a level layer is not shown at the size
// of the room before it.
MapLayout RoomLayout(const EditorState& state) {
    if (state.LayerUsable(LayerKind::Level)) {
        return LevelLayout(state.LevelLayer);
    }
    std::vector<const RoomLayer*> present;
    for (LayerKind kind : kTileLayers) {
        if (state.LayerUsable(kind)) {
            present.push_back(&state.Layer(kind));
        }
    }
    return LargestLayerLayout(present);
}

// The rest of a room selection once the room is loaded: its doors and scrolls, then no change
// marks. Door edits belong to the area but are discarded with the room's, as the question
// before a room change says (a save marks what it wrote first). Scroll data that cannot be
// read is reported, and the room then has no scrolls.
void FinishRoomSelection(EditorState& state, LoadReport& report) {
    DiscardDoorEdits(state.Doors);
    state.Doors.RoomDoorCount = 0;
    if (state.Doors.Area == state.Area) {
        ShowRoomDoors(state.Doors, state.Room);
    }
    state.Scrolls = RoomScrolls{};
    if (auto file = RomFile::Open(state.RomPath, OpenMode::Read); !file) {
        report.Problems.push_back(file.error());
    } else if (auto scrolls = ReadRoomScrolls(*file, state.GameCode, state.Area, state.Room);
               !scrolls) {
        report.Problems.push_back(scrolls.error());
    } else {
        state.Scrolls = std::move(scrolls).value();
    }
    ClearChangeMarks(state);
    // The room now holds what the ROM holds: its history goes back to the saved position.
    state.History.Reloaded(state, {state.Area, state.Room});
}

} // namespace

void ClearChangeMarks(EditorState& state) {
    ClearMarks(state.Sprites);
    state.ForegroundDirty = false;
    state.LevelDirty = false;
    state.BackDirty = false;
    state.Edited = false;
}

void AdoptRom(EditorState& state, const std::filesystem::path& path, Catalog tables) {
    state.RomPath = path;
    state.GameCode = tables.game;
    state.Tables = std::move(tables);
    state.RomOpened = true;
    state.Area = -1;
    state.Room = -1;
    state.Doors = DoorState{};
    // The previous ROM's unsaved minimap painting is left behind: no unsaved change of this one.
    state.MiniMapAsRead = state.MiniMapShown.entries;
    state.History.Clear();
    ClearChangeMarks(state);
    SeedAnimSlots(state.Graphics, state.Tables);
}

Result<void, Error> OpenRomFile(EditorState& state, const std::filesystem::path& path) {
    auto tables = ReadRomTables(path);
    if (!tables) {
        return Fail(tables.error());
    }
    AdoptRom(state, path, std::move(tables).value());
    return {};
}

LoadReport LoadRoom(EditorState& state, int area, int room) {
    LoadReport report;
    auto file = RomFile::Open(state.RomPath, OpenMode::Read);
    if (!file) {
        report.Problems.push_back(file.error());
        return report;
    }
    auto offset = RoomHeaderOffset(state.Tables, area, room, file->Size());
    auto header = ReadRoomHeader(*file, state.Tables, area, room);
    if (!offset || !header) {
        report.Problems.push_back(offset ? header.error() : offset.error());
        return report;
    }
    state.MapPicture.Clear();
    state.Area = area;
    state.Room = room;
    state.HeaderOffset = *offset;
    state.CurrentRoomHeader = *header;

    if (auto tileset =
            LoadTileset(*file, state.Tables, state.CurrentRoomHeader.Tileset, area, state.Graphics);
        !tileset) {
        report.Problems.push_back(tileset.error());
    }
    LoadRoomLayers(state, *file, report);
    state.Editing = EditTarget::Level;
    for (LayerKind kind : kTileLayers) {
        const bool present = LayerPresent(state.CurrentRoomHeader, kind);
        const bool usable = state.LayerUsable(kind);
        ViewBox& box = ViewBoxOf(state.Switches, kind);
        box.Enabled = usable;
        EnableEntryOf(state.Switches, kind) = !present;
        box.Ticked = usable;
    }

    state.Layout = RoomLayout(state);
    state.MapPicture.Resize(state.Layout.Width, state.Layout.Height);
    RedrawMap(state);

    ReadLayerInto(state, *file, LayerKind::Clip, report);
    for (auto& refused : LoadRoomSprites(*file, state.CurrentRoomHeader, state.Sprites)) {
        if (refused) {
            report.Problems.push_back(*refused);
        }
    }
    report.Loaded = true;
    return report;
}

LoadReport SelectRoom(EditorState& state, int area, int room) {
    LoadReport report = LoadRoom(state, area, room);
    if (report.Loaded) {
        FinishRoomSelection(state, report);
    }
    return report;
}

AreaSelection SelectArea(EditorState& state, int area) {
    AreaSelection selection;
    const auto count = RoomCount(state.Tables, area);
    selection.RoomCount = count.count;
    selection.FallbackCount = count.fallback;
    if (selection.RoomCount == 0) {
        selection.Room0.Problems.push_back(
            Error{ErrorKind::BadArgument, "area " + std::to_string(area) + " lists no rooms", {}});
        return selection;
    }
    // The new area's doors are read aside and taken only with its room 0, so that a room 0
    // that cannot be loaded leaves the shown room with its own area's doors.
    DoorState doors;
    if (auto file = RomFile::Open(state.RomPath, OpenMode::Read); !file) {
        selection.Room0.Problems.push_back(file.error());
    } else if (auto read = LoadAreaDoors(*file, state.Tables, area, doors); !read) {
        selection.Room0.Problems.push_back(read.error());
    }
    LoadReport room0 = LoadRoom(state, area, 0);
    selection.Room0.Loaded = room0.Loaded;
    selection.Room0.Problems.insert(selection.Room0.Problems.end(), room0.Problems.begin(),
                                    room0.Problems.end());
    if (room0.Loaded) {
        state.Doors = std::move(doors);
        FinishRoomSelection(state, selection.Room0);
    }
    return selection;
}

Result<std::vector<Error>, Error> OpenAtRoom(EditorState& state, const std::filesystem::path& path,
                                             int area, int room) {
    if (auto opened = OpenRomFile(state, path); !opened) {
        return Fail(opened.error());
    }
    std::vector<Error> problems;
    const auto collect = [&problems](const LoadReport& report) {
        problems.insert(problems.end(), report.Problems.begin(), report.Problems.end());
    };
    collect(SelectArea(state, 0).Room0);
    if (area != 0) {
        collect(SelectArea(state, area).Room0);
    }
    if (room != 0 || state.Area != area || state.Room != 0) {
        collect(SelectRoom(state, area, room));
    }
    if (state.Area != area || state.Room != room) {
        std::string detail = "room " + std::to_string(room) + " of area " + std::to_string(area);
        if (!problems.empty()) {
            detail += ": " + Describe(problems.back());
        }
        return Fail(Error{ErrorKind::FileRead, detail, {}});
    }
    return problems;
}

void RedrawMap(EditorState& state) {
    if (auto layout = DrawRoom(state.MapPicture, DrawTarget::MainMap, state.Scene())) {
        state.Layout = *layout;
    }
}

} // namespace quarnel
