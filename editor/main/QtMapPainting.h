#pragma once
// Painting a picture box: the 1x picture scaled by the zoom without smoothing, then the view's
// own layers over it: the clipdata overlay, the block and screen grids, the overlay rectangles,
// the selection frame and the outline. Nothing of this is ever drawn into the picture itself,
// so an exported picture never carries it.

#include "graphics/Surface.h"
#include "rom/RoomLayer.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace quarnel {

// One rectangle drawn over the picture, in picture pixels: an outline in `pen`, filled with
// `fill` when that is not transparent, with an optional caption in its top-left corner.
struct MapOverlay {
    QRect rect;
    QColor pen;
    QColor fill = Qt::transparent;
    QString caption;
};

// Everything a picture box shows, in picture pixels (16 a block).
struct MapViewLayers {
    const Surface* picture = nullptr;
    int zoom = 1;
    bool blockGrid = false;          // lines at every block edge
    bool screenGrid = false;         // lines every 15 x 10 blocks, one GBA screen
    const RoomLayer* clip = nullptr; // the clipdata overlay, when set
    const std::vector<MapOverlay>* overlays = nullptr;
    std::optional<QRect> selection; // a 2-pixel frame in two contrasting colours
    std::optional<QRect> outline;   // a 1-pixel white frame (the block under the pointer)
};

// Paints the part `area` (widget pixels, the picture's top-left at 0, 0) of the view.
void PaintMapView(QPainter& painter, const QRect& area, const MapViewLayers& view);

} // namespace quarnel
