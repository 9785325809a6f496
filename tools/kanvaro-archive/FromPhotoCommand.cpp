// `from-photo`: the document the application makes when the user picks a photo, archived.
#include <filesystem>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "DataModel.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"

namespace archivetool {

namespace {

int refusePhoto(const std::string& photoPath, const std::string& reason)
{
    // Decoder messages usually name the file already.
    const bool namesFile = reason.find(photoPath) != std::string::npos;
    std::cerr << kUnsupportedPhoto << "\n"
              << kToolName << ": " << (namesFile ? "" : photoPath + ": ") << reason << "\n";
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
        return refusePhoto(photoPath, decoded.error());
    useOutputFolderAsDocuments(artPath);
    auto photo = std::make_shared<const imageio::DecodedImage>(std::move(decoded).value());
    DataModel* model = DataModel::sharedDataModelWithUIImage(photo);
    if (!model) {
        DataModel::releaseSharedDataModel();
        return refusePhoto(photoPath, "the pixel format cannot be imported");
    }
    const auto written = fnd::KeyedArchiver::archiveRootObject(*model, artPath);
    DataModel::releaseSharedDataModel();
    if (!written) {
        std::cerr << kToolName << ": cannot write " << artPath << ": " << written.error() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace archivetool
