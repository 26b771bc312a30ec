#include "main/PictureWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace quarnel {

PictureWidget::PictureWidget(const Surface& picture, int zoom, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_zoom(std::clamp(zoom, kMinZoom, kMaxZoom)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_layers.picture = &m_picture;
    m_layers.overlays = &m_overlays;
    SyncSize();
}

void PictureWidget::SetZoom(int zoom) {
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    SyncSize();
}

void PictureWidget::SyncSize() {
    resize(m_picture.Width() * m_zoom, m_picture.Height() * m_zoom);
    update();
}

void PictureWidget::RefreshSquare(int x, int y, int size) {
    update(x * m_zoom, y * m_zoom, size * m_zoom, size * m_zoom);
}

void PictureWidget::ShowOutline(int x, int y) {
    const QPoint previous = m_outline;
    const bool wasVisible = m_outlineVisible;
    m_outline = {x, y};
    m_outlineVisible = true;
    if (wasVisible) {
        RefreshSquare(previous.x(), previous.y(), m_outlineSize);
    }
    RefreshSquare(x, y, m_outlineSize);
}

void PictureWidget::HideOutline() {
    if (m_outlineVisible) {
        m_outlineVisible = false;
        RefreshSquare(m_outline.x(), m_outline.y(), m_outlineSize);
    }
}

void PictureWidget::SetSelection(std::optional<QRect> rect) {
    if (m_layers.selection) {
        const QRect old = *m_layers.selection;
        update(QRect(old.topLeft() * m_zoom, old.size() * m_zoom));
    }
    m_layers.selection = rect;
    if (rect) {
        update(QRect(rect->topLeft() * m_zoom, rect->size() * m_zoom));
    }
}

void PictureWidget::SetGrids(bool blocks, bool screens) {
    m_layers.blockGrid = blocks;
    m_layers.screenGrid = screens;
    update();
}

void PictureWidget::SetClipOverlay(const RoomLayer* clip) {
    m_layers.clip = clip;
    update();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    m_layers.zoom = m_zoom;
    m_layers.outline.reset();
    if (m_outlineVisible) {
        m_layers.outline = QRect(m_outline, QSize(m_outlineSize, m_outlineSize));
    }
    PaintMapView(painter, event->rect(), m_layers);
}

void PictureWidget::SetOverlays(std::vector<MapOverlay> overlays) {
    m_overlays = std::move(overlays);
    update();
}

QPointF PictureWidget::PicturePoint(const QPointF& widgetPoint) const {
    return widgetPoint / m_zoom;
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->modifiers(), PicturePoint(event->position()));
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->buttons(), event->modifiers(), PicturePoint(event->position()));
}

void PictureWidget::leaveEvent(QEvent* event) {
    emit left();
    QWidget::leaveEvent(event);
}

void PressAlongDrag(const DragTrail& trail, Qt::MouseButtons buttons, int x, int y,
                    const std::function<void(Qt::MouseButton, QPointF)>& press) {
    const Qt::MouseButton button = (buttons & Qt::LeftButton)    ? Qt::LeftButton
                                   : (buttons & Qt::RightButton) ? Qt::RightButton
                                                                 : Qt::NoButton;
    if (button == Qt::NoButton) {
        return;
    }
    for (const auto& [cellX, cellY] : trail.CellsTo(x, y)) {
        press(button, QPointF(16.0 * cellX + 8, 16.0 * cellY + 8));
    }
}

void ConnectMapMouse(PictureWidget* map, QObject* receiver, EditHistory& history, uint64_t& gesture,
                     DragTrail& trail, std::function<void(Qt::MouseButton, QPointF)> down,
                     std::function<void(Qt::MouseButtons, QPointF)> move) {
    QObject::connect(map, &PictureWidget::pressed, receiver,
                     [&history, &gesture, &trail, down = std::move(down)](
                         Qt::MouseButton button, Qt::KeyboardModifiers, QPointF position) {
                         gesture = history.NewGesture();
                         trail.Clear();
                         down(button, position);
                     });
    QObject::connect(map, &PictureWidget::moved, receiver,
                     [move = std::move(move)](Qt::MouseButtons buttons, Qt::KeyboardModifiers,
                                              QPointF position) { move(buttons, position); });
}

} // namespace quarnel
