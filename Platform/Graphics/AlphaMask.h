#pragma once
// An image's alpha as an image mask, so a picture's shape can be used as a clip: where the
// picture is opaque the mask paints fully, where it is transparent not at all.
#include "Graphics/Image.h"
#include "Graphics/ImageMask.h"

namespace gfx {

ImageMaskRef alphaMaskOf(const Image& image);

} // namespace gfx
