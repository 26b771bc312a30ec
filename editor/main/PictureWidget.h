#pragma once
// A picture box: shows a Surface scaled by a whole zoom factor (1x to 4x, without smoothing),
// keeps no pixels of its own, and reports mouse presses and moves in the picture's pixels.
// Over the picture the view draws its own layers: an outline square (the cell under the
// mouse), a selection frame, overlay rectangles (door triggers, markers), block and screen
// grids and the clipdata overlay; none is ever drawn into the picture. The map and the tileset
// picture are both one.

#include "graphics/Surface.h"
#include "main/MapEditing.h"
#include "main/QtMapPainting.h"

#include <QPointF>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace quarnel {

class PictureWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 4;

    PictureWidget(const Surface& picture, int zoom, QWidget* parent = nullptr);

    int Zoom() const { return m_zoom; }
    // Takes a zoom factor (clamped to 1-4) and the surface's current size, and repaints.
    void SetZoom(int zoom);
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

    // The selection frame (picture pixels), or none.
    void SetSelection(std::optional<QRect> rect);
    std::optional<QRect> Selection() const { return m_layers.selection; }

    // The grids and the clipdata overlay (null: none).
    void SetGrids(bool blocks, bool screens);
    void SetClipOverlay(const RoomLayer* clip);
    bool BlockGrid() const { return m_layers.blockGrid; }
    bool ScreenGrid() const { return m_layers.screenGrid; }
    bool ClipOverlayShown() const { return m_layers.clip != nullptr; }

    // Replaces the overlay rectangles and repaints.
    void SetOverlays(std::vector<MapOverlay> overlays);
    const std::vector<MapOverlay>& Overlays() const { return m_overlays; }

signals:
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);
    // The pointer left the picture.
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF PicturePoint(const QPointF& widgetPoint) const;

    const Surface& m_picture;
    int m_zoom;
    QPoint m_outline;
    bool m_outlineVisible = false;
    std::vector<MapOverlay> m_overlays;
    MapViewLayers m_layers;
    int m_outlineSize = 16;
};

// A drag over a map picture (16 pixels a block) reached block (x, y): calls `press` with the
// held button (left before right) at the centre of every cell the move adds to `trail`, so
// that a fast drag leaves no gaps. Nothing without a held button.
void PressAlongDrag(const DragTrail& trail, Qt::MouseButtons buttons, int x, int y,
                    const std::function<void(Qt::MouseButton, QPointF)>& press);

// Connects a room map's presses to `down` and its moves to `move`, for as long as `receiver`
// lives. Each press first takes a new gesture of `history` into `gesture` and clears `trail`,
// so a press and its drag paint one undo step.
void ConnectMapMouse(PictureWidget* map, QObject* receiver, EditHistory& history, uint64_t& gesture,
                     DragTrail& trail, std::function<void(Qt::MouseButton, QPointF)> down,
                     std::function<void(Qt::MouseButtons, QPointF)> move);

} // namespace quarnel
