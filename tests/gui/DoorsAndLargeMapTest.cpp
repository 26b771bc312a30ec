// Doors on the main map, the door editor and the large map window with real mouse events on
// generated images: labels and outlines, a drag that follows the pointer, edits saved and read
// back, "Go to", scroll labels and an edge drag saved, painting in the large map.

#include "doors/DoorEdits.h"
#include "doors/ScrollData.h"
#include "doors/frmDoorEd.h"
#include "graphics/RoomRenderer.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtSurface.h"
#include "main/frmMain.h"
#include "rom/RomFile.h"
#include "side/ScrollLabelWidget.h"
#include "side/frmMainMap.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "MainWindowFixture.h"
#include "TempFolder.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <memory>

using namespace quarnel;
using testing::Editor;
using testing::TempFolder;

namespace {

QRect TriggerPixels(const DoorRecord& door) {
    const BlockRect r = DoorTrigger(door);
    return {16 * r.left, 16 * r.top, 16 * (r.right - r.left + 1), 16 * (r.bottom - r.top + 1)};
}

// Chooses the first room of area 0 with a door label that stands at least three blocks from
// the left and two from the bottom of the part of the map the window shows (25 x 17 blocks);
// that label's index, or -1.
int ChooseRoomWithDoorInView(Editor& editor) {
    for (int room = 0; room < editor.window->RoomCount(); ++room) {
        editor.ChooseRoom(room);
        for (size_t label = 0; label < editor.state->Doors.RoomDoorCount; ++label) {
            const DoorRecord& d =
                editor.state->Doors.AreaDoors[editor.state->Doors.RoomDoorList[label]];
            if (d.XStart() >= 3 && d.XEnd() < 25 && d.YEnd() < 15) {
                return static_cast<int>(label);
            }
        }
    }
    return -1;
}

// One step of a drag that began on `label`: the label holds the mouse, so the move reaches
// it, at `point` of its parent given relative to where the label stands now.
void DragTo(QWidget* label, QPoint point) {
    QTest::mouseMove(label, point - label->pos());
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
    return testing::ReadWholeFile(path);
}

} // namespace

class DoorsAndLargeMapTest : public QObject {
    Q_OBJECT

private slots:
    void LabelsStandAtTheRectanglesAndDragsFollowThePointer() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        const int dragged = ChooseRoomWithDoorInView(editor);
        QVERIFY(dragged >= 0);
        DoorState& doors = editor.state->Doors;
        QVERIFY(doors.RoomDoorCount > 0);
        const std::vector<MapOverlay>& outlines = editor.window->picMap->Overlays();
        QCOMPARE(outlines.size(), size_t{doors.RoomDoorCount});
        for (size_t k = 0; k < doors.RoomDoorCount; ++k) {
            const DoorRecord& door = doors.AreaDoors[doors.RoomDoorList[k]];
            QCOMPARE(editor.window->lblDoors[k]->Left(), 16 * door.XEnd());
            QCOMPARE(editor.window->lblDoors[k]->Top(), 16 * door.YEnd());
            QVERIFY(editor.window->lblDoors[k]->isVisibleTo(editor.window->picMap));
            QCOMPARE(outlines[k].rect, TriggerPixels(door));
        }
        QVERIFY(!editor.window->lblDoors[doors.RoomDoorCount]->isVisibleTo(editor.window->picMap));

        // Press in the label's middle, go three blocks left and one down, let go two pixels
        // inside the block: the label lands on that block, and the whole rectangle moves.
        const uint8_t index = doors.RoomDoorList[dragged];
        const DoorRecord before = doors.AreaDoors[index];
        const RoomLayer level = editor.state->LevelLayer;
        MarkerLabelWidget* label = editor.window->lblDoors[size_t(dragged)];
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(16, 16));
        const int toX = 16 * (before.XEnd() - 3) + 2;
        const int toY = 16 * (before.YEnd() + 1) + 2;
        for (int step = 1; step <= 4; ++step) {
            const int x = 16 * before.XEnd() + 8 + (toX - 16 * before.XEnd() - 8) * step / 4;
            const int y = 16 * before.YEnd() + 8 + (toY - 16 * before.YEnd() - 8) * step / 4;
            DragTo(label, editor.MapPoint(x, y));
        }
        QTest::mouseRelease(label, Qt::LeftButton, {}, editor.MapPoint(toX, toY) - label->pos());
        const DoorRecord& after = doors.AreaDoors[index];
        QCOMPARE(label->Left(), 16 * (before.XEnd() - 3));
        QCOMPARE(label->Top(), 16 * (before.YEnd() + 1));
        QCOMPARE(after.XStart(), uint8_t(before.XStart() - 3));
        QCOMPARE(after.XEnd(), uint8_t(before.XEnd() - 3));
        QCOMPARE(after.YStart(), uint8_t(before.YStart() + 1));
        QCOMPARE(after.YEnd(), uint8_t(before.YEnd() + 1));
        QCOMPARE(editor.window->picMap->Overlays()[size_t(dragged)].rect, TriggerPixels(after));
        QCOMPARE(editor.window->Label13->text(), QString::number(dragged));
        QVERIFY(editor.state->LevelLayer.Grid == level.Grid); // the drag painted nothing
        QVERIFY(editor.state->HasUnsavedChanges());

        // Ctrl, or both buttons, move nothing.
        editor.window->lblDoors_MouseMove(dragged, Qt::LeftButton, Qt::ControlModifier,
                                          QPointF(-40, 8));
        editor.window->lblDoors_MouseMove(dragged, Qt::LeftButton | Qt::RightButton, {},
                                          QPointF(-40, 8));
        QCOMPARE(doors.AreaDoors[index], after);
        QCOMPARE(label->Left(), 16 * after.XEnd());
        // Far past the bottom-right corner the label stops on the room's last block.
        editor.window->lblDoors_MouseMove(dragged, Qt::LeftButton, {}, QPointF(4000, 4000));
        QCOMPARE(int{doors.AreaDoors[index].XEnd()}, editor.state->MapBlocksWide() - 1);
        QCOMPARE(int{doors.AreaDoors[index].YEnd()}, editor.state->MapBlocksHigh() - 1);
        editor.window->Undo();
        QCOMPARE(doors.AreaDoors[index], after);

        // Choosing another room discards the drag, as the question says.
        editor.dialogs.answers.push_back(true);
        editor.ChooseRoom(editor.state->Room == 0 ? 1 : 0);
        QCOMPARE(doors.AreaDoors[index], before);
    }

    void DoorEditorShowsEditsSavesAndGoesTo() {
        TempFolder folder;
        Editor editor(folder);
        const auto path = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(path));
        QVERIFY(editor.window->mnuDoorEditor->isEnabled());
        editor.window->mnuDoorEditor->trigger();
        frmDoorEd* doorEditor = editor.window->DoorEditor();
        QVERIFY(doorEditor != nullptr && doorEditor->isVisible());
        QCOMPARE(doorEditor->windowTitle(), QStringLiteral("Door Editor"));
        for (QComboBox* list : {doorEditor->cboDoor, doorEditor->cboExitX, doorEditor->cboExitY,
                                doorEditor->cboRoom, doorEditor->cboUnknown}) {
            QCOMPARE(list->count(), 256);
            QCOMPARE(list->currentIndex(), -1);
            QCOMPARE(list->placeholderText(), QStringLiteral("Combo1"));
        }
        QCOMPARE(doorEditor->cboRoom->itemText(0x1A), QStringLiteral("1A"));
        QCOMPARE(doorEditor->lblDoorConnection->text(), QStringLiteral("Label3"));

        // A right click loads the label's door; "Connected To:" names its destination door.
        const int k = ChooseRoomWithDoorInView(editor);
        QVERIFY(k >= 0);
        const int room = editor.state->Room;
        const uint8_t index = editor.state->Doors.RoomDoorList[size_t(k)];
        const DoorBytes stored = testing::GeneratedRom(Game::ZM, 1).areas[0].doors[index];
        QTest::mouseClick(editor.window->lblDoors[size_t(k)], Qt::RightButton);
        QCOMPARE(doorEditor->Door(), std::optional<uint8_t>(index));
        QCOMPARE(doorEditor->cboDoor->currentIndex(), int{stored[0]});
        QCOMPARE(doorEditor->cboSourceRoom->currentIndex(), int{stored[1]});
        QCOMPARE(doorEditor->cboExitX->currentIndex(), int{stored[2]});
        QCOMPARE(doorEditor->cboXEnd->currentIndex(), int{stored[3]});
        QCOMPARE(doorEditor->cboExitY->currentIndex(), int{stored[4]});
        QCOMPARE(doorEditor->cboYEnd->currentIndex(), int{stored[5]});
        QCOMPARE(doorEditor->cboRoom->currentIndex(), int{stored[6]});
        QCOMPARE(doorEditor->cboUnknown->currentIndex(), int{stored[7]});
        QCOMPARE(doorEditor->spnExitOffsetX->value(), int{static_cast<int8_t>(stored[7])});
        QCOMPARE(doorEditor->spnExitOffsetY->value(), int{static_cast<int8_t>(stored[8])});
        const uint8_t destination = stored[6];
        const uint8_t destinationRoom =
            testing::GeneratedRom(Game::ZM, 1).areas[0].doors[destination][1];
        QCOMPARE(doorEditor->lblDoorConnection->text(),
                 QString::number(destination, 16).toUpper() + QStringLiteral(" (room ") +
                     QString::number(destinationRoom, 16).toUpper() + QStringLiteral(")"));
        QVERIFY(!doorEditor->cboDoor->toolTip().isEmpty());

        // Edits go into the record; "Save Doors" writes its 12 bytes and nothing else.
        const std::vector<uint8_t> before = FileBytes(path);
        doorEditor->cboDoor->setFocus();
        QTest::keyClick(doorEditor->cboDoor, Qt::Key_Down);
        doorEditor->spnExitOffsetY->setValue(-20);
        QCOMPARE(editor.state->Doors.AreaDoors[index].Type(), uint8_t(stored[0] + 1));
        QCOMPARE(editor.state->Doors.AreaDoors[index].ExitY(), int8_t{-20});
        QVERIFY(editor.state->HasUnsavedChanges());
        QTest::mouseClick(doorEditor->cmdSaveDoors, Qt::LeftButton);
        QVERIFY(
            doorEditor->lblStatus->text().startsWith(QStringLiteral("Doors saved (1 record).")));
        QVERIFY(!editor.state->HasUnsavedChanges());
        const std::vector<uint8_t> after = FileBytes(path);
        const size_t at = editor.state->Doors.TableOffset + 12u * index;
        QCOMPARE(FileBytes(folder / "zm.gba.bak"), before);
        for (size_t i = 0; i < before.size(); ++i) {
            if (before[i] != after[i]) {
                QVERIFY2(i >= at && i < at + 12, "a byte outside the record changed");
            }
        }
        QCOMPARE(after[at], uint8_t(stored[0] + 1));
        QCOMPARE(after[at + 8], uint8_t(-20));

        // "Go to" loads the destination door's room and shows that door, scrolling the map to
        // it (in a window too small for the whole room).
        editor.window->resize(editor.window->minimumSizeHint());
        QTest::mouseClick(doorEditor->cmdGoTo, Qt::LeftButton);
        QCOMPARE(editor.state->Room, int{destinationRoom});
        QCOMPARE(editor.window->cboRoom->currentIndex(), int{destinationRoom});
        QCOMPARE(doorEditor->Door(), std::optional<uint8_t>(destination));
        QCOMPARE(doorEditor->cboRoom->currentIndex(),
                 int{testing::GeneratedRom(Game::ZM, 1).areas[0].doors[destination][6]});
        QVERIFY(destinationRoom != room || destination == index);
        // Going to the door that lies furthest into its room scrolls the map to it.
        const DoorState& doors = editor.state->Doors;
        uint8_t far = 0;
        for (size_t d = 0; d < doors.AreaDoors.size() && d < 256; ++d) {
            const DoorRecord& record = doors.AreaDoors[d];
            if (record.XEnd() + record.YEnd() >
                doors.AreaDoors[far].XEnd() + doors.AreaDoors[far].YEnd()) {
                far = static_cast<uint8_t>(d);
            }
        }
        editor.window->GoToDoor(far);
        QCOMPARE(doorEditor->Door(), std::optional<uint8_t>(far));
        size_t label = 0;
        while (label < doors.RoomDoorCount && DoorIndexOfLabel(doors, label) != far) {
            ++label;
        }
        QVERIFY(label < editor.window->lblDoors.size());
        QWidget* viewport = editor.window->PicMaphold->viewport();
        const QWidget* marker = editor.window->lblDoors[label];
        QVERIFY(viewport->rect().contains(
            QRect(marker->mapTo(viewport, QPoint(0, 0)), marker->size())));
    }

    void LargeMapShowsScrollsAndSavesAnEdgeDrag() {
        TempFolder folder;
        Editor editor(folder);
        const auto path = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(path));
        const auto& records = testing::GeneratedRom(Game::ZM, 1).areas[0].scrollRooms;
        const auto split = std::find_if(records.begin(), records.end(),
                                        [](const auto& r) { return r.scrolls.size() == 2; });
        QVERIFY(split != records.end());
        editor.ChooseRoom(split->room);

        QTest::mouseClick(editor.window->cmdEditScroll, Qt::LeftButton);
        frmMainMap* map = editor.window->LargeMap();
        QVERIFY(map != nullptr && map->isVisible() && map->ScrollMode());
        QCOMPARE(map->lblScroll.size(), size_t{255});
        for (size_t i = 0; i < map->lblScroll.size(); ++i) {
            ScrollLabelWidget* label = map->lblScroll[i];
            QCOMPARE(label->isVisibleTo(map->picMap), i < 2);
            if (i < 2) {
                const ScrollBytes& s = split->scrolls[i];
                QCOMPARE(label->text(), QStringLiteral("Scroll: %1").arg(i));
                QCOMPARE(label->geometry(), QRect(16 * s[0], 16 * s[2], 16 * (s[1] - s[0] + 1),
                                                  16 * (s[3] - s[2] + 1)));
            }
        }
        QCOMPARE(map->picMap->size(),
                 QSize(editor.state->MapPicture.Width(), editor.state->MapPicture.Height()));
        // A window smaller than the room scrolls over it.
        map->resize(320, 240);
        QCoreApplication::processEvents();
        QVERIFY(map->hsbMap->maximum() > 0 && map->vsbMap->maximum() > 0);
        map->resize(1200, 900);
        QCoreApplication::processEvents();

        // Grab scroll 0's right edge and drag it three blocks left.
        ScrollLabelWidget* label = map->lblScroll[0];
        const int xEnd = split->scrolls[0][1];
        const QPoint edge(label->width() - 2, label->height() / 2);
        QTest::mousePress(label, Qt::LeftButton, {}, edge);
        const QPoint grabbed = label->pos() + edge;
        for (int step = 1; step <= 3; ++step) {
            DragTo(label, grabbed - QPoint(16 * step, 0));
        }
        QTest::mouseRelease(label, Qt::LeftButton, {}, grabbed - QPoint(48, 0) - label->pos());
        QCOMPARE(int{editor.state->Scrolls.ScrollList[0].XEnd()}, xEnd - 3);
        QCOMPARE(editor.state->Scrolls.ScrollList[0].XStart(), split->scrolls[0][0]);
        QCOMPARE(label->width(), 16 * (xEnd - 3 - split->scrolls[0][0] + 1));
        QCOMPARE(map->SelectedScroll(), std::optional<size_t>(0));
        map->cboBreakX->setFocus();
        QTest::keyClick(map->cboBreakX, Qt::Key_Home);
        QCOMPARE(int{editor.state->Scrolls.ScrollList[0].BreakX()}, 0);
        QVERIFY(editor.state->HasUnsavedChanges());

        // "Save Room" writes the record in place; the room reloads and so does this window.
        QTest::mouseClick(map->cmdSaveRoom, Qt::LeftButton);
        QVERIFY(!editor.state->HasUnsavedChanges());
        auto file = RomFile::Open(path, OpenMode::Read);
        QVERIFY(file.has_value());
        auto saved = ReadRoomScrolls(*file, Game::ZM, 0, split->room);
        QVERIFY(saved.has_value());
        QCOMPARE(saved->Offset, split->offset);
        QCOMPARE(int{saved->ScrollList[0].XEnd()}, xEnd - 3);
        QCOMPARE(saved->ScrollList[0].BreakX(), uint8_t{0});
        QCOMPARE(saved->ScrollList[1].ToBytes(), split->scrolls[1]);
        QCOMPARE(label->width(), 16 * (xEnd - 3 - split->scrolls[0][0] + 1));

        // Opening scroll mode again keeps one array of 255 labels.
        QTest::mouseClick(editor.window->cmdEditScroll, Qt::LeftButton);
        QCOMPARE(map->lblScroll.size(), size_t{255});
        QCOMPARE(map->picMap->findChildren<ScrollLabelWidget*>().size(), qsizetype{255});
    }

    void PaintingInTheLargeMapShowsInTheMainMapAfterClosing() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        QTest::mouseClick(editor.window->cmdBiggerWindow, Qt::LeftButton);
        QCOMPARE(editor.dialogs.messages.back(),
                 std::string("Use this only if you have a large screen. When closed smaller "
                             "window will update. If you change rooms mid-editing. I am not "
                             "responsible for what happens."));
        frmMainMap* map = editor.window->LargeMap();
        QVERIFY(map != nullptr && map->isVisible() && !map->ScrollMode());
        QVERIFY(!map->fraScroll->isVisibleTo(map));

        // A click at pixel (40, 20) edits cell (2, 1); the right button picks.
        const int16_t old = editor.state->LevelLayer.Cell(2, 1);
        editor.state->CurrentBlock = static_cast<uint16_t>(old == 0x2A ? 0x2B : 0x2A);
        const uint16_t painted = editor.state->CurrentBlock;
        QTest::mouseClick(map->picMap, Qt::LeftButton, {}, QPoint(40, 20));
        QCOMPARE(editor.state->LevelLayer.Cell(2, 1), int16_t(painted));
        QVERIFY(editor.state->LevelDirty);
        QCOMPARE(map->picMap->OutlinePosition(), QPoint(32, 16));
        editor.state->CurrentBlock = 0;
        QTest::mouseClick(map->picMap, Qt::RightButton, {}, QPoint(40, 20));
        QCOMPARE(editor.state->CurrentBlock, painted);

        // After closing, the main map shows the room with the painted block.
        map->close();
        Surface fresh;
        fresh.Resize(editor.state->MapPicture.Width(), editor.state->MapPicture.Height());
        DrawRoom(fresh, DrawTarget::MainMap, editor.state->Scene());
        QVERIFY(fresh.Pixels().size() == editor.state->MapPicture.Pixels().size());
        QVERIFY(std::equal(fresh.Pixels().begin(), fresh.Pixels().end(),
                           editor.state->MapPicture.Pixels().begin()));
        const int zoom = editor.window->picMap->Zoom();
        const QImage shown = editor.window->picMap->grab().toImage();
        const QImage picture = SurfaceImage(editor.state->MapPicture);
        for (const QPoint& at : {QPoint(36, 20), QPoint(44, 26)}) {
            QCOMPARE(shown.pixelColor(at * zoom), picture.pixelColor(at));
        }
    }
};

QTEST_MAIN(DoorsAndLargeMapTest)
#include "DoorsAndLargeMapTest.moc"
