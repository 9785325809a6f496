#pragma once
// The one painting the user works on: the photo it started from, the photo's pixels, the canvas,
// the name of its files and whether anything was painted. One document is shared at a time
// (g_sharedDataModel); each making operation gives up the one held before.
//
// A document is stored as a keyed archive (title + ".art") of the classes DataModel, RawImage
// and Canvas, beside a JPEG thumbnail (title + ".jpg"), in the documents directory.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "Canvas.h"
#include "Foundation/BinaryPlistReader.h"
#include "Foundation/FileIdentity.h"
#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"
#include "ImageIO/Decoder.h"
#include "RawImage.h"

namespace fnd {
class KeyedUnarchiver;
}
namespace recovery {
struct Snapshot;
}
class SourcePhoto;

class DataModel : public fnd::Codable {
public:
    using Photo = std::shared_ptr<const imageio::DecodedImage>;

    // The largest painting archive: the pixels of the largest photo we import (kept as decoded,
    // 4 bytes each) and room for the canvas's PNG and the keys. Saving refuses anything larger
    // and opening accepts everything up to it, so whatever is saved opens again. A turned photo's
    // own file (SourcePhoto.h) goes in only when it fits under it after everything else.
    static constexpr std::uint64_t kMaxArchiveBytes =
        4 * std::uint64_t{imageio::kMaxDecodePixels} + (std::uint64_t{32} << 20);
    static_assert(kMaxArchiveBytes <= fnd::BinaryPlistReader::kMaxFileSize);

    // The shared document, or nullptr.
    static DataModel* sharedDataModel();
    // New shared documents; nullptr on failure (the old document is given up all the same).
    static DataModel* sharedDataModelWithBlankCanvas();
    // The document made from a picked photo, or why not: a pixel format we cannot import, or not
    // enough memory (fnd::kNotEnoughMemory as the reason; nothing of the photo is then held).
    static fnd::Result<DataModel*> sharedDataModelWithUIImage(Photo photo);
    static DataModel* sharedDataModelWithArchivePath(const std::string& path);
    // The same from archive bytes in memory (the path reads the file and calls this).
    static DataModel* sharedDataModelWithArchiveData(std::vector<std::uint8_t> bytes);
    // A document from archive bytes that does not touch the shared one (tools); nullptr, with
    // the reason in *reason when given, when the bytes are not a painting or memory runs out; the
    // reason is not logged. A raw image kept in a file of its own (a recovery copy's) is read
    // through `readPixelsFile`.
    static std::unique_ptr<DataModel> initWithArchiveData(std::vector<std::uint8_t> bytes,
                                                          std::string* reason = nullptr,
                                                          const RawImage::PixelsFileReader& readPixelsFile = {});
    // The recovery copy at `path` (Recovery.h), either kind, with the photo file it names; the
    // reason when it cannot be read.
    static fnd::Result<std::unique_ptr<DataModel>> initWithRecoveryCopy(const std::string& path);
    // The same, now shared; nullptr (logged) when it cannot be read.
    static DataModel* sharedDataModelWithRecoveryCopy(const std::string& path);
    // Gives up the shared document.
    static void releaseSharedDataModel();

    // A document with no canvas yet, changesMade false and a new unique title.
    DataModel();
    ~DataModel() override;

    // The photo as picked, upright, to show: a made document keeps only the raw image, so this
    // shows the raw image's pixels (shared, no copy of its own). None for a blank canvas and for
    // a reopened painting.
    const gfx::ImageRef& origImage() const { return m_origImage; }
    void setOrigImage(gfx::ImageRef image) { m_origImage = std::move(image); }
    RawImage* rawImage() const { return m_rawImage.get(); }
    void setRawImage(std::unique_ptr<RawImage> rawImage) { m_rawImage = std::move(rawImage); }
    Canvas* canvas() const { return m_canvas.get(); }
    void setCanvas(std::unique_ptr<Canvas> canvas) { m_canvas = std::move(canvas); }
    // The same, for the painting screen to hand to its brush and views: they keep them alive
    // while they show them, whatever becomes of the document.
    std::shared_ptr<const RawImage> rawImageRef() const { return m_rawImage; }
    // Loads the photo at its full decoded size, upright, on any thread (it captures only immutable
    // shared data); empty when the painting has no full-size photo.
    std::function<fnd::Result<std::shared_ptr<const RawImage>>()> fullSizePhotoLoader() const;
    const std::shared_ptr<Canvas>& canvasRef() const { return m_canvas; }
    const std::string& fileTitle() const { return m_fileTitle; }
    void setFileTitle(std::string title) { m_fileTitle = std::move(title); }
    bool changesMade() const { return m_changesMade; }
    void setChangesMade(bool changed) { m_changesMade = changed; }
    // The painting file at getFullPath() as this document last read or wrote it; nothing for a
    // painting that has no file yet. A save that finds another file there (another Kanvaro saved
    // it meanwhile) saves beside it under a new title instead of writing over it.
    const std::optional<fnd::FileIdentity>& savedFile() const { return m_savedFile; }
    void setSavedFile(std::optional<fnd::FileIdentity> identity) { m_savedFile = identity; }

    // "Kanvaro" + whole seconds since 2001-01-01 UTC; when that title's ".art" or ".jpg" already
    // exists (two documents in one second), the next free number.
    std::string getUniqueFileTitle() const;
    // The documents directory (fnd::documentsPath(), created when missing) and "/".
    std::string getDocumentsDirectoryAndSlash() const;
    std::string getFullPathWithExtention(const std::string& extension) const;
    std::string getFullPath() const { return getFullPathWithExtention("art"); }
    std::string getThumbnailFullPath() const { return getFullPathWithExtention("jpg"); }

    // Archive coding.
    const char* className() const override { return "DataModel"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override;
    // The document under the unarchiver's root; nullptr (reason in coder.error()) when the
    // archive is not a painting.
    static std::unique_ptr<DataModel> initWithCoder(fnd::KeyedUnarchiver& coder,
                                                    const RawImage::PixelsFileReader& readPixelsFile = {});

    // Stores the archive at getFullPath() and a JPEG thumbnail (longer side 120, quality 0.8) at
    // getThumbnailFullPath(). Both are made before either replaces its old file, so on failure
    // the previous files stay as they were; the failure says why. When the archive there is not
    // savedFile(), the document first takes the next free title beside it (" 2", " 3", ...): the
    // caller sees the title change.
    fnd::Status saveToFiles();
    // The system's reason for a failed save, as a person reads it: "No space left on device
    // (~/Documents)".
    static std::string describeSaveFailure(const std::string& error);
    // `title`, or when a painting of that title exists in `directory`, the first of "title 2",
    // "title 3", ... that does not.
    static std::string freeTitleIn(const std::string& directory, const std::string& title);
    // Makes the thumbnail of the painting saved under `title` again from its archive, for a
    // thumbnail that went missing or cannot be read.
    static fnd::Status remakeThumbnail(const std::string& title);

    // A document that archives exactly as this one (the photo's pixels are shared, the canvas is
    // copied), under the same title; nullptr when out of memory. Made on the main thread for
    // encoding on another.
    std::unique_ptr<DataModel> copyForArchive() const;
    // The same for a recovery copy (Recovery.h): its archive also records savedFile(), so that a
    // restored copy never writes over a file saved after it was made.
    std::unique_ptr<DataModel> copyForRecovery() const;
    // This document as the recovery writer takes it (Recovery.h): its copyForRecovery(), with its
    // photo ready to be kept in a file of its own. No painting in it when memory runs out.
    recovery::Snapshot recoverySnapshot() const;

    // Gives the canvas a new journal (Journal.h) of a painting that starts now: from the photo or
    // a blank canvas, or, with basePng, from those pixels (a painting begun before journals).
    void startJournal(std::vector<std::uint8_t> basePng = {});
    // The size of the journal the archive this document was opened from held (0: none, as in
    // paintings saved before journals, and for new documents).
    std::size_t storedJournalBytes() const { return m_storedJournalBytes; }

    // True for a painting whose photo had to be turned upright but whose own file could not be
    // kept (SourcePhoto.h): it has no full-size photo, which the painting screen can explain where
    // "Export Full Size" would be.
    bool fullSizePhotoLeftOut() const;
    // The size of the photo's own file the painting keeps (0: none kept).
    std::size_t sourcePhotoBytes() const;

private:
    void openJournal(std::optional<std::vector<std::uint8_t>> stored, std::vector<std::uint8_t> paintingPng);
    static std::unique_ptr<DataModel> initWithArchiveDataOrThrow(std::vector<std::uint8_t> bytes, std::string* reason,
                                                                 const RawImage::PixelsFileReader& readPixelsFile);
    fnd::Status writeFiles();
    void takeFreeTitleIfReplaced();
    fnd::Result<std::vector<std::uint8_t>> encodeThumbnail() const;

    struct Restoring {};
    explicit DataModel(Restoring);
    // A recovery copy whose photo is kept apart: archives as this one, but names the photo file
    // `photoFile` in place of the photo's pixels. Shares this one's canvas and pixels, so it may be
    // made on the recovery writer's thread from a copy nobody changes.
    std::shared_ptr<const DataModel> namingPhotoFile(const std::string& photoFile) const;

    gfx::ImageRef m_origImage;
    std::shared_ptr<RawImage> m_rawImage;
    std::shared_ptr<Canvas> m_canvas;
    std::string m_fileTitle;
    bool m_changesMade = false;
    std::size_t m_storedJournalBytes = 0;
    std::optional<fnd::FileIdentity> m_savedFile;
    bool m_recordsSavedFile = false; // a recovery copy's archive carries m_savedFile
    // The photo's own file, for a photo that had to be turned upright; nullptr otherwise.
    std::shared_ptr<const SourcePhoto> m_sourcePhoto;
    bool m_sourcePhotoKeptApart = false; // in a recovery copy's photo file, not in this archive
};

// The shared document.
extern std::unique_ptr<DataModel> g_sharedDataModel;
