#pragma once
// H.264 encoding of 4:2:0 pictures with OpenH264: one layer, no B-frames (every picture in gives
// its coded picture out at once, in order), an IDR picture at a fixed interval, constant quality.
// The stream is colour-tagged BT.709, limited range, as YuvConversion produces.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "Foundation/Result.h"
#include "ImageIO/YuvConversion.h"

namespace imageio::detail {

struct H264Settings {
    int width = 0;  // even
    int height = 0; // even
    int framesPerSecond = 30;
    int keyFrameInterval = 60; // pictures from one IDR picture to the next
    int quantizer = 22;        // 0-51: lower is better and larger
};

// One NAL unit without its start code; its first byte holds the unit's type.
struct NalUnit {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    int type() const { return data[0] & 0x1F; }
};

inline constexpr int kNalSlice = 1;
inline constexpr int kNalIdrSlice = 5;
inline constexpr int kNalSequenceParameters = 7;
inline constexpr int kNalPictureParameters = 8;

class H264Encoder {
public:
    static fnd::Result<std::unique_ptr<H264Encoder>> create(const H264Settings& settings);
    ~H264Encoder();
    H264Encoder(const H264Encoder&) = delete;
    H264Encoder& operator=(const H264Encoder&) = delete;

    // Encodes one picture of the settings' size; the units stay valid until the next call. An
    // empty list means the encoder dropped the picture.
    fnd::Result<std::span<const NalUnit>> encode(const YuvPlanes& picture, std::int64_t timestampMs);

private:
    struct Native;
    explicit H264Encoder(std::unique_ptr<Native> native);

    std::unique_ptr<Native> m_native;
    std::vector<NalUnit> m_units;
};

} // namespace imageio::detail
