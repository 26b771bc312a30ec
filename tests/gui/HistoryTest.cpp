// Undo and redo through the main window's Edit menu on generated images: the picture and the
// layers after an undone drag, the steps of the other editors, the discard question and the
// title's unsaved-changes marker; File > Save As and Open Recent.

#include "doors/frmDoorEd.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "side/ZoomPictureWidget.h"
#include "side/frmMiniMap.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/RomTransaction.h"

#include "GeneratedRoms.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace quarnel;
using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

bool SamePixels(const Surface& a, const Surface& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Pixels().begin(), a.Pixels().end(), b.Pixels().begin());
}

// The main window over a fresh state with a generated ZM image open; the minimap editor is its
// side window, refreshed after an undo as the program does.
struct Editor {
    explicit Editor(const TempFolder& folder)
        : state(std::make_unique<EditorState>(folder / "os.bin")), services{state->Storage,
                                                                            backups,
                                                                            {}} {
        frmMain::SideWindows side;
        side.miniMap = [this](QWidget* parent) -> QWidget* {
            return new frmMiniMap(
                *state, dialogs, services,
                [this] {
                    return QPoint(window->cboMX->currentIndex(), window->cboMY->currentIndex());
                },
                parent);
        };
        side.refresh = [](QWidget* shown) {
            if (auto* miniMap = qobject_cast<frmMiniMap*>(shown)) {
                miniMap->Refresh();
            }
        };
        window = std::make_unique<frmMain>(*state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix(),
                                           std::move(side));
        window->show();
        rom = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        window->OpenRomPath(rom);
        dialogs.messages.clear();
    }
    // The first room of area 0 with a usable level layer and a sprite in list 0.
    void ChooseRoomWithSprites() {
        for (int room = 0; room < window->RoomCount(); ++room) {
            window->cboRoom->setCurrentIndex(room);
            window->cboRoom_Click();
            if (!state->Sprites.List(0).empty() && state->LayerUsable(LayerKind::Level)) {
                return;
            }
        }
    }
    QPoint CellPoint(int x, int y) const {
        const int zoom = window->picMap->Zoom();
        return QPoint((16 * x + 8) * zoom, (16 * y + 8) * zoom);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<EditorState> state;
    RomBackups backups;
    RomWriteServices services;
    std::unique_ptr<frmMain> window;
    std::filesystem::path rom;
};

QString Title(bool changed) {
    return QStringLiteral("Quarnel - zm.gba") + (changed ? QStringLiteral(" *") : QString());
}

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT

private slots:
    // A drag is one step; undo and redo give back the very pixels and cells of before and
    // after, and the title and the Edit menu follow.
    void PaintUndoRedoIsPixelExact() {
        TempFolder folder;
        Editor editor(folder);
        editor.ChooseRoomWithSprites();
        QCOMPARE(editor.window->windowTitle(), Title(false));
        QVERIFY(!editor.window->mnuUndo->isEnabled());
        const Surface beforePicture = editor.state->MapPicture;
        const RoomLayer beforeLayer = editor.state->LevelLayer;
        editor.state->CurrentBlock = 0x23;

        QTest::mousePress(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(1, 1));
        for (int x = 2; x <= 5; ++x) {
            QMouseEvent move(QEvent::MouseMove, editor.CellPoint(x, 2),
                             editor.window->picMap->mapToGlobal(editor.CellPoint(x, 2)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor.window->picMap, &move);
        }
        QTest::mouseRelease(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(5, 2));
        QCOMPARE(editor.window->mnuUndo->text(), QStringLiteral("Undo Paint 5 blocks"));
        QCOMPARE(editor.window->windowTitle(), Title(true));
        const Surface afterPicture = editor.state->MapPicture;
        const RoomLayer afterLayer = editor.state->LevelLayer;
        QVERIFY(!(afterLayer == beforeLayer));

        editor.window->mnuUndo->trigger();
        QVERIFY(SamePixels(editor.state->MapPicture, beforePicture));
        QVERIFY(editor.state->LevelLayer == beforeLayer);
        QCOMPARE(editor.window->windowTitle(), Title(false));
        QVERIFY(!editor.window->mnuUndo->isEnabled());
        QCOMPARE(editor.window->mnuRedo->text(), QStringLiteral("Redo Paint 5 blocks"));

        editor.window->mnuRedo->trigger();
        QVERIFY(SamePixels(editor.state->MapPicture, afterPicture));
        QVERIFY(editor.state->LevelLayer == afterLayer);
        QCOMPARE(editor.window->windowTitle(), Title(true));

        // All undone: leaving the room asks nothing.
        editor.window->mnuUndo->trigger();
        editor.window->cboRoom->setCurrentIndex(editor.state->Room + 1);
        editor.window->cboRoom_Click();
        QVERIFY(editor.dialogs.questions.empty());
    }

    // The steps of a sprite drag, a header list, the door editor and a minimap paint each
    // come back undone, in the data and in what the windows show.
    void UndoesSpritesHeaderDoorsAndMinimap() {
        TempFolder folder;
        Editor editor(folder);
        editor.ChooseRoomWithSprites();

        // A sprite marker dragged one block to the right.
        const SpritePlacement sprite = editor.state->Sprites.List(0)[0];
        MarkerLabelWidget* marker = editor.window->Enemy[0];
        editor.window->Enemy_MouseDown(0, Qt::LeftButton);
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(24, 8));
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(24, 8));
        QVERIFY(!(editor.state->Sprites.List(0)[0] == sprite));
        QCOMPARE(editor.window->mnuUndo->text(), QStringLiteral("Undo Move sprite 0"));
        const QPoint moved = marker->pos();
        editor.window->Undo();
        QVERIFY(editor.state->Sprites.List(0)[0] == sprite);
        QVERIFY(marker->pos() != moved);

        // The music list.
        const uint8_t music = editor.state->CurrentRoomHeader.Music;
        editor.window->cboMusic->setCurrentIndex(music + 1);
        emit editor.window->cboMusic->activated(music + 1);
        QCOMPARE(editor.state->CurrentRoomHeader.Music, uint8_t(music + 1));
        QCOMPARE(editor.window->mnuUndo->text(), QStringLiteral("Undo Change Music"));
        editor.window->Undo();
        QCOMPARE(editor.state->CurrentRoomHeader.Music, music);
        QCOMPARE(editor.window->cboMusic->currentIndex(), int{music});

        // A field of a door in the door editor.
        QVERIFY(editor.state->Doors.RoomDoorCount > 0);
        const uint8_t door = editor.state->Doors.RoomDoorList[0];
        const DoorRecord record = editor.state->Doors.AreaDoors[door];
        editor.window->mnuDoorEditor->trigger();
        frmDoorEd* doorEditor = editor.window->DoorEditor();
        doorEditor->LoadDoorData(door);
        doorEditor->spnExitOffsetY->setValue(record.ExitY() == -20 ? -21 : -20);
        QVERIFY(editor.state->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), Title(true));
        editor.window->Undo();
        QVERIFY(editor.state->Doors.AreaDoors[door] == record);
        QCOMPARE(doorEditor->spnExitOffsetY->value(), int{record.ExitY()});
        QVERIFY(!editor.state->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), Title(false));

        // A stroke on the minimap.
        editor.window->mnuMini->trigger();
        auto* miniMap = editor.window->findChild<frmMiniMap*>();
        QVERIFY(miniMap != nullptr && miniMap->isVisible());
        const std::vector<uint16_t> entries = miniMap->Map().entries;
        const int zoom = miniMap->picMiniMap->Zoom();
        const QPoint cell((8 * 9 + 4) * zoom, (8 * 9 + 4) * zoom);
        QTest::mouseClick(miniMap->picMiniMap, Qt::LeftButton, {}, cell);
        QVERIFY(miniMap->Map().entries != entries);
        QVERIFY(miniMap->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), Title(true));
        editor.window->Undo();
        QVERIFY(miniMap->Map().entries == entries);
        QVERIFY(!miniMap->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), Title(false));
        // Painted again and saved by the minimap editor: nothing is left unsaved.
        QTest::mouseClick(miniMap->picMiniMap, Qt::LeftButton, {}, cell);
        QCOMPARE(editor.window->windowTitle(), Title(true));
        miniMap->cmdSave_Click();
        QCOMPARE(editor.window->windowTitle(), Title(false));

        // The room's minimap cell follows the position lists, and their undo.
        QVERIFY(miniMap->picMiniMap->OutlineVisible("shpCoords"));
        const QRect cellShown = miniMap->picMiniMap->Outline("shpCoords");
        const int mx = editor.window->cboMX->currentIndex();
        editor.window->cboMX->setCurrentIndex(mx + 1);
        emit editor.window->cboMX->activated(mx + 1);
        QCOMPARE(miniMap->picMiniMap->Outline("shpCoords"), cellShown.translated(8, 0));
        editor.window->Undo();
        QCOMPARE(miniMap->picMiniMap->Outline("shpCoords"), cellShown);
        // A stroke undone, then the window closed: its redo paints nothing out of sight.
        QTest::mouseClick(miniMap->picMiniMap, Qt::LeftButton, {}, cell + QPoint(8 * zoom, 0));
        editor.window->Undo();
        miniMap->close();
        editor.window->Redo();
        QCOMPARE(editor.window->windowTitle(), Title(false));
        editor.window->mnuMini->trigger();
        QVERIFY(miniMap->isVisible() && !miniMap->HasUnsavedChanges());
        miniMap->close();
    }

    // A resize saves the room at once: the title marks nothing unsaved until it is undone.
    void ResizeIsSavedAndItsUndoIsNot() {
        TempFolder folder;
        Editor editor(folder);
        editor.window->mnuExperimental->setChecked(true);
        editor.dialogs.inputs = {std::string("20"), std::string("12")};
        editor.window->mnuResize->trigger();
        QCOMPARE(int{editor.state->LevelLayer.Width}, 20);
        QVERIFY(!editor.state->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), Title(false));
        editor.window->Undo();
        QCOMPARE(editor.window->windowTitle(), Title(true));
    }

    // Another ROM would leave the minimap editor's unsaved painting behind: it is asked first,
    // and No keeps the open ROM with its painting.
    void OpeningAnotherRomAsksBeforeLeavingMinimapPaintingBehind() {
        TempFolder folder;
        Editor editor(folder);
        editor.window->mnuMini->trigger();
        auto* miniMap = editor.window->findChild<frmMiniMap*>();
        QVERIFY(miniMap != nullptr && miniMap->isVisible());
        const int zoom = miniMap->picMiniMap->Zoom();
        QTest::mouseClick(miniMap->picMiniMap, Qt::LeftButton, {}, QPoint(68 * zoom, 76 * zoom));
        const std::vector<uint16_t> painted = miniMap->Map().entries;
        QVERIFY(miniMap->HasUnsavedChanges());
        const auto other = testing::WriteGeneratedRom(folder / "other.gba", Game::ZM, 2);

        editor.dialogs.answers.push_back(false);
        QVERIFY(!editor.window->OpenRomPath(other));
        QVERIFY(editor.dialogs.questions.back().rfind("Discard unsaved changes to the minimap",
                                                      0) == 0);
        QCOMPARE(editor.state->RomPath, editor.rom);
        QVERIFY(miniMap->Map().entries == painted);
        QCOMPARE(editor.window->windowTitle(), Title(true));

        editor.dialogs.answers.push_back(true);
        QVERIFY(editor.window->OpenRomPath(other));
        QVERIFY(!miniMap->HasUnsavedChanges());
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("Quarnel - other.gba"));
        QVERIFY(editor.dialogs.messages.empty());
        miniMap->close();
    }

    // Save As copies the file as it stands and goes on there: the edits reach the copy with the
    // next save. A recent file that is gone is taken off the list with a message.
    void SaveAsContinuesInTheCopyAndRecentFilesForgetMissingOnes() {
        TempFolder folder;
        Editor editor(folder);
        editor.state->CurrentBlock = 0x23;
        QTest::mouseClick(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(2, 2));
        editor.window->mnuMini->trigger();
        auto* miniMap = editor.window->findChild<frmMiniMap*>();
        QVERIFY(miniMap != nullptr && miniMap->isVisible());
        const int zoom = miniMap->picMiniMap->Zoom();
        QTest::mouseClick(miniMap->picMiniMap, Qt::LeftButton, {}, QPoint(68 * zoom, 76 * zoom));
        QVERIFY(miniMap->HasUnsavedChanges());
        const auto copy = folder / "copy.gba";
        editor.dialogs.files.push_back(copy);
        editor.window->mnuSaveAs->trigger();
        QCOMPARE(editor.state->RomPath, copy);
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("Quarnel - copy.gba *"));
        QVERIFY(testing::ReadWholeFile(copy) == testing::ReadWholeFile(editor.rom));
        // The minimap editor's painting goes into the copy too.
        miniMap->cmdSave_Click();
        QVERIFY(!miniMap->HasUnsavedChanges());
        QVERIFY(testing::ReadWholeFile(copy) != testing::ReadWholeFile(editor.rom));
        miniMap->close();
        // Copying onto the open file is refused.
        editor.dialogs.files.push_back(copy);
        editor.window->mnuSaveAs->trigger();
        QVERIFY(editor.dialogs.messages.back().rfind("The ROM was not copied.", 0) == 0);

        editor.window->cmdSave->click();
        QVERIFY(testing::ReadWholeFile(copy) != testing::ReadWholeFile(editor.rom));
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("Quarnel - copy.gba"));

        auto recent = editor.window->mnuRecent->actions();
        QVERIFY(recent.size() >= 2);
        QCOMPARE(recent[0]->text(), QString::fromStdString(std::filesystem::absolute(copy)));
        QCOMPARE(recent[1]->text(), QString::fromStdString(std::filesystem::absolute(editor.rom)));
        std::filesystem::remove(editor.rom);
        recent[1]->trigger();
        QVERIFY(editor.dialogs.messages.back().find("no longer exists") != std::string::npos);
        QCOMPARE(editor.state->RomPath, copy);
        recent = editor.window->mnuRecent->actions();
        QVERIFY(std::none_of(recent.begin(), recent.end(), [&](QAction* entry) {
            return entry->text() == QString::fromStdString(std::filesystem::absolute(editor.rom));
        }));
    }
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"
