// The photo at its full decoded size: the raw image of an upright photo already is; a photo that
// had to be turned upright is decoded again from its own file (SourcePhoto.h) and turned at full
// size. The file is outside input however it came, so every step is checked.
#include <algorithm>
#include <new>

#include "DataModel.h"
#include "ImageIO/Decoder.h"
#include "SourcePhoto.h"

namespace {

using Loaded = fnd::Result<std::shared_ptr<const RawImage>>;

// The canvas-sized raw image the import makes of an upright photo of this size: the longer side
// becomes 1024, each side truncated in single precision as the import does.
bool resamplesTo(int width, int height, int paintedWidth, int paintedHeight)
{
    const float scale = 1024.0f / static_cast<float>(std::max(width, height));
    return static_cast<int>(static_cast<float>(width) * scale) == paintedWidth
           && static_cast<int>(static_cast<float>(height) * scale) == paintedHeight;
}

Loaded decodeUpright(const SourcePhoto::Bytes& file, int paintedWidth, int paintedHeight)
{
    auto decoded = imageio::decodeMemory(file); // refuses sizes beyond the decoder's limits from the header
    if (!decoded)
        return decoded.failure().within("cannot decode the photo's own file");
    std::unique_ptr<RawImage> upright = RawImage::initUprightAtFullSize(decoded.value());
    if (!upright)
        return fnd::Error{"the photo's own file holds a picture that cannot be imported"};
    // The painting was made of this very photo: anything else would not line up with it.
    if (!resamplesTo(upright->width(), upright->height(), paintedWidth, paintedHeight))
        return fnd::Error{"the photo's own file holds another picture (" + std::to_string(upright->width()) + " x "
                          + std::to_string(upright->height()) + " for a painting of " + std::to_string(paintedWidth)
                          + " x " + std::to_string(paintedHeight) + ")"};
    return std::shared_ptr<const RawImage>(std::move(upright));
}

} // namespace

std::function<fnd::Result<std::shared_ptr<const RawImage>>()> DataModel::fullSizePhotoLoader() const
{
    if (!m_rawImage)
        return {};
    if (!m_sourcePhoto) {
        std::shared_ptr<const RawImage> upright = m_rawImage;
        return [upright]() -> Loaded { return upright; };
    }
    SourcePhoto::Bytes file = m_sourcePhoto->bytes();
    if (!file)
        return {};
    return [file, width = m_rawImage->width(), height = m_rawImage->height()]() -> Loaded {
        try {
            return decodeUpright(file, width, height);
        } catch (const std::bad_alloc&) {
            return fnd::outOfMemory("cannot load the photo at its full size");
        }
    };
}

bool DataModel::fullSizePhotoLeftOut() const { return m_sourcePhoto && m_sourcePhoto->leftOut(); }

std::size_t DataModel::sourcePhotoBytes() const
{
    const SourcePhoto::Bytes file = m_sourcePhoto ? m_sourcePhoto->bytes() : nullptr;
    return file ? file->size() : 0;
}
