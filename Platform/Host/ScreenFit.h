#pragma once
// Where the phone-sized screen sits in a window of any size: the largest scale (points to pixels,
// fractional allowed) at which the whole screen fits the window's pixels, centred, with the rest
// left as a border. The host draws the backing store at that scale and maps input back through
// the same fit, so what is drawn and what is touched always agree.
#include "Graphics/Geometry.h"

namespace host {

struct ScreenFit {
    double scale = 1; // pixels per point
    int originX = 0;  // the screen's top-left corner in window pixels
    int originY = 0;
    int pixelWidth = 0; // the screen's size in pixels: the backing store's size at `scale`
    int pixelHeight = 0;

    // A point in window pixels as a point on the screen (outside it when in the border).
    gfx::Point toPoints(double pixelX, double pixelY) const;
    bool containsPixel(double pixelX, double pixelY) const;
};

// Fits a screen of `screenPoints` into `windowPixelWidth` x `windowPixelHeight`. The pixel size
// (each side rounded up, as the backing store is) never exceeds the window; a window smaller
// than one pixel per side counts as one pixel.
ScreenFit fitScreen(int windowPixelWidth, int windowPixelHeight, gfx::Size screenPoints);

} // namespace host
