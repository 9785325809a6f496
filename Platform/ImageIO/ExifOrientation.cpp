#include "ImageIO/ExifOrientation.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <memory>
#include <vector>

#include "ImageIO/DecodedImage.h"

namespace imageio::detail {
namespace {

// An APP1 segment holds at most 64 KiB; anything longer is not an EXIF block we read.
constexpr std::size_t kMaxExifBytes = 65535;
constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

struct ExifDataUnref {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};
using ExifDataPtr = std::unique_ptr<ExifData, ExifDataUnref>;

int readOrientationTag(ExifData* exif)
{
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || !entry->data || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2)
        return kOrientationUp;
    return orientationFromExif(exif_get_short(entry->data, exif_data_get_byte_order(exif)));
}

} // namespace

int orientationFromExifBlock(const std::uint8_t* block, std::size_t size)
{
    if (!block || size <= sizeof kExifHeader || size > kMaxExifBytes
        || std::memcmp(block, kExifHeader, sizeof kExifHeader) != 0)
        return kOrientationUp;
    ExifDataPtr exif(exif_data_new());
    if (!exif)
        return kOrientationUp;
    // Read the tags as they stand: no fixing up, no invented default entries.
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif.get(), block, static_cast<unsigned int>(size));
    return readOrientationTag(exif.get());
}

int orientationFromTiffBlock(const std::uint8_t* block, std::size_t size)
{
    if (!block || size == 0 || size > kMaxExifBytes - sizeof kExifHeader)
        return kOrientationUp;
    std::vector<std::uint8_t> withHeader(std::begin(kExifHeader), std::end(kExifHeader));
    withHeader.insert(withHeader.end(), block, block + size);
    return orientationFromExifBlock(withHeader.data(), withHeader.size());
}

} // namespace imageio::detail
