#pragma once
// One element of a marker label array on the map (sprite "S" or door "D"): a small label
// over a block that reports its mouse events with its index, pointer positions in the map
// picture's pixels relative to the label.

#include <QLabel>
#include <QPointF>

namespace quarnel {

class MarkerLabelWidget : public QLabel {
    Q_OBJECT

public:
    MarkerLabelWidget(int index, const QString& caption, const QString& colour, int zoom,
                      QWidget* parent);

    int Index() const { return m_index; }
    // Position and size in map picture pixels (one block).
    void PlaceAt(int left, int top);
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    // Follows the map's zoom: the same block, scaled.
    void SetZoom(int zoom);

signals:
    void pressed(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                 QPointF position);
    void moved(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
               QPointF position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int m_index;
    int m_zoom;
    int m_left = 0;
    int m_top = 0;
};

} // namespace quarnel
