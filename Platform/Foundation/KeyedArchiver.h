#pragma once
// Writes an object graph as a keyed archive inside a binary property list. The root takes UID 1;
// every object takes the next UID when first encoded, before its children, which follow in the
// order their keys are written; a class description is appended on its class's first use, after
// that instance's children. An object's keys keep the order written, "$class" last.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Foundation/BinaryPlistReader.h"
#include "Foundation/BinaryPlistWriter.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"

namespace fnd {

class KeyedArchiver {
public:
    // The archive's bytes; fails on text that is not valid UTF-8 or when an object reported a
    // failure. These and writeArchive fail (fnd::kNotEnoughMemory) when memory runs out.
    static Result<std::vector<uint8_t>> archivedData(const Codable& root);
    // Replaces the file at `path` atomically; on failure the old file stays and the failure (also
    // written to the log) says why.
    static Status archiveRootObject(const Codable& root, const std::string& path);
    // The archive written beside `path`, waiting to replace it. Fails when an object reported a
    // failure or the archive would exceed maxBytes (by default what the reader accepts).
    static Result<PendingFile> writeArchive(const Codable& root, const std::string& path,
                                            uint64_t maxBytes = BinaryPlistReader::kMaxFileSize);

    // Called from Codable::encodeWithCoder when part of the object cannot be encoded: the whole
    // archive then fails with the first reason given, and nothing is written.
    void failWithReason(std::string reason);
    void failWith(Error error);

    // Called from Codable::encodeWithCoder, each adding a key to the object being encoded.
    void encodeInt32(std::string_view key, int32_t value);
    void encodeFloat(std::string_view key, float value);
    void encodeObject(std::string_view key, const Codable* object); // nullptr -> null
    void encodeString(std::string_view key, const std::optional<std::string>& value);
    // Data as an object of its own: copied once, taken over, or borrowed until the archive is
    // written (for buffers the encoded object owns; the 4 MiB blocks then go straight to the file).
    void encodeData(std::string_view key, std::span<const uint8_t> bytes);
    void encodeData(std::string_view key, std::vector<uint8_t>&& bytes);
    void encodeDataNoCopy(std::string_view key, std::span<const uint8_t> bytes);
    // How many bytes the archive can still grow by under the limit it is written with
    // (writeArchive's maxBytes, else what the reader accepts), counting what is encoded so far. An
    // object that adds data only when it fits leaves a margin for what is encoded after it.
    uint64_t roomLeft() const;
    // Raw bytes stored inline under the key (small values).
    void encodeBytes(std::string_view key, std::span<const uint8_t> bytes);
    void encodeColor(std::string_view key, const RGBA& color);

private:
    using Ref = BinaryPlistWriter::Ref;

    KeyedArchiver() = default;
    static Result<PendingFile> writeArchiveOrThrow(const Codable& root, const std::string& path, uint64_t maxBytes);
    void archive(const Codable& root);
    uint64_t encodeNested(const Codable& object, bool unique);
    uint64_t appendObject(Ref ref);
    uint64_t classUid(std::string_view className);
    void addEntry(std::string_view key, Ref value);

    BinaryPlistWriter m_writer;
    std::vector<Ref> m_objects;                              // $objects, by UID
    std::vector<std::vector<std::pair<Ref, Ref>>> m_entries; // keys of objects being encoded
    std::unordered_map<const Codable*, uint64_t> m_uids;     // identity uniquing
    std::unordered_map<std::string, uint64_t> m_classUids;
    std::string m_error;
    std::string m_reason;
    uint64_t m_maxBytes = BinaryPlistReader::kMaxFileSize;
};

} // namespace fnd
