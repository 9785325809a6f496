#include "Toolkit/PhotoAlbum.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <new>

#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Foundation/Timer.h"
#include "ImageIO/Encoder.h"

namespace ui {
namespace {

const std::string kPrefix = "Painting ";
const std::string kSuffix = ".png";
// Names taken by files written between our look at the folder and our write are skipped; this
// many in a row means something else is wrong.
constexpr int kMaxNameAttempts = 1000;

// N of "Painting N.png", or 0 for any other name.
long numberInName(const std::string& name)
{
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.rfind(kPrefix, 0) != 0
        || name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return 0;
    const std::string digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::strtol(digits.c_str(), nullptr, 10);
}

long highestNumberIn(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    long highest = 0;
    if (!dir)
        return highest;
    while (const dirent* item = ::readdir(dir.get()))
        highest = std::max(highest, numberInName(item->d_name));
    return highest;
}

// Encodes the picture and writes it under the first free name.
fnd::Result<std::string> writeNewPng(const gfx::Image& image, const std::string& folder)
{
    auto png = imageio::encodePng({image.data(), image.width(), image.height(), image.bytesPerRow(),
                                   image.alpha() == gfx::Image::Alpha::Premultiplied});
    if (!png)
        return png.failure().within("Could not encode the picture");
    if (auto made = fnd::makeDirectories(folder); !made)
        return made.failure();
    const auto produce = [&png](const fnd::ChunkWriter& write) { return write(png->data(), png->size()); };
    long number = highestNumberIn(folder) + 1;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt, ++number) {
        const std::string path = folder + "/" + kPrefix + std::to_string(number) + kSuffix;
        auto written = fnd::writeNewFileAtomically(path, produce);
        if (!written)
            return written.failure();
        if (written.value() == fnd::NewFileResult::Written)
            return path;
    }
    return fnd::Error{"No free file name in " + folder, fnd::reasonForPerson("No free file name", folder)};
}

} // namespace

fnd::Result<std::string> writeImageToFolder(const gfx::Image& image, const std::string& folder)
{
    try {
        return writeNewPng(image, folder);
    } catch (const std::bad_alloc&) {
        return fnd::outOfMemory("Could not save the picture in " + folder);
    }
}

void saveImageToPhotoAlbum(const gfx::ImageRef& image, PhotoAlbumCompletion completion)
{
    const std::string folder = fnd::exportsPath();
    fnd::Result<std::string> written =
        image ? writeImageToFolder(*image, folder) : fnd::Error{"No picture to save", "The picture could not be drawn"};
    if (written)
        fnd::log("Saved the picture as " + written.value());
    else
        fnd::log(written.error());
    if (!completion)
        return;
    // The completion comes later, from the run loop, as the platform's album service does.
    fnd::Timer::scheduledTimer(0, false,
                               [completion = std::move(completion), written](fnd::Timer&) { completion(written); });
}

} // namespace ui
