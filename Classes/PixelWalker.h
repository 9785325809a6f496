#pragma once
// The pixel as a value (CColor) and the row-major walker that every whole-block pass uses.
// Pixels are 32-bit little-endian words 0xAARRGGBB: bytes in memory blue, green, red, alpha.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "pixel words are read straight from memory");

// One pixel: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
struct CColor {
    std::uint32_t value = 0;

    constexpr std::uint32_t Alpha() const { return value >> 24; }
    constexpr std::uint32_t Red() const { return (value >> 16) & 0xFF; }
    constexpr std::uint32_t Green() const { return (value >> 8) & 0xFF; }
    constexpr std::uint32_t Blue() const { return value & 0xFF; }
    constexpr bool operator==(const CColor&) const = default;

    static CColor Load(const std::uint8_t* bytes)
    {
        CColor color;
        std::memcpy(&color.value, bytes, sizeof color.value);
        return color;
    }
    void Store(std::uint8_t* bytes) const { std::memcpy(bytes, &value, sizeof value); }
};

// Visits a block of pixels row by row, top to bottom, left to right. It does not own the bytes.
// The block is writable: passes may change the pixel they are shown.
class CPixelWalker {
public:
    CPixelWalker(std::uint8_t* data, int width, int height, int bytesPerPixel, int rowBytes)
        : m_data(data), m_width(width), m_height(height), m_bytesPerPixel(bytesPerPixel), m_rowBytes(rowBytes)
    {
    }
    virtual ~CPixelWalker();
    CPixelWalker(const CPixelWalker&) = delete;
    CPixelWalker& operator=(const CPixelWalker&) = delete;

    // Calls visit(std::uint8_t* pixel, int row, int column) for every pixel. m_curPixel points at
    // the visited pixel during the call, so helpers such as GetCurPixel16 can be used inside.
    template <class Visit> void Walk(Visit&& visit)
    {
        WalkRows([&](std::uint8_t* rowStart, int row) {
            // Locals rather than fields in the loop: writes through the byte pointer could alias
            // the fields and would force a reload of each one per pixel.
            const std::ptrdiff_t step = m_bytesPerPixel;
            std::uint8_t* const rowEnd = m_rowEnd;
            int column = 0;
            for (std::uint8_t* pixel = rowStart; pixel != rowEnd; pixel += step, ++column) {
                m_curPixel = pixel;
                visit(pixel, row, column);
            }
        });
    }

    // Calls visitRow(std::uint8_t* rowStart, int row) once per row, for passes that step through
    // a row themselves; m_curRow and m_rowEnd bound the row during the call.
    template <class VisitRow> void WalkRows(VisitRow&& visitRow)
    {
        const std::ptrdiff_t rowBytes = m_rowBytes;
        const std::ptrdiff_t rowLength = static_cast<std::ptrdiff_t>(m_width) * m_bytesPerPixel;
        std::uint8_t* const first = WritableData();
        std::uint8_t* const rowsEnd = first + static_cast<std::ptrdiff_t>(m_height) * rowBytes;
        m_rowsEnd = rowsEnd;
        int row = 0;
        for (std::uint8_t* rowStart = first; rowStart != rowsEnd; rowStart += rowBytes, ++row) {
            m_curRow = rowStart;
            m_curPixel = rowStart;
            m_rowEnd = rowStart + rowLength;
            visitRow(rowStart, row);
        }
        m_curRow = rowsEnd;
    }

protected:
    const std::uint8_t* m_data;
    int m_width;
    int m_height;
    int m_bytesPerPixel;
    int m_rowBytes;
    std::uint8_t* m_curRow = nullptr;
    std::uint8_t* m_rowsEnd = nullptr;
    std::uint8_t* m_curPixel = nullptr;
    std::uint8_t* m_rowEnd = nullptr;

private:
    // The walker was built from writable bytes, so giving the write access back is sound.
    std::uint8_t* WritableData() const { return const_cast<std::uint8_t*>(m_data); }
};
