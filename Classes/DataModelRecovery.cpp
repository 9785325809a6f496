// The document's recovery copy: a copy made on the main thread and written on the recovery
// writer's thread, so that keeping it never delays painting.
#include "DataModel.h"
#include "Foundation/Log.h"
#include "Recovery.h"

DataModel::DataModel(Restoring) {}

DataModel* DataModel::sharedDataModelWithRecoveryCopy(const std::string& path)
{
    g_sharedDataModel.reset();
    auto copy = recovery::read(path);
    if (!copy) {
        fnd::log("cannot read the recovery copy " + path + ": " + copy.error());
        return nullptr;
    }
    g_sharedDataModel = std::move(copy).value();
    return g_sharedDataModel.get();
}

// The recovery writer joins here: a document never goes while its copy is half written.
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
    return copy;
}

void DataModel::keepRecoveryCopy()
{
    auto copy = copyForArchive();
    if (!copy) {
        fnd::log("cannot keep a recovery copy of " + m_fileTitle + ": out of memory");
        return;
    }
    if (!m_recoveryKeeper)
        m_recoveryKeeper = std::make_unique<recovery::Keeper>();
    m_recoveryKeeper->keep(std::move(copy), recovery::folder());
}

void DataModel::discardRecoveryCopy()
{
    if (m_recoveryKeeper)
        m_recoveryKeeper->discard();
    else if (m_changesMade) // a restored painting's copy, not written again: the save holds it all
        recovery::removeCopyOf(m_fileTitle);
}

void DataModel::waitForRecoveryCopy()
{
    if (m_recoveryKeeper)
        m_recoveryKeeper->waitUntilIdle();
}
