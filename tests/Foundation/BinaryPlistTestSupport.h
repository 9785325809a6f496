#pragma once
// Hand-assembled binary property lists for tests: objects given as raw bytes, so a test can
// build any file, including ones whose trailer or references lie.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "Foundation/BinaryPlistFormat.h"

namespace plisttest {

using Bytes = std::vector<uint8_t>;

struct RawPlist {
    std::vector<Bytes> objects;
    unsigned offsetSize = 2;
    unsigned refSize = 1;
    uint64_t top = 0;

    Bytes build() const
    {
        Bytes file(fnd::bplist::kMagic, fnd::bplist::kMagic + fnd::bplist::kMagicSize);
        std::vector<uint64_t> offsets;
        for (const Bytes& object : objects) {
            offsets.push_back(file.size());
            file.insert(file.end(), object.begin(), object.end());
        }
        const uint64_t tableOffset = file.size();
        for (uint64_t offset : offsets)
            appendNumber(file, offset, offsetSize);
        Bytes trailer(32, 0);
        trailer[6] = static_cast<uint8_t>(offsetSize);
        trailer[7] = static_cast<uint8_t>(refSize);
        fnd::bplist::writeBigEndian(&trailer[8], objects.size(), 8);
        fnd::bplist::writeBigEndian(&trailer[16], top, 8);
        fnd::bplist::writeBigEndian(&trailer[24], tableOffset, 8);
        file.insert(file.end(), trailer.begin(), trailer.end());
        return file;
    }

    static void appendNumber(Bytes& out, uint64_t value, unsigned width)
    {
        uint8_t bytes[8];
        fnd::bplist::writeBigEndian(bytes, value, width);
        out.insert(out.end(), bytes, bytes + width);
    }
};

inline Bytes ascii(const std::string& text)
{
    Bytes out(1 + text.size());
    out[0] = static_cast<uint8_t>(0x50 | text.size());
    std::copy(text.begin(), text.end(), out.begin() + 1);
    return out;
}

// Trailer field offsets, for tests that patch a valid file.
inline constexpr size_t kTrailerCount = 8;
inline constexpr size_t kTrailerTop = 16;
inline constexpr size_t kTrailerTable = 24;

inline void patchTrailer(Bytes& file, size_t field, uint64_t value)
{
    fnd::bplist::writeBigEndian(&file[file.size() - 32 + field], value, 8);
}

} // namespace plisttest
