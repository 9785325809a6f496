// Feeds arbitrary bytes to the photo decoders: any outcome but a crash, a leak or a sanitizer
// report is fine. Seeds: fuzz/corpus/decoders.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ImageIO/Decoder.h"

namespace {

// Decoding a PNG into caller-owned rows (as a reopened painting does) must stay inside them.
void decodeIntoRows(const std::uint8_t* data, std::size_t size)
{
    const auto header = imageio::readPngSize(data, size);
    if (!header.ok() || static_cast<std::int64_t>(header.value().width) * header.value().height > (1 << 22))
        return;
    const int width = header.value().width, height = header.value().height;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    imageio::PixelRows rows{pixels.data(), width, height, static_cast<std::size_t>(width) * 4};
    (void)imageio::decodePngInto(data, size, rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto image = imageio::decodeMemory(data, size);
    if (image.ok()) {
        // Touch the last byte so a short pixel buffer shows up under the address sanitizer.
        const auto& bytes = *image.value().bytes;
        const std::size_t expected = static_cast<std::size_t>(image.value().bytesPerRow) * image.value().height;
        if (bytes.size() != expected || bytes.empty())
            __builtin_trap();
        volatile std::uint8_t last = bytes.back();
        (void)last;
    }
    decodeIntoRows(data, size);
    return 0;
}
