// The document's recovery copies: the copies for archiving on another thread (the recovery
// writer's), made on the main thread so that keeping one never delays painting, and reading a copy
// back, with the photo file it may name.
#include <filesystem>
#include <utility>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Recovery.h"

namespace {

// The raw image in the photo file `name` of the copy of `title` in `folder`.
fnd::Result<std::unique_ptr<RawImage>> readPhoto(const std::string& folder, const std::string& title,
                                                 const std::string& name)
{
    if (recovery::photoTitleOf(name) != title)
        return fnd::Error{"\"" + name + "\" is not a photo file of " + title};
    auto bytes = fnd::readFile(folder + "/" + name, DataModel::kMaxArchiveBytes);
    if (!bytes)
        return fnd::Error{bytes.error()};
    auto coder = fnd::KeyedUnarchiver::fromBytes(std::move(bytes).value());
    if (!coder)
        return fnd::Error{name + ": " + coder.error()};
    std::unique_ptr<RawImage> image;
    const bool isRawImage =
        coder->decodeRootObject("RawImage", [&](fnd::KeyedUnarchiver& root) { image = RawImage::initWithCoder(root); });
    if (!isRawImage || !image)
        return fnd::Error{name + ": " + (coder->failed() ? coder->error() : "not a raw image")};
    return image;
}

} // namespace

#include <new>

DataModel::DataModel(Restoring) {}

DataModel::~DataModel() = default;

fnd::Result<std::unique_ptr<DataModel>> DataModel::initWithRecoveryCopy(const std::string& path)
{
    auto bytes = fnd::readFile(path, kMaxArchiveBytes);
    if (!bytes)
        return fnd::Error{bytes.error()};
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string title = recovery::titleOf(path);
    const RawImage::PixelsFileReader reader = [&](const std::string& name) { return readPhoto(folder, title, name); };
    std::string reason;
    auto model = initWithArchiveData(std::move(bytes).value(), &reason, reader);
    if (!model)
        return fnd::Error{reason};
    return model;
}

DataModel* DataModel::sharedDataModelWithRecoveryCopy(const std::string& path)
{
    g_sharedDataModel.reset();
    auto copy = initWithRecoveryCopy(path);
    if (!copy) {
        fnd::log("cannot read the recovery copy " + path + ": " + copy.error());
        return nullptr;
    }
    g_sharedDataModel = std::move(copy).value();
    return g_sharedDataModel.get();
}

std::unique_ptr<DataModel> DataModel::copyForArchive() const
{
    try {
        std::unique_ptr<DataModel> copy(new DataModel(Restoring{}));
        if (m_canvas) {
            copy->m_canvas = m_canvas->copyForArchive();
            if (!copy->m_canvas)
                return nullptr;
        }
        // A raw image is never changed once made, so the copy can share its pixels.
        if (m_rawImage)
            copy->m_rawImage = std::make_unique<RawImage>(*m_rawImage);
        copy->m_fileTitle = m_fileTitle;
        copy->m_changesMade = m_changesMade;
        copy->m_savedFile = m_savedFile;
        return copy;
    } catch (const std::bad_alloc&) {
        return nullptr; // as when the canvas cannot be copied: the caller logs it
    }
}

std::unique_ptr<DataModel> DataModel::copyForRecovery() const
{
    auto copy = copyForArchive();
    if (copy)
        copy->m_recordsSavedFile = true;
    return copy;
}

std::shared_ptr<const DataModel> DataModel::namingPhotoFile(const std::string& photoFile) const
{
    std::shared_ptr<DataModel> naming(new DataModel(Restoring{}));
    naming->m_canvas = m_canvas;
    if (m_rawImage) {
        auto raw = std::make_unique<RawImage>(*m_rawImage);
        raw->setPixelsFile(photoFile);
        naming->m_rawImage = std::move(raw);
    }
    naming->m_fileTitle = m_fileTitle;
    naming->m_changesMade = m_changesMade;
    naming->m_savedFile = m_savedFile;
    naming->m_recordsSavedFile = m_recordsSavedFile;
    return naming;
}

recovery::Snapshot DataModel::recoverySnapshot() const
{
    std::shared_ptr<const DataModel> copy = copyForRecovery();
    if (!copy)
        return {m_fileTitle, nullptr, kMaxArchiveBytes, {}, {}, {}};
    recovery::Snapshot snapshot{copy->fileTitle(), copy, kMaxArchiveBytes, {}, {}, {}};
    // The photo goes into a file of its own, written once per painting: later copies name it.
    if (const RawImage* raw = copy->rawImage()) {
        snapshot.photoPixels = raw->pixels();
        snapshot.photo = std::shared_ptr<const fnd::Codable>(copy, raw);
        snapshot.paintingNamingPhoto = [copy](const std::string& photoFile) {
            return copy->namingPhotoFile(photoFile);
        };
    }
    return snapshot;
}
