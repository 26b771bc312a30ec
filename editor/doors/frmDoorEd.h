#pragma once
// frmDoorEd, the "Door Editor": one door record of the current area, field by field, and the
// door it leads to. Every field can be changed; a change goes straight into the area's door
// records in the editor state (the window keeps only the index of the door it shows), marks
// the area's doors changed and is announced with doorChanged. "Save Doors" writes the changed
// records of the area in place; "Go to" asks the main window to load the destination door's
// room and show that door.

#include "doors/DoorEdits.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"

#include <QWidget>

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quarnel {

class RomBackups;

class frmDoorEd : public QWidget {
    Q_OBJECT

public:
    // `state`, `dialogs` and `backups` (the run's backup record) must outlive the window.
    frmDoorEd(EditorState& state, Dialogs& dialogs, RomBackups& backups, QWidget* parent = nullptr);

    // Shows door `door` of the area (an index into AreaDoors); an index beyond the area's
    // doors shows nothing.
    void LoadDoorData(uint8_t door);

    // Shows the loaded door again from the editor state, after a room load or an edit made
    // elsewhere (a drag on the map); when the area changed, the window shows no door.
    void Reload();

    // The door shown, if any.
    std::optional<uint8_t> Door() const;

    // Controls, named as the editor's design names them; the lists hold 256 entries 0-FF.
    QLabel* Label9 = nullptr; // "Door:"
    QLabel* lblDoor = nullptr;
    QLabel* Label2 = nullptr; // "Connected To:"
    QLabel* lblDoorConnection = nullptr;
    QComboBox* cboDoor = nullptr;    // byte 0, "Type:"
    QComboBox* cboExitX = nullptr;   // byte 2, "Exit X:"
    QComboBox* cboExitY = nullptr;   // byte 4, "Exit Y:"
    QComboBox* cboRoom = nullptr;    // byte 6, "Exit Room:"
    QComboBox* cboUnknown = nullptr; // byte 7, "Unknown:"
    // The fields beyond those: the source room, the trigger rectangle's far corner and the exit
    // offsets as signed values.
    QComboBox* cboSourceRoom = nullptr; // byte 1
    QComboBox* cboXEnd = nullptr;       // byte 3
    QComboBox* cboYEnd = nullptr;       // byte 5
    QSpinBox* spnExitOffsetX = nullptr; // byte 7
    QSpinBox* spnExitOffsetY = nullptr; // byte 8
    QPushButton* cmdSaveDoors = nullptr;
    QPushButton* cmdGoTo = nullptr;
    QLabel* lblStatus = nullptr;

signals:
    // A field of the shown door was changed.
    void doorChanged();
    // "Go to": load the room of door `door` of the area and show that door.
    void goTo(uint8_t door);
    // After "Save Doors" wrote records: the status line.
    void doorsSaved(const QString& status);

private:
    void Form_Load();
    void ShowDoor();
    void ShowNoDoor();
    void SetField(DoorField field, int value);
    void cmdSaveDoors_Click();
    void cmdGoTo_Click();

    EditorState& m_state;
    Dialogs& m_dialogs;
    RomBackups& m_backups;
    int m_area = -1;
    std::optional<uint8_t> m_door;
};

} // namespace quarnel
