#include "Cairo.h"

#include <cstdio>
#include <string>

#include "PngWriter.h"

namespace genres {
namespace {

std::vector<std::uint8_t> unpremultiply(cairo_surface_t* surface, int width, int height)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    std::size_t out = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t argb = row[x];
            unsigned a = argb >> 24U;
            unsigned channels[3] = {(argb >> 16U) & 0xFFU, (argb >> 8U) & 0xFFU, argb & 0xFFU};
            for (unsigned c : channels) {
                rgba[out++] = static_cast<std::uint8_t>(a == 0 ? 0 : (c * 255U + a / 2U) / a);
            }
            rgba[out++] = static_cast<std::uint8_t>(a);
        }
    }
    return rgba;
}

} // namespace

std::vector<std::uint8_t> renderRgba(int w, int h, int scale, const DrawFn& draw)
{
    int pw = w * scale;
    int ph = h * scale;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph));
    {
        ContextPtr cr(cairo_create(surface.get()));
        cairo_scale(cr.get(), scale, scale);
        draw(cr.get(), w, h);
    }
    return unpremultiply(surface.get(), pw, ph);
}

bool writeUiImage(const std::string& outDir, const std::string& name, int w, int h, const DrawFn& draw, bool withDouble)
{
    bool ok = writePng(outDir + "/" + name + ".png", PngKind::Rgba, w, h, renderRgba(w, h, 1, draw));
    if (withDouble) {
        // @3x for windows drawn at three times the phone and more (large and HiDPI screens).
        for (int scale : {2, 3})
            ok = writePng(outDir + "/" + name + "@" + std::to_string(scale) + "x.png", PngKind::Rgba, w * scale,
                          h * scale, renderRgba(w, h, scale, draw))
                 && ok;
    }
    return ok;
}

} // namespace genres
