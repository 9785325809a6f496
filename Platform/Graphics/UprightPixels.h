#pragma once
// Turns a decoded photo into an upright premultiplied image by its orientation code (pixels
// remapped exactly, no resampling). Used to show photos and bundle images.
#include "Graphics/Image.h"
#include "ImageIO/DecodedImage.h"

namespace gfx {

// nullptr when the decoded picture is not 32-bit or its sizes disagree with its buffer.
ImageRef uprightImage(const imageio::DecodedImage& decoded);

} // namespace gfx
