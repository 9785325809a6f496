// The photo at its full size, for the full-size export.
#include "DataModel.h"

// The raw image keeps every decoded pixel of a photo that was upright when picked, so it is the
// full-size photo; a blank canvas has none.
std::function<fnd::Result<std::shared_ptr<const RawImage>>()> DataModel::fullSizePhotoLoader() const
{
    std::shared_ptr<const RawImage> raw = m_rawImage;
    if (!raw)
        return {};
    return [raw]() -> fnd::Result<std::shared_ptr<const RawImage>> { return raw; };
}
