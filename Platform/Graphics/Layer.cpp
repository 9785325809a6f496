#include "Graphics/Layer.h"

#include "Graphics/PixelFormat.h"

namespace gfx {

std::unique_ptr<Layer> Layer::create(const BitmapContext& /*relativeTo*/, Size size)
{
    // Every surface shares one format, so a layer is a bitmap of its own of the given size.
    if (!(size.width >= 1 && size.height >= 1 && size.width <= kMaxSurfaceSide && size.height <= kMaxSurfaceSide))
        return nullptr;
    auto ctx = BitmapContext::create(static_cast<int>(size.width), static_cast<int>(size.height));
    if (!ctx)
        return nullptr;
    return std::unique_ptr<Layer>(new Layer(std::move(ctx)));
}

} // namespace gfx
