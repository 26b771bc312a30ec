#include "side/ZoomPictureWidget.h"

#include "main/QtSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace quarnel {

ZoomPictureWidget::ZoomPictureWidget(const Surface& picture, int zoom, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_zoom(std::max(1, zoom)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SyncSize();
}

void ZoomPictureWidget::SetZoom(int zoom) {
    m_zoom = std::max(1, zoom);
    SyncSize();
}

void ZoomPictureWidget::SyncSize() {
    setFixedSize(std::max(1, m_picture.Width() * m_zoom), std::max(1, m_picture.Height() * m_zoom));
    update();
}

void ZoomPictureWidget::ShowOutline(const std::string& name, QRect rect, QColor colour) {
    if (auto old = m_outlines.find(name); old != m_outlines.end()) {
        update(OnScreen(old->second.rect));
    }
    m_outlines[name] = {rect, colour};
    update(OnScreen(rect));
}

void ZoomPictureWidget::HideOutline(const std::string& name) {
    if (auto old = m_outlines.find(name); old != m_outlines.end()) {
        update(OnScreen(old->second.rect));
        m_outlines.erase(old);
    }
}

QRect ZoomPictureWidget::Outline(const std::string& name) const {
    const auto found = m_outlines.find(name);
    return found == m_outlines.end() ? QRect() : found->second.rect;
}

QRect ZoomPictureWidget::OnScreen(QRect rect) const {
    return {rect.x() * m_zoom, rect.y() * m_zoom, rect.width() * m_zoom, rect.height() * m_zoom};
}

void ZoomPictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    const QImage image = SurfaceImage(m_picture);
    if (!image.isNull()) {
        painter.drawImage(QRect(0, 0, image.width() * m_zoom, image.height() * m_zoom), image);
    }
    for (const auto& [name, shape] : m_outlines) {
        // Two pixels wide, inside the outlined cells.
        painter.setPen(QPen(shape.colour, 1));
        const QRect box = OnScreen(shape.rect);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.drawRect(box.adjusted(1, 1, -2, -2));
    }
}

void ZoomPictureWidget::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->modifiers(), event->position() / m_zoom);
}

void ZoomPictureWidget::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->buttons(), event->modifiers(), event->position() / m_zoom);
}

} // namespace quarnel
