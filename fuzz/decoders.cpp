// Feeds arbitrary bytes to the photo decoders: any outcome but a crash, a leak or a sanitizer
// report is fine. Seeds: fuzz/corpus/decoders.
#include <cstddef>
#include <cstdint>

#include "ImageIO/Decoder.h"

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
    return 0;
}
