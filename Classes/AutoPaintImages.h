#pragma once
// Pictures the automatic painter compares, as floating-point RGB (0 to 255) at canvas size: the
// photo shrunk to the canvas, blurred references, what a canvas shows, and how far two are apart.
#include <cstddef>
#include <vector>

class Canvas;
class RawImage;

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<float> pixels; // red, green, blue per pixel, rows top to bottom

    bool isEmpty() const { return width <= 0 || height <= 0; }
    const float* at(int x, int y) const
    {
        return pixels.data()
               + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
};

// The photo at width x height, each pixel the mean of the photo pixels it covers (nearest when
// the photo is smaller). Empty for an unusable photo or size.
RgbImage ShrinkPhoto(const RawImage& photo, int width, int height);
// The canvas as the screen shows it (paper colour, paint, texture). Empty when out of memory.
RgbImage CanvasPicture(const Canvas& canvas);
// A Gaussian blur of standard deviation `sigma` pixels (three box passes), edges repeated.
RgbImage GaussianBlurred(const RgbImage& image, double sigma);
// Mean CIELAB colour difference (Delta E 1976) of two pictures of one size, sRGB with a D65
// white; -1 when the sizes differ or they are empty.
double MeanDeltaE76(const RgbImage& a, const RgbImage& b);
