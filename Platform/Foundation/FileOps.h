#pragma once
// Whole-file reads with a size cap and atomic whole-file replacement: the new content goes to a
// temporary file in the same folder, is flushed to disk, then renamed over the old file, so a
// crash or a full disk never leaves a half-written file behind.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Foundation/Result.h"

namespace fnd {

// Appends bytes to the file being written; false when the write failed.
using ChunkWriter = std::function<bool(const uint8_t* data, size_t size)>;
// Produces the file's content through the writer; false to abandon the write.
using ContentProducer = std::function<bool(const ChunkWriter& write)>;

// Replaces `path`. On any failure the old file stays as it was, no temporary file is left, a log
// line says why, and false is returned.
bool writeFileAtomically(const std::string& path, const ContentProducer& produce);
bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Creates `path` atomically, never replacing a file already there (Exists then, and nothing is
// left behind); Failed (with a log line) for any other failure.
enum class NewFileResult { Written, Exists, Failed };
NewFileResult writeNewFileAtomically(const std::string& path, const ContentProducer& produce);

// Reads a regular file of at most maxBytes; the size is checked before anything is read.
Result<std::vector<uint8_t>> readFile(const std::string& path, uint64_t maxBytes);

} // namespace fnd
