#pragma once
// Reading rendered images in tests: the colour at a point and the pixels of a colour in a
// rectangle (clipped to the image).

#include <QImage>
#include <algorithm>

#include "chart/canvas.h"

namespace vantor {

inline TColor At(const QImage& img, int x, int y) {
    return FromQRgb(img.pixel(x, y));
}

inline int Count(const QImage& img, int x1, int y1, int x2, int y2, TColor c) {
    int n = 0;
    for (int y = std::max(y1, 0); y < std::min(y2, img.height()); ++y)
        for (int x = std::max(x1, 0); x < std::min(x2, img.width()); ++x) n += At(img, x, y) == c;
    return n;
}

} // namespace vantor
