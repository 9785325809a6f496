#include "Foundation/BinaryPlistReader.h"

#include <bit>
#include <cstring>
#include <limits>

#include "Foundation/Assert.h"
#include "Foundation/BinaryPlistFormat.h"
#include "Foundation/BinaryPlistUnicode.h"

namespace fnd {

using namespace bplist;

namespace {

std::string objectError(uint64_t index, const char* what)
{
    return "binary plist: object " + std::to_string(index) + " " + what;
}

// Largest value an unsigned number of `width` bytes can hold.
uint64_t maxForWidth(unsigned width)
{
    return width >= 8 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << (8 * width)) - 1;
}

} // namespace

std::span<const uint8_t> PlistObject::bytes() const { return {payload, static_cast<size_t>(count)}; }

Result<std::unique_ptr<BinaryPlistReader>> BinaryPlistReader::parse(std::vector<uint8_t> bytes)
{
    auto reader = std::make_unique<BinaryPlistReader>(PrivateTag{}, std::move(bytes));
    if (auto status = reader->readTrailer(); !status)
        return status.failure();
    if (auto status = reader->checkOffsets(); !status)
        return status.failure();
    if (auto status = reader->validate(); !status)
        return status.failure();
    return reader;
}

Status BinaryPlistReader::readTrailer()
{
    const uint64_t length = m_bytes.size();
    if (length > kMaxFileSize)
        return Error{"binary plist: file larger than " + std::to_string(kMaxFileSize >> 20) + " MiB"};
    if (length < kMagicSize + 1 + kTrailerSize || std::memcmp(m_bytes.data(), kMagic, kMagicSize) != 0)
        return Error{"binary plist: not a bplist00 file"};
    const uint8_t* trailer = m_bytes.data() + length - kTrailerSize;
    m_offsetSize = trailer[6];
    m_refSize = trailer[7];
    m_count = readBigEndian(trailer + 8, 8);
    m_top = readBigEndian(trailer + 16, 8);
    m_tableOffset = readBigEndian(trailer + 24, 8);
    if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
        return Error{"binary plist: trailer has invalid offset or ref size"};
    if (m_count < 1 || m_top >= m_count || m_count > maxForWidth(m_refSize))
        return Error{"binary plist: trailer has invalid object count or top object"};
    if (m_tableOffset < kMagicSize + 1 || m_tableOffset > maxForWidth(m_offsetSize))
        return Error{"binary plist: trailer has invalid offset table position"};
    // tableOffset + count * offsetSize + 32 == length, without overflow.
    const uint64_t tableEnd = length - kTrailerSize;
    if (m_tableOffset > tableEnd || (tableEnd - m_tableOffset) % m_offsetSize != 0
        || (tableEnd - m_tableOffset) / m_offsetSize != m_count)
        return Error{"binary plist: offset table does not fit between objects and trailer"};
    return {};
}

Status BinaryPlistReader::checkOffsets() const
{
    for (uint64_t i = 0; i < m_count; ++i) {
        const uint64_t offset = offsetOf(i);
        if (offset < kMagicSize || offset >= m_tableOffset)
            return Error{objectError(i, "has an offset outside the object table")};
    }
    return {};
}

uint64_t BinaryPlistReader::offsetOf(uint64_t index) const
{
    return readBigEndian(m_bytes.data() + m_tableOffset + index * m_offsetSize, m_offsetSize);
}

uint64_t BinaryPlistReader::refAt(const uint8_t* refs, uint64_t i) const
{
    return readBigEndian(refs + i * m_refSize, m_refSize);
}

// A count in the marker's low nibble, or (nibble F) in an int object that follows.
Status BinaryPlistReader::readCount(uint64_t& pos, uint8_t low, uint64_t& count) const
{
    if (low != kCountFollows) {
        count = low;
        return {};
    }
    if (pos >= m_tableOffset || (m_bytes[pos] >> 4) != kMarkerInt || (m_bytes[pos] & 0x0F) > 3)
        return Error{"has an invalid count"};
    const unsigned width = 1u << (m_bytes[pos] & 0x0F);
    ++pos;
    if (m_tableOffset - pos < width)
        return Error{"has a count past the offset table"};
    count = readBigEndian(&m_bytes[pos], width);
    pos += width;
    if (width == 8 && count > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return Error{"has a negative count"};
    return {};
}

std::optional<PlistObject> BinaryPlistReader::decode(uint64_t index, std::string& error) const
{
    const uint64_t pos = offsetOf(index);
    switch (m_bytes[pos] >> 4) {
    case kMarkerData:
    case kMarkerAscii:
    case kMarkerUtf16:
    case kMarkerArray:
    case kMarkerDict: return decodeCounted(index, pos, error);
    default: return decodeScalar(index, pos, error);
    }
}

// Bool, int, real, date and UID: fixed-size payloads.
std::optional<PlistObject> BinaryPlistReader::decodeScalar(uint64_t index, uint64_t pos, std::string& error) const
{
    const uint8_t marker = m_bytes[pos++];
    const unsigned low = marker & 0x0F;
    const uint64_t remaining = m_tableOffset - pos;
    auto fail = [&](const char* what) {
        error = objectError(index, what);
        return std::nullopt;
    };
    PlistObject object;
    if (marker == kFalse || marker == kTrue) {
        object.type = PlistType::Bool;
        object.boolean = marker == kTrue;
        return object;
    }
    const uint8_t high = marker >> 4;
    unsigned width = 0;
    if (high == kMarkerInt && low <= 3)
        width = 1u << low, object.type = PlistType::Int;
    else if (marker == kReal32)
        width = 4, object.type = PlistType::Real, object.single = true;
    else if (marker == kReal64 || marker == kDate)
        width = 8, object.type = marker == kDate ? PlistType::Date : PlistType::Real;
    else if (high == kMarkerUid && low < 8)
        width = low + 1, object.type = PlistType::Uid;
    else
        return fail("has an unsupported marker or width");
    if (remaining < width)
        return fail("runs past the offset table");
    const uint64_t bits = readBigEndian(&m_bytes[pos], width);
    if (object.type == PlistType::Int) // 1, 2, 4 bytes unsigned; 8 bytes signed
        object.integer = width == 8 ? std::bit_cast<int64_t>(bits) : static_cast<int64_t>(bits);
    else if (object.type == PlistType::Uid)
        object.uid = bits;
    else
        object.real = object.single ? std::bit_cast<float>(static_cast<uint32_t>(bits)) : std::bit_cast<double>(bits);
    return object;
}

// Data, strings, arrays and dicts: a count, then count units of payload.
std::optional<PlistObject> BinaryPlistReader::decodeCounted(uint64_t index, uint64_t pos, std::string& error) const
{
    const uint8_t marker = m_bytes[pos++];
    PlistObject object;
    if (auto counted = readCount(pos, marker & 0x0F, object.count); !counted) {
        error = objectError(index, counted.error().c_str());
        return std::nullopt;
    }
    uint64_t unit = 1;
    switch (marker >> 4) {
    case kMarkerData: object.type = PlistType::Data; break;
    case kMarkerAscii: object.type = PlistType::String; break;
    case kMarkerUtf16: object.type = PlistType::String, object.utf16 = true, unit = 2; break;
    case kMarkerArray: object.type = PlistType::Array, unit = m_refSize; break;
    default: object.type = PlistType::Dict, unit = 2 * uint64_t{m_refSize}; break;
    }
    // Checked by division so that a hostile count cannot overflow the product.
    if (object.count > (m_tableOffset - pos) / unit) {
        error = objectError(index, "has a count larger than the bytes left");
        return std::nullopt;
    }
    object.payload = &m_bytes[pos];
    return object;
}

PlistObject BinaryPlistReader::object(uint64_t index) const
{
    KANVARO_ASSERT(index < m_count && m_state[index] >= 2);
    std::string error;
    auto decoded = decode(index, error);
    KANVARO_ASSERT(decoded.has_value());
    return *decoded;
}

uint64_t BinaryPlistReader::arrayElement(const PlistObject& array, uint64_t i) const
{
    KANVARO_ASSERT(array.type == PlistType::Array && i < array.count);
    return refAt(array.payload, i);
}

uint64_t BinaryPlistReader::dictKey(const PlistObject& dict, uint64_t i) const
{
    KANVARO_ASSERT(dict.type == PlistType::Dict && i < dict.count);
    return refAt(dict.payload, i);
}

uint64_t BinaryPlistReader::dictValue(const PlistObject& dict, uint64_t i) const
{
    KANVARO_ASSERT(dict.type == PlistType::Dict && i < dict.count);
    return refAt(dict.payload, dict.count + i);
}

std::optional<uint64_t> BinaryPlistReader::dictLookup(const PlistObject& dict, std::string_view key) const
{
    for (uint64_t i = 0; i < dict.count; ++i) {
        if (textEquals(object(dictKey(dict, i)), key))
            return dictValue(dict, i);
    }
    return std::nullopt;
}

std::string BinaryPlistReader::text(const PlistObject& string) const
{
    KANVARO_ASSERT(string.type == PlistType::String);
    if (!string.utf16)
        return std::string(reinterpret_cast<const char*>(string.payload), string.count);
    auto converted = utf16BEToUtf8(string.payload, string.count);
    KANVARO_ASSERT(converted.has_value());
    return std::move(*converted);
}

bool BinaryPlistReader::textEquals(const PlistObject& string, std::string_view utf8) const
{
    if (string.type != PlistType::String)
        return false;
    if (!string.utf16) {
        return string.count == utf8.size() && std::memcmp(string.payload, utf8.data(), utf8.size()) == 0;
    }
    return text(string) == utf8;
}

} // namespace fnd
