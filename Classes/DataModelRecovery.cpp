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
#include "SourcePhoto.h"

namespace {

// A photo file's root: the raw image, and with it the photo's own file when the painting keeps
// one, so that both are written once per painting.
class PhotoFileRoot final : public fnd::Codable {
public:
    PhotoFileRoot(std::shared_ptr<const void> owner, const RawImage& raw, const SourcePhoto* source)
        : m_owner(std::move(owner)), m_raw(raw), m_source(source)
    {
    }
    const char* className() const override { return m_raw.className(); }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override
    {
        m_raw.encodeWithCoder(coder);
        if (m_source)
            m_source->encode(coder);
    }

private:
    std::shared_ptr<const void> m_owner; // keeps the raw image and the photo's file
    const RawImage& m_raw;
    const SourcePhoto* m_source;
};

// The raw image in the photo file `name` of the copy of `title` in `folder`, and the photo's own
// file when it holds one.
fnd::Result<std::unique_ptr<RawImage>> readPhoto(const std::string& folder, const std::string& title,
                                                 const std::string& name, std::shared_ptr<const SourcePhoto>& source)
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
    const bool isRawImage = coder->decodeRootObject("RawImage", [&](fnd::KeyedUnarchiver& root) {
        image = RawImage::initWithCoder(root);
        source = SourcePhoto::decode(root);
    });
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
    std::shared_ptr<const SourcePhoto> source;
    const RawImage::PixelsFileReader reader = [&](const std::string& name) {
        return readPhoto(folder, title, name, source);
    };
    std::string reason;
    auto model = initWithArchiveData(std::move(bytes).value(), &reason, reader);
    if (!model)
        return fnd::Error{reason};
    // A photo file holds the photo's own file; the copy naming it says only when it was left out.
    const bool leftOut = model->m_sourcePhoto && model->m_sourcePhoto->leftOut();
    if (source && !leftOut && model->m_rawImage)
        model->m_sourcePhoto = std::move(source);
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
        copy->m_sourcePhoto = m_sourcePhoto; // shared: a save that leaves it out does so for all
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
    naming->m_sourcePhoto = m_sourcePhoto;
    naming->m_sourcePhotoKeptApart = true;
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
        snapshot.photo = std::make_shared<const PhotoFileRoot>(copy, *raw, copy->m_sourcePhoto.get());
        snapshot.paintingNamingPhoto = [copy](const std::string& photoFile) {
            return copy->namingPhotoFile(photoFile);
        };
    }
    return snapshot;
}
