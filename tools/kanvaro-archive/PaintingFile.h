#pragma once
// Opening a painting archive for the tool: the document, or the one-line reason it is not one.
#include <memory>
#include <string>

#include "DataModel.h"

namespace archivetool {

// The document stored at `path`, without touching the shared one; nullptr after printing
// "kanvaro-archive: PATH is not a painting: REASON" to standard error.
std::unique_ptr<DataModel> openPainting(const std::string& path);

// Archives the shared document `model` to `artPath` and gives the shared document up; the tool's
// exit status, after a line on standard error when it cannot be written.
int writeSharedPainting(const DataModel& model, const std::string& artPath);

} // namespace archivetool
