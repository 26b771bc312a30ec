#include "side/frmMainMap.h"

#include "common/Hex.h"
#include "doors/DoorHistory.h"
#include "main/EditSteps.h"
#include "main/MapEditing.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtMapOverlays.h"
#include "side/ScrollLabelWidget.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>

#include <cmath>

namespace quarnel {

namespace {

constexpr int kScrollLabels = 255;

// A picture coordinate in pixels to its block, rounding down (left of the map is negative).
int BlockOf(double pixels) {
    return static_cast<int>(std::floor(pixels / 16.0));
}

QComboBox* HexList(int count) {
    auto* list = new QComboBox;
    for (int i = 0; i < count; ++i) {
        list->addItem(QString::fromStdString(ToHex(static_cast<uint32_t>(i))));
    }
    list->setMaxVisibleItems(20);
    return list;
}

} // namespace

frmMainMap::frmMainMap(EditorState& state, Hooks hooks, QWidget* parent)
    : QWidget(parent), m_state(state), m_hooks(std::move(hooks)) {
    setWindowTitle(QStringLiteral("Map"));
    picMap = new PictureWidget(m_state.MapPicture, 1);
    PicMaphold = new PictureScrollWidget(picMap);
    hsbMap = PicMaphold->horizontalScrollBar();
    vsbMap = PicMaphold->verticalScrollBar();
    connect(PicMaphold, &PictureScrollWidget::zoomChanged, this, [this] { ShowZoom(); });
    const std::pair<QKeySequence, int> zooms[] = {{QKeySequence(QKeySequence::ZoomIn), +1},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_Equal), +1},
                                                  {QKeySequence(QKeySequence::ZoomOut), -1},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_0), 0}};
    for (const auto& [keys, step] : zooms) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            PicMaphold->SetZoom(step == 0 ? 1 : picMap->Zoom() + step);
        });
    }

    auto* row = new QHBoxLayout(this);
    row->addWidget(PicMaphold, 1);
    row->addWidget(BuildScrollPanel());

    ConnectMapMouse(
        picMap, this, m_state.History, m_gesture, m_trail,
        [this](Qt::MouseButton button, QPointF position) { picMap_MouseDown(button, position); },
        [this](Qt::MouseButtons buttons, QPointF position) {
            picMap_MouseMove(buttons, position);
        });
}

QWidget* frmMainMap::BuildScrollPanel() {
    fraScroll = new QGroupBox(QStringLiteral("Scroll"));
    auto* grid = new QGridLayout(fraScroll);
    lblScrollInfo = new QLabel(QStringLiteral("Click a scroll to choose it; drag its edges or "
                                              "its body to move them."));
    lblScrollInfo->setWordWrap(true);
    lblScrollInfo->setMinimumWidth(180);
    lblScrollInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Three lines from the start, so the lists do not move when a scroll is chosen.
    lblScrollInfo->setMinimumHeight(3 * lblScrollInfo->fontMetrics().lineSpacing() + 4);
    cboBreakX = HexList(256);
    cboBreakY = HexList(256);
    cboExtendBound = new QComboBox;
    for (const char* bound : {"0 - X start", "1 - X end", "2 - Y start", "3 - Y end"}) {
        cboExtendBound->addItem(QString::fromLatin1(bound));
    }
    cboExtendValue = HexList(256);
    const struct {
        const char* caption;
        const char* meaning;
        QComboBox* list;
        ScrollField field;
    } fields[] = {
        {"Break X:", "The column of the block that extends this scroll once destroyed (FF: none)",
         cboBreakX, ScrollField::BreakX},
        {"Break Y:", "The row of that block (FF: none)", cboBreakY, ScrollField::BreakY},
        {"Extends:", "The bound of the scroll that the block's destruction replaces",
         cboExtendBound, ScrollField::ExtendBound},
        {"To:", "The value, in blocks, that bound then takes", cboExtendValue,
         ScrollField::ExtendValue},
    };
    grid->addWidget(lblScrollInfo, 0, 0, 1, 2);
    int line = 1;
    for (const auto& field : fields) {
        auto* caption = new QLabel(QString::fromLatin1(field.caption));
        caption->setToolTip(QString::fromLatin1(field.meaning));
        field.list->setToolTip(caption->toolTip());
        grid->addWidget(caption, line, 0);
        grid->addWidget(field.list, line, 1);
        ++line;
        connect(field.list, &QComboBox::activated, this,
                [this, kind = field.field](int index) { SetField(kind, index); });
    }
    cmdSaveRoom = new QPushButton(QStringLiteral("Save Room"));
    cmdSaveRoom->setToolTip(QStringLiteral("Saves the room, its scrolls included"));
    grid->addWidget(cmdSaveRoom, line, 0, 1, 2);
    grid->setRowStretch(line + 1, 1);
    connect(cmdSaveRoom, &QPushButton::clicked, this, [this] {
        if (m_hooks.saveRoom) {
            m_hooks.saveRoom();
        }
    });
    fraScroll->hide();
    return fraScroll;
}

void frmMainMap::LoadForm(bool scroll) {
    m_scrollMode = scroll;
    m_drag.reset();
    picMap->SyncSize();
    picMap->SetOverlays(DoorAndSpriteOverlays(m_state));
    if (scroll) {
        CreateScrollLabels();
        ShowScrolls();
    } else {
        for (ScrollLabelWidget* label : lblScroll) {
            label->hide();
        }
    }
    fraScroll->setVisible(scroll);
    if (m_selected && *m_selected >= m_state.Scrolls.ScrollList.size()) {
        m_selected.reset();
    }
    ShowScrollFields();
    setWindowTitle(scroll ? QStringLiteral("Map - Scroll Data") : QStringLiteral("Map"));
    if (!m_sized) {
        FitToScreen();
        m_sized = true;
    }
}

void frmMainMap::FitToScreen() {
    const QSize wanted = picMap->size() + QSize(40, 40) +
                         (m_scrollMode ? QSize(fraScroll->sizeHint().width(), 0) : QSize());
    QSize limit(1200, 900);
    if (const QScreen* screen = this->screen()) {
        limit = screen->availableSize() * 9 / 10;
    }
    resize(wanted.boundedTo(limit).expandedTo(QSize(320, 240)));
}

void frmMainMap::CreateScrollLabels() {
    if (!lblScroll.empty()) {
        return;
    }
    for (int i = 0; i < kScrollLabels; ++i) {
        auto* label = new ScrollLabelWidget(i, picMap);
        connect(label, &ScrollLabelWidget::pressed, this, &frmMainMap::lblScroll_MouseDown);
        connect(label, &ScrollLabelWidget::moved, this, &frmMainMap::lblScroll_MouseMove);
        connect(label, &ScrollLabelWidget::released, this, [this](int) { m_drag.reset(); });
        lblScroll.push_back(label);
    }
}

void frmMainMap::ShowScrolls() {
    for (size_t i = 0; i < lblScroll.size(); ++i) {
        PlaceScrollLabel(i);
    }
}

void frmMainMap::PlaceScrollLabel(size_t index) {
    if (index >= lblScroll.size()) {
        return;
    }
    ScrollLabelWidget* label = lblScroll[index];
    const auto& scrolls = m_state.Scrolls.ScrollList;
    const auto place = index < scrolls.size() ? ScrollLabelGeometry(scrolls[index]) : std::nullopt;
    if (!place) {
        label->hide();
        return;
    }
    label->setText(QStringLiteral("Scroll: %1").arg(index));
    const int zoom = picMap->Zoom();
    label->setGeometry(place->left * zoom, place->top * zoom, place->width * zoom,
                       place->height * zoom);
    label->SetSelected(m_selected == index);
    label->show();
}

void frmMainMap::SelectScroll(size_t index) {
    if (index >= m_state.Scrolls.ScrollList.size()) {
        return;
    }
    const auto previous = m_selected;
    m_selected = index;
    if (previous && *previous < lblScroll.size()) {
        lblScroll[*previous]->SetSelected(false);
    }
    if (index < lblScroll.size()) {
        lblScroll[index]->SetSelected(true);
    }
    ShowScrollFields();
}

void frmMainMap::ShowScrollFields() {
    const bool chosen = m_selected.has_value();
    for (QComboBox* list : {cboBreakX, cboBreakY, cboExtendBound, cboExtendValue}) {
        list->setEnabled(chosen);
    }
    if (!chosen) {
        for (QComboBox* list : {cboBreakX, cboBreakY, cboExtendBound, cboExtendValue}) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(-1);
        }
        return;
    }
    const ScrollRecord& scroll = m_state.Scrolls.ScrollList[*m_selected];
    const std::pair<QComboBox*, int> values[] = {{cboBreakX, scroll.BreakX()},
                                                 {cboBreakY, scroll.BreakY()},
                                                 {cboExtendBound, scroll.ExtendBound()},
                                                 {cboExtendValue, scroll.ExtendValue()}};
    for (const auto& [list, value] : values) {
        const QSignalBlocker blocker(list);
        // A bound byte beyond 3 (not one the games use) selects nothing.
        list->setCurrentIndex(value < list->count() ? value : -1);
    }
    lblScrollInfo->setText(QStringLiteral("Scroll %1: columns %2-%3, rows %4-%5")
                               .arg(*m_selected)
                               .arg(scroll.XStart())
                               .arg(scroll.XEnd())
                               .arg(scroll.YStart())
                               .arg(scroll.YEnd()));
}

void frmMainMap::SetField(ScrollField field, int value) {
    if (!m_selected) {
        return;
    }
    auto changed = SetScrollFieldRecorded(m_state, *m_selected, field, value);
    ShowScrollFields();
    if (changed && *changed) {
        emit edited();
    }
}

void frmMainMap::lblScroll_MouseDown(int index, Qt::MouseButton button, QPointF position) {
    const auto slot = static_cast<size_t>(index);
    if (slot >= m_state.Scrolls.ScrollList.size()) {
        return;
    }
    SelectScroll(slot);
    if (button != Qt::LeftButton) {
        return;
    }
    ScrollLabelWidget* label = lblScroll[slot];
    const QPoint at = position.toPoint();
    m_gesture = m_state.History.NewGesture();
    m_drag = ScrollDrag{
        slot,
        ScrollHandleAt(label->width(), label->height(), at.x(), at.y(), ScrollLabelWidget::kGrip),
        m_state.Scrolls.ScrollList[slot], BlockOf(OnPicture(label, position).x()),
        BlockOf(OnPicture(label, position).y())};
}

void frmMainMap::lblScroll_MouseMove(int index, Qt::MouseButtons buttons, QPointF position) {
    const auto slot = static_cast<size_t>(index);
    ScrollLabelWidget* label = slot < lblScroll.size() ? lblScroll[slot] : nullptr;
    if (label == nullptr) {
        return;
    }
    const QPointF onMap = OnPicture(label, position);
    const int x = BlockOf(onMap.x());
    const int y = BlockOf(onMap.y());
    if (x >= 0 && y >= 0) {
        picMap->ShowOutline(16 * x, 16 * y);
    }
    if (!m_drag || m_drag->index != slot || buttons != Qt::LeftButton) {
        return;
    }
    // The rectangle stays inside the room the map shows.
    const ScrollRecord dragged =
        DragScroll(m_drag->original, m_drag->handle, x - m_drag->blockX, y - m_drag->blockY,
                   m_state.MapBlocksWide() - 1, m_state.MapBlocksHigh() - 1);
    if (dragged == m_state.Scrolls.ScrollList[slot]) {
        return;
    }
    SetScrollRecorded(m_state, slot, dragged, m_gesture);
    PlaceScrollLabel(slot);
    ShowScrollFields();
    emit edited();
}

void frmMainMap::picMap_MouseDown(Qt::MouseButton button, QPointF position) {
    if (!m_state.RomOpened || (button != Qt::LeftButton && button != Qt::RightButton)) {
        return;
    }
    const int x = BlockOf(position.x());
    const int y = BlockOf(position.y());
    if (x < 0 || y < 0) {
        return;
    }
    picMap->ShowOutline(16 * x, 16 * y);
    const auto clip = m_hooks.clipValue ? m_hooks.clipValue() : std::nullopt;
    const auto outcome =
        PaintOrPickRecorded(m_state, button == Qt::LeftButton ? MapButton::Left : MapButton::Right,
                            x, y, clip, m_gesture);
    // A clip value changes no picture, but the clipdata overlay shows it.
    if (outcome.PictureChanged || outcome.CellChanged) {
        picMap->RefreshSquare(16 * x, 16 * y, 16);
    }
    if (outcome.CellChanged) {
        emit edited();
    }
    if (outcome.Picked) {
        emit picked();
    }
    m_trail.Reached(x, y);
}

QPointF frmMainMap::OnPicture(const QWidget* label, QPointF position) const {
    return (QPointF(label->pos()) + position) / picMap->Zoom();
}

void frmMainMap::ShowZoom() {
    if (m_scrollMode) {
        ShowScrolls();
    }
}

void frmMainMap::picMap_MouseMove(Qt::MouseButtons buttons, QPointF position) {
    const int x = BlockOf(position.x());
    const int y = BlockOf(position.y());
    if (x < 0 || y < 0) {
        return;
    }
    picMap->ShowOutline(16 * x, 16 * y);
    PressAlongDrag(m_trail, buttons, x, y, [this](Qt::MouseButton button, QPointF cell) {
        picMap_MouseDown(button, cell);
    });
}

void frmMainMap::closeEvent(QCloseEvent* event) {
    m_drag.reset();
    event->accept();
    emit closed();
}

} // namespace quarnel
