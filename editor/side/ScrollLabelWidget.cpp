#include "side/ScrollLabelWidget.h"

#include "doors/ScrollData.h"

#include <QMouseEvent>
#include <QPainter>

namespace quarnel {

ScrollLabelWidget::ScrollLabelWidget(int index, QWidget* parent) : QLabel(parent), m_index(index) {
    setMouseTracking(true);
    hide();
}

void ScrollLabelWidget::SetSelected(bool selected) {
    m_selected = selected;
    if (selected) {
        raise();
    }
    update();
}

void ScrollLabelWidget::paintEvent(QPaintEvent*) {
    // See-through over the map, with the caption on a dark box so it reads on any room.
    QPainter painter(this);
    const QColor edge = m_selected ? QColor(Qt::white) : QColor(255, 200, 0);
    painter.fillRect(rect(), QColor(255, 200, 0, m_selected ? 70 : 35));
    painter.setPen(QPen(edge, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    const QRect box = painter.fontMetrics()
                          .boundingRect(text())
                          .translated(6, 4 + painter.fontMetrics().ascent())
                          .adjusted(-3, -1, 3, 1);
    painter.fillRect(box.intersected(rect().adjusted(2, 2, -2, -2)), QColor(0, 0, 0, 170));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text());
}

void ScrollLabelWidget::mousePressEvent(QMouseEvent* event) {
    emit pressed(m_index, event->button(), event->position());
}

void ScrollLabelWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        const QPoint at = event->position().toPoint();
        switch (ScrollHandleAt(width(), height(), at.x(), at.y(), kGrip)) {
        case ScrollHandle::Left:
        case ScrollHandle::Right:
            setCursor(Qt::SizeHorCursor);
            break;
        case ScrollHandle::Top:
        case ScrollHandle::Bottom:
            setCursor(Qt::SizeVerCursor);
            break;
        case ScrollHandle::Body:
            setCursor(Qt::SizeAllCursor);
            break;
        }
    }
    emit moved(m_index, event->buttons(), event->position());
}

void ScrollLabelWidget::mouseReleaseEvent(QMouseEvent*) {
    emit released(m_index);
}

} // namespace quarnel
