#pragma once
// Shows a core Surface in Qt without copying: its 0xFFRRGGBB words are exactly the layout
// of QImage::Format_RGB32. The image refers to the surface's memory and is valid until the
// surface is resized.

#include "graphics/Surface.h"

#include <QImage>

namespace quarnel {

inline QImage SurfaceImage(const Surface& surface) {
    if (surface.Width() == 0 || surface.Height() == 0) {
        return {};
    }
    return QImage(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.Width(),
                  surface.Height(), surface.Width() * 4, QImage::Format_RGB32);
}

} // namespace quarnel
