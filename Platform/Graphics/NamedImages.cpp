#include "Graphics/NamedImages.h"

#include <map>

#include "Foundation/Bundle.h"

namespace gfx {

namespace {
std::map<std::string, ImageRef>& cache()
{
    static std::map<std::string, ImageRef> images;
    return images;
}
} // namespace

ImageRef imageNamed(const std::string& fileName)
{
    auto& images = cache();
    if (auto it = images.find(fileName); it != images.end())
        return it->second;
    // A name with a path separator could reach outside the bundle.
    ImageRef image =
        fileName.find('/') == std::string::npos ? Image::fromFile(fnd::resourcePath() + "/" + fileName) : nullptr;
    images.emplace(fileName, image);
    return image;
}

void purgeNamedImages() { cache().clear(); }

} // namespace gfx
