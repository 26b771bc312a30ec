#pragma once
// A scrolled picture box: a PictureWidget in a scroll area whose bars behave as Qt's do (thumb
// proportional to the view, track clickable, a drag follows the thumb). The wheel scrolls it
// (Shift+wheel across); Ctrl+wheel zooms it around the pointer, keeping the picture point under
// the pointer where it is. One step of the arrows or the wheel moves by whole blocks.

#include <QScrollArea>

#include <optional>

namespace quarnel {

class PictureWidget;

class PictureScrollWidget : public QScrollArea {
    Q_OBJECT

public:
    explicit PictureScrollWidget(PictureWidget* picture, QWidget* parent = nullptr);

    PictureWidget* Picture() const { return m_picture; }
    int Zoom() const;
    // Zooms to `zoom` (clamped to 1-4), keeping the picture point under `anchor` (viewport
    // pixels; the viewport's centre when absent) where it is, as far as the bars allow.
    void SetZoom(int zoom, std::optional<QPoint> anchor = std::nullopt);
    void ScrollToTopLeft();
    // The picture point (picture pixels) under viewport point `at`.
    QPointF PicturePointAt(QPoint at) const;

signals:
    void zoomChanged(int zoom);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void SyncSteps();

    PictureWidget* m_picture;
    int m_zoomWheel = 0; // Ctrl+wheel turn not yet a whole step
};

} // namespace quarnel
