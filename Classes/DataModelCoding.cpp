// The document's part of the painting archive: "RawImage" (or null for a blank canvas) and
// "Canvas", in that order, then "Journal" (how the painting was made; paintings saved before
// journals have none); a recovery copy of a saved painting also names the file it was saved to
// ("SavedFile"), which a restore must not write over when it has changed since. Last comes the
// own file of a photo that had to be turned upright ("SourcePhoto", SourcePhoto.h), so that it
// goes in only when the archive has room for it after everything else.
#include "DataModel.h"

#include <random>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Journal.h"
#include "SourcePhoto.h"

namespace {
constexpr const char* kSavedFileKey = "SavedFile";
}

void DataModel::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    coder.encodeObject("RawImage", m_rawImage.get());
    coder.encodeObject("Canvas", m_canvas.get());
    if (const auto journal = m_canvas ? m_canvas->journalToArchive() : nullptr)
        coder.encodeData("Journal", journal->encode());
    if (m_recordsSavedFile && m_savedFile)
        coder.encodeString(kSavedFileKey, m_savedFile->toString());
    if (m_sourcePhoto && m_sourcePhotoKeptApart)
        m_sourcePhoto->encodeLeftOut(coder);
    else if (m_sourcePhoto)
        m_sourcePhoto->encode(coder);
}

void DataModel::startJournal(std::vector<std::uint8_t> basePng)
{
    if (!m_canvas)
        return;
    const Journal::Origin origin = !basePng.empty() ? Journal::Origin::kPixels
                                   : m_rawImage     ? Journal::Origin::kPhoto
                                                    : Journal::Origin::kBlank;
    std::random_device device;
    const std::uint64_t seed = (std::uint64_t{device()} << 32) ^ device();
    auto journal = std::make_shared<Journal>(m_canvas->width(), m_canvas->height(), origin, seed, std::move(basePng));
    journal->recordPaper(m_canvas->backgroundColor(), m_canvas->textureName());
    m_canvas->setJournal(std::move(journal));
}

// The stored journal, continued after a commit (the reopen merged the strokes). A painting
// without one, or whose journal cannot be read, starts one from its pixels as they are now.
void DataModel::openJournal(std::optional<std::vector<std::uint8_t>> stored, std::vector<std::uint8_t> paintingPng)
{
    if (stored) {
        m_storedJournalBytes = stored->size();
        auto journal = Journal::decode(*stored);
        if (journal && journal->width() == m_canvas->width() && journal->height() == m_canvas->height()) {
            auto kept = std::make_shared<Journal>(std::move(journal).value());
            kept->recordCommit();
            m_canvas->setJournal(std::move(kept));
            return;
        }
        fnd::log("the painting's journal is unusable (" + (journal ? std::string("another size") : journal.error())
                 + "); a new one starts from its pixels");
    }
    startJournal(std::move(paintingPng));
}

std::unique_ptr<DataModel> DataModel::initWithCoder(fnd::KeyedUnarchiver& coder,
                                                    const RawImage::PixelsFileReader& readPixelsFile)
{
    std::unique_ptr<DataModel> model(new DataModel(Restoring{}));
    std::optional<std::vector<std::uint8_t>> journal;
    std::vector<std::uint8_t> paintingPng;
    std::optional<std::string> savedFile;
    std::shared_ptr<const SourcePhoto> sourcePhoto;
    bool isDocument = coder.decodeRootObject("DataModel", [&](fnd::KeyedUnarchiver& root) {
        root.decodeObject("RawImage", "RawImage", [&](fnd::KeyedUnarchiver& c) {
            model->m_rawImage = RawImage::initWithCoder(c, readPixelsFile);
        });
        root.decodeObject("Canvas", "Canvas", [&](fnd::KeyedUnarchiver& c) {
            model->m_canvas = Canvas::initWithCoder(c);
            if (model->m_canvas)
                if (auto png = c.decodeData("paintingData"))
                    paintingPng.assign(png->begin(), png->end());
        });
        if (auto bytes = root.decodeData("Journal"))
            journal.emplace(bytes->begin(), bytes->end());
        savedFile = root.decodeString(kSavedFileKey);
        sourcePhoto = SourcePhoto::decode(root);
    });
    if (!isDocument || coder.failed())
        return nullptr;
    if (!model->m_canvas) {
        coder.failWithReason("DataModel.Canvas: missing");
        return nullptr;
    }
    if (savedFile)
        model->m_savedFile = fnd::FileIdentity::fromString(*savedFile);
    if (model->m_rawImage)
        model->m_sourcePhoto = std::move(sourcePhoto);
    model->openJournal(std::move(journal), std::move(paintingPng));
    return model;
}
