#pragma once
// A picture box: shows a Surface scaled by a whole zoom factor, keeps nothing of its own,
// and reports mouse presses and moves in the picture's pixels. An outline square (the cell
// under the mouse) and overlay rectangles (door triggers, markers) can be shown over it; they
// are drawn by the view, never into the picture. The map and the tileset picture are both one.

#include "graphics/Surface.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace quarnel {

// One rectangle drawn over the picture, in picture pixels: an outline in `pen`, filled with
// `fill` when that is not transparent, with an optional caption in its top-left corner.
struct MapOverlay {
    QRect rect;
    QColor pen;
    QColor fill = Qt::transparent;
    QString caption;
};

class PictureWidget : public QWidget {
    Q_OBJECT

public:
    PictureWidget(const Surface& picture, int zoom, QWidget* parent = nullptr);

    int Zoom() const { return m_zoom; }
    // Takes the surface's current size (times the zoom) and repaints.
    void SyncSize();
    // Repaints the square of picture pixels (x, y, size x size).
    void RefreshSquare(int x, int y, int size);

    // The outline square at picture pixel (x, y), 16 x 16 unless set otherwise; hidden until
    // first shown.
    void ShowOutline(int x, int y);
    void SetOutlineSize(int pixels) { m_outlineSize = pixels; }
    void HideOutline();
    bool OutlineVisible() const { return m_outlineVisible; }
    QPoint OutlinePosition() const { return m_outline; }

    // Replaces the overlay rectangles and repaints.
    void SetOverlays(std::vector<MapOverlay> overlays);
    const std::vector<MapOverlay>& Overlays() const { return m_overlays; }

signals:
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPointF PicturePoint(const QPointF& widgetPoint) const;

    const Surface& m_picture;
    int m_zoom;
    QPoint m_outline;
    bool m_outlineVisible = false;
    std::vector<MapOverlay> m_overlays;
    int m_outlineSize = 16;
};

} // namespace quarnel
