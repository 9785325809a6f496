// Recovery copies that keep their photo apart: the photo file written once per painting, the
// copies that name it, and removing photo files that no copy can name.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>

#include "Foundation/FileLock.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Recovery.h"

namespace recovery {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPhotoExtension = ".photo";
constexpr std::size_t kTokenDigits = 16;

std::string newPhotoName(const std::string& title)
{
    std::random_device device;
    const std::uint64_t token = (std::uint64_t{device()} << 32) ^ device();
    char digits[kTokenDigits + 1];
    std::snprintf(digits, sizeof digits, "%016" PRIx64, token);
    return title + "." + digits + std::string(kPhotoExtension);
}

// Writes the snapshot's photo as a photo file of `title` under a name never used before; the name.
fnd::Result<std::string> writePhoto(const Snapshot& snapshot, const std::string& folder)
{
    std::string name = newPhotoName(snapshot.title);
    std::error_code error;
    while (fs::exists(folder + "/" + name, error))
        name = newPhotoName(snapshot.title);
    auto archive = fnd::KeyedArchiver::writeArchive(*snapshot.photo, folder + "/" + name, snapshot.maxBytes);
    if (!archive)
        return fnd::Error{archive.error()};
    if (auto committed = archive->commit(); !committed)
        return fnd::Error{committed.error()};
    return name;
}

// True when `photo` holds the snapshot's photo in a file still on disk.
bool holds(const PhotoFile& photo, const Snapshot& snapshot, const std::string& folder)
{
    std::error_code error;
    return !photo.name.empty() && photo.folder == folder && photo.title == snapshot.title
           && photo.pixels.lock() == snapshot.photoPixels && fs::is_regular_file(folder + "/" + photo.name, error);
}

// The title of a copy or of a copy set aside ("T.art", "T.art.unreadable", "T.art.2.unreadable").
std::optional<std::string> copyTitleOf(const std::string& name)
{
    if (name.ends_with(".art"))
        return name.substr(0, name.size() - 4);
    const std::size_t art = name.rfind(".art.");
    if (art != std::string::npos && name.ends_with(kUnreadableSuffix))
        return name.substr(0, art);
    return std::nullopt;
}

std::vector<std::string> fileNamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            names.push_back(it->path().filename().string());
    }
    return names;
}

void removeFile(const std::string& path)
{
    std::error_code error;
    if (!fs::remove(path, error) && error)
        fnd::log("cannot remove the recovery file " + path + ": " + error.message());
}

} // namespace

std::optional<std::string> photoTitleOf(std::string_view name)
{
    if (!name.ends_with(kPhotoExtension) || name.find('/') != std::string_view::npos)
        return std::nullopt;
    name.remove_suffix(kPhotoExtension.size());
    if (name.size() < kTokenDigits + 2)
        return std::nullopt;
    const std::string_view token = name.substr(name.size() - kTokenDigits);
    const auto isDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    name.remove_suffix(kTokenDigits);
    if (!std::all_of(token.begin(), token.end(), isDigit) || !name.ends_with('.'))
        return std::nullopt;
    name.remove_suffix(1);
    return std::string(name);
}

fnd::Status write(const Snapshot& snapshot, const std::string& folder, PhotoFile& photo)
{
    if (!snapshot.photoPixels || !snapshot.photo || !snapshot.paintingNamingPhoto || !snapshot.painting)
        return write(snapshot, folder);
    if (!fnd::makeDirectories(folder))
        return fnd::Error{"cannot make " + folder};
    const bool fresh = !holds(photo, snapshot, folder);
    if (fresh) {
        auto name = writePhoto(snapshot, folder);
        if (!name)
            return fnd::Error{name.error()};
        photo = {folder, snapshot.title, std::move(name).value(), snapshot.photoPixels};
    }
    Snapshot naming{snapshot.title, snapshot.paintingNamingPhoto(photo.name), snapshot.maxBytes, {}, {}, {}};
    if (auto written = write(naming, folder); !written)
        return written;
    if (fresh) // the copy just replaced was the last that could name them
        removePhotosOf(folder, photo.title, photo.name);
    return {};
}

void removePhotosOf(const std::string& folder, const std::string& title, const std::string& keep)
{
    for (const std::string& name : fileNamesIn(folder))
        if (name != keep && photoTitleOf(name) == title)
            removeFile(folder + "/" + name);
}

void removeStrayPhotos()
{
    const std::string dir = folder();
    const std::vector<std::string> names = fileNamesIn(dir);
    std::set<std::string> named;
    for (const std::string& name : names)
        if (auto title = copyTitleOf(name))
            named.insert(*title);
    for (const std::string& name : names) {
        const std::optional<std::string> title = photoTitleOf(name);
        if (title && !named.contains(*title) && !fnd::FileLock::isHeld(lockPath(copyPath(dir, *title))))
            removeFile(dir + "/" + name);
    }
}

} // namespace recovery
