#include "Foundation/BinaryPlistUnicode.h"

#include "Foundation/Assert.h"

namespace fnd::bplist {

namespace {

bool isHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

uint32_t unitAt(const uint8_t* bytes, uint64_t index)
{
    return (uint32_t{bytes[2 * index]} << 8) | bytes[2 * index + 1];
}

// Decodes one UTF-8 sequence starting at text[i]; returns its length, 0 when malformed
// (overlong forms, surrogates and values past U+10FFFF included).
size_t decodeUtf8(std::string_view text, size_t i, uint32_t& codePoint)
{
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void appendUnit(std::string& out, uint32_t unit)
{
    out += static_cast<char>(unit >> 8);
    out += static_cast<char>(unit & 0xFF);
}

} // namespace

bool isAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<uint8_t>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isValidUtf8(std::string_view text)
{
    uint32_t codePoint = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t length = decodeUtf8(text, i, codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool isValidUtf16BE(const uint8_t* bytes, uint64_t units)
{
    for (uint64_t i = 0; i < units; ++i) {
        const uint32_t unit = unitAt(bytes, i);
        if (isHighSurrogate(unit)) {
            if (i + 1 >= units || !isLowSurrogate(unitAt(bytes, i + 1)))
                return false;
            ++i;
        } else if (isLowSurrogate(unit)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> utf16BEToUtf8(const uint8_t* bytes, uint64_t units)
{
    if (!isValidUtf16BE(bytes, units))
        return std::nullopt;
    std::string out;
    out.reserve(units);
    for (uint64_t i = 0; i < units; ++i) {
        uint32_t codePoint = unitAt(bytes, i);
        if (isHighSurrogate(codePoint)) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (unitAt(bytes, i + 1) - 0xDC00);
            ++i;
        }
        appendUtf8(out, codePoint);
    }
    return out;
}

std::string utf8ToUtf16BE(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    uint32_t codePoint = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t length = decodeUtf8(text, i, codePoint);
        KANVARO_ASSERT(length != 0);
        i += length;
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            appendUnit(out, 0xD800 + (codePoint >> 10));
            appendUnit(out, 0xDC00 + (codePoint & 0x3FF));
        } else {
            appendUnit(out, codePoint);
        }
    }
    return out;
}

} // namespace fnd::bplist
