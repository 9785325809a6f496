#include "Graphics/NamedImages.h"

#include <map>
#include <mutex>

#include "Foundation/Bundle.h"

namespace gfx {

namespace {
// Replays on worker threads (exports) read textures through here while the screen does too.
struct Cache {
    std::mutex mutex;
    std::map<std::string, ImageRef> images;
};

Cache& cache()
{
    static Cache shared;
    return shared;
}
} // namespace

ImageRef imageNamed(const std::string& fileName)
{
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    if (auto it = c.images.find(fileName); it != c.images.end())
        return it->second;
    // A name with a path separator could reach outside the bundle.
    ImageRef image =
        fileName.find('/') == std::string::npos ? Image::fromFile(fnd::resourcePath() + "/" + fileName) : nullptr;
    c.images.emplace(fileName, image);
    return image;
}

void purgeNamedImages()
{
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.images.clear();
}

} // namespace gfx
