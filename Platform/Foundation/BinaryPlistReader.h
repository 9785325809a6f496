#pragma once
// Reader for binary property lists ("bplist00"): bool, int, real, date, data, ASCII and UTF-16
// strings, UID, array and dict. parse() validates every object reachable from the top object once
// (offsets, refs, counts against the remaining bytes, dict keys, cycles, nesting depth) with an
// explicit stack, so later accessors never fail and never copy: data and strings are views into
// the buffer the reader owns.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Result.h"

namespace fnd {

enum class PlistType : uint8_t { Bool, Int, Real, Date, Data, String, Uid, Array, Dict };

// One decoded object header. Which fields hold meaning depends on `type`.
struct PlistObject {
    PlistType type = PlistType::Bool;
    bool boolean = false;
    bool utf16 = false;               // String: payload holds UTF-16BE code units, else ASCII bytes
    bool single = false;              // Real: stored as float32
    int64_t integer = 0;              // Int (always within int64; 16-byte ints are refused)
    double real = 0;                  // Real, Date
    uint64_t uid = 0;                 // Uid
    const uint8_t* payload = nullptr; // Data, String: the bytes; Array, Dict: the refs
    uint64_t count = 0;               // bytes, characters (code units) or entries

    std::span<const uint8_t> bytes() const; // Data and ASCII strings
};

class BinaryPlistReader {
public:
    // Largest file the reader accepts: room for a painting archive holding the largest photo we
    // decode (256 MiB of pixels) and its canvas.
    static constexpr uint64_t kMaxFileSize = uint64_t{320} << 20;

    // Takes the file's bytes and validates them; the error names the first problem found.
    static Result<std::unique_ptr<BinaryPlistReader>> parse(std::vector<uint8_t> bytes);

    struct PrivateTag {};
    BinaryPlistReader(PrivateTag, std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    uint64_t topIndex() const { return m_top; }

    // Object `index`: the top object or a ref taken from a validated container.
    PlistObject object(uint64_t index) const;

    uint64_t arrayElement(const PlistObject& array, uint64_t i) const;
    uint64_t dictKey(const PlistObject& dict, uint64_t i) const;
    uint64_t dictValue(const PlistObject& dict, uint64_t i) const;
    // The value ref stored under `key` (compared as text), if any.
    std::optional<uint64_t> dictLookup(const PlistObject& dict, std::string_view key) const;

    // Text of a String object as UTF-8 (validation guarantees it converts).
    std::string text(const PlistObject& string) const;
    bool textEquals(const PlistObject& string, std::string_view utf8) const;

private:
    class Validator;
    Status validate();

    Status readTrailer();
    Status checkOffsets() const;
    uint64_t offsetOf(uint64_t index) const;
    uint64_t refAt(const uint8_t* refs, uint64_t i) const;
    Status readCount(uint64_t& pos, uint8_t low, uint64_t& count) const;
    // Decodes the header of the object at `index`; nullopt with `error` set when it is corrupt.
    std::optional<PlistObject> decode(uint64_t index, std::string& error) const;
    std::optional<PlistObject> decodeScalar(uint64_t index, uint64_t pos, std::string& error) const;
    std::optional<PlistObject> decodeCounted(uint64_t index, uint64_t pos, std::string& error) const;

    std::vector<uint8_t> m_bytes;
    unsigned m_offsetSize = 0;
    unsigned m_refSize = 0;
    uint64_t m_count = 0;
    uint64_t m_top = 0;
    uint64_t m_tableOffset = 0;
    // Per object: 0 not reached, 1 being validated, 2 + height when validated.
    std::vector<uint8_t> m_state;
};

} // namespace fnd
