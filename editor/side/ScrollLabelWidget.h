#pragma once
// One element of the large map's scroll label array: a captioned, see-through rectangle over
// the blocks a scroll covers. It reports its mouse events with its index, positions in the
// map picture's pixels relative to the label, and shows a resize pointer over its edges.

#include <QLabel>
#include <QPointF>

namespace quarnel {

class ScrollLabelWidget : public QLabel {
    Q_OBJECT

public:
    // How near an edge, in pixels, the pointer grabs the edge instead of the whole scroll.
    static constexpr int kGrip = 5;

    ScrollLabelWidget(int index, QWidget* parent);

    int Index() const { return m_index; }
    void SetSelected(bool selected);
    bool Selected() const { return m_selected; }

signals:
    void pressed(int index, Qt::MouseButton button, QPointF position);
    void moved(int index, Qt::MouseButtons buttons, QPointF position);
    void released(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_index;
    bool m_selected = false;
};

} // namespace quarnel
