#include "DataModel.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

#include "Foundation/Date.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Encoder.h"
#include "SourcePhoto.h"

std::unique_ptr<DataModel> g_sharedDataModel;

namespace {

constexpr const char* kTitlePrefix = "Kanvaro";
constexpr int kThumbnailSize = 120;
constexpr double kThumbnailQuality = 0.8;

} // namespace

DataModel::DataModel() : m_fileTitle(getUniqueFileTitle()) {}

DataModel* DataModel::sharedDataModel() { return g_sharedDataModel.get(); }

void DataModel::releaseSharedDataModel() { g_sharedDataModel.reset(); }

DataModel* DataModel::sharedDataModelWithBlankCanvas()
{
    g_sharedDataModel.reset();
    try {
        g_sharedDataModel = std::make_unique<DataModel>();
        auto canvas = Canvas::initBlank();
        if (!canvas)
            return nullptr;
        g_sharedDataModel->setCanvas(std::move(canvas));
        g_sharedDataModel->startJournal();
    } catch (const std::bad_alloc&) {
        g_sharedDataModel.reset();
        fnd::log("cannot make a blank canvas: not enough memory");
        return nullptr;
    }
    return g_sharedDataModel.get();
}

fnd::Result<DataModel*> DataModel::sharedDataModelWithUIImage(Photo photo)
{
    g_sharedDataModel.reset();
    try {
        g_sharedDataModel = std::make_unique<DataModel>();
        if (!photo)
            return fnd::Error{"there is no photo", "No photo"};
        // The photo's size was checked when it was decoded: a canvas fails only for want of memory.
        auto canvas = Canvas::initWithUIImage(*photo);
        if (!canvas)
            return fnd::outOfMemory("cannot make the canvas for the photo");
        g_sharedDataModel->setCanvas(std::move(canvas));
        auto rawImage = RawImage::initWithUIImage(*photo);
        const bool turned = photo->orientation != imageio::kOrientationUp;
        SourcePhoto::Bytes file = photo->sourceFile;
        // The decoded photo goes as soon as the raw image holds its pixels (an upright photo's are
        // shared, not copied): a big photo is held once, not twice.
        photo.reset();
        if (!rawImage)
            return fnd::Error{"the photo's pixel format cannot be imported", "Unsupported pixel format"};
        // A turned photo was resampled: its own file keeps it at full size.
        if (turned) {
            auto source = std::make_shared<const SourcePhoto>(std::move(file));
            if (!source->bytes())
                source->leaveOut("the photo's own file was not at hand when it was picked");
            g_sharedDataModel->m_sourcePhoto = std::move(source);
        }
        g_sharedDataModel->setOrigImage(rawImage->createCompatibleImage());
        g_sharedDataModel->setRawImage(std::move(rawImage));
        g_sharedDataModel->startJournal();
    } catch (const std::bad_alloc&) {
        g_sharedDataModel.reset(); // gives back what the half-made document holds
        return fnd::outOfMemory("cannot import the photo");
    }
    return g_sharedDataModel.get();
}

DataModel* DataModel::sharedDataModelWithArchivePath(const std::string& path)
{
    g_sharedDataModel.reset();
    auto bytes = fnd::readFile(path, DataModel::kMaxArchiveBytes);
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

std::unique_ptr<DataModel> DataModel::initWithArchiveData(std::vector<std::uint8_t> bytes, std::string* reason,
                                                          const RawImage::PixelsFileReader& readPixelsFile)
{
    try {
        return initWithArchiveDataOrThrow(std::move(bytes), reason, readPixelsFile);
    } catch (const std::bad_alloc&) {
        if (reason)
            *reason = "not enough memory";
        return nullptr;
    }
}

std::unique_ptr<DataModel> DataModel::initWithArchiveDataOrThrow(std::vector<std::uint8_t> bytes, std::string* reason,
                                                                 const RawImage::PixelsFileReader& readPixelsFile)
{
    auto coder = fnd::KeyedUnarchiver::fromBytes(std::move(bytes));
    if (!coder) {
        if (reason)
            *reason = coder.error();
        return nullptr;
    }
    auto model = initWithCoder(coder.value(), readPixelsFile);
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
        if (!std::filesystem::exists(directory + title + ".art", ec)
            && !std::filesystem::exists(directory + title + ".jpg", ec))
            return title;
    }
}

std::string DataModel::getDocumentsDirectoryAndSlash() const
{
    std::string directory = fnd::documentsPath();
    (void)fnd::makeDirectories(directory); // logs when it cannot
    return directory + "/";
}

std::string DataModel::getFullPathWithExtention(const std::string& extension) const
{
    return getDocumentsDirectoryAndSlash() + m_fileTitle + "." + extension;
}

fnd::Result<std::vector<std::uint8_t>> DataModel::encodeThumbnail() const
{
    auto thumbnail = m_canvas->createThumbnail(kThumbnailSize);
    if (!thumbnail)
        return fnd::outOfMemory("cannot make the thumbnail of " + m_fileTitle);
    auto jpeg = imageio::encodeJpeg(
        {thumbnail->data(), thumbnail->width(), thumbnail->height(), thumbnail->bytesPerRow(), true},
        kThumbnailQuality);
    if (!jpeg)
        return jpeg.failure().within("cannot encode the thumbnail of " + m_fileTitle);
    return jpeg;
}

std::string DataModel::freeTitleIn(const std::string& directory, const std::string& title)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const auto taken = [&](const std::string& candidate) {
        return fs::exists(fs::path(directory) / (candidate + ".art"), error)
               || fs::exists(fs::path(directory) / (candidate + ".jpg"), error);
    };
    std::string unique = title;
    for (int n = 2; taken(unique); ++n)
        unique = title + " " + std::to_string(n);
    return unique;
}

std::string DataModel::describeSaveFailure(const std::string& error)
{
    // The file operations end their messages with the system's words ("...: Permission denied").
    const std::size_t colon = error.rfind(": ");
    std::string reason = colon == std::string::npos ? error : error.substr(colon + 2);
    std::error_code pathError;
    std::string folder = std::filesystem::absolute(fnd::documentsPath(), pathError).lexically_normal().string();
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const char* home = std::getenv("HOME");
    const std::string homePrefix = home && *home ? std::string(home) + "/" : std::string();
    if (!homePrefix.empty() && folder.rfind(homePrefix, 0) == 0)
        folder = "~/" + folder.substr(homePrefix.size());
    return reason + " (" + folder + ")";
}

// Another Kanvaro (or anyone) put another painting file where this one was read or saved: this
// document takes the next free title, so both paintings stay.
void DataModel::takeFreeTitleIfReplaced()
{
    const auto onDisk = fnd::fileIdentity(getFullPath());
    if (!onDisk || onDisk == m_savedFile)
        return;
    const std::string taken = m_fileTitle;
    m_fileTitle = freeTitleIn(getDocumentsDirectoryAndSlash(), taken);
    m_savedFile.reset();
    fnd::log(taken + ".art changed on disk since this painting was opened or saved; saving it as " + m_fileTitle);
}

fnd::Status DataModel::saveToFiles()
{
    // Running out of memory fails the save like a full disk: the old files stay as they were.
    fnd::Status saved = fnd::outOfMemory("cannot save " + m_fileTitle);
    try {
        if (m_canvas)
            takeFreeTitleIfReplaced();
        saved = writeFiles();
    } catch (const std::bad_alloc&) {
    }
    if (!saved)
        fnd::log("cannot save " + m_fileTitle + ": " + saved.error());
    return saved;
}

fnd::Status DataModel::remakeThumbnail(const std::string& title)
{
    try {
        const std::string archivePath = fnd::documentsPath() + "/" + title + ".art";
        auto bytes = fnd::readFile(archivePath, kMaxArchiveBytes);
        if (!bytes)
            return bytes.failure();
        std::string reason;
        auto model = initWithArchiveData(std::move(bytes).value(), &reason);
        if (!model)
            return fnd::Error{archivePath + " is not a painting: " + reason};
        model->m_fileTitle = title;
        auto jpeg = model->encodeThumbnail();
        if (!jpeg)
            return jpeg.failure();
        fnd::log("made the thumbnail of " + title + " again from its archive");
        return fnd::writeFileAtomically(model->getThumbnailFullPath(), jpeg.value());
    } catch (const std::bad_alloc&) {
        return fnd::outOfMemory("cannot make the thumbnail of " + title + " again");
    }
}

// Both new files are made first; the thumbnail replaces its old file before the archive does, so
// that a late failure can at worst leave a new thumbnail beside the old painting, never a new
// painting beside a stale thumbnail.
fnd::Status DataModel::writeFiles()
{
    if (!m_canvas)
        return fnd::Error{"there is no painting to save"};
    auto archive = fnd::KeyedArchiver::writeArchive(*this, getFullPath(), kMaxArchiveBytes);
    if (!archive)
        return archive.failure();
    auto jpeg = encodeThumbnail();
    if (!jpeg)
        return jpeg.failure();
    const std::span<const std::uint8_t> bytes = jpeg.value();
    auto thumbnail = fnd::PendingFile::write(
        getThumbnailFullPath(), [bytes](const fnd::ChunkWriter& write) { return write(bytes.data(), bytes.size()); });
    if (!thumbnail)
        return thumbnail.failure();
    if (auto replaced = thumbnail->commit(); !replaced)
        return replaced;
    // The rename keeps the file's number, size and time: the identity of what is about to be there.
    const auto written = fnd::fileIdentity(archive->temporaryPath());
    if (auto replaced = archive->commit(); !replaced)
        return replaced;
    m_savedFile = written;
    return {};
}
