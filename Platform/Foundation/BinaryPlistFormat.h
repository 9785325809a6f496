#pragma once
// Layout constants and big-endian helpers shared by the binary property list reader and writer.
// A file is "bplist00", the objects back to back, the offset table, then a 32-byte trailer.
#include <cstddef>
#include <cstdint>

namespace fnd::bplist {

inline constexpr uint8_t kMagic[8] = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
inline constexpr size_t kMagicSize = sizeof(kMagic);
inline constexpr size_t kTrailerSize = 32;
// Nesting limit for containers; keyed archives need 4 levels.
inline constexpr unsigned kMaxDepth = 16;

// High nibble of an object's marker byte.
enum Marker : uint8_t {
    kMarkerSimple = 0x0, // 08 false, 09 true
    kMarkerInt = 0x1,
    kMarkerReal = 0x2,
    kMarkerDate = 0x3,
    kMarkerData = 0x4,
    kMarkerAscii = 0x5,
    kMarkerUtf16 = 0x6,
    kMarkerUid = 0x8,
    kMarkerArray = 0xA,
    kMarkerDict = 0xD,
};

inline constexpr uint8_t kFalse = 0x08;
inline constexpr uint8_t kTrue = 0x09;
inline constexpr uint8_t kReal32 = 0x22;
inline constexpr uint8_t kReal64 = 0x23;
inline constexpr uint8_t kDate = 0x33;
// Low nibble meaning "the count follows as an int object".
inline constexpr uint8_t kCountFollows = 0x0F;

// Reads `width` (1..8) bytes as an unsigned big-endian number.
inline uint64_t readBigEndian(const uint8_t* bytes, unsigned width)
{
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// Writes the low `width` (1..8) bytes of value, most significant first.
inline void writeBigEndian(uint8_t* out, uint64_t value, unsigned width)
{
    for (unsigned i = width; i > 0; --i) {
        out[i - 1] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

// Smallest of 1, 2, 4, 8 bytes that holds value as an unsigned number.
inline unsigned unsignedWidth(uint64_t value)
{
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    if (value <= 0xFFFFFFFFu)
        return 4;
    return 8;
}

} // namespace fnd::bplist
