// The minimap editor, the music viewer and the dump entries on generated images, with scripted
// dialogs: their main paths and what they refuse.

#include "dumps/QtDumpActions.h"
#include "main/EditorState.h"
#include "main/MapEditing.h"
#include "main/QtWindowPlacement.h"
#include "main/RoomLoading.h"
#include "main/frmMain.h"
#include "rom/RomFile.h"
#include "side/MiniMap.h"
#include "side/MusicView.h"
#include "side/ZoomPictureWidget.h"
#include "side/frmMiniMap.h"
#include "side/frmMusicView.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/RomTransaction.h"
#include "storage/Storage.h"
#include "storage/frmData.h"

#include "GeneratedRoms.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QtTest>

namespace quarnel {

using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

// A state with a generated image open at a room, and what a writer needs.
struct Opened {
    Opened(Game game, int area, int room)
        : rom(testing::WriteGeneratedRom(folder / "rom.gba", game, 1)),
          state(folder / "os.bin"), services{state.Storage, backups, {}} {
        if (!state.Storage.ResetStorage() || !OpenAtRoom(state, rom, area, room)) {
            qFatal("cannot open the generated image");
        }
    }
    TempFolder folder;
    std::filesystem::path rom;
    EditorState state;
    RomBackups backups;
    RomWriteServices services;
    ScriptedDialogs dialogs;
};

// The centre of cell `cell` of a picture of 8-pixel cells, `columns` per row, in widget pixels.
QPoint CellPoint(const ZoomPictureWidget* picture, int cell, int columns) {
    const int zoom = picture->Zoom();
    return {(cell % columns * 8 + 4) * zoom, (cell / columns * 8 + 4) * zoom};
}

} // namespace

class SideEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(m_settings.Path().string()));
    }

    void miniMapPaintsPicksAndSaves() {
        Opened opened(Game::ZM, 2, 1);
        const SyntheticRom& built = testing::GeneratedRom(Game::ZM, 1);
        frmMiniMap window(opened.state, opened.dialogs, opened.services,
                          [] { return QPoint(3, 4); });
        window.show();
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("MiniMap Editor"));
        QCOMPARE(window.cboAreas->count(), 11);
        QCOMPARE(window.cboAreas->currentIndex(), 2);
        QVERIFY(window.Map().entries == built.miniMaps[2].entries);
        QCOMPARE(window.picMiniMap->Outline("shpCoords"), QRect(24, 32, 8, 8));

        // Tile 5 in palette row 3, flipped horizontally.
        QTest::mousePress(window.picTiles, Qt::LeftButton, {}, CellPoint(window.picTiles, 5, 8));
        window.cboRow->setCurrentIndex(3);
        window.chkHFlip->setChecked(true);
        QCOMPARE(window.CurrentEntry(), uint16_t{0x3405});
        QTest::mouseClick(window.picMiniMap, Qt::LeftButton, {},
                          CellPoint(window.picMiniMap, 32 * 12 + 10, 32));
        QCOMPARE(window.Map().Cell(10, 12), uint16_t{0x3405});
        QVERIFY(window.HasUnsavedChanges());

        // The right button names the cell; with Shift it takes the cell's entry.
        QTest::mouseClick(window.picMiniMap, Qt::RightButton, {},
                          CellPoint(window.picMiniMap, 32 * 2 + 3, 32));
        QCOMPARE(opened.dialogs.messages.back(), std::string("43"));
        const uint16_t picked = window.Map().Cell(20, 1);
        QTest::mouseClick(window.picMiniMap, Qt::RightButton, Qt::ShiftModifier,
                          CellPoint(window.picMiniMap, 32 + 20, 32));
        QCOMPARE(window.CurrentEntry(), picked);

        // Leaving the area asks; No keeps the painting.
        opened.dialogs.answers.push_back(false);
        window.cboAreas->setCurrentIndex(4);
        QCOMPARE(window.cboAreas->currentIndex(), 2);
        QCOMPARE(window.Map().Cell(10, 12), uint16_t{0x3405});

        const uint32_t oldPointer = opened.state.Tables.MiniMapPointers[2];
        QTest::mouseClick(window.cmdSave, Qt::LeftButton);
        QVERIFY(!window.HasUnsavedChanges());
        QVERIFY(opened.state.Tables.MiniMapPointers[2] != oldPointer);
        QVERIFY(window.lblStatus->text().contains(QStringLiteral("saved")));
        auto file = RomFile::Open(opened.rom, OpenMode::Read);
        auto saved = ReadMiniMap(*file, LoadCatalog(*file, Game::ZM), 2);
        QCOMPARE(saved->Cell(10, 12), uint16_t{0x3405});
        QVERIFY(saved->entries == window.Map().entries);
        QCOMPARE(opened.dialogs.unscripted, 0);
    }

    void miniMapRefusesFusionAndAMissingRom() {
        ScriptedDialogs dialogs;
        TempFolder folder;
        EditorState empty(folder / "os.bin");
        RomBackups backups;
        RomWriteServices services{empty.Storage, backups, {}};
        frmMiniMap none(empty, dialogs, services, {});
        none.show();
        QVERIFY(!none.isVisible());
        QCOMPARE(dialogs.messages.size(), size_t{1});

        Opened mf(Game::MF, 0, 0);
        frmMiniMap fusion(mf.state, mf.dialogs, mf.services, {});
        fusion.show();
        QVERIFY(!fusion.isVisible());
        QCOMPARE(mf.dialogs.messages.back(), std::string("Metroid Fusion is not supported"));
    }

    void miniMapCheckMarkFollowsTheWindow() {
        TempFolder folder;
        ScriptedDialogs dialogs;
        EditorState state(folder / "os.bin");
        RomBackups backups;
        RomWriteServices services{state.Storage, backups, {}};
        frmMain::SideWindows side;
        side.miniMap = [&](QWidget* parent) -> QWidget* {
            return new frmMiniMap(state, dialogs, services, {}, parent);
        };
        side.reload = [](QWidget* window) {
            if (auto* miniMap = qobject_cast<frmMiniMap*>(window);
                miniMap && miniMap->isVisible()) {
                miniMap->RoomLoaded();
            }
        };
        frmMain main(state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix(), side);
        main.show();
        QVERIFY(main.OpenRomPath(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        main.mnuMini->trigger();
        QVERIFY(main.mnuMini->isChecked());
        auto* window = main.findChild<frmMiniMap*>();
        QVERIFY(window != nullptr && window->isVisible());

        // Every room load shows the room's area again.
        main.cboAreas->setCurrentIndex(1);
        main.cboAreas_Click();
        QCOMPARE(window->cboAreas->currentIndex(), 1);

        window->close();
        QVERIFY(!main.mnuMini->isChecked());

        QVERIFY(main.OpenRomPath(testing::WriteGeneratedRom(folder / "mf.gba", Game::MF, 1)));
        main.mnuMini->trigger();
        QVERIFY(!main.mnuMini->isChecked());
        QVERIFY(!window->isVisible());
        QCOMPARE(dialogs.messages.back(), std::string("Metroid Fusion is not supported"));
    }

    // The music viewer and the storage window follow the room: every room load shows the new
    // room's song and the free space a save handed out, and so does another ROM.
    void viewersFollowTheRoomShown() {
        TempFolder folder;
        ScriptedDialogs dialogs;
        EditorState state(folder / "os.bin");
        frmMain::SideWindows side;
        side.music = [&](QWidget* parent) -> QWidget* {
            auto* main = static_cast<frmMain*>(parent);
            return new frmMusicView(
                state, dialogs, [main] { return main->cboMusic->currentIndex(); }, parent);
        };
        side.storage = [&](QWidget* parent) -> QWidget* {
            return new frmData(state, dialogs, parent);
        };
        side.reload = [](QWidget* window) {
            if (auto* music = qobject_cast<frmMusicView*>(window); music && music->isVisible()) {
                music->Form_Load();
            } else if (auto* storage = qobject_cast<frmData*>(window)) {
                storage->ShowStored();
            }
        };
        frmMain main(state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix(), side);
        main.show();
        QVERIFY(main.OpenRomPath(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1)));
        main.mnuMV->trigger();
        auto* window = main.findChild<frmMusicView*>();
        QVERIFY(window != nullptr && window->isVisible());
        const int firstSong = state.CurrentRoomHeader.Music;
        int room = 1;
        while (room < main.RoomCount() && state.CurrentRoomHeader.Music == firstSong) {
            main.cboRoom->setCurrentIndex(room++);
            main.cboRoom_Click();
        }
        QVERIFY(state.CurrentRoomHeader.Music != firstSong);
        QCOMPARE(window->Label1->text(), main.cboMusic->currentText());

        main.mnuSpace->trigger();
        auto* storage = main.findChild<frmData*>();
        QVERIFY(storage != nullptr && storage->isVisible());
        const auto shownUsed = [&] { return storage->txtZMUsed->text().toInt(nullptr, 16); };
        const int usedBefore = shownUsed();
        QVERIFY(PaintCell(state, LayerKind::Level, 1, 1, 0x2B));
        main.cmdSave_Click();
        QCOMPARE(shownUsed(), UsableAreas(state.Storage.Table(), Game::ZM)[0].Used);
        QVERIFY(shownUsed() != usedBefore);

        QVERIFY(main.OpenRomPath(testing::WriteGeneratedRom(folder / "mf.gba", Game::MF, 1)));
        auto file = RomFile::Open(state.RomPath, OpenMode::Read);
        const auto lines =
            MusicViewLines(ReadMusicView(*file, Game::MF, state.CurrentRoomHeader.Music));
        QCOMPARE("Text1 " + window->Text[0]->text().toStdString(), lines[0]);
        QCOMPARE(window->Label1->text(), main.cboMusic->currentText());
        QVERIFY(storage->fraUsage->title().endsWith(QStringLiteral("mf.gba")));
    }

    void musicViewerShowsTheSongOfTheList() {
        Opened opened(Game::MF, 1, 2);
        frmMusicView window(opened.state, opened.dialogs, [] { return 0x2D; });
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(window.Text[4]->width(), 2 * window.Text[0]->width());
        auto file = RomFile::Open(opened.rom, OpenMode::Read);
        const auto lines = MusicViewLines(ReadMusicView(*file, Game::MF, 0x2D));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE("Text" + std::to_string(i + 1) + " " + window.Text[i]->text().toStdString(),
                     lines[static_cast<size_t>(i)]);
        }
        QCOMPARE(window.Label1->text(), QStringLiteral("2D"));
        for (size_t i = 9; i < lines.size(); ++i) {
            const auto space = lines[i].rfind(' ');
            const auto* field = window.fraSong->findChild<QLabel*>(
                QString::fromStdString("song " + lines[i].substr(0, space)));
            QVERIFY(field != nullptr);
            QCOMPARE(field->text().toStdString(), lines[i].substr(space + 1));
        }

        ScriptedDialogs dialogs;
        TempFolder folder;
        EditorState empty(folder / "os.bin");
        frmMusicView none(empty, dialogs, {});
        none.show();
        QVERIFY(!none.isVisible());
        QCOMPARE(dialogs.messages.size(), size_t{1});
    }

    void musicViewerPlacedAtTheScreenEdgeStaysOnScreen() {
        // Placed for its empty size against the right edge, it grows when it reads the song.
        Opened opened(Game::MF, 1, 2);
        frmMusicView window(opened.state, opened.dialogs, [] { return 0x2D; });
        window.setWindowFlag(Qt::Window);
        const QRect screen = window.screen()->availableGeometry();
        window.adjustSize();
        window.move(screen.right() + 1 - window.width(), screen.top());
        window.show();
        KeepOnScreen(&window, nullptr);
        QVERIFY(screen.contains(window.frameGeometry()));
    }

    void miniMapZoomedAtTheScreenEdgeStaysOnScreen() {
        // Placed against the right edge at 1x, it widens with the zoom.
        Opened opened(Game::ZM, 0, 0);
        frmMiniMap window(opened.state, opened.dialogs, opened.services, [] { return QPoint(); });
        window.setWindowFlag(Qt::Window);
        const QRect screen = window.screen()->availableGeometry();
        window.cboZoom->setCurrentIndex(0);
        window.adjustSize();
        window.move(screen.right() + 1 - window.width(), screen.top());
        window.show();
        const int narrow = window.width();
        window.cboZoom->setCurrentIndex(1);
        QCoreApplication::processEvents(); // the layout's deferred resize
        QVERIFY(window.width() > narrow);
        QVERIFY(screen.contains(window.frameGeometry()));
    }

    void dumpsAskForAFolderRememberItAndAskBeforeReloading() {
        Opened opened(Game::ZM, 0, 0);
        int reloads = 0;
        DumpActions actions(
            opened.state, opened.dialogs,
            {[&] { return opened.dialogs.Ask("Discard unsaved changes?"); }, [&] { ++reloads; }},
            nullptr);
        QSignalSpy status(&actions, &DumpActions::statusMessage);

        actions.RoomDump(); // the folder dialog is cancelled
        QVERIFY(opened.dialogs.messages.empty());
        QCOMPARE(status.count(), 0);

        const auto out = opened.folder / "out";
        opened.dialogs.folders.push_back(out);
        actions.TilesetPointerDumps();
        QCOMPARE(status.count(), 1);
        QVERIFY(
            std::filesystem::exists(out / "Header/ZM/Tilesets/Tileset_Pointer_List/Tileset50.txt"));
        QCOMPARE(QSettings().value(QString::fromLatin1(DumpActions::kFolderKey)).toString(),
                 QString::fromStdString(out.string()));

        // Unsaved changes: the warning, then the question; No dumps nothing and keeps the room.
        opened.state.Edited = true;
        opened.dialogs.folders.push_back(out);
        opened.dialogs.answers.push_back(false);
        actions.TilesetDump();
        QCOMPARE(opened.dialogs.folderDialogs.back(),
                 "Tileset Dump: the folder for the Header tree|" + out.string());
        QCOMPARE(opened.dialogs.messages.back(),
                 std::string("Warning, Current Room will not be saved."));
        QCOMPARE(opened.dialogs.questions.size(), size_t{1});
        QVERIFY(!std::filesystem::exists(out / "Header/ZM/Tilesets/Tileset"));
        QCOMPARE(reloads, 0);

        opened.dialogs.folders.push_back(out);
        opened.dialogs.answers.push_back(true);
        actions.TilesetDump();
        QVERIFY(std::filesystem::exists(out / "Header/ZM/Tilesets/Tileset/Tileset0.txt"));
        QCOMPARE(reloads, 1);
    }

private:
    TempFolder m_settings;
};

} // namespace quarnel

QTEST_MAIN(quarnel::SideEditorsTest)
#include "SideEditorsTest.moc"
