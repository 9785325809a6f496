#include "Host/ScreenFit.h"

#include <algorithm>
#include <cmath>

namespace host {

gfx::Point ScreenFit::toPoints(double pixelX, double pixelY) const
{
    return {(pixelX - originX) / scale, (pixelY - originY) / scale};
}

bool ScreenFit::containsPixel(double pixelX, double pixelY) const
{
    return pixelX >= originX && pixelY >= originY && pixelX < originX + pixelWidth && pixelY < originY + pixelHeight;
}

ScreenFit fitScreen(int windowPixelWidth, int windowPixelHeight, gfx::Size screenPoints)
{
    const int w = std::max(windowPixelWidth, 1), h = std::max(windowPixelHeight, 1);
    const double pw = std::max(screenPoints.width, 1.0), ph = std::max(screenPoints.height, 1.0);
    double scale = std::min(w / pw, h / ph);
    // w / pw * pw can round to a hair above w; step down until the rounded-up size fits.
    while (scale > 0 && (std::ceil(pw * scale) > w || std::ceil(ph * scale) > h))
        scale = std::nextafter(scale, 0.0);
    ScreenFit fit;
    fit.scale = scale;
    fit.pixelWidth = std::max(1, static_cast<int>(std::ceil(pw * scale)));
    fit.pixelHeight = std::max(1, static_cast<int>(std::ceil(ph * scale)));
    fit.originX = (w - fit.pixelWidth) / 2;
    fit.originY = (h - fit.pixelHeight) / 2;
    return fit;
}

} // namespace host
