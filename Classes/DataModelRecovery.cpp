// The document's copies for archiving on another thread (the recovery writer's): made on the main
// thread, so that keeping one never delays painting.
#include "DataModel.h"

DataModel::DataModel(Restoring) {}

DataModel::~DataModel() = default;

std::unique_ptr<DataModel> DataModel::copyForArchive() const
{
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
}

std::unique_ptr<DataModel> DataModel::copyForRecovery() const
{
    auto copy = copyForArchive();
    if (copy)
        copy->m_recordsSavedFile = true;
    return copy;
}
