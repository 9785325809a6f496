// Turning a decoded photo upright: resampled so that its longer side is 1024 for the painting, or
// at its full size for the full-size photo.
#include "Foundation/Assert.h"
#include "RawImage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kUprightLongSide = 1024.0f;

// How destination (x, y) maps onto the source for one orientation code: each destination axis
// picks one source coordinate, counted from the far end when mirrored; transposed codes let the
// destination column choose the source row and the destination row the source column.
struct Mapping {
    bool mirrorColumns;
    bool mirrorRows;
    bool transposed;
};

Mapping mappingFor(int orientation)
{
    switch (orientation) {
    case imageio::kOrientationDown: return {true, true, false};
    case imageio::kOrientationLeft: return {false, true, true};
    case imageio::kOrientationRight: return {true, false, true};
    case imageio::kOrientationUpMirrored: return {true, false, false};
    case imageio::kOrientationDownMirrored: return {false, true, false};
    case imageio::kOrientationLeftMirrored: // transposed across the main diagonal
        return {false, false, true};
    case imageio::kOrientationRightMirrored: // transposed across the other diagonal
        return {true, true, true};
    default: return {false, false, false};
    }
}

// trunc(i * inv) with the product in single precision.
int sourceIndex(int i, float inv) { return static_cast<int>(static_cast<float>(i) * inv); }

} // namespace

RawImage::PixelBuffer RawImage::createRotatedImageData(const std::vector<std::uint8_t>& decoded)
{
    return rotatedImageData(decoded, kUprightLongSide / static_cast<float>(std::max(m_width, m_height)));
}

// Scale 1 picks every source pixel once: i x 1.0f is exact for every side a decoder delivers.
RawImage::PixelBuffer RawImage::rotatedImageData(const std::vector<std::uint8_t>& decoded, float scale)
{
    const int sourceWidth = m_width;
    const int sourceHeight = m_height;
    const std::size_t sourceRowBytes = static_cast<std::size_t>(m_rb);
    KANVARO_ASSERT(decoded.size() >= sourceRowBytes * static_cast<std::size_t>(sourceHeight));

    const float inv = 1.0f / scale;
    const Mapping mapping = mappingFor(m_orientation);
    const int newWidth = static_cast<int>(static_cast<float>(mapping.transposed ? sourceHeight : sourceWidth) * scale);
    const int newHeight = static_cast<int>(static_cast<float>(mapping.transposed ? sourceWidth : sourceHeight) * scale);

    // Destination (x, y) copies the 4 source bytes at columnOffsets[x] + rowOffsets[y]: the tables
    // are built (and checked) once, so the copy loop does no arithmetic beyond two lookups.
    std::vector<std::size_t> columnOffsets(static_cast<std::size_t>(newWidth));
    for (int x = 0; x < newWidth; ++x) {
        const int picked = sourceIndex(mapping.mirrorColumns ? newWidth - 1 - x : x, inv);
        const int xOrig = mapping.transposed ? 0 : picked;
        const int yOrig = mapping.transposed ? picked : 0;
        KANVARO_ASSERT(xOrig < width());
        KANVARO_ASSERT(yOrig < height());
        columnOffsets[static_cast<std::size_t>(x)] =
            static_cast<std::size_t>(yOrig) * sourceRowBytes + static_cast<std::size_t>(xOrig) * 4;
    }
    std::vector<std::size_t> rowOffsets(static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const int picked = sourceIndex(mapping.mirrorRows ? newHeight - 1 - y : y, inv);
        const int xOrig = mapping.transposed ? picked : 0;
        const int yOrig = mapping.transposed ? 0 : picked;
        KANVARO_ASSERT(xOrig < width());
        KANVARO_ASSERT(yOrig < height());
        rowOffsets[static_cast<std::size_t>(y)] =
            static_cast<std::size_t>(yOrig) * sourceRowBytes + static_cast<std::size_t>(xOrig) * 4;
    }

    auto rotated = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(newWidth) * 4
                                                               * static_cast<std::size_t>(newHeight));
    const std::size_t* const offsets = columnOffsets.data();
    CPixelWalker walker(rotated->data(), newWidth, newHeight, m_bpp / 8, newWidth * 4);
    walker.WalkRows([&](std::uint8_t* row, int y) {
        const std::uint8_t* const source = decoded.data() + rowOffsets[static_cast<std::size_t>(y)];
        for (int x = 0; x < newWidth; ++x)
            std::memcpy(row + static_cast<std::size_t>(x) * 4, source + offsets[x], 4);
    });

    m_width = newWidth;
    m_height = newHeight;
    m_rb = newWidth * 4;
    m_orientation = imageio::kOrientationUp;
    return rotated;
}
