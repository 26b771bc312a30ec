#include "doors/frmDoorEd.h"

#include "common/Hex.h"
#include "doors/DoorHistory.h"
#include "doors/DoorSave.h"
#include "storage/RomBackup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quarnel {

namespace {

QComboBox* ByteList() {
    auto* list = new QComboBox;
    list->setPlaceholderText(QStringLiteral("Combo1"));
    list->setMaxVisibleItems(20);
    list->setMinimumContentsLength(6);
    return list;
}

QSpinBox* OffsetBox() {
    auto* box = new QSpinBox;
    box->setRange(-128, 127);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

// A caption with the field's meaning as its tooltip (and its control's).
QLabel* Caption(const char* text, const char* meaning, QWidget* control) {
    auto* label = new QLabel(QString::fromUtf8(text));
    label->setToolTip(QString::fromUtf8(meaning));
    if (control != nullptr) {
        control->setToolTip(label->toolTip());
        label->setBuddy(control);
    }
    return label;
}

void Select(QComboBox* list, int index) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index);
}

void SetOffset(QSpinBox* box, int value) {
    const QSignalBlocker blocker(box);
    box->setValue(value);
}

} // namespace

frmDoorEd::frmDoorEd(EditorState& state, Dialogs& dialogs, RomBackups& backups, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs), m_backups(backups) {
    setWindowTitle(QStringLiteral("Door Editor"));
    Label9 = new QLabel(QStringLiteral("Door:"));
    lblDoor = new QLabel;
    Label9->setToolTip(QStringLiteral("The door shown: its index in this area's door list (in "
                                      "hexadecimal) and the room that holds it."));
    lblDoor->setToolTip(Label9->toolTip());
    Label2 = new QLabel(QStringLiteral("Connected To:"));
    lblDoorConnection = new QLabel(QStringLiteral("Label3"));
    Label2->setToolTip(QStringLiteral("The door this one leads to (byte 6), with its room; "
                                      "\"none\" when byte 6 lies beyond this area's door list."));
    lblDoorConnection->setToolTip(Label2->toolTip());
    cboDoor = ByteList();
    cboExitX = ByteList();
    cboExitY = ByteList();
    cboRoom = ByteList();
    cboUnknown = ByteList();
    cboSourceRoom = ByteList();
    cboXEnd = ByteList();
    cboYEnd = ByteList();
    spnExitOffsetX = OffsetBox();
    spnExitOffsetY = OffsetBox();

    auto* grid = new QGridLayout;
    grid->addWidget(Label9, 0, 0);
    grid->addWidget(lblDoor, 0, 1, 1, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(lblDoorConnection, 1, 1, 1, 3);
    const struct {
        const char* caption;
        const char* meaning;
        QWidget* control;
        int row;
        int column;
    } fields[] = {
        {"Type:",
         "Byte 0, the door's type. Low digit: 1 area connection, 2 no hatch, 3 open hatch, "
         "4 closed hatch (0 ends the area's list); 10, 20 and 40 are flags.",
         cboDoor, 2, 0},
        {"Exit X:", "Byte 2, the left column (X start) of the door's trigger rectangle, in blocks.",
         cboExitX, 3, 0},
        {"Exit Y:", "Byte 4, the top row (Y start) of the door's trigger rectangle, in blocks.",
         cboExitY, 4, 0},
        {"Exit Room:", "Byte 6, the door this one leads to: an index into this area's door list.",
         cboRoom, 5, 0},
        {"Unknown:",
         "Byte 7, the horizontal exit offset as a byte (80-FF are negative): how many pixels "
         "from the destination door the player appears.",
         cboUnknown, 6, 0},
        {"Room:", "Byte 1, the room of this area that holds the door.", cboSourceRoom, 2, 2},
        {"X End:",
         "Byte 3, the right column (X end, inclusive) of the trigger rectangle, in blocks. The "
         "door's label on the map stands at X end, Y end.",
         cboXEnd, 3, 2},
        {"Y End:", "Byte 5, the bottom row (Y end, inclusive) of the trigger rectangle, in blocks.",
         cboYEnd, 4, 2},
        {"Exit Offset X:",
         "Byte 7 as a signed value: how many pixels right (negative: left) of the destination "
         "door the player appears.",
         spnExitOffsetX, 5, 2},
        {"Exit Offset Y:",
         "Byte 8 as a signed value: how many pixels down (negative: up) from the destination "
         "door the player appears.",
         spnExitOffsetY, 6, 2},
    };
    for (const auto& field : fields) {
        grid->addWidget(Caption(field.caption, field.meaning, field.control), field.row,
                        field.column);
        grid->addWidget(field.control, field.row, field.column + 1);
    }
    grid->setColumnMinimumWidth(2, 110);

    cmdSaveDoors = new QPushButton(QStringLiteral("Save Doors"));
    cmdSaveDoors->setToolTip(QStringLiteral("Writes the changed door records of this area into "
                                            "the ROM, each where it stands"));
    cmdGoTo = new QPushButton(QStringLiteral("Go to"));
    cmdGoTo->setToolTip(QStringLiteral("Loads the room of the door this one leads to"));
    lblStatus = new QLabel;
    lblStatus->setWordWrap(true);
    // Room for two lines from the start, so the controls do not move when a status comes.
    lblStatus->setMinimumHeight(2 * lblStatus->fontMetrics().lineSpacing() + 4);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGoTo);
    buttons->addStretch();
    buttons->addWidget(cmdSaveDoors);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(grid);
    rows->addLayout(buttons);
    rows->addWidget(lblStatus);

    const std::pair<QComboBox*, DoorField> lists[] = {
        {cboDoor, DoorField::Type},       {cboExitX, DoorField::XStart},
        {cboExitY, DoorField::YStart},    {cboRoom, DoorField::Destination},
        {cboSourceRoom, DoorField::Room}, {cboXEnd, DoorField::XEnd},
        {cboYEnd, DoorField::YEnd},
    };
    for (const auto& [list, field] : lists) {
        connect(list, &QComboBox::activated, this,
                [this, field](int index) { SetField(field, index); });
    }
    connect(cboUnknown, &QComboBox::activated, this,
            [this](int index) { SetField(DoorField::ExitX, static_cast<int8_t>(index)); });
    connect(spnExitOffsetX, &QSpinBox::valueChanged, this,
            [this](int value) { SetField(DoorField::ExitX, value); });
    connect(spnExitOffsetY, &QSpinBox::valueChanged, this,
            [this](int value) { SetField(DoorField::ExitY, value); });
    connect(cmdSaveDoors, &QPushButton::clicked, this, [this] { cmdSaveDoors_Click(); });
    connect(cmdGoTo, &QPushButton::clicked, this, [this] { cmdGoTo_Click(); });
    Form_Load();
}

void frmDoorEd::Form_Load() {
    for (uint32_t i = 0; i < 256; ++i) {
        const QString entry = QString::fromStdString(ToHex(i));
        for (QComboBox* list :
             {cboExitX, cboExitY, cboRoom, cboUnknown, cboDoor, cboSourceRoom, cboXEnd, cboYEnd}) {
            list->addItem(entry);
        }
    }
    ShowNoDoor();
}

std::optional<uint8_t> frmDoorEd::Door() const {
    return m_door;
}

void frmDoorEd::LoadDoorData(uint8_t door) {
    if (door >= m_state.Doors.AreaDoors.size()) {
        return;
    }
    m_area = m_state.Doors.Area;
    m_door = door;
    lblStatus->clear();
    ShowDoor();
}

void frmDoorEd::Reload() {
    if (!m_door || m_area != m_state.Doors.Area || *m_door >= m_state.Doors.AreaDoors.size()) {
        m_door.reset();
        ShowNoDoor();
        return;
    }
    ShowDoor();
}

void frmDoorEd::ShowNoDoor() {
    for (QComboBox* list :
         {cboDoor, cboExitX, cboExitY, cboRoom, cboUnknown, cboSourceRoom, cboXEnd, cboYEnd}) {
        Select(list, -1);
        list->setEnabled(false);
    }
    SetOffset(spnExitOffsetX, 0);
    SetOffset(spnExitOffsetY, 0);
    for (QWidget* control :
         std::initializer_list<QWidget*>{spnExitOffsetX, spnExitOffsetY, cmdGoTo}) {
        control->setEnabled(false);
    }
    lblDoor->clear();
    lblDoorConnection->setText(QStringLiteral("Label3"));
}

void frmDoorEd::ShowDoor() {
    const DoorRecord& door = m_state.Doors.AreaDoors[*m_door];
    Select(cboDoor, door.Type());
    Select(cboExitX, door.XStart());
    Select(cboExitY, door.YStart());
    Select(cboUnknown, static_cast<uint8_t>(door.ExitX()));
    Select(cboRoom, door.Destination());
    Select(cboSourceRoom, door.Room());
    Select(cboXEnd, door.XEnd());
    Select(cboYEnd, door.YEnd());
    SetOffset(spnExitOffsetX, door.ExitX());
    SetOffset(spnExitOffsetY, door.ExitY());
    for (QWidget* control : std::initializer_list<QWidget*>{
             cboDoor, cboExitX, cboExitY, cboRoom, cboUnknown, cboSourceRoom, cboXEnd, cboYEnd,
             spnExitOffsetX, spnExitOffsetY}) {
        control->setEnabled(true);
    }
    lblDoor->setText(QString::fromStdString(ToHex(*m_door) + " of area " + std::to_string(m_area) +
                                            ", in room " + ToHex(door.Room())));
    lblDoorConnection->setText(QString::fromStdString(DoorConnectionText(m_state.Doors, *m_door)));
    cmdGoTo->setEnabled(FindDoorConnection(m_state.Doors, *m_door).has_value());
}

void frmDoorEd::SetField(DoorField field, int value) {
    if (!m_door || m_area != m_state.Doors.Area) {
        return;
    }
    auto changed = SetDoorFieldRecorded(m_state, *m_door, field, value);
    if (!changed) {
        m_dialogs.Message(Describe(changed.error()));
    }
    ShowDoor();
    if (changed && *changed) {
        lblStatus->clear();
        emit doorChanged();
    }
}

void frmDoorEd::cmdSaveDoors_Click() {
    if (!m_state.RomOpened) {
        return;
    }
    RomWriteServices services{m_state.Storage, m_backups, {}};
    auto saved = SaveDoors(m_state.RomPath, m_state.GameCode, m_state.Doors, services);
    if (!saved) {
        m_dialogs.Message("The doors were not saved.\r\n" + Describe(saved.error()) +
                          ".\r\nYour changes are still in the editor, so you can save again.");
        return;
    }
    const QString status = QString::fromStdString(DoorSaveStatusText(*saved));
    lblStatus->setText(status);
    for (const auto& note : saved->write.notes) {
        m_dialogs.Message(note);
    }
    emit doorsSaved(status);
}

void frmDoorEd::cmdGoTo_Click() {
    if (!m_door) {
        return;
    }
    if (const auto destination = FindDoorConnection(m_state.Doors, *m_door)) {
        emit goTo(*destination);
    }
}

} // namespace quarnel
