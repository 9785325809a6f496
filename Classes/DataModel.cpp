#include "DataModel.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "Foundation/Date.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Encoder.h"

std::unique_ptr<DataModel> g_sharedDataModel;

namespace {

constexpr const char* kTitlePrefix = "Kanvaro";
constexpr int kThumbnailSize = 120;
constexpr double kThumbnailQuality = 0.8;
// Paintings are a few MiB; anything far larger is not one of ours.
constexpr std::uint64_t kMaxArchiveBytes = 256ull * 1024 * 1024;

} // namespace

DataModel::DataModel()
    : m_fileTitle(getUniqueFileTitle())
{
}

DataModel* DataModel::sharedDataModel() { return g_sharedDataModel.get(); }

void DataModel::releaseSharedDataModel() { g_sharedDataModel.reset(); }

DataModel* DataModel::sharedDataModelWithBlankCanvas()
{
    g_sharedDataModel.reset();
    g_sharedDataModel = std::make_unique<DataModel>();
    auto canvas = Canvas::initBlank();
    if (!canvas)
        return nullptr;
    g_sharedDataModel->setCanvas(std::move(canvas));
    return g_sharedDataModel.get();
}

DataModel* DataModel::sharedDataModelWithUIImage(Photo photo)
{
    g_sharedDataModel.reset();
    g_sharedDataModel = std::make_unique<DataModel>();
    g_sharedDataModel->setOrigImage(photo);
    if (!photo)
        return nullptr;
    auto canvas = Canvas::initWithUIImage(*photo);
    if (!canvas)
        return nullptr;
    g_sharedDataModel->setCanvas(std::move(canvas));
    auto rawImage = RawImage::initWithUIImage(*photo);
    if (!rawImage)
        return nullptr;
    g_sharedDataModel->setRawImage(std::move(rawImage));
    return g_sharedDataModel.get();
}

DataModel* DataModel::sharedDataModelWithArchivePath(const std::string& path)
{
    g_sharedDataModel.reset();
    auto bytes = fnd::readFile(path, kMaxArchiveBytes);
    if (!bytes) {
        fnd::log("cannot open " + path + ": " + bytes.error());
        return nullptr;
    }
    return sharedDataModelWithArchiveData(std::move(bytes).value());
}

DataModel* DataModel::sharedDataModelWithArchiveData(std::vector<std::uint8_t> bytes)
{
    g_sharedDataModel.reset();
    std::string reason;
    auto model = initWithArchiveData(std::move(bytes), &reason);
    if (!model) {
        fnd::log("not a painting archive: " + reason);
        return nullptr;
    }
    g_sharedDataModel = std::move(model);
    return g_sharedDataModel.get();
}

std::unique_ptr<DataModel> DataModel::initWithArchiveData(std::vector<std::uint8_t> bytes, std::string* reason)
{
    auto coder = fnd::KeyedUnarchiver::fromBytes(std::move(bytes));
    if (!coder) {
        if (reason)
            *reason = coder.error();
        return nullptr;
    }
    auto model = initWithCoder(coder.value());
    if (!model && reason)
        *reason = coder.value().error();
    return model;
}

std::string DataModel::getUniqueFileTitle() const
{
    double seconds = fnd::secondsSinceReferenceDate();
    // Whole seconds, truncated toward zero, as a signed 32-bit number.
    auto number = static_cast<std::int64_t>(std::trunc(seconds));
    number = std::clamp<std::int64_t>(number, INT32_MIN, INT32_MAX);
    std::string directory = getDocumentsDirectoryAndSlash();
    std::error_code ec;
    for (;; ++number) {
        std::string title = kTitlePrefix + std::to_string(number);
        if (!std::filesystem::exists(directory + title + ".art", ec) && !std::filesystem::exists(directory + title + ".jpg", ec))
            return title;
    }
}

std::string DataModel::getDocumentsDirectoryAndSlash() const
{
    std::string directory = fnd::documentsPath();
    fnd::makeDirectories(directory); // logs when it cannot
    return directory + "/";
}

std::string DataModel::getFullPathWithExtention(const std::string& extension) const
{
    return getDocumentsDirectoryAndSlash() + m_fileTitle + "." + extension;
}

fnd::Status DataModel::saveToFiles() const
{
    if (!m_canvas)
        return fnd::Error{"there is no painting to save"};
    if (auto archived = fnd::KeyedArchiver::archiveRootObject(*this, getFullPath()); !archived)
        return archived;
    auto thumbnail = m_canvas->createThumbnail(kThumbnailSize);
    if (!thumbnail)
        return fnd::Error{"cannot make the thumbnail of " + m_fileTitle};
    auto jpeg = imageio::encodeJpeg({thumbnail->data(), thumbnail->width(), thumbnail->height(), thumbnail->bytesPerRow(), true},
                                    kThumbnailQuality);
    if (!jpeg)
        return fnd::Error{"cannot encode the thumbnail of " + m_fileTitle + ": " + jpeg.error()};
    return fnd::writeFileAtomically(getThumbnailFullPath(), jpeg.value());
}
