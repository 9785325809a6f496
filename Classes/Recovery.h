#pragma once
// The recovery copy of the open painting, so that a crash or a power loss never loses more than a
// few seconds of work. A few seconds after an undo snapshot the painting screen writes the changed
// painting, in the usual archive format, to "Recovery/" + title + ".art" inside the documents
// folder (the gallery lists ".jpg" files only, so it never shows there). A normal save removes it.
// At start-up the gallery offers to restore a copy it finds; a copy that cannot be read is set
// aside as name + ".unreadable", never deleted.
#include <optional>
#include <string>

#include "Foundation/Result.h"

class DataModel;

namespace recovery {

// Seconds from an undo snapshot to the recovery write it asks for.
constexpr double kWriteDelay = 3.0;
constexpr const char* kFolderName = "Recovery";
constexpr const char* kUnreadableSuffix = ".unreadable";

// The documents folder's "Recovery" folder.
std::string folder();
// Writes the document's archive atomically as its recovery copy, replacing the one before.
fnd::Status write(const DataModel& document);
// Removes every recovery copy (not the ones set aside); logs what it cannot remove.
void removeAll();
// The newest recovery copy, or nothing.
std::optional<std::string> findCopy();
// Renames the copy to path + ".unreadable" (the next free name when that exists); the new path.
fnd::Result<std::string> setAside(const std::string& path);
// The painting title a copy's file name holds.
std::string titleOf(const std::string& path);

} // namespace recovery
