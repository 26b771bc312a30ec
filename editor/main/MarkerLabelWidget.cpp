#include "main/MarkerLabelWidget.h"

#include <QMouseEvent>

namespace quarnel {

MarkerLabelWidget::MarkerLabelWidget(int index, const QString& caption, const QString& colour,
                                     int zoom, QWidget* parent)
    : QLabel(caption, parent), m_index(index), m_zoom(zoom) {
    setAlignment(Qt::AlignCenter);
    setFixedSize(16 * zoom, 16 * zoom);
    setMouseTracking(true);
    setStyleSheet(QStringLiteral("QLabel { color: white; font-weight: bold; background: %1; "
                                 "border: 1px solid white; }")
                      .arg(colour));
    hide();
}

void MarkerLabelWidget::PlaceAt(int left, int top) {
    m_left = left;
    m_top = top;
    move(left * m_zoom, top * m_zoom);
}

void MarkerLabelWidget::SetZoom(int zoom) {
    m_zoom = zoom;
    setFixedSize(16 * zoom, 16 * zoom);
    move(m_left * m_zoom, m_top * m_zoom);
}

void MarkerLabelWidget::mousePressEvent(QMouseEvent* event) {
    emit pressed(m_index, event->button(), event->modifiers(), event->position() / m_zoom);
}

void MarkerLabelWidget::mouseMoveEvent(QMouseEvent* event) {
    emit moved(m_index, event->buttons(), event->modifiers(), event->position() / m_zoom);
}

} // namespace quarnel
