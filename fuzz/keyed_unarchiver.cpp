// Feeds arbitrary bytes to the keyed unarchiver and walks the document's schema over them:
// root "DataModel" -> "RawImage" (ints, pixel data) and "Canvas" (ints, colour, string, data).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Foundation/KeyedUnarchiver.h"

namespace {

// Touches every byte of a decoded view so the sanitizers see out-of-bounds reads.
uint8_t sum(std::optional<std::span<const uint8_t>> bytes)
{
    uint8_t total = 0;
    if (bytes) {
        for (uint8_t b : *bytes)
            total = static_cast<uint8_t>(total + b);
    }
    return total;
}

void walkRawImage(fnd::KeyedUnarchiver& coder)
{
    const auto pixels = coder.decodeData("pixels");
    for (const char* key : {"width", "height", "bpp", "bpc", "rb", "orientation"})
        coder.decodeInt32(key);
    volatile uint8_t sink = sum(pixels);
    (void)sink;
}

void walkCanvas(fnd::KeyedUnarchiver& coder)
{
    coder.decodeInt32("width");
    coder.decodeInt32("height");
    coder.decodeColor("backgroundColor");
    coder.decodeString("textureName");
    volatile uint8_t sink = sum(coder.decodeData("paintingData"));
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto coder = fnd::KeyedUnarchiver::fromBytes(std::vector<uint8_t>(data, data + size));
    if (!coder.ok())
        return 0;
    coder->decodeRootObject("DataModel", [](fnd::KeyedUnarchiver& root) {
        root.decodeObject("RawImage", "RawImage", walkRawImage);
        root.decodeObject("Canvas", "Canvas", walkCanvas);
    });
    return 0;
}
