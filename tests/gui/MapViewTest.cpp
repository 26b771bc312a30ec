// The main window's view of the room on generated images: zoom around the pointer, the wheel,
// the readout of the block under the pointer, and a window that fits a 1366 x 768 screen.

#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "MainWindowFixture.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace quarnel;
using testing::TempFolder;

namespace {

// The window at 1366 x 740 with a generated ZM image open.
struct Editor : testing::Editor {
    explicit Editor(const TempFolder& folder) : testing::Editor(folder, QSize(1366, 740)) {
        Open(testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 3));
    }
    // Selects the first room of area 0 whose picture is larger than the map area at 2x both
    // ways, so that both bars can move.
    bool ChooseLargeRoom() {
        const QSize area = window->PicMaphold->viewport()->size();
        for (int room = 0; room < window->RoomCount(); ++room) {
            ChooseRoom(room);
            if (state->MapPicture.Width() * 2 > area.width() + 64 &&
                state->MapPicture.Height() * 2 > area.height() + 64) {
                return true;
            }
        }
        return false;
    }
    // Turns the wheel over the map at `at` (viewport pixels), as Qt delivers it to the scroll
    // area once the picture and its markers have passed it on.
    void Wheel(QPoint at, QPoint delta, Qt::KeyboardModifiers modifiers) {
        QWidget* viewport = window->PicMaphold->viewport();
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), delta, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
};

} // namespace

class MapViewTest : public QObject {
    Q_OBJECT

private slots:
    void ZoomKeepsTheBlockUnderThePointer() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.ChooseLargeRoom());
        PictureScrollWidget* view = editor.window->PicMaphold;
        view->horizontalScrollBar()->setValue(200);
        view->verticalScrollBar()->setValue(120);
        const QPoint pointer(150, 90); // viewport pixels
        const QPointF before = view->PicturePointAt(pointer);
        const auto underPointer = [&] {
            const QPointF now = view->PicturePointAt(pointer);
            return QPoint(int(now.x()) / 16, int(now.y()) / 16);
        };
        const QPoint block(int(before.x()) / 16, int(before.y()) / 16);
        editor.Wheel(pointer, QPoint(0, 120), Qt::ControlModifier);
        QCOMPARE(editor.window->MapZoom(), 3);
        QCOMPARE(underPointer(), block);
        QCOMPARE(editor.window->picMap->width(), editor.state->MapPicture.Width() * 3);
        editor.Wheel(pointer, QPoint(0, -240), Qt::ControlModifier);
        QCOMPARE(editor.window->MapZoom(), 1);
        QCOMPARE(underPointer(), block);
        // Markers follow: a sprite label covers its block at the new zoom.
        editor.window->SetMapZoom(4);
        for (MarkerLabelWidget* label : editor.window->Enemy) {
            QCOMPARE(label->geometry(), QRect(label->Left() * 4, label->Top() * 4, 64, 64));
        }
        QVERIFY(editor.window->mnuZoom[3]->isChecked());
        QVERIFY(!editor.window->mnuZoomIn->isEnabled());
    }

    void TheWheelAndTheBarsScrollTheWholeMap() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.ChooseLargeRoom());
        QScrollBar* across = editor.window->hsbMap;
        QScrollBar* down = editor.window->vsbMap;
        // The bars reach the picture's far edges.
        const QSize viewport = editor.window->PicMaphold->viewport()->size();
        QCOMPARE(across->maximum(), editor.window->picMap->width() - viewport.width());
        QCOMPARE(down->maximum(), editor.window->picMap->height() - viewport.height());
        editor.Wheel(QPoint(40, 40), QPoint(0, -120), Qt::NoModifier);
        QCOMPARE(down->value(), 3 * 32);
        QCOMPARE(across->value(), 0);
        editor.Wheel(QPoint(40, 40), QPoint(0, -120), Qt::ShiftModifier);
        QCOMPARE(across->value(), 3 * 32);
        QCOMPARE(editor.window->picMap->pos(), QPoint(-across->value(), -down->value()));
        // Another room opens at its top-left corner.
        editor.window->cboRoom->setCurrentIndex(editor.state->Room == 0 ? 1 : 0);
        editor.window->cboRoom_Click();
        QCOMPARE(across->value(), 0);
        QCOMPARE(down->value(), 0);
        // Page Down and Page Up step through the rooms.
        const int room = editor.state->Room;
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QTest::keyClick(editor.window.get(), Qt::Key_PageDown);
        QCOMPARE(editor.state->Room, room + 1);
        QTest::keyClick(editor.window.get(), Qt::Key_PageUp);
        QCOMPARE(editor.state->Room, room);
    }

    void TheStatusBarReadsTheBlockUnderThePointer() {
        TempFolder folder;
        Editor editor(folder);
        editor.state->ClipLayer.SetCell(3, 2, 0x10);
        editor.state->LevelLayer.SetCell(3, 2, 0x1A5);
        const int zoom = editor.window->MapZoom();
        QTest::mouseMove(editor.window->picMap, QPoint((16 * 3 + 8) * zoom, (16 * 2 + 8) * zoom));
        const QString expected =
            QStringLiteral("X 3 (03), Y 2 (02)   Level 1A5   Foreground %1"
                           "   Back %2   Clip: %3")
                .arg(editor.window->lblForeground->text(), editor.window->lblBacklayer->text(),
                     editor.window->ClipAttributeName(0x10));
        QCOMPARE(editor.window->lblPointer->text(), expected);
        QVERIFY(editor.window->ClipAttributeName(0x10).startsWith(QStringLiteral("10 - ")));
    }

    void TheWindowFitsASmallScreen() {
        TempFolder folder;
        Editor editor(folder);
        // Room for a title bar and a task bar on a 1366 x 768 screen.
        const QSize minimum =
            editor.window->minimumSizeHint().expandedTo(editor.window->minimumSize());
        QVERIFY2(minimum.width() <= 1366 && minimum.height() <= 768 - 70,
                 qPrintable(QStringLiteral("%1 x %2").arg(minimum.width()).arg(minimum.height())));
        // The map takes the space: a larger window gives it all the growth.
        const QSize small = editor.window->PicMaphold->size();
        editor.window->resize(1366 + 300, 740 + 200);
        QTest::qWait(1);
        QCOMPARE(editor.window->PicMaphold->width(), small.width() + 300);
        QCOMPARE(editor.window->PicMaphold->height(), small.height() + 200);
    }
};

QTEST_MAIN(MapViewTest)
#include "MapViewTest.moc"
