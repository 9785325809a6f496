// `from-photo`: the document the application makes when the user picks a photo, archived.
#include <filesystem>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "DataModel.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "PaintingFile.h"

namespace archivetool {

namespace {

// The application's alert, then the reason: a photo we cannot use is bad input; running out of
// memory is a failure like a full disk, and says nothing about the photo.
int refusePhoto(const std::string& photoPath, const fnd::Error& error)
{
    if (error.reason == fnd::kNotEnoughMemory) {
        std::cerr << kToolName << ": cannot make a painting of " << photoPath << ": not enough memory\n";
        return kExitFailed;
    }
    // Decoder messages usually name the file already.
    const bool namesFile = error.message.find(photoPath) != std::string::npos;
    std::cerr << kUnsupportedPhoto << "\n"
              << kToolName << ": " << (namesFile ? "" : photoPath + ": ") << error.message << "\n";
    return kExitBadInput;
}

// A new document picks a title unique in the documents folder, creating that folder; the tool
// points it at the output's folder so it leaves nothing behind in the user's documents.
void useOutputFolderAsDocuments(const std::string& artPath)
{
    std::filesystem::path folder = std::filesystem::absolute(artPath).parent_path();
    fnd::setDocumentsPath(folder.string());
}

} // namespace

int fromPhoto(const std::string& photoPath, const std::string& artPath)
{
    auto decoded = imageio::decodeFile(photoPath);
    if (!decoded)
        return refusePhoto(photoPath, decoded.failure());
    useOutputFolderAsDocuments(artPath);
    auto made = DataModel::sharedDataModelWithUIImage(
        std::make_shared<const imageio::DecodedImage>(std::move(decoded).value()));
    if (!made) {
        DataModel::releaseSharedDataModel();
        return refusePhoto(photoPath, made.failure());
    }
    return writeSharedPainting(*made.value(), artPath);
}

} // namespace archivetool
