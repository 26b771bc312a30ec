// frmMain: the door markers and their trigger outlines, the door editor and the large map
// window.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "doors/DoorEdits.h"
#include "doors/DoorHistory.h"
#include "doors/frmDoorEd.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtMapOverlays.h"
#include "side/frmMainMap.h"
#include "storage/QtRoomSaveActions.h"

#include <QLabel>
#include <QStatusBar>

namespace quarnel {

void frmMain::ShowDoors() {
    for (auto* label : lblDoors) {
        label->hide();
        label->PlaceAt(0, 0);
    }
    const DoorState& doors = m_state.Doors;
    for (size_t k = 0; k < doors.RoomDoorCount && k < lblDoors.size(); ++k) {
        const auto door = DoorIndexOfLabel(doors, k);
        if (!door) {
            for (auto* label : lblDoors) {
                label->hide();
            }
            picMap->SetOverlays({});
            return;
        }
        const auto position = DoorLabelPosition(doors.AreaDoors[*door]);
        lblDoors[k]->PlaceAt(position.left, position.top);
        lblDoors[k]->show();
        lblDoors[k]->raise();
    }
    picMap->SetOverlays(DoorTriggerOverlays(m_state));
}

void frmMain::RefreshDoors() {
    // Labels are moved, never hidden: hiding the label being dragged would end the drag.
    const DoorState& doors = m_state.Doors;
    for (size_t k = 0; k < doors.RoomDoorCount && k < lblDoors.size(); ++k) {
        if (const auto door = DoorIndexOfLabel(doors, k)) {
            const auto position = DoorLabelPosition(doors.AreaDoors[*door]);
            lblDoors[k]->PlaceAt(position.left, position.top);
        }
    }
    picMap->SetOverlays(DoorTriggerOverlays(m_state));
    if (m_doorEditor != nullptr) {
        m_doorEditor->Reload();
    }
    RefreshLargeMapMarkers();
}

void frmMain::RefreshLargeMapMarkers() {
    if (m_largeMap != nullptr && m_largeMap->isVisible()) {
        m_largeMap->picMap->SetOverlays(DoorAndSpriteOverlays(m_state));
    }
}

void frmMain::lblDoors_MouseDown(int index, Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        m_gesture = m_state.History.NewGesture(); // a drag of the label is one step
    }
    if (button != Qt::RightButton) {
        return;
    }
    if (const auto door = DoorIndexOfLabel(m_state.Doors, static_cast<size_t>(index))) {
        ShowDoorEditor().LoadDoorData(*door);
    }
}

void frmMain::lblDoors_MouseMove(int index, Qt::MouseButtons buttons,
                                 Qt::KeyboardModifiers modifiers, QPointF position) {
    if (static_cast<size_t>(index) >= lblDoors.size()) {
        return;
    }
    const auto snap =
        MarkerMouseMove(lblDoors[static_cast<size_t>(index)], buttons, modifiers, position);
    if (!snap || !MoveDoorRecorded(m_state, static_cast<size_t>(index), *snap, m_gesture)) {
        return;
    }
    // The rectangle may have stopped at the edge of the block range: the label shows the
    // record, not the pointer.
    RefreshDoors();
}

frmDoorEd& frmMain::ShowDoorEditor() {
    if (m_doorEditor == nullptr) {
        m_doorEditor = new frmDoorEd(m_state, m_dialogs, m_saveActions->Backups(), this);
        m_doorEditor->setWindowFlag(Qt::Window);
        connect(m_doorEditor, &frmDoorEd::doorChanged, this, [this] {
            // A door may have moved into or out of this room.
            if (m_state.Doors.Area == m_state.Area) {
                ShowRoomDoors(m_state.Doors, m_state.Room);
            }
            ShowDoors();
            RefreshDoors();
        });
        connect(m_doorEditor, &frmDoorEd::goTo, this, [this](uint8_t door) { GoToDoor(door); });
        connect(m_doorEditor, &frmDoorEd::doorsSaved, this, [this](const QString& status) {
            statusBar()->showMessage(status, 15000);
            UpdateTitle(); // the doors no longer differ from the file
        });
        m_doorEditor->adjustSize();
        PlaceNewSideWindow(m_doorEditor);
    }
    m_doorEditor->show();
    m_doorEditor->raise();
    m_doorEditor->activateWindow();
    return *m_doorEditor;
}

void frmMain::mnuDoor_Click() {
    ShowDoorEditor();
}

void frmMain::GoToDoor(uint8_t door) {
    if (!m_state.RomOpened || door >= m_state.Doors.AreaDoors.size()) {
        return;
    }
    const int room = m_state.Doors.AreaDoors[door].Room();
    if (room >= m_roomCount) {
        m_dialogs.Message("Door " + ToHex(door) + " lies in room " + ToHex(room) +
                          ", which is not in this area's room list (0 to " +
                          ToHex(m_roomCount > 0 ? m_roomCount - 1 : 0) + ").");
        return;
    }
    if (room != m_state.Room) {
        if (!ConfirmDiscard()) {
            return;
        }
        ShowRoom(SelectRoom(m_state, m_state.Area, room));
        if (m_state.Room != room) {
            return;
        }
    }
    ShowDoorEditor().LoadDoorData(door);
    // The map shows the door it went to, wherever in the room it lies.
    for (size_t k = 0; k < m_state.Doors.RoomDoorCount && k < lblDoors.size(); ++k) {
        if (DoorIndexOfLabel(m_state.Doors, k) == door) {
            PicMaphold->ensureWidgetVisible(lblDoors[k]);
        }
    }
}

void frmMain::cmdBiggerWindow_Click() {
    m_dialogs.Message("Use this only if you have a large screen. When closed smaller window will "
                      "update. If you change rooms mid-editing. I am not responsible for what "
                      "happens.");
    ShowLargeMap(false);
}

void frmMain::cmdEditScroll_Click() {
    ShowLargeMap(true);
}

void frmMain::ShowLargeMap(bool scroll) {
    if (!m_state.RomOpened) {
        return;
    }
    if (m_largeMap == nullptr) {
        frmMainMap::Hooks hooks;
        hooks.clipValue = [this] { return SelectedClipValue(); };
        hooks.saveRoom = [this] { cmdSave_Click(); };
        m_largeMap = new frmMainMap(m_state, std::move(hooks), this);
        m_largeMap->setWindowFlag(Qt::Window);
        connect(m_largeMap, &frmMainMap::closed, this, [this] {
            // The main map is drawn again from the layers, with everything painted there.
            RefreshMap();
            picMap->update();
        });
        connect(m_largeMap, &frmMainMap::edited, this, [this] {
            picMap->update();
            ShowClipLegend();
        });
        connect(m_largeMap, &frmMainMap::picked, this, [this] { ShowCurrentBlock(); });
        m_largeMap->LoadForm(scroll);
        PlaceNewSideWindow(m_largeMap);
        ApplyViewLayers();
    } else {
        m_largeMap->LoadForm(scroll);
    }
    m_largeMap->show();
    m_largeMap->raise();
    m_largeMap->activateWindow();
}

} // namespace quarnel
