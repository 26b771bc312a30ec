// The main window's save entries: Ctrl+S saves and reports in the status bar; a failing save
// shows one message and keeps the edits.

#include "storage/QtRoomSaveActions.h"

#include "main/MapEditing.h"
#include "main/RoomLoading.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

using namespace quarnel;

class RoomSaveActionsTest : public QObject {
    Q_OBJECT

private slots:
    void ctrlSSavesAndAFailureIsOneMessage() {
        testing::TempFolder folder;
        testing::WriteGeneratedRom(folder / "game.gba", Game::ZM, 1);
        QVERIFY(StorageSystem(folder / "os.bin").ResetStorage());
        EditorState state(folder / "os.bin");
        QVERIFY(OpenRomFile(state, folder / "game.gba"));
        SelectArea(state, 0);
        testing::ScriptedDialogs dialogs;
        PelnixBinding pelnix({std::filesystem::path(QUARNEL_BIN_DIR)});
        PelnixBinding missing({folder / "nowhere"});
        QWidget window;
        HeaderLists lists = ListsOf(state.CurrentRoomHeader);
        lists.Music = 0x17;
        auto* actions = new RoomSaveActions(
            state, dialogs, [&] { return lists; }, &window, pelnix);
        QSignalSpy status(actions, &RoomSaveActions::statusMessage);
        QSignalSpy changed(actions, &RoomSaveActions::roomChanged);

        QVERIFY(PaintCell(state, LayerKind::Level, 1, 1, 0x2B));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(status.count(), 1);
        QVERIFY(status[0][0].toString().startsWith(
            QStringLiteral("Room saved. A backup of the ROM was written to ")));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!state.LevelDirty);
        QCOMPARE(state.LevelLayer.Cell(1, 1), int16_t{0x2B});
        QCOMPARE(state.CurrentRoomHeader.Music, uint8_t{0x17});
        QVERIFY(dialogs.messages.empty());

        auto* failing = new RoomSaveActions(
            state, dialogs, [&] { return lists; }, &window, missing);
        QSignalSpy failed(failing, &RoomSaveActions::statusMessage);
        QVERIFY(PaintCell(state, LayerKind::Level, 1, 1, 0x2C));
        failing->cmdSave_Click();
        QCOMPARE(failed.count(), 0);
        QCOMPARE(dialogs.messages.size(), size_t{1});
        QVERIFY(dialogs.messages[0].rfind("The room was not saved.\r\nPelnix library not found: ",
                                          0) == 0);
        QVERIFY(state.LevelDirty);
    }
};

QTEST_MAIN(RoomSaveActionsTest)
#include "RoomSaveActionsTest.moc"
