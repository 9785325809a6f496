// The document's part of the painting archive: "RawImage" (or null for a blank canvas) and
// "Canvas", in that order; a recovery copy of a saved painting also names the file it was saved
// to ("SavedFile"), which a restore must not write over when it has changed since.
#include "DataModel.h"

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"

namespace {
constexpr const char* kSavedFileKey = "SavedFile";
}

void DataModel::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    coder.encodeObject("RawImage", m_rawImage.get());
    coder.encodeObject("Canvas", m_canvas.get());
    if (m_recordsSavedFile && m_savedFile)
        coder.encodeString(kSavedFileKey, m_savedFile->toString());
}

std::unique_ptr<DataModel> DataModel::initWithCoder(fnd::KeyedUnarchiver& coder)
{
    std::unique_ptr<DataModel> model(new DataModel(Restoring{}));
    std::optional<std::string> savedFile;
    bool isDocument = coder.decodeRootObject("DataModel", [&](fnd::KeyedUnarchiver& root) {
        root.decodeObject("RawImage", "RawImage",
                          [&](fnd::KeyedUnarchiver& c) { model->m_rawImage = RawImage::initWithCoder(c); });
        root.decodeObject("Canvas", "Canvas",
                          [&](fnd::KeyedUnarchiver& c) { model->m_canvas = Canvas::initWithCoder(c); });
        savedFile = root.decodeString(kSavedFileKey);
    });
    if (!isDocument || coder.failed())
        return nullptr;
    if (!model->m_canvas) {
        coder.failWithReason("DataModel.Canvas: missing");
        return nullptr;
    }
    if (savedFile)
        model->m_savedFile = fnd::FileIdentity::fromString(*savedFile);
    return model;
}
