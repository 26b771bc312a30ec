// The undo history on a loaded generated room: a drag is one step whose undo and redo give
// the pictures and layers before and after exactly; the history's saved position decides
// whether the room has unsaved changes, across saves, room changes and dropped redo steps.

#include "main/EditSteps.h"

#include "doors/DoorHistory.h"
#include "doors/DoorSave.h"

#include "main/MapEditing.h"
#include "storage/RoomSave.h"

#include "SaveRig.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::SaveRig;

// A left-button drag over `cells` of the level layer with block `block`, as one gesture.
void Drag(EditorState& state, const std::vector<std::pair<int, int>>& cells, uint16_t block) {
    const uint64_t gesture = state.History.NewGesture();
    state.Editing = EditTarget::Level;
    state.CurrentBlock = block;
    for (const auto& [x, y] : cells) {
        PaintOrPickRecorded(state, MapButton::Left, x, y, std::nullopt, gesture);
    }
}

// Raises the room's music by one, recorded as one step; the header before.
RoomHeader ChangeMusic(EditorState& state, RoomKey room) {
    const RoomHeader header = state.CurrentRoomHeader;
    RoomHeader changed = header;
    changed.Music = static_cast<uint8_t>(changed.Music + 1);
    state.CurrentRoomHeader = changed;
    state.History.Record(state, room,
                         std::make_unique<HeaderStep>("Change Music", header, changed));
    return header;
}

// Switches the foreground layer on or off as its menu entry does, recorded as one step; the
// layers before.
LayersSnapshot ToggleForeground(EditorState& state, RoomKey room) {
    const LayersSnapshot layers = LayersSnapshot::Of(state);
    ToggleLayer(state, LayerKind::Foreground);
    state.History.Record(
        state, room,
        std::make_unique<LayersStep>("Switch Foreground", layers, LayersSnapshot::Of(state)));
    return layers;
}

// Pointer events arrive sparsely in a fast drag; the cells between two of them are painted too,
// each once, and the line ends exactly on the pointer's cell.
TEST(EditHistory, AFastDragCoversEveryCellBetweenTwoEvents) {
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(CellsAlongDrag(2, 3, 2, 3), Cells{});
    EXPECT_EQ(CellsAlongDrag(0, 0, 4, 0), (Cells{{1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    EXPECT_EQ(CellsAlongDrag(5, 5, 2, 2), (Cells{{4, 4}, {3, 3}, {2, 2}}));
    EXPECT_EQ(CellsAlongDrag(0, 0, 1, 3), (Cells{{0, 1}, {1, 2}, {1, 3}}));
    const Cells steep = CellsAlongDrag(10, 0, 3, 40);
    ASSERT_EQ(steep.size(), 40u);
    EXPECT_EQ(steep.back(), (std::pair{3, 40}));
    for (size_t i = 1; i < steep.size(); ++i) {
        EXPECT_LE(std::abs(steep[i].first - steep[i - 1].first), 1);
        EXPECT_EQ(steep[i].second - steep[i - 1].second, 1);
    }
}

TEST(EditHistory, ADragIsOneStepThatUndoesAndRedoesExactly) {
    SaveRig rig(Game::ZM);
    EditorState& state = rig.state;
    const RoomKey room = CurrentRoom(state);
    const RoomLayer levelBefore = state.LevelLayer;
    const std::vector<uint32_t> pictureBefore(state.MapPicture.Pixels().begin(),
                                              state.MapPicture.Pixels().end());
    // Twelve cells, one of them painted twice in the drag.
    std::vector<std::pair<int, int>> cells;
    for (int x = 0; x < 12; ++x) {
        cells.emplace_back(x, 1);
    }
    cells.emplace_back(3, 1);
    Drag(state, cells, 0x2F);
    const RoomLayer levelAfter = state.LevelLayer;
    const std::vector<uint32_t> pictureAfter(state.MapPicture.Pixels().begin(),
                                             state.MapPicture.Pixels().end());
    ASSERT_NE(levelAfter, levelBefore);
    EXPECT_EQ(state.History.UndoName(room), "Paint 12 blocks");
    EXPECT_TRUE(state.HasUnsavedChanges());

    const EditEffect undone = state.History.Undo(state, room);
    EXPECT_EQ(undone.cells.size(), 12u);
    EXPECT_EQ(state.LevelLayer, levelBefore);
    EXPECT_TRUE(
        std::equal(pictureBefore.begin(), pictureBefore.end(), state.MapPicture.Pixels().begin()));
    EXPECT_FALSE(state.HasUnsavedChanges()) << "every edit undone";
    EXPECT_EQ(state.History.RedoName(room), "Paint 12 blocks");

    state.History.Redo(state, room);
    EXPECT_EQ(state.LevelLayer, levelAfter);
    EXPECT_TRUE(
        std::equal(pictureAfter.begin(), pictureAfter.end(), state.MapPicture.Pixels().begin()));
    EXPECT_TRUE(state.HasUnsavedChanges());

    // A new gesture is a new step; clip cells name themselves so.
    state.Editing = EditTarget::Clip;
    PaintOrPickRecorded(state, MapButton::Left, 0, 0, uint8_t{0x44}, state.History.NewGesture());
    EXPECT_EQ(state.History.UndoName(room), "Paint 1 clip value");
}

TEST(EditHistory, SavedPositionFollowsSavesReloadsAndDroppedSteps) {
    SaveRig rig(Game::MF);
    EditorState& state = rig.state;
    const RoomKey room = CurrentRoom(state);
    const int16_t original = state.LevelLayer.Cell(2, 2);
    Drag(state, {{2, 2}}, 0x31);
    ASSERT_TRUE(rig.Save());
    EXPECT_FALSE(state.HasUnsavedChanges());
    EXPECT_EQ(state.LevelLayer.Cell(2, 2), 0x31);

    // Undo after a save undoes in memory; the next save writes it.
    state.History.Undo(state, room);
    EXPECT_TRUE(state.HasUnsavedChanges());
    EXPECT_EQ(state.LevelLayer.Cell(2, 2), original);
    ASSERT_TRUE(rig.Save());
    EXPECT_EQ(rig.Reopened()->LevelLayer.Cell(2, 2), original);
    EXPECT_FALSE(state.HasUnsavedChanges());

    // Edits discarded by loading the room again: the room is as saved, the edit can be redone.
    Drag(state, {{4, 4}}, 0x32);
    ASSERT_TRUE(SelectRoom(state, room.area, room.room).Loaded);
    EXPECT_FALSE(state.HasUnsavedChanges());
    EXPECT_EQ(state.History.RedoName(room), "Paint 1 block");

    // A step recorded after undoing a saved step makes the saved room unreachable.
    Drag(state, {{5, 5}}, 0x33);
    ASSERT_TRUE(rig.Save());
    state.History.Undo(state, room);
    Drag(state, {{6, 6}}, 0x34);
    state.History.Undo(state, room);
    EXPECT_TRUE(state.HasUnsavedChanges()) << "the saved room cannot be reached any more";
}

// A door edit saved by the door editor stays an undo step when the room is read again, while
// the unsaved cell painted before it becomes a redo step.
TEST(EditHistory, ADoorEditSavedOnItsOwnStaysAnUndoStepAfterAReload) {
    SaveRig rig(Game::ZM);
    EditorState& state = rig.state;
    const RoomKey room = CurrentRoom(state);
    ASSERT_FALSE(state.Doors.AreaDoors.empty());
    const DoorRecord door = state.Doors.AreaDoors[0];
    Drag(state, {{3, 3}}, 0x35);
    ASSERT_TRUE(SetDoorFieldRecorded(state, 0, DoorField::ExitX, door.ExitX() == 5 ? 6 : 5));
    const DoorRecord edited = state.Doors.AreaDoors[0];
    RomWriteServices services{state.Storage, rig.backups, {}};
    ASSERT_TRUE(SaveDoors(rig.rom, rig.game, state.Doors, services));

    ASSERT_TRUE(SelectRoom(state, room.area, room.room).Loaded);
    EXPECT_EQ(state.Doors.AreaDoors[0], edited);
    EXPECT_FALSE(state.HasUnsavedChanges());
    EXPECT_EQ(state.History.UndoName(room), "Change door 0");
    EXPECT_EQ(state.History.RedoName(room), "Paint 1 block");
    EXPECT_TRUE(state.History.Undo(state, room).doors);
    EXPECT_EQ(state.Doors.AreaDoors[0], door);
    EXPECT_TRUE(state.HasUnsavedChanges()) << "the file holds the edited door";
    EXPECT_FALSE(state.History.Undo(state, room).doors) << "nothing before the door step";
}

TEST(EditHistory, SpritesHeaderAndLayersUndoThroughTheirSteps) {
    SaveRig rig(Game::ZM);
    EditorState& state = rig.state;
    const RoomKey room = CurrentRoom(state);
    const SpritePlacement before = state.Sprites.List(0)[0];
    const uint64_t gesture = state.History.NewGesture();
    for (uint8_t x = 1; x <= 3; ++x) { // one drag of three moves
        SpritePlacement moved = state.Sprites.List(0)[0];
        const SpritePlacement old = moved;
        moved.X = static_cast<uint8_t>(before.X + x);
        state.Sprites.List(0)[0] = moved;
        state.History.Record(state, room,
                             std::make_unique<SpriteStep>(SpriteStep::Kind::Move, 0, 0, old, moved),
                             gesture);
    }
    EXPECT_EQ(state.History.UndoName(room), "Move sprite 0");
    state.History.Undo(state, room);
    EXPECT_EQ(state.Sprites.List(0)[0], before);
    EXPECT_TRUE(state.Sprites.SpriteListMarked[0]) << "the next save writes the list back";

    const RoomHeader header = ChangeMusic(state, room);
    EXPECT_TRUE(state.History.Undo(state, room).header);
    EXPECT_EQ(state.CurrentRoomHeader, header);

    const LayersSnapshot layers = ToggleForeground(state, room);
    EXPECT_NE(state.CurrentRoomHeader.BG0Props, layers.header.BG0Props);
    EXPECT_TRUE(state.History.Undo(state, room).wholeMap);
    EXPECT_EQ(state.CurrentRoomHeader.BG0Props, layers.header.BG0Props);
    EXPECT_EQ(state.ForegroundLayer, layers.foreground);
}

// A save between an edit and its undo moves the layers and gives their old places back: the
// undone header and layers keep pointing where the layers are now, and the next save writes
// the undone cells.
TEST(EditHistory, UndoAfterASaveKeepsTheSavedLayerPointers) {
    SaveRig rig(Game::ZM);
    EditorState& state = rig.state;
    const RoomKey room = CurrentRoom(state);
    const RoomHeader original = state.CurrentRoomHeader;
    ToggleForeground(state, room);
    ChangeMusic(state, room);
    const int16_t cell = state.LevelLayer.Cell(1, 1);
    Drag(state, {{1, 1}}, static_cast<uint16_t>(cell == 0x21 ? 0x22 : 0x21));
    ASSERT_TRUE(rig.Save());
    const RoomHeader saved = state.CurrentRoomHeader;
    ASSERT_NE(saved.LevelPointer, original.LevelPointer);

    for (int step = 0; step < 3; ++step) {
        state.History.Undo(state, room);
        for (LayerKind kind : {LayerKind::Level, LayerKind::Clip}) {
            EXPECT_EQ(LayerPointer(state.CurrentRoomHeader, kind), LayerPointer(saved, kind));
        }
    }
    EXPECT_EQ(state.CurrentRoomHeader.Music, original.Music);
    EXPECT_EQ(state.CurrentRoomHeader.BG0Props, original.BG0Props);
    ASSERT_TRUE(rig.Save());
    const auto reopened = rig.Reopened();
    EXPECT_EQ(reopened->LevelLayer.Cell(1, 1), cell);
    EXPECT_EQ(reopened->CurrentRoomHeader.Music, original.Music);
    EXPECT_EQ(reopened->CurrentRoomHeader.BG0Props, original.BG0Props);
}

} // namespace
} // namespace quarnel
