#pragma once
// Whole-file reads with a size cap and atomic whole-file replacement: the new content goes to a
// temporary file in the same folder, is flushed to disk, then renamed over the old file, so a
// crash or a full disk never leaves a half-written file behind.
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Result.h"

namespace fnd {

// Appends bytes to the file being written; false when the write failed.
using ChunkWriter = std::function<bool(const uint8_t* data, size_t size)>;
// Produces the file's content through the writer; false to abandon the write.
using ContentProducer = std::function<bool(const ChunkWriter& write)>;

// A new content for `path`, written to a temporary file beside it and flushed, waiting to replace
// it: several files can be made first and replaced only when all of them could be made. Dropped
// without commit(), the temporary file is removed and `path` stays as it was.
class PendingFile {
public:
    static Result<PendingFile> write(const std::string& path, const ContentProducer& produce);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    ~PendingFile();

    // Renames the temporary file over `path`; call once.
    Status commit();
    // The flushed temporary file (until committed).
    const std::string& temporaryPath() const { return m_temporary; }

private:
    PendingFile(std::string path, std::string temporary) : m_path(std::move(path)), m_temporary(std::move(temporary)) {}

    std::string m_path;
    std::string m_temporary; // empty once committed or moved from
};

// Replaces `path`. On any failure the old file stays as it was, no temporary file is left, and
// the failure (also written to the log) says why.
Status writeFileAtomically(const std::string& path, const ContentProducer& produce);
Status writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Removes the temporary files writeFileAtomically leaves behind when the process dies between
// write and rename: regular files in `folder` named "<name>.tmp-XXXXXX" whose last change is
// older than `minimumAge` (a younger one may belong to a save still running). Returns how many
// were removed; a folder that cannot be read removes nothing.
int removeStaleTemporaries(const std::string& folder, std::chrono::seconds minimumAge = std::chrono::minutes(1));

// Creates `path` atomically, never replacing a file already there (Exists then, and nothing is
// left behind); fails (with a log line) for any other reason.
enum class NewFileResult { Written, Exists };
Result<NewFileResult> writeNewFileAtomically(const std::string& path, const ContentProducer& produce);

// A failure's reason as a person reads it: `what` and the file's name, "Permission denied
// (…/Kanvaro)".
std::string reasonForPerson(const std::string& what, const std::string& path);
// "256 MiB" for whole mebibytes, else the bytes.
std::string describeSize(uint64_t bytes);

// By default a write past the file-size limit (ulimit -f) kills the process with SIGXFSZ; after
// this, such a write fails with EFBIG and is reported like a full disk. A handler someone else
// installed is left alone. Atomic writes call it themselves.
void ignoreFileSizeSignal();

// Fault injection, for tests and scripted sessions: while set, every file written through this
// header directly in `folder` (not in its subfolders) fails as the system would with `error`, an
// errno value such as ENOSPC; 0 lifts it. Any thread may write meanwhile.
void setWriteFault(const std::string& folder, int error);

// Reads a regular file of at most maxBytes; the size is checked before anything is read. Named
// pipes, devices and folders are refused without waiting on them.
Result<std::vector<uint8_t>> readFile(const std::string& path, uint64_t maxBytes);

} // namespace fnd
