#pragma once
// The recovery copy of the open painting, so that a crash or a power loss never loses more than a
// few seconds of work. A few seconds after an undo snapshot the painting screen writes the changed
// painting, in the usual archive format, to "Recovery/" + title + ".art" inside the documents
// folder (the gallery lists ".jpg" files only, so it never shows there). A normal save removes it.
// At start-up the gallery offers to restore a copy it finds; a copy that cannot be read is set
// aside as name + ".unreadable", never deleted.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "Foundation/Result.h"

class DataModel;

namespace recovery {

// Seconds from an undo snapshot to the recovery write it asks for.
constexpr double kWriteDelay = 3.0;
constexpr const char* kFolderName = "Recovery";
constexpr const char* kUnreadableSuffix = ".unreadable";

// The documents folder's "Recovery" folder.
std::string folder();
// Writes the document's archive atomically into `folder` as its recovery copy, replacing the one
// before. Touches nothing but the document and the folder, so it may run on any thread.
fnd::Status write(const DataModel& document, const std::string& folder);
// Removes every recovery copy (not the ones set aside); logs what it cannot remove.
void removeAll();
// The newest recovery copy, or nothing.
std::optional<std::string> findCopy();
// Renames the copy to path + ".unreadable" (the next free name when that exists); the new path.
fnd::Result<std::string> setAside(const std::string& path);
// The painting title a copy's file name holds.
std::string titleOf(const std::string& path);

// Writes recovery copies on a thread of its own: compositing the PNG, encoding and the fsync take
// tens of milliseconds, which the painting screen must never wait for. It takes a copy made for
// archiving (DataModel::copyForArchive), so the thread shares nothing with the open painting.
class Keeper {
public:
    Keeper();
    // Drops a copy still waiting and waits for the one being written.
    ~Keeper();
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // Hands over a copy to write into `folder`; it replaces one still waiting.
    void keep(std::unique_ptr<DataModel> copy, std::string folder);
    // Drops a copy still waiting, waits for the one being written, then removes every recovery
    // copy: nothing written before can reappear after a save.
    void discard();
    // Waits until no copy is waiting or being written.
    void waitUntilIdle();

private:
    void run(const std::stop_token& stop);

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::unique_ptr<DataModel> m_waiting;
    std::string m_waitingFolder;
    bool m_writing = false;
    std::jthread m_thread; // last: it starts after, and is joined before, the members above
};

} // namespace recovery
