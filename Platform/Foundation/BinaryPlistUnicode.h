#pragma once
// Conversions between the UTF-8 text the application uses and the UTF-16BE code units of
// binary property list strings. Malformed input is reported, never repaired.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fnd::bplist {

bool isAscii(std::string_view text);
bool isValidUtf8(std::string_view text);

// Checks `units` big-endian UTF-16 code units for unpaired surrogates.
bool isValidUtf16BE(const uint8_t* bytes, uint64_t units);

// UTF-16BE to UTF-8; nullopt on an unpaired surrogate.
std::optional<std::string> utf16BEToUtf8(const uint8_t* bytes, uint64_t units);

// UTF-8 (must be valid) to UTF-16BE bytes, two per code unit.
std::string utf8ToUtf16BE(std::string_view text);

} // namespace fnd::bplist
