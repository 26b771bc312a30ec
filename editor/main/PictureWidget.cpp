#include "main/PictureWidget.h"

#include "main/QtSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace quarnel {

PictureWidget::PictureWidget(const Surface& picture, int zoom, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_zoom(zoom) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
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

void PictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::black);
    const QImage image = SurfaceImage(m_picture);
    if (!image.isNull()) {
        // Only the exposed part is scaled: a 255 x 255 room stays cheap to repaint.
        const QRect source(area.x() / m_zoom, area.y() / m_zoom, area.width() / m_zoom + 2,
                           area.height() / m_zoom + 2);
        const QRect clipped = source.intersected(image.rect());
        painter.drawImage(QRect(clipped.topLeft() * m_zoom, clipped.size() * m_zoom), image,
                          clipped);
    }
    for (const MapOverlay& overlay : m_overlays) {
        const QRect scaled(overlay.rect.topLeft() * m_zoom, overlay.rect.size() * m_zoom);
        if (!scaled.intersects(area)) {
            continue;
        }
        if (overlay.fill.alpha() != 0) {
            painter.fillRect(scaled, overlay.fill);
        }
        painter.setPen(QPen(overlay.pen, 2));
        painter.drawRect(scaled.adjusted(1, 1, -1, -1));
        if (!overlay.caption.isEmpty()) {
            painter.drawText(scaled.adjusted(4, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop,
                             overlay.caption);
        }
    }
    if (m_outlineVisible) {
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(m_outline.x() * m_zoom, m_outline.y() * m_zoom, m_outlineSize * m_zoom - 1,
                         m_outlineSize * m_zoom - 1);
    }
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

} // namespace quarnel
