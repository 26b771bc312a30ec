#include "main/QtMapPainting.h"

#include "main/MapReadout.h"
#include "main/QtSurface.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace quarnel {

namespace {

constexpr int kBlock = 16;
constexpr int kScreenColumns = 15; // a GBA screen is 240 x 160 pixels
constexpr int kScreenRows = 10;

// The blocks (columns or rows) whose squares meet the widget pixels [from, to).
std::pair<int, int> BlocksAcross(int from, int to, int blockPixels, int limit) {
    const int first = std::max(0, from / blockPixels);
    const int last = std::min(limit, (to + blockPixels - 1) / blockPixels);
    return {first, last};
}

void PaintClipOverlay(QPainter& painter, const QRect& area, const RoomLayer& clip, int zoom) {
    const int size = kBlock * zoom;
    const auto [left, right] = BlocksAcross(area.left(), area.right() + 1, size, clip.Width);
    const auto [top, bottom] = BlocksAcross(area.top(), area.bottom() + 1, size, clip.Height);
    const bool captions = zoom >= 2;
    if (captions) {
        QFont font = painter.font();
        font.setPixelSize(std::max(8, 5 * zoom));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
    }
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const auto value = static_cast<uint8_t>(clip.Cell(x, y) & 0xFF);
            if (value == 0) {
                continue;
            }
            const QRect square(x * size, y * size, size, size);
            painter.fillRect(square, QColor::fromRgba(ClipOverlayColour(value)));
            if (captions) {
                painter.drawText(
                    square, Qt::AlignCenter,
                    QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper());
            }
        }
    }
}

void PaintGrid(QPainter& painter, const QRect& area, QSize picture, int step, QColor colour,
               int width) {
    painter.setPen(QPen(colour, width));
    const int right = std::min(area.right() + 1, picture.width());
    const int bottom = std::min(area.bottom() + 1, picture.height());
    for (int x = (area.left() / step) * step; x <= right; x += step) {
        painter.drawLine(x, area.top(), x, bottom);
    }
    for (int y = (area.top() / step) * step; y <= bottom; y += step) {
        painter.drawLine(area.left(), y, right, y);
    }
}

QRect Scaled(const QRect& rect, int zoom) {
    return {rect.topLeft() * zoom, rect.size() * zoom};
}

} // namespace

void PaintMapView(QPainter& painter, const QRect& area, const MapViewLayers& view) {
    const int zoom = std::max(1, view.zoom);
    painter.fillRect(area, Qt::black);
    QSize pictureSize;
    if (view.picture != nullptr) {
        const QImage image = SurfaceImage(*view.picture);
        if (!image.isNull()) {
            pictureSize = image.size() * zoom;
            // Only the exposed part is scaled: a 255 x 255 room stays cheap to repaint.
            const QRect source(area.x() / zoom, area.y() / zoom, area.width() / zoom + 2,
                               area.height() / zoom + 2);
            const QRect clipped = source.intersected(image.rect());
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.drawImage(Scaled(clipped, zoom), image, clipped);
        }
    }
    if (view.clip != nullptr) {
        PaintClipOverlay(painter, area, *view.clip, zoom);
    }
    if (view.blockGrid && pictureSize.isValid()) {
        PaintGrid(painter, area, pictureSize, kBlock * zoom, QColor(255, 255, 255, 70), 1);
    }
    if (view.screenGrid && pictureSize.isValid()) {
        painter.setPen(QPen(QColor(255, 220, 0, 200), 2));
        const int right = std::min(area.right() + 1, pictureSize.width());
        const int bottom = std::min(area.bottom() + 1, pictureSize.height());
        const int across = kScreenColumns * kBlock * zoom;
        const int down = kScreenRows * kBlock * zoom;
        for (int x = (area.left() / across) * across; x <= right; x += across) {
            painter.drawLine(x, area.top(), x, bottom);
        }
        for (int y = (area.top() / down) * down; y <= bottom; y += down) {
            painter.drawLine(area.left(), y, right, y);
        }
    }
    if (view.overlays != nullptr) {
        for (const MapOverlay& overlay : *view.overlays) {
            const QRect scaled = Scaled(overlay.rect, zoom);
            if (!scaled.intersects(area)) {
                continue;
            }
            if (overlay.fill.alpha() != 0) {
                painter.fillRect(scaled, overlay.fill);
            }
            painter.setPen(QPen(overlay.pen, 2));
            painter.drawRect(scaled.adjusted(1, 1, -1, -1));
            if (!overlay.caption.isEmpty()) {
                painter.drawText(scaled.adjusted(4, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop,
                                 overlay.caption);
            }
        }
    }
    if (view.selection) {
        // Two frames of one pixel each, dark outside and light inside, so the frame shows on
        // light and dark blocks alike.
        const QRect frame = Scaled(*view.selection, zoom);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(QColor(255, 230, 0), 1));
        painter.drawRect(frame.adjusted(1, 1, -2, -2));
    }
    if (view.outline) {
        const QRect frame = Scaled(*view.outline, zoom);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
}

} // namespace quarnel
