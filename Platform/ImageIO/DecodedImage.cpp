#include "ImageIO/DecodedImage.h"

namespace imageio {

int orientationFromExif(int exifOrientation)
{
    // Indexed by EXIF orientation 1..8.
    constexpr int kCodes[] = {
        kOrientationUp,           kOrientationUpMirrored, kOrientationDown,          kOrientationDownMirrored,
        kOrientationLeftMirrored, kOrientationRight,      kOrientationRightMirrored, kOrientationLeft};
    if (exifOrientation < 1 || exifOrientation > 8)
        return kOrientationUp;
    return kCodes[exifOrientation - 1];
}

} // namespace imageio
