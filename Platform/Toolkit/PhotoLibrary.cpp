#include "Toolkit/PhotoLibrary.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

#include "Graphics/BitmapContext.h"
#include "Graphics/UprightPixels.h"
#include "ImageIO/Decoder.h"

namespace ui {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool endsWithNoCase(const std::string& name, const std::string& suffix)
{
    if (name.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

struct ListedPhoto {
    PhotoEntry entry;
    long long modified = 0; // nanoseconds
};

// The aspect-fill rectangle of a width x height picture over a side x side square.
gfx::Rect coverRect(int width, int height, int side)
{
    const double scale = std::max(static_cast<double>(side) / width, static_cast<double>(side) / height);
    const double w = width * scale;
    const double h = height * scale;
    return {(side - w) / 2, (side - h) / 2, w, h};
}

} // namespace

bool hasPhotoFileName(const std::string& name)
{
    if (name.empty() || name[0] == '.')
        return false;
    return endsWithNoCase(name, ".jpg") || endsWithNoCase(name, ".jpeg") || endsWithNoCase(name, ".png");
}

std::vector<PhotoEntry> listPhotoFolder(const std::string& folder)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return {};
    std::vector<ListedPhoto> listed;
    while (const dirent* item = ::readdir(dir.get())) {
        std::string name = item->d_name;
        if (!hasPhotoFileName(name))
            continue;
        ListedPhoto photo{{folder + "/" + name, name}, 0};
        struct stat info {};
        // stat never opens the file; a dangling link still lists (and shows as broken).
        if (::stat(photo.entry.path.c_str(), &info) == 0)
            photo.modified = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
        listed.push_back(std::move(photo));
    }
    std::sort(listed.begin(), listed.end(), [](const ListedPhoto& a, const ListedPhoto& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.entry.name < b.entry.name;
    });
    std::vector<PhotoEntry> entries;
    entries.reserve(listed.size());
    for (auto& photo : listed)
        entries.push_back(std::move(photo.entry));
    return entries;
}

fnd::Result<gfx::ImageRef> makePhotoThumbnail(const std::string& path, int sidePixels)
{
    if (sidePixels < 1)
        return fnd::Error{"no thumbnail size"};
    auto decoded = imageio::decodeFileReduced(path, sidePixels, imageio::kMaxPhotoFileBytes);
    if (!decoded)
        return decoded.failure();
    const gfx::ImageRef upright = gfx::uprightImage(decoded.value());
    auto context = gfx::BitmapContext::create(sidePixels, sidePixels);
    if (!upright || !context)
        return fnd::Error{path + ": the picture cannot be shown"};
    context->drawImage(coverRect(upright->width(), upright->height(), sidePixels), *upright);
    return context->makeImage();
}

fnd::Result<imageio::DecodedImage> decodePickedPhoto(const std::string& path) { return imageio::decodeFile(path); }

} // namespace ui
