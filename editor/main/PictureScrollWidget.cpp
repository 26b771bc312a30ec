#include "main/PictureScrollWidget.h"

#include "main/PictureWidget.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quarnel {

namespace {

constexpr int kWheelNotch = 120;   // one notch of a common mouse wheel
constexpr int kBlocksPerNotch = 3; // blocks scrolled per notch

} // namespace

PictureScrollWidget::PictureScrollWidget(PictureWidget* picture, QWidget* parent)
    : QScrollArea(parent), m_picture(picture) {
    setBackgroundRole(QPalette::Dark);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidgetResizable(false);
    setWidget(m_picture);
    SyncSteps();
}

int PictureScrollWidget::Zoom() const {
    return m_picture->Zoom();
}

void PictureScrollWidget::SyncSteps() {
    const int block = 16 * m_picture->Zoom();
    horizontalScrollBar()->setSingleStep(block);
    verticalScrollBar()->setSingleStep(block);
}

QPointF PictureScrollWidget::PicturePointAt(QPoint at) const {
    return QPointF(m_picture->mapFrom(viewport(), at)) / m_picture->Zoom();
}

void PictureScrollWidget::SetZoom(int zoom, std::optional<QPoint> anchor) {
    const int previous = m_picture->Zoom();
    const int wanted = std::clamp(zoom, PictureWidget::kMinZoom, PictureWidget::kMaxZoom);
    if (wanted == previous) {
        return;
    }
    const QPoint at = anchor.value_or(viewport()->rect().center());
    const QPointF point = PicturePointAt(at);
    m_picture->SetZoom(wanted);
    SyncSteps();
    // The bars take the new size from the resize the scroll area watches for.
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(point.x() * wanted - at.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(point.y() * wanted - at.y())));
    emit zoomChanged(wanted);
}

void PictureScrollWidget::ScrollToTopLeft() {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void PictureScrollWidget::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        m_zoomWheel += delta.y() != 0 ? delta.y() : delta.x();
        const int steps = m_zoomWheel / kWheelNotch;
        m_zoomWheel %= kWheelNotch;
        if (steps != 0) {
            SetZoom(Zoom() + steps, event->position().toPoint());
        }
        event->accept();
        return;
    }
    int across = delta.x();
    int down = delta.y();
    if ((event->modifiers() & Qt::ShiftModifier) && across == 0) {
        std::swap(across, down);
    }
    const int pixels = kBlocksPerNotch * 16 * Zoom();
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    horizontal->setValue(horizontal->value() - across * pixels / kWheelNotch);
    vertical->setValue(vertical->value() - down * pixels / kWheelNotch);
    event->accept();
}

} // namespace quarnel
