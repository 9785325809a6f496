#include "AutoPaintImages.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Canvas.h"
#include "RawImage.h"

namespace {

RgbImage blankImage(int width, int height)
{
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0.0f);
    return image;
}

// One box pass of half-width r along each row, edges repeated.
void boxRows(const RgbImage& src, RgbImage& dst, int r)
{
    const float scale = 1.0f / static_cast<float>(2 * r + 1);
    const int w = src.width;
    for (int y = 0; y < src.height; ++y) {
        const float* s = src.at(0, y);
        float* d = dst.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3;
        for (int c = 0; c < 3; ++c) {
            auto sample = [&](int x) { return s[std::clamp(x, 0, w - 1) * 3 + c]; };
            float sum = 0;
            for (int i = -r; i <= r; ++i)
                sum += sample(i);
            for (int x = 0; x < w; ++x) {
                d[x * 3 + c] = sum * scale;
                sum += sample(x + r + 1) - sample(x - r);
            }
        }
    }
}

// The same down each column, a whole row at a time so memory is read in order.
void boxColumns(const RgbImage& src, RgbImage& dst, int r)
{
    const float scale = 1.0f / static_cast<float>(2 * r + 1);
    const int h = src.height;
    const std::size_t n = static_cast<std::size_t>(src.width) * 3;
    auto row = [&](int y) { return src.at(0, std::clamp(y, 0, h - 1)); };
    std::vector<float> sum(n, 0.0f);
    for (int i = -r; i <= r; ++i) {
        const float* s = row(i);
        for (std::size_t k = 0; k < n; ++k)
            sum[k] += s[k];
    }
    for (int y = 0; y < h; ++y) {
        float* d = dst.pixels.data() + static_cast<std::size_t>(y) * n;
        const float* add = row(y + r + 1);
        const float* drop = row(y - r);
        for (std::size_t k = 0; k < n; ++k) {
            d[k] = sum[k] * scale;
            sum[k] += add[k] - drop[k];
        }
    }
}

float linearised(float v)
{
    const float c = v / 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float labCurve(float t) { return t > 0.008856f ? std::cbrt(t) : 7.787f * t + 16.0f / 116.0f; }

std::array<float, 3> toLab(const float* rgb)
{
    const float r = linearised(rgb[0]), g = linearised(rgb[1]), b = linearised(rgb[2]);
    const float x = (0.4124f * r + 0.3576f * g + 0.1805f * b) / 0.95047f;
    const float y = 0.2126f * r + 0.7152f * g + 0.0722f * b;
    const float z = (0.0193f * r + 0.1192f * g + 0.9505f * b) / 1.08883f;
    const float fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
    return {116.0f * fy - 16.0f, 500.0f * (fx - fy), 200.0f * (fy - fz)};
}

} // namespace

RgbImage ShrinkPhoto(const RawImage& photo, int width, int height)
{
    const int pw = photo.width(), ph = photo.height();
    if (width <= 0 || height <= 0 || pw <= 0 || ph <= 0 || !photo.pixels())
        return {};
    RgbImage out = blankImage(width, height);
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * ph / height);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * ph / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * pw / width);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * pw / width));
            float sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const CColor c = photo.pixelAtX(sx, sy);
                    sum[0] += static_cast<float>(c.Red());
                    sum[1] += static_cast<float>(c.Green());
                    sum[2] += static_cast<float>(c.Blue());
                }
            const float n = static_cast<float>((y1 - y0) * (x1 - x0));
            float* d =
                out.pixels.data()
                + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
            for (int c = 0; c < 3; ++c)
                d[c] = sum[c] / n;
        }
    }
    return out;
}

RgbImage CanvasPicture(const Canvas& canvas)
{
    const gfx::ImageRef image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image || image->width() <= 0 || image->height() <= 0)
        return {};
    RgbImage out = blankImage(image->width(), image->height());
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* row =
            image->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->bytesPerRow());
        float* d = out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) * 3;
        for (int x = 0; x < out.width; ++x) {
            // The paper is opaque, so premultiplied and straight colours agree.
            const CColor c = CColor::Load(row + static_cast<std::size_t>(x) * 4);
            d[x * 3] = static_cast<float>(c.Red());
            d[x * 3 + 1] = static_cast<float>(c.Green());
            d[x * 3 + 2] = static_cast<float>(c.Blue());
        }
    }
    return out;
}

RgbImage GaussianBlurred(const RgbImage& image, double sigma)
{
    if (image.isEmpty() || !(sigma > 0.3))
        return image;
    // Three boxes of width w have the variance of the Gaussian when w^2 = 4 sigma^2 + 1.
    const int r = std::max(1, static_cast<int>(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    RgbImage a = image, b = blankImage(image.width, image.height);
    for (int pass = 0; pass < 3; ++pass) {
        boxRows(a, b, r);
        boxColumns(b, a, r);
    }
    return a;
}

double MeanDeltaE76(const RgbImage& a, const RgbImage& b)
{
    if (a.isEmpty() || a.width != b.width || a.height != b.height)
        return -1;
    double sum = 0;
    const std::size_t count = static_cast<std::size_t>(a.width) * static_cast<std::size_t>(a.height);
    for (std::size_t i = 0; i < count; ++i) {
        const auto la = toLab(a.pixels.data() + i * 3), lb = toLab(b.pixels.data() + i * 3);
        const float dl = la[0] - lb[0], da = la[1] - lb[1], db = la[2] - lb[2];
        sum += std::sqrt(static_cast<double>(dl * dl + da * da + db * db));
    }
    return sum / static_cast<double>(count);
}
