// frmMain: the map and the tileset under the mouse, the edit and view switches, and the
// sprite markers and the drag step that sprite and door markers share.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "main/EditSteps.h"
#include "main/MapEditing.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace quarnel {

namespace {

// A mouse position in picture pixels to a cell: round to the nearest pixel, then divide.
int CellOf(double coordinate) {
    return static_cast<int>(std::lround(coordinate)) / 16;
}

void SetBox(QCheckBox* box, const ViewBox& state) {
    const QSignalBlocker blocker(box);
    box->setEnabled(state.Enabled);
    box->setChecked(state.Ticked);
}

} // namespace

std::optional<uint8_t> frmMain::SelectedClipValue() const {
    const int index = cboAttribute->currentIndex();
    if (index < 0 || index > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(index);
}

void frmMain::picMap_MouseDown(Qt::MouseButton button, QPointF position) {
    if (!m_state.RomOpened || (button != Qt::LeftButton && button != Qt::RightButton)) {
        return;
    }
    const int x = CellOf(position.x());
    const int y = CellOf(position.y());
    if (x < 0 || y < 0) {
        return;
    }
    picMap->ShowOutline(16 * x, 16 * y);
    const auto outcome =
        PaintOrPickRecorded(m_state, button == Qt::LeftButton ? MapButton::Left : MapButton::Right,
                            x, y, SelectedClipValue(), m_gesture);
    if (outcome.PictureChanged) {
        picMap->RefreshSquare(16 * x, 16 * y, 16);
    }
    if (outcome.Picked) {
        ShowCurrentBlock();
        RevealCurrentBlock();
    }
    if (outcome.CellChanged && m_state.Editing == EditTarget::Clip) {
        if (picMap->ClipOverlayShown()) {
            picMap->RefreshSquare(16 * x, 16 * y, 16);
        }
        ShowClipLegend();
    }
    m_trail.Reached(x, y);
    ShowPointer(x, y);
    Label13->setText(QString::fromStdString(CellCaption(x, y))
                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void frmMain::picMap_MouseMove(Qt::MouseButtons buttons, QPointF position) {
    if (!m_state.RomOpened) {
        return;
    }
    const int x = CellOf(position.x());
    const int y = CellOf(position.y());
    if (x < 0 || y < 0) {
        return;
    }
    const CellValues values = ValuesAt(m_state, x, y);
    lblTiled->setText(QString::fromStdString(values.Level));
    lblClip->setText(values.Clip ? ClipAttributeName(*values.Clip) : QString());
    lblForeground->setText(QString::fromStdString(values.Foreground));
    lblBacklayer->setText(QString::fromStdString(values.Back));
    ShowPointer(x, y);
    picMap->ShowOutline(16 * x, 16 * y);
    PressAlongDrag(m_trail, buttons, x, y, [this](Qt::MouseButton button, QPointF cell) {
        picMap_MouseDown(button, cell);
    });
}

void frmMain::PicTSA_MouseDown(Qt::MouseButton button, QPointF position) {
    if (button != Qt::LeftButton) {
        Inform("Stamp function not available");
        return;
    }
    const int column = CellOf(position.x());
    const int row = CellOf(position.y());
    if (column >= 0 && column < 16 && row >= 0 && row < 64) {
        m_state.CurrentBlock = static_cast<uint16_t>(row * 16 + column);
        ShowCurrentBlock();
    }
}

void frmMain::PicTSA_MouseMove(QPointF position) {
    const int column = CellOf(position.x());
    const int row = CellOf(position.y());
    if (column >= 0 && column < 16 && row >= 0 && row < 64) {
        PicTSA->ShowOutline(16 * column, 16 * row);
    }
}

void frmMain::EditBox_Click(QCheckBox* box, EditTarget target) {
    if (!box->isChecked()) {
        m_state.Editing = EditTarget::None;
        return;
    }
    for (QCheckBox* other : {chkBackLayer, chkForeground, chkLevel, chkClip}) {
        if (other != box) {
            const QSignalBlocker blocker(other);
            other->setChecked(false);
        }
    }
    m_state.Editing = target;
}

void frmMain::ViewBox_Click() {
    m_state.Switches.ViewForeground.Ticked = chkViewForeground->isChecked();
    m_state.Switches.ViewLevel.Ticked = chkViewLevel->isChecked();
    m_state.Switches.ViewBack.Ticked = chkViewBack->isChecked();
    RefreshMap();
}

void frmMain::EnableLayer(LayerKind kind) {
    if (!m_state.RomOpened) {
        return;
    }
    LayersSnapshot before = LayersSnapshot::Of(m_state);
    ToggleLayer(m_state, kind);
    const char* name = kind == LayerKind::Foreground ? "Switch Foreground"
                       : kind == LayerKind::Level    ? "Switch Level"
                                                     : "Switch Backlayer";
    m_state.History.Record(
        m_state, CurrentRoom(m_state),
        std::make_unique<LayersStep>(name, std::move(before), LayersSnapshot::Of(m_state)));
    ApplySwitches();
    ApplyLayout();
    picMap->SyncSize();
}

void frmMain::RefreshMap() {
    RedrawMap(m_state);
    ApplyLayout();
    picMap->SyncSize();
    ShowClipLegend();
}

void frmMain::RefreshGraphics() {
    if (!m_state.RomOpened) {
        return;
    }
    RedrawMap(m_state);
    picMap->update();
    PicTSA->update();
    ShowCurrentBlock();
}

void frmMain::ApplySwitches() {
    const LayerSwitches& switches = m_state.Switches;
    SetBox(chkViewForeground, switches.ViewForeground);
    SetBox(chkViewLevel, switches.ViewLevel);
    SetBox(chkViewBack, switches.ViewBack);
    mnuForeground->setEnabled(switches.EnableForeground);
    mnuLevel->setEnabled(switches.EnableLevel);
    mnuBack->setEnabled(switches.EnableBack);
    const std::pair<QCheckBox*, EditTarget> boxes[] = {{chkBackLayer, EditTarget::Back},
                                                       {chkForeground, EditTarget::Foreground},
                                                       {chkLevel, EditTarget::Level},
                                                       {chkClip, EditTarget::Clip}};
    for (const auto& [box, target] : boxes) {
        const QSignalBlocker blocker(box);
        box->setChecked(m_state.Editing == target);
    }
}

void frmMain::ApplyLayout() {
    // The scroll area sizes its bars to the picture; the zoom keeps the markers in step.
    picMap->SyncSize();
    FollowMapZoom(picMap->Zoom());
}

void frmMain::Enemy_MouseDown(int index, Qt::MouseButton button) {
    const auto& list = m_state.Sprites.List(m_state.ShownSpriteList);
    const auto entry = static_cast<size_t>(index);
    if (button == Qt::RightButton && entry < list.size()) {
        const auto answer = m_dialogs.InputBox(SpriteNumberPrompt(entry, list[entry].SpriteNumber));
        if (!answer) {
            return; // Cancel
        }
        const auto number = ParseSpriteNumber(*answer);
        if (!number) {
            if (const auto refusal = SpriteNumberRefusal(*answer)) {
                m_dialogs.Message(*refusal);
            }
            return;
        }
        const SpritePlacement before = list[entry];
        if (SetSpriteNumber(m_state.Sprites, m_state.ShownSpriteList, entry, *number)) {
            m_state.History.Record(m_state, CurrentRoom(m_state),
                                   std::make_unique<SpriteStep>(SpriteStep::Kind::Renumber,
                                                                m_state.ShownSpriteList, entry,
                                                                before, list[entry]));
        }
    } else if (button == Qt::LeftButton) {
        m_gesture = m_state.History.NewGesture(); // a drag of the marker is one step
    }
    lblEnemy->setText(QString::number(index));
}

std::optional<LabelSnap> frmMain::MarkerMouseMove(MarkerLabelWidget* label,
                                                  Qt::MouseButtons buttons,
                                                  Qt::KeyboardModifiers modifiers,
                                                  QPointF position) {
    if (modifiers == Qt::ControlModifier) {
        return std::nullopt;
    }
    picMap_MouseMove(Qt::NoButton, QPointF(label->Left(), label->Top()));
    if (buttons != Qt::LeftButton) {
        return std::nullopt;
    }
    const LabelSnap snap = KeepOnRoom(SnapLabel({label->Left(), label->Top()},
                                                static_cast<int>(std::floor(position.x())),
                                                static_cast<int>(std::floor(position.y()))),
                                      m_state.MapBlocksWide(), m_state.MapBlocksHigh());
    label->PlaceAt(snap.position.left, snap.position.top);
    Label13->setText(QString::number(label->Index()));
    return snap;
}

void frmMain::Enemy_MouseMove(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                              QPointF position) {
    if (static_cast<size_t>(index) >= Enemy.size()) {
        return;
    }
    const auto snap =
        MarkerMouseMove(Enemy[static_cast<size_t>(index)], buttons, modifiers, position);
    const auto entry = static_cast<size_t>(index);
    const auto& list = m_state.Sprites.List(m_state.ShownSpriteList);
    if (!snap || entry >= list.size()) {
        return;
    }
    const SpritePlacement before = list[entry];
    if (MoveSprite(m_state.Sprites, m_state.ShownSpriteList, entry, *snap)) {
        if (!(list[entry] == before)) {
            m_state.History.Record(m_state, CurrentRoom(m_state),
                                   std::make_unique<SpriteStep>(SpriteStep::Kind::Move,
                                                                m_state.ShownSpriteList, entry,
                                                                before, list[entry]),
                                   m_gesture);
        }
        RefreshLargeMapMarkers();
    }
}

} // namespace quarnel
