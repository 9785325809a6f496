#pragma once
// A photo as a decoder delivers it: the decoded bytes plus what the raw image import needs to
// read them (pixel size, row length, byte-order field, orientation code).
#include <cstdint>
#include <memory>
#include <vector>

namespace imageio {

// The byte-order field of a bitmap description (bits 12-14).
enum ByteOrder : std::uint32_t {
    kByteOrderDefault = 0,
    kByteOrder16Little = 0x1000,
    kByteOrder32Little = 0x2000,
    kByteOrder16Big = 0x3000,
    kByteOrder32Big = 0x4000,
    kByteOrderMask = 0x7000,
};

// Orientation codes: what must be done to the decoded pixels to show them upright.
// EXIF 1..8 map onto 0, 4, 1, 5, 6, 3, 7, 2.
enum Orientation : int {
    kOrientationUp = 0,            // EXIF 1
    kOrientationDown = 1,          // EXIF 3: turned 180 degrees
    kOrientationLeft = 2,          // EXIF 8: turn 90 degrees counter-clockwise to show upright
    kOrientationRight = 3,         // EXIF 6: turn 90 degrees clockwise to show upright
    kOrientationUpMirrored = 4,    // EXIF 2
    kOrientationDownMirrored = 5,  // EXIF 4
    kOrientationLeftMirrored = 6,  // EXIF 5
    kOrientationRightMirrored = 7, // EXIF 7
};

// Maps an EXIF orientation (1..8) onto the codes above; anything else is upright.
int orientationFromExif(int exifOrientation);

// True for the codes whose upright picture has width and height exchanged.
constexpr bool orientationSwapsAxes(int code)
{
    return code == kOrientationLeft || code == kOrientationRight || code == kOrientationLeftMirrored
           || code == kOrientationRightMirrored;
}

struct DecodedImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    int bytesPerRow = 0;
    std::uint32_t byteOrder = kByteOrder32Little;
    int orientation = kOrientationUp;
    // height x bytesPerRow bytes. Decoders deliver 32-bit pixels as 0xAARRGGBB little-endian
    // words (bytes blue, green, red, alpha), straight alpha, rows of width x 4 bytes.
    std::shared_ptr<std::vector<std::uint8_t>> bytes;
    // The file's own bytes, as they were decoded, when the picture must be turned upright: its
    // turned pixels are resampled, and decoding these again gives it at full size. Shared and
    // never changed; set by the whole decodes (decodeFile, decodeMemory), nullptr otherwise.
    std::shared_ptr<const std::vector<std::uint8_t>> sourceFile;

    // The size as displayed: width and height exchanged for the turned orientations.
    int displayWidth() const { return orientationSwapsAxes(orientation) ? height : width; }
    int displayHeight() const { return orientationSwapsAxes(orientation) ? width : height; }
};

} // namespace imageio
