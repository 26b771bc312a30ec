// The main window with scripted dialogs on generated images: opening, browsing, painting and
// picking with the mouse on the real widgets, sprite markers, animation, and the paths that
// must leave the open ROM and room as they were.

#include "common/Hex.h"
#include "graphics/RoomRenderer.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "ReferencePicture.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace quarnel;
using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

// A window over a fresh state, with its os.bin and the shipped data files.
struct Editor {
    explicit Editor(const TempFolder& folder)
        : state(std::make_unique<EditorState>(folder / "os.bin")),
          window(std::make_unique<frmMain>(*state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix())) {
        window->show();
    }
    bool Open(const std::filesystem::path& path) {
        dialogs.files.push_back(path);
        window->OpenRom();
        return window->RomReady();
    }
    void ChooseArea(int area) {
        window->cboAreas->setCurrentIndex(area);
        window->cboAreas_Click();
    }
    void ChooseRoom(int room) {
        window->cboRoom->setCurrentIndex(room);
        window->cboRoom_Click();
    }
    // A mouse event on the map at the centre of cell (x, y), in widget pixels.
    QPoint CellPoint(int x, int y) const {
        const int zoom = window->picMap->Zoom();
        return QPoint((16 * x + 8) * zoom, (16 * y + 8) * zoom);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<EditorState> state;
    std::unique_ptr<frmMain> window;
};

bool PictureMatchesFullRedraw(EditorState& state) {
    Surface fresh;
    fresh.Resize(state.MapPicture.Width(), state.MapPicture.Height());
    DrawRoom(fresh, DrawTarget::MainMap, state.Scene());
    return std::equal(fresh.Pixels().begin(), fresh.Pixels().end(),
                      state.MapPicture.Pixels().begin(), state.MapPicture.Pixels().end());
}

// The first room of area 0 with a usable level layer and at least one sprite in list 0.
int RoomWithSprites(Editor& editor) {
    for (int room = 0; room < editor.window->RoomCount(); ++room) {
        editor.ChooseRoom(room);
        if (!editor.state->Sprites.List(0).empty() && editor.state->LayerUsable(LayerKind::Level)) {
            return room;
        }
    }
    return -1;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void StartsByCreatingTheStorageFile() {
        TempFolder folder;
        Editor editor(folder);
        QCOMPARE(editor.dialogs.messages.size(), size_t{1});
        QCOMPARE(editor.dialogs.messages[0],
                 std::string("Storage System does not exist Now creating"));
        QVERIFY(std::filesystem::exists(folder / "os.bin"));
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("Quarnel"));
        QVERIFY(!editor.window->mnuResize->isEnabled());
        QVERIFY(!editor.window->mnuDumps->isEnabled());
        editor.window->mnuExperimental->trigger();
        QVERIFY(editor.window->mnuResize->isEnabled());
        QVERIFY(editor.window->mnuDumps->isEnabled());
        QVERIFY(!editor.window->mnuCredits->isEnabled());
        QCOMPARE(editor.window->cboTileset->count(), 256);
        QCOMPARE(editor.window->cboMusic->itemText(255), QStringLiteral("FF"));

        editor.window->cboAreas_Click();
        QCOMPARE(editor.dialogs.messages.back(),
                 std::string("Please load a rom the click Load Thank you!"));
    }

    void OpensBothGamesAndFillsTheLists() {
        TempFolder folder;
        Editor editor(folder);
        const auto zm = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(zm));
        QCOMPARE(editor.dialogs.messages.back(), std::string("Rom Loaded"));
        QCOMPARE(editor.window->cboAreas->count(), 7);
        QCOMPARE(editor.window->cboAreas->itemText(6), QStringLiteral("Chozodia"));
        const auto& built = testing::GeneratedRom(Game::ZM, 1);
        QCOMPARE(editor.window->cboRoom->count(), int{built.areas[0].expectedRoomCount});
        QCOMPARE(editor.window->cboRoom->itemText(10), QStringLiteral("A"));
        QCOMPARE(editor.window->cboAttribute->count(), 256);
        QCOMPARE(editor.window->cboAttribute->itemText(163), QStringLiteral("A3 - ????????"));
        QVERIFY(editor.window->cboAttribute->itemText(16) != QStringLiteral("10 - ????????"));
        QCOMPARE(editor.state->Area, 0);
        QCOMPARE(editor.state->Room, 0);

        editor.ChooseArea(6);
        QCOMPARE(editor.window->cboRoom->count(), 99);
        QCOMPARE(editor.window->cboRoom->itemText(98), QStringLiteral("62"));

        const auto mf = testing::WriteGeneratedRom(folder / "mf.gba", Game::MF, 1);
        QVERIFY(editor.Open(mf));
        QCOMPARE(editor.dialogs.messages.back(), std::string("RomLoaded"));
        QCOMPARE(editor.window->cboAreas->count(), 10);
        QCOMPARE(editor.window->cboAttribute->itemText(16), QStringLiteral("10 - ????????"));
        editor.ChooseArea(4);
        QCOMPARE(editor.window->cboRoom->count(), 48);
        QCOMPARE(editor.window->cboTileset->count(), 256);
    }

    void WalksRoomsAndShowsThemAsBuilt() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 2)));
        const auto& built = testing::GeneratedRom(Game::ZM, 2);
        for (int area : {0, 3}) {
            editor.ChooseArea(area);
            for (int room = 0; room < std::min(6, editor.window->RoomCount()); ++room) {
                editor.ChooseRoom(room);
                const auto& expected = built.areas[size_t(area)].rooms[size_t(room)];
                QCOMPARE(editor.state->CurrentRoomHeader, expected.header);
                QCOMPARE(editor.window->cboTileset->currentIndex(), int{expected.header.Tileset});
                QCOMPARE(editor.window->cboMusic->currentIndex(), int{expected.header.Music});
                QCOMPARE(editor.window->chkViewLevel->isChecked(), expected.level.has_value());
                QCOMPARE(editor.window->mnuLevel->isEnabled(), !expected.level.has_value());
                QCOMPARE(editor.window->chkViewForeground->isEnabled(),
                         expected.foreground.has_value());
                QVERIFY(editor.window->chkLevel->isChecked());
                QCOMPARE(editor.window->picMap->width(),
                         editor.state->MapPicture.Width() * editor.window->picMap->Zoom());
                // Sprite markers: one per entry of the shown list.
                const auto& list = expected.spriteLists[0];
                for (size_t i = 0; i < 4 && i < editor.window->Enemy.size(); ++i) {
                    QCOMPARE(editor.window->Enemy[i]->isVisibleTo(editor.window->picMap),
                             i < list.size());
                    if (i < list.size()) {
                        QCOMPARE(editor.window->Enemy[i]->Left(), list[i][1] * 16);
                        QCOMPARE(editor.window->Enemy[i]->Top(), list[i][0] * 16);
                    }
                }
            }
        }
        // A typed room number is hexadecimal.
        editor.ChooseArea(0);
        editor.window->cboRoom_Change(QStringLiteral("1A"));
        QCOMPARE(editor.state->Room, 26);
        editor.window->cboRoom_Change(QStringLiteral("zz"));
        QCOMPARE(editor.state->Room, 0);
        editor.window->cboRoom_Change(QStringLiteral("FF"));
        QCOMPARE(editor.state->Room, 0);
    }

    void PaintsPicksAndDragsWithTheMouse() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        QVERIFY(editor.state->LayerUsable(LayerKind::Level));
        PictureWidget* map = editor.window->picMap;

        // Pick block 0x21 in the tileset picture, paint it at (2, 3).
        QTest::mouseClick(editor.window->PicTSA, Qt::LeftButton, {}, QPoint(16 + 8, 32 + 8));
        QCOMPARE(editor.state->CurrentBlock, uint16_t{0x21});
        QTest::mouseClick(map, Qt::LeftButton, {}, editor.CellPoint(2, 3));
        QCOMPARE(editor.state->LevelLayer.Cell(2, 3), int16_t{0x21});
        QVERIFY(editor.state->LevelDirty);
        QVERIFY(editor.state->HasUnsavedChanges());
        QVERIFY(PictureMatchesFullRedraw(*editor.state));
        QCOMPARE(editor.window->Label13->text(), QStringLiteral("X:2\nY:3"));

        // Drag painting: every cell the mouse passes over.
        editor.state->CurrentBlock = 0x22;
        QTest::mousePress(map, Qt::LeftButton, {}, editor.CellPoint(4, 4));
        for (int x = 5; x <= 8; ++x) {
            QTest::mouseMove(map, editor.CellPoint(x, 4));
        }
        QTest::mouseRelease(map, Qt::LeftButton, {}, editor.CellPoint(8, 4));
        for (int x = 4; x <= 8; ++x) {
            QCOMPARE(editor.state->LevelLayer.Cell(x, 4), int16_t{0x22});
        }
        QVERIFY(PictureMatchesFullRedraw(*editor.state));

        // Right button picks from the map.
        editor.state->CurrentBlock = 0;
        QTest::mouseClick(map, Qt::RightButton, {}, editor.CellPoint(2, 3));
        QCOMPARE(editor.state->CurrentBlock, uint16_t{0x21});

        // The value labels follow the mouse.
        QTest::mouseMove(map, editor.CellPoint(2, 3));
        QCOMPARE(editor.window->lblTiled->text(), QStringLiteral("021"));

        // Clipdata with the attribute list's index.
        editor.window->chkClip->click();
        QVERIFY(!editor.window->chkLevel->isChecked());
        editor.window->cboAttribute->setCurrentIndex(0x1B);
        QTest::mouseClick(map, Qt::LeftButton, {}, editor.CellPoint(6, 6));
        QCOMPARE(editor.state->ClipLayer.Cell(6, 6), int16_t{0x1B});
        QTest::mouseMove(map, editor.CellPoint(6, 6));
        QCOMPARE(editor.window->lblClip->text(), editor.window->cboAttribute->itemText(0x1B));

        // Other buttons on the tileset picture only say the stamp is not there.
        QTest::mouseClick(editor.window->PicTSA, Qt::RightButton, {}, QPoint(8, 8));
        QCOMPARE(editor.dialogs.messages.back(), std::string("Stamp function not availble"));
        QCOMPARE(editor.state->CurrentBlock, uint16_t{0x21});
    }

    void AsksBeforeDiscardingAChangedRoom() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        editor.state->CurrentBlock = 5;
        QTest::mouseClick(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(1, 1));
        QVERIFY(editor.state->HasUnsavedChanges());

        editor.dialogs.answers.push_back(false);
        editor.ChooseRoom(1);
        QCOMPARE(editor.dialogs.questions.back(),
                 std::string("Discard unsaved changes to this room?"));
        QCOMPARE(editor.state->Room, 0);
        QCOMPARE(editor.window->cboRoom->currentIndex(), 0);
        QCOMPARE(editor.state->LevelLayer.Cell(1, 1), int16_t{5});

        editor.dialogs.answers.push_back(true);
        editor.ChooseRoom(1);
        QCOMPARE(editor.state->Room, 1);
        QVERIFY(!editor.state->HasUnsavedChanges());
    }

    void KeepsTheRomWhenOpeningIsCancelledOrRefused() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        editor.ChooseArea(2);
        editor.ChooseRoom(3);
        const auto path = editor.state->RomPath;

        editor.dialogs.files.push_back(std::nullopt);
        editor.window->OpenRom();
        QCOMPARE(editor.dialogs.messages.back(), std::string("No rom loaded"));

        const std::vector<uint8_t> junk(0x200, 0x41);
        editor.dialogs.files.push_back(folder.WriteFile("junk.gba", junk));
        editor.window->OpenRom();
        QCOMPARE(editor.dialogs.messages.back(), std::string("Sorry invalid ROM."));

        QVERIFY(editor.window->isVisible());
        QCOMPARE(editor.state->RomPath, path);
        QCOMPARE(editor.state->Area, 2);
        QCOMPARE(editor.state->Room, 3);
        QCOMPARE(editor.window->cboAreas->currentIndex(), 2);
        QCOMPARE(editor.window->cboRoom->currentIndex(), 3);
    }

    void EditsSpritesOnTheMap() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        const int room = RoomWithSprites(editor);
        QVERIFY(room >= 0);
        SpritePlacement* entry = &editor.state->Sprites.List(0)[0];
        MarkerLabelWidget* label = editor.window->Enemy[0];

        // The number prompt: refused answers are explained, Cancel is silent.
        const uint8_t before = entry->SpriteNumber;
        const size_t shown = editor.dialogs.messages.size();
        editor.dialogs.inputs.push_back(std::string("300"));
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(entry->SpriteNumber, before);
        QCOMPARE(editor.dialogs.prompts.back(),
                 "Please enter a new enemy number for enemy:0! 0 - 255 in decimal form please.\r\n"
                 "Current Sprite is: " +
                     ToHex(before));
        editor.dialogs.inputs.push_back(std::string("255")); // FF would end the stored list
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(entry->SpriteNumber, before);
        QCOMPARE(editor.dialogs.messages.size(), shown + 2);
        QVERIFY(editor.dialogs.messages.back().find("255 (FF)") != std::string::npos);
        editor.dialogs.inputs.push_back(std::nullopt);
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(entry->SpriteNumber, before);
        QCOMPARE(editor.dialogs.messages.size(), shown + 2);
        QVERIFY(!editor.state->Sprites.SpriteListMarked[0]);

        // An accepted number marks the list, so "Save Room" writes it.
        const uint8_t number = before == 0x11 ? 0x12 : 0x11;
        editor.dialogs.inputs.push_back(std::to_string(number));
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(entry->SpriteNumber, number);
        QCOMPARE(editor.window->lblEnemy->text(), QStringLiteral("0"));
        QVERIFY(editor.state->Sprites.SpriteListMarked[0]);
        editor.window->cmdSave->click();
        QCOMPARE(editor.dialogs.messages.size(), shown + 2);
        QVERIFY(
            editor.window->statusBar()->currentMessage().startsWith(QStringLiteral("Room saved.")));
        entry = &editor.state->Sprites.List(0)[0]; // read again from the ROM
        QCOMPARE(entry->SpriteNumber, number);
        QVERIFY(!editor.state->Sprites.SpriteListMarked[0]);

        // A left drag snaps the marker to whole blocks and marks the list.
        label->PlaceAt(32, 48);
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(8, 8));
        QCOMPARE(label->Left(), 32);
        QCOMPARE(label->Top(), 48);
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(24, 8));
        QCOMPARE(label->Left(), 48);
        QCOMPARE(entry->X, uint8_t{3});
        QCOMPARE(entry->Y, uint8_t{3});
        QVERIFY(editor.state->Sprites.SpriteListMarked[0]);
        QCOMPARE(editor.window->Label13->text(), QStringLiteral("0"));
        // With Ctrl held nothing moves.
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, Qt::ControlModifier, QPointF(40, 40));
        QCOMPARE(label->Left(), 48);
        // Beyond the left and top edge the marker stops at 0.
        label->PlaceAt(0, 0);
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(-30, -30));
        QCOMPARE(label->Left(), 0);
        QCOMPARE(entry->X, uint8_t{0});
        QCOMPARE(entry->Y, uint8_t{0});
    }

    void AnimatesOnlyWhileUpdateAnimationsIsChecked() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        // Find a room whose tileset animates a slot with more than one frame.
        int slot = -1;
        for (int room = 0; room < editor.window->RoomCount() && slot < 0; ++room) {
            editor.ChooseRoom(room);
            for (int s = 0; s < 16; ++s) {
                const auto& animated = editor.state->Graphics.Slots[size_t(s)];
                if (editor.state->Graphics.Timers[size_t(s)].Enabled &&
                    animated.Record.FrameCount > 1) {
                    slot = s;
                    break;
                }
            }
        }
        QVERIFY(slot >= 0);
        QVERIFY(editor.window->tmrTile[size_t(slot)]->isActive());
        const auto tiles = editor.state->Graphics.Tiles;
        const auto counter = editor.state->Graphics.Slots[size_t(slot)].Counter;
        editor.window->tmrTile_Timer(slot);
        QCOMPARE(editor.state->Graphics.Slots[size_t(slot)].Counter, counter);
        QVERIFY(editor.state->Graphics.Tiles == tiles);

        editor.window->mnuUpdate->trigger();
        QVERIFY(editor.window->mnuUpdate->isChecked());
        editor.window->tmrTile_Timer(slot);
        QVERIFY(editor.state->Graphics.Slots[size_t(slot)].Counter != counter);
        QVERIFY(editor.state->Graphics.Tiles != tiles);
    }

    void SavesAPaintedRoomAndShowsItAfterTheReload() {
        TempFolder folder;
        Editor editor(folder);
        const auto path = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(path));
        editor.ChooseArea(1);
        editor.ChooseRoom(2);
        const uint32_t oldLevel = editor.state->CurrentRoomHeader.LevelPointer;
        editor.state->CurrentBlock = 0x33;
        QTest::mouseClick(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(3, 2));
        editor.window->cboMusic->setCurrentIndex(0x2A);
        editor.window->cmdSave->click();
        QCOMPARE(editor.state->Room, 2);
        QVERIFY(!editor.state->HasUnsavedChanges());
        QVERIFY(editor.state->CurrentRoomHeader.LevelPointer != oldLevel);
        QCOMPARE(editor.state->LevelLayer.Cell(3, 2), int16_t{0x33});
        QCOMPARE(editor.state->CurrentRoomHeader.Music, uint8_t{0x2A});
        QCOMPARE(editor.window->cboMusic->currentIndex(), 0x2A);
        QVERIFY(std::filesystem::exists(folder / "zm.gba.bak"));
        QVERIFY(PictureMatchesFullRedraw(*editor.state));

        // A fresh window on the same file shows the change.
        Editor again(folder);
        QVERIFY(again.Open(path));
        again.ChooseArea(1);
        again.ChooseRoom(2);
        QCOMPARE(again.state->LevelLayer.Cell(3, 2), int16_t{0x33});
    }

    void SavesTheMapPicture() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        editor.dialogs.files.push_back(std::nullopt);
        const size_t messages = editor.dialogs.messages.size();
        editor.window->mnuSMP_Click();
        QCOMPARE(editor.dialogs.messages.size(), messages);
        QVERIFY(editor.window->isVisible());

        editor.dialogs.files.push_back(folder / "map.bmp");
        editor.window->mnuSMP_Click();
        const auto bytes = testing::ReadWholeFile(folder / "map.bmp");
        QVERIFY(bytes.size() > 54);
        QCOMPARE(bytes[0], uint8_t{'B'});
        const auto width = bytes[18] | bytes[19] << 8;
        QCOMPARE(width, editor.state->MapPicture.Width());
        QCOMPARE(editor.dialogs.fileDialogs.back().substr(0, 17), std::string("Save Binary File|"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
