// The main window with scripted dialogs on generated images: opening, browsing, painting and
// picking with the mouse on the real widgets, sprite markers, animation, and the paths that
// must leave the open ROM and room as they were.

#include "common/Hex.h"
#include "graphics/RoomRenderer.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "rom/GameTables.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "MainWindowFixture.h"
#include "ReferencePicture.h"
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

#include <algorithm>
#include <memory>
#include <span>

using namespace quarnel;
using testing::Editor;
using testing::TempFolder;

namespace {

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
        QVERIFY(editor.dialogs.messages.empty());
        QCOMPARE(editor.window->statusBar()->currentMessage(),
                 QStringLiteral("The storage system did not exist; it was created."));
        QVERIFY(std::filesystem::exists(folder / "os.bin"));
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("Quarnel"));
        QVERIFY(!editor.window->mnuResize->isEnabled());
        // The dumps, the music viewer and the minimap editor work without the experimental
        // switch.
        QVERIFY(editor.window->mnuDumps->isEnabled());
        QVERIFY(editor.window->mnuMV->isEnabled());
        QVERIFY(editor.window->mnuMini->isEnabled());
        editor.window->mnuExperimental->trigger();
        QVERIFY(editor.window->mnuResize->isEnabled());
        QVERIFY(editor.window->mnuDumps->isEnabled());
        QVERIFY(!editor.window->mnuCredits->isEnabled());
        QCOMPARE(editor.window->cboTileset->count(), 256);
        QCOMPARE(editor.window->cboMusic->itemText(255), QStringLiteral("FF"));

        editor.window->cboAreas_Click();
        QCOMPARE(editor.dialogs.messages.back(),
                 std::string("Please load a ROM first, then click Load. Thank you!"));
    }

    void OpensBothGamesAndFillsTheLists() {
        TempFolder folder;
        Editor editor(folder);
        const auto zm = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(zm));
        QCOMPARE(editor.window->statusBar()->currentMessage(), QStringLiteral("Rom Loaded"));
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
        QCOMPARE(editor.window->statusBar()->currentMessage(), QStringLiteral("RomLoaded"));
        QCOMPARE(editor.window->cboAreas->count(), 10);
        QCOMPARE(editor.window->cboAttribute->itemText(16), QStringLiteral("10 - Solid"));
        QCOMPARE(editor.window->cboAttribute->itemText(0xB0), QStringLiteral("B0 - ????????"));
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
        for (const char* typed : {"1A", "zz", "FF"}) {
            editor.window->cboRoom->setEditText(QString::fromLatin1(typed));
            editor.window->cboRoom_Validate();
            QCOMPARE(editor.state->Room, 26);
        }
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
        QCOMPARE(editor.window->statusBar()->currentMessage(),
                 QStringLiteral("Stamp function not available"));
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
        editor.state->CurrentBlock = 7;
        QTest::mouseClick(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(1, 1));
        const auto keeps = [&] {
            QVERIFY(editor.window->isVisible());
            QCOMPARE(editor.state->RomPath, path);
            QCOMPARE(editor.state->Area, 2);
            QCOMPARE(editor.state->Room, 3);
            QCOMPARE(editor.window->cboAreas->currentIndex(), 2);
            QCOMPARE(editor.window->cboRoom->currentIndex(), 3);
            QCOMPARE(editor.state->LevelLayer.Cell(1, 1), int16_t{7});
            QVERIFY(editor.state->HasUnsavedChanges());
        };

        editor.dialogs.files.push_back(std::nullopt);
        editor.window->OpenRom();
        QCOMPARE(editor.dialogs.messages.back(), std::string("No rom loaded"));

        const std::vector<uint8_t> junk(0x200, 0x41);
        editor.dialogs.files.push_back(folder.WriteFile("junk.gba", junk));
        editor.window->OpenRom();
        QCOMPARE(editor.dialogs.messages.back(),
                 std::string("Sorry invalid ROM.\r\nNot a Zero Mission or Fusion ROM: the "
                             "cartridge title reads \"AAAAAAA\", not \"ZEROMIS\" (Zero "
                             "Mission) or \"metroid\" (Fusion) (at ROM offset 0xA0)"));
        keeps();

        // Each refused file says why, before any question about the edits.
        const auto& image = testing::GeneratedRom(Game::ZM, 1).image;
        const std::string small = "Too small for the game's tables: a Zero Mission ROM needs at "
                                  "least 0x760218 bytes; this file has 0x";
        const std::pair<std::vector<uint8_t>, std::string> refused[] = {
            {{}, "Not a Zero Mission or Fusion ROM: the file is empty"},
            {{image.begin(), image.begin() + 1000}, small + "3E8"},
            {{image.begin(), image.begin() + 0x400000}, small + "400000"},
        };
        for (const auto& [bytes, reason] : refused) {
            editor.Open(folder.WriteFile("refused.gba", bytes));
            QCOMPARE(editor.dialogs.messages.back(), "Sorry invalid ROM.\r\n" + reason);
            QVERIFY(editor.dialogs.questions.empty());
            keeps();
        }

        // A good ROM: one question; No keeps everything, Yes opens it.
        const auto other = testing::WriteGeneratedRom(folder / "mf.gba", Game::MF, 1);
        editor.dialogs.answers = {false, true};
        editor.Open(other);
        QCOMPARE(editor.dialogs.questions.size(), size_t{1});
        keeps();
        editor.Open(other);
        QCOMPARE(editor.dialogs.questions.size(), size_t{2});
        QCOMPARE(editor.state->RomPath, other);
        QCOMPARE(editor.state->Room, 0);
        QVERIFY(!editor.state->HasUnsavedChanges());
    }

    void TypedRoomsNeverReachAnotherAreasHeaders() {
        TempFolder folder;
        Editor editor(folder);
        const auto path = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
        QVERIFY(editor.Open(path));
        editor.ChooseArea(1);
        editor.ChooseRoom(3);
        const int rooms = editor.window->RoomCount();
        QCOMPARE(rooms, 0x2A);
        const std::string hint = ": type a room number from 0 to 29 (hexadecimal).";
        for (const char* text : {"FF", "2A", "ZZ", "", "123456789", "FFFFFFFF", "1a"}) {
            const bool taken = text == std::string("1a");
            const size_t messages = editor.dialogs.messages.size();
            editor.Type(editor.window->cboRoom, QString::fromLatin1(text));
            QCOMPARE(editor.state->Room, taken ? 0x1A : 3);
            QCOMPARE(editor.window->cboRoom->count(), rooms);
            QCOMPARE(editor.window->cboRoom->currentText(),
                     QString::fromLatin1(taken ? "1A" : "3"));
            QCOMPARE(editor.dialogs.messages.size(), messages + (taken ? 0 : 1));
            if (!taken) {
                QCOMPARE(editor.dialogs.messages.back(),
                         *text == 0
                             ? "The Room box is empty" + hint
                             : "Room \"" + std::string(text) + "\" is not a room of Kraid" + hint);
            }
        }
        // Keys alone load nothing; leaving the box takes the room.
        editor.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QLineEdit* edit = editor.window->cboRoom->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("29"));
        QCOMPARE(editor.state->Room, 0x1A);
        editor.window->cboAreas->setFocus();
        QCOMPARE(editor.state->Room, 0x29);
        editor.Type(editor.window->cboRoom, QStringLiteral("1A"));

        // A save after all that changes only Kraid's header table and new space.
        const auto before = testing::ReadWholeFile(path);
        editor.window->cboMusic->setCurrentIndex(0x3C);
        editor.window->cmdSave->click();
        const auto after = testing::ReadWholeFile(path);
        const uint32_t table = editor.state->Tables.AreaTable[1] - 0x08000000u;
        QCOMPARE(after[table + 60 * 0x1A + 58], uint8_t{0x3C});
        for (size_t offset = 0; offset < before.size(); ++offset) {
            const bool header = offset >= table && offset < table + 60u * 0x2A;
            const bool space =
                std::any_of(kZmFreeSpace.begin(), kZmFreeSpace.end(),
                            [&](RomRange r) { return offset >= r.begin && offset < r.end; });
            QVERIFY2(before[offset] == after[offset] || header || space, ToHex(offset).c_str());
        }
    }

    void ReloadsOverEditsOnlyWhenTheUserAgrees() {
        TempFolder folder;
        Editor editor(folder);
        // Kraid's room table where Norfair's begins: Kraid lists no rooms.
        auto image = testing::GeneratedRom(Game::ZM, 1).image;
        std::copy_n(image.begin() + 0x75FAC4 + 8, 4, image.begin() + 0x75FAC4 + 4);
        QVERIFY(editor.Open(folder.WriteFile("zm.gba", image)));
        editor.ChooseRoom(2);
        const auto doors = editor.state->Doors.AreaDoors;
        const int rooms = editor.window->RoomCount();
        editor.window->cboSpriteIndex->setCurrentIndex(1);
        editor.window->cboSpriteIndex_Click();
        editor.state->CurrentBlock = 9;
        QTest::mouseClick(editor.window->picMap, Qt::LeftButton, {}, editor.CellPoint(2, 2));
        QVERIFY(editor.state->HasUnsavedChanges());
        const auto edited = [&] {
            QCOMPARE(editor.state->Area, 0);
            QCOMPARE(editor.state->Room, 2);
            QCOMPARE(editor.window->cboAreas->currentIndex(), 0);
            QCOMPARE(editor.window->cboRoom->currentIndex(), 2);
            QCOMPARE(editor.state->LevelLayer.Cell(2, 2), int16_t{9});
            QVERIFY(editor.state->HasUnsavedChanges());
        };

        // The area and the sprite list already shown, each declined.
        editor.ChooseArea(0);
        editor.window->cboSpriteIndex->setCurrentIndex(1);
        editor.window->cboSpriteIndex_Click();
        QCOMPARE(editor.dialogs.questions.size(), size_t{2});
        QCOMPARE(editor.dialogs.questions[0], std::string("Discard unsaved changes to this room?"));
        QCOMPARE(editor.dialogs.questions[1],
                 std::string("Reload sprite list 1 from the ROM? Unsaved changes to it will be "
                             "lost."));
        edited();
        QCOMPARE(editor.window->cboSpriteIndex->currentIndex(), 1);

        // Kraid, agreed to: its room 0 cannot be loaded, so the shown room, its doors and the
        // lists stay as they were.
        editor.dialogs.answers.push_back(true);
        editor.ChooseArea(1);
        QVERIFY(editor.dialogs.messages.back().rfind("Room 0 of Kraid cannot be loaded; the "
                                                     "room shown stays open.\r\n",
                                                     0) == 0);
        edited();
        QVERIFY(editor.state->Doors.AreaDoors == doors);
        QCOMPARE(editor.window->RoomCount(), rooms);
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
        // Beyond the right and bottom edge it stops on the room's last block, so it stays
        // where it can be grabbed again.
        const int lastX = editor.state->MapBlocksWide() - 1;
        const int lastY = editor.state->MapBlocksHigh() - 1;
        label->PlaceAt(16 * lastX, 16 * lastY);
        editor.window->Enemy_MouseMove(0, Qt::LeftButton, {}, QPointF(72, 4000));
        QCOMPARE(label->Left(), 16 * lastX);
        QCOMPARE(label->Top(), 16 * lastY);
        QCOMPARE(int{entry->X}, lastX);
        QCOMPARE(int{entry->Y}, lastY);
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
