#pragma once
// A picture box of the side editors: shows a Surface scaled by a whole zoom factor that can
// change (without smoothing), with named outline rectangles drawn over it, and reports mouse
// presses and moves in the picture's own pixels. It keeps no pixels of its own.

#include "graphics/Surface.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QWidget>

#include <map>
#include <string>

namespace quarnel {

class ZoomPictureWidget : public QWidget {
    Q_OBJECT

public:
    ZoomPictureWidget(const Surface& picture, int zoom, QWidget* parent = nullptr);

    int Zoom() const { return m_zoom; }
    // Takes a new zoom factor (at least 1) and the surface's current size, and repaints.
    void SetZoom(int zoom);
    // Takes the surface's current size and repaints.
    void SyncSize();

    // An outline of `rect` (picture pixels) named `name`, shown until hidden.
    void ShowOutline(const std::string& name, QRect rect, QColor colour);
    void HideOutline(const std::string& name);
    bool OutlineVisible(const std::string& name) const { return m_outlines.contains(name); }
    QRect Outline(const std::string& name) const;

signals:
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Shape {
        QRect rect;
        QColor colour;
    };
    QRect OnScreen(QRect rect) const;

    const Surface& m_picture;
    int m_zoom;
    std::map<std::string, Shape> m_outlines;
};

} // namespace quarnel
