// The document's recovery copy: a copy made on the main thread and written on the recovery
// writer's thread, so that keeping it never delays painting.
#include "DataModel.h"

#include <new>

#include "Foundation/Log.h"
#include "Recovery.h"

DataModel::DataModel(Restoring) {}

// The recovery writer joins here: a document never goes while its copy is half written.
DataModel::~DataModel() = default;

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
        return copy;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void DataModel::keepRecoveryCopy()
{
    auto copy = copyForArchive();
    if (!copy) {
        fnd::log("cannot keep a recovery copy of " + m_fileTitle + ": not enough memory");
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
