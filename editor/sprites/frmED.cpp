#include "sprites/frmED.h"

#include "common/Hex.h"
#include "main/EditSteps.h"
#include "main/EditorState.h"
#include "rom/Catalog.h"
#include "rom/GbaPointer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quarnel {

namespace {

uint8_t& SpriteIndexField(RoomHeader& header, int list) {
    switch (list) {
    case 0:
        return header.SpriteIndex1;
    case 1:
        return header.SpriteIndex2;
    default:
        return header.SpriteIndex3;
    }
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

frmED::frmED(EditorState& state, AreaNameSource areaName, QWidget* parent)
    : QWidget(parent), m_state(state), m_areaName(std::move(areaName)) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Enemy Data"));

    auto* layout = new QVBoxLayout(this);
    m_lblData = new QLabel(this);
    m_lblData->setObjectName(QStringLiteral("lblData"));
    layout->addWidget(m_lblData);

    auto* frames = new QHBoxLayout;
    for (int list = 0; list < 3; ++list) {
        const QString number = QString::number(list + 1);
        auto* frame = new QGroupBox(QStringLiteral("Enemy Set ") + number, this);
        auto* frameLayout = new QVBoxLayout(frame);

        auto* pointer = new QLineEdit(frame);
        pointer->setObjectName(QStringLiteral("txtEn") + number);
        pointer->setReadOnly(true);
        frameLayout->addWidget(new QLabel(QStringLiteral("Sprite Pointer"), frame));
        frameLayout->addWidget(pointer);
        m_txtEn[list] = pointer;

        auto* sets = new QComboBox(frame);
        sets->setObjectName(QStringLiteral("cboEn") + number);
        sets->setEditable(true);
        sets->setInsertPolicy(QComboBox::NoInsert);
        // Typed text is a set number, not a name to complete.
        sets->setCompleter(nullptr);
        sets->setMinimumContentsLength(24);
        auto* caption = new QLabel(QStringLiteral("Sprite Index:"), frame);
        caption->setToolTip(QStringLiteral("The sprite set (graphics and palettes) this sprite "
                                           "list uses; choose by name or type its number in "
                                           "hexadecimal. Ctrl+Z undoes a choice."));
        sets->setToolTip(caption->toolTip());
        frameLayout->addWidget(caption);
        frameLayout->addWidget(sets);
        m_cboEn[list] = sets;

        frames->addWidget(frame);
    }
    layout->addLayout(frames);

    connect(m_cboEn[0], &QComboBox::currentIndexChanged, this, &frmED::cboEn1_Click);
    connect(m_cboEn[1], &QComboBox::currentIndexChanged, this, &frmED::cboEn2_Click);
    connect(m_cboEn[2], &QComboBox::currentIndexChanged, this, &frmED::cboEn3_Click);
    connect(m_cboEn[0]->lineEdit(), &QLineEdit::textEdited, this, &frmED::cboEn1_Change);
    connect(m_cboEn[1]->lineEdit(), &QLineEdit::textEdited, this, &frmED::cboEn2_Change);
    connect(m_cboEn[2]->lineEdit(), &QLineEdit::textEdited, this, &frmED::cboEn3_Change);
    for (QComboBox* sets : m_cboEn) {
        // Once typing ends the box names the chosen set again.
        connect(sets->lineEdit(), &QLineEdit::editingFinished, sets,
                [sets] { sets->setEditText(sets->itemText(sets->currentIndex())); });
    }

    LoadForm();
}

void frmED::LoadForm() {
    const std::vector<std::string> names = SpriteSetNames(m_namesFile);
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        items.append(FromStd(name));
    }

    const std::string room = m_state.Room >= 0 ? ToHex(static_cast<uint64_t>(m_state.Room)) : "";
    m_lblData->setText(FromStd("Enemies for: \r\nArea: " + AreaName() + "\r\nRoom: " + room));

    RoomHeader& header = m_state.CurrentRoomHeader;
    for (int list = 0; list < 3; ++list) {
        // Showing the header's own choice is not a change of the room.
        const QSignalBlocker blocker(m_cboEn[list]);
        m_cboEn[list]->clear();
        m_cboEn[list]->addItems(items);
        m_cboEn[list]->setCurrentIndex(SpriteIndexField(header, list));
        // The offset of the sprite list in the ROM; a pointer below the ROM's base shows the
        // difference modulo 2^32, as the games would wrap it.
        m_txtEn[list]->setText(
            FromStd(ToHex(static_cast<uint32_t>(SpritePointer(header, list) - kGbaRomBase))));
    }
}

void frmED::showEvent(QShowEvent* event) {
    // Opening the window again shows the room of this moment, as a fresh load would.
    if (!event->spontaneous()) {
        LoadForm();
    }
    QWidget::showEvent(event);
}

void frmED::cboEn1_Click() {
    ChooseSet(0);
}
void frmED::cboEn2_Click() {
    ChooseSet(1);
}
void frmED::cboEn3_Click() {
    ChooseSet(2);
}
void frmED::cboEn1_Change() {
    TypeSet(0);
}
void frmED::cboEn2_Change() {
    TypeSet(1);
}
void frmED::cboEn3_Change() {
    TypeSet(2);
}

// Takes the list's selection into the header. The sprite markers of the main window keep
// their graphics until the room is loaded again.
void frmED::ChooseSet(int list) {
    const int index = m_cboEn[list]->currentIndex();
    if (index < 0 || index > 0xFF) {
        return;
    }
    const RoomHeader before = m_state.CurrentRoomHeader;
    uint8_t& field = SpriteIndexField(m_state.CurrentRoomHeader, list);
    if (field != index) {
        field = static_cast<uint8_t>(index);
        m_state.History.Record(
            m_state, CurrentRoom(m_state),
            std::make_unique<HeaderStep>("Change sprite set " + std::to_string(list), before,
                                         m_state.CurrentRoomHeader));
    }
}

// Typed text is a set number in hexadecimal ("1A" is set 26). Text that is not one, or names
// no set of the list, keeps the selection. The typed text stays in the box while the user
// types, so that a number can be entered digit by digit.
void frmED::TypeSet(int list) {
    QComboBox* sets = m_cboEn[list];
    const QString typed = sets->lineEdit()->text();
    const auto value = ParseHex(typed.toStdString());
    if (!value || *value >= static_cast<uint32_t>(sets->count())) {
        return;
    }
    const int cursor = sets->lineEdit()->cursorPosition();
    sets->setCurrentIndex(static_cast<int>(*value));
    ChooseSet(list);
    sets->setEditText(typed);
    sets->lineEdit()->setCursorPosition(cursor);
}

std::string frmED::AreaName() const {
    if (m_areaName) {
        return m_areaName();
    }
    const auto names = AreaNames(m_state.GameCode);
    if (m_state.Area < 0 || static_cast<size_t>(m_state.Area) >= names.size()) {
        return "";
    }
    return std::string(names[static_cast<size_t>(m_state.Area)]);
}

} // namespace quarnel
