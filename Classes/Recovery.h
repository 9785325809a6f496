#pragma once
// The recovery copy of the open painting, so that a crash or a power loss never loses more than a
// few seconds of work. A few seconds after an undo snapshot the application (KanvaroAppDelegate)
// has the changed painting written, in the usual archive format, to "Recovery/" + title + ".art"
// inside the documents folder (the gallery lists ".jpg" files only, so it never shows there); it
// writes one at once when a save fails. A normal save removes it.
//
// Several Kanvaros may run at once on one documents folder. The one writing a copy holds a lock on
// the copy's name + ".lock" for as long as it runs (the kernel drops it when the process ends, how
// ever it ends): a copy whose lock is held belongs to a running Kanvaro and is neither offered nor
// removed by another. At start-up the gallery offers the newest copy nobody holds; a copy that
// cannot be read is set aside as name + ".unreadable", never deleted.
//
// The copies a Keeper writes keep the photo (the raw image, 92 MiB for 24 megapixels) in a file of
// its own beside them, title + "." + 16 hex digits + ".photo" (a keyed archive of the raw image),
// written with a painting's first copy and then only named: each later copy writes the canvas
// alone. A photo file is complete on disk before a copy names it and is never written over (a new
// one gets a new name), and it goes only after the copies that name it, so every copy on disk
// can be read. Saved paintings always hold their photo.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Foundation/FileLock.h"
#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"

namespace recovery {

// The painting as it was at one moment, finished on the main thread before it is handed over:
// nobody changes it afterwards, so the writer's thread shares nothing that is still painted on.
struct Snapshot {
    std::string title;                            // the painting's title: the copy's file name
    std::shared_ptr<const fnd::Codable> painting; // the archive's root object, photo and all
    std::uint64_t maxBytes = 0;                   // the largest archive to write (a save's limit)

    // A painting with a photo: a Keeper keeps the photo in a photo file of its own. `photoPixels`
    // (never changed once made) tell whether the photo file written last holds this photo,
    // `photo` is such a file's root object, and `paintingNamingPhoto` gives the copy's root object
    // with the photo file of that name in place of the photo. Empty for a blank canvas.
    std::shared_ptr<const std::vector<std::uint8_t>> photoPixels;
    std::shared_ptr<const fnd::Codable> photo;
    std::function<std::shared_ptr<const fnd::Codable>(const std::string& photoFile)> paintingNamingPhoto;
};

// Seconds from an undo snapshot to the recovery write it asks for.
constexpr double kWriteDelay = 3.0;
constexpr const char* kFolderName = "Recovery";
constexpr const char* kUnreadableSuffix = ".unreadable";

// The documents folder's "Recovery" folder.
std::string folder();
// The copy of the painting `title` in `folder`, and the lock file its writer holds.
std::string copyPath(const std::string& folder, const std::string& title);
std::string lockPath(const std::string& copyPath);
// Writes the snapshot's archive atomically to its copy path in `folder`, replacing the copy before.
// Touches nothing but the snapshot and that file, so it may run on any thread.
fnd::Status write(const Snapshot& snapshot, const std::string& folder);

// The photo file a Keeper's copies name, once written.
struct PhotoFile {
    std::string folder;
    std::string title;
    std::string name;                                      // the file's name in `folder`
    std::weak_ptr<const std::vector<std::uint8_t>> pixels; // the photo's pixels it holds
};
// Writes the copy as write() does, its photo kept in `photo`'s file, which is written first (under
// a new name) unless it holds this photo already. Once a copy names a new photo file, the title's
// older ones go.
fnd::Status write(const Snapshot& snapshot, const std::string& folder, PhotoFile& photo);
// The title in a photo file's name (title + "." + 16 hex digits + ".photo"); nothing for any other
// name.
std::optional<std::string> photoTitleOf(std::string_view name);
// Removes the photo files of `title` in `folder` but `keep`; logs what it cannot remove.
void removePhotosOf(const std::string& folder, const std::string& title, const std::string& keep = {});
// Removes the photo files in the recovery folder that no copy (nor a copy set aside) can name and
// no running Kanvaro is writing: left by a crash between a painting's photo and its first copy.
void removeStrayPhotos();
// Removes the copy of `title` and its lock file, unless a running Kanvaro is keeping it; logs what
// it cannot remove.
void removeCopyOf(const std::string& title);
// The newest copy that no running Kanvaro is keeping, or nothing.
std::optional<std::string> findCopy();
// Renames the copy to path + ".unreadable" (the next free name when that exists); the new path.
fnd::Result<std::string> setAside(const std::string& path);
// The painting title a copy's file name holds.
std::string titleOf(const std::string& path);

// Writes recovery copies on a thread of its own: compositing the PNG, encoding and the fsync take
// tens of milliseconds, which the painting screen must never wait for.
class Keeper {
public:
    Keeper();
    // Drops a copy still waiting and waits for the one being written.
    ~Keeper();
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // Hands over a snapshot to write into `folder`; it replaces one still waiting. The first copy
    // of a title takes that copy's lock; when another running Kanvaro holds it, the snapshot is
    // dropped and a line logged (and false returned).
    bool keep(Snapshot snapshot, const std::string& folder);
    // Writes the snapshot as keep() does and waits for it: the path of the copy written, or why
    // there is none.
    fnd::Result<std::string> keepAndWait(Snapshot snapshot, const std::string& folder);
    // Drops a copy still waiting, waits for the one being written, then removes the copy written
    // and lets go of its lock: nothing written before can reappear after a save.
    void discard();
    // Waits until no copy is waiting or being written.
    void waitUntilIdle();
    // The copy this keeper writes (and holds the lock of), or "" before the first.
    std::string copyPath() const;

private:
    void run(const std::stop_token& stop);

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::optional<fnd::FileLock> m_lock; // on the copy written, main thread only
    std::string m_copyPath;
    std::optional<Snapshot> m_waiting;
    std::string m_waitingFolder;
    bool m_writing = false;
    std::uint64_t m_handed = 0; // snapshots handed over, numbered from 1
    std::uint64_t m_waitingNumber = 0;
    std::uint64_t m_lastWritten = 0; // the number of the last snapshot written (or failed)
    fnd::Status m_lastWrite;         // how that went
    PhotoFile m_photo;               // the writer's; forgotten by discard() while nothing is written
    std::jthread m_thread;           // last: it starts after, and is joined before, the members above
};

} // namespace recovery
