#include "PaintingFile.h"

#include <cstdint>
#include <iostream>

#include "Commands.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedArchiver.h"

namespace archivetool {

namespace {

std::unique_ptr<DataModel> refuse(const std::string& path, const std::string& reason)
{
    std::cerr << kToolName << ": " << path << " is not a painting: " << reason << "\n";
    return nullptr;
}

} // namespace

std::unique_ptr<DataModel> openPainting(const std::string& path)
{
    auto bytes = fnd::readFile(path, DataModel::kMaxArchiveBytes);
    if (!bytes)
        return refuse(path, bytes.error());
    std::string reason;
    auto model = DataModel::initWithArchiveData(std::move(bytes).value(), &reason);
    if (!model)
        return refuse(path, reason.empty() ? "unreadable archive" : reason);
    return model;
}

int writeSharedPainting(const DataModel& model, const std::string& artPath)
{
    const auto written = fnd::KeyedArchiver::archiveRootObject(model, artPath);
    DataModel::releaseSharedDataModel();
    if (!written) {
        std::cerr << kToolName << ": cannot write " << artPath << ": " << written.error() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace archivetool
