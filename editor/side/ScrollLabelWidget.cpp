#include "side/ScrollLabelWidget.h"

#include "doors/ScrollData.h"

#include <QMouseEvent>

namespace quarnel {

namespace {

QString LabelStyle(bool selected) {
    return QStringLiteral("QLabel { color: white; font-weight: bold; padding: 2px; "
                          "background: rgba(255, 200, 0, %1); border: 2px solid %2; }")
        .arg(selected ? 70 : 40)
        .arg(selected ? QStringLiteral("white") : QStringLiteral("rgb(255, 200, 0)"));
}

} // namespace

ScrollLabelWidget::ScrollLabelWidget(int index, QWidget* parent)
    : QLabel(parent), m_index(index) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
    setStyleSheet(LabelStyle(false));
    hide();
}

void ScrollLabelWidget::SetSelected(bool selected) {
    setStyleSheet(LabelStyle(selected));
    if (selected) {
        raise();
    }
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
