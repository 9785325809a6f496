#pragma once
// The boxes of an MP4 file with one H.264 video track, laid out to stream: ftyp, then moov with
// the whole sample table, then mdat, whose payload is the samples one after another (each a run
// of NAL units with 4-byte big-endian lengths) in a single chunk.
#include <cstdint>
#include <vector>

namespace imageio::detail {

struct Mp4Track {
    int width = 0;
    int height = 0;
    int framesPerSecond = 30;
    std::vector<std::uint8_t> sequenceParameters; // one SPS NAL unit, without start code
    std::vector<std::uint8_t> pictureParameters;  // one PPS NAL unit
    std::vector<std::uint32_t> sampleSizes;       // bytes of each sample, in decoding order
    std::vector<std::uint32_t> sampleFrames;      // how many frame periods each sample lasts (1 unless one was dropped)
    std::vector<std::uint32_t> syncSamples;       // 1-based numbers of the samples that start with an IDR picture
};

// Media timescale units in one frame period; the media timescale is this times the frame rate.
inline constexpr std::uint32_t kTicksPerFrame = 1000;

// ftyp, moov and the mdat header for a payload of `payloadBytes`: the file is these bytes
// followed by the payload.
std::vector<std::uint8_t> mp4Header(const Mp4Track& track, std::uint64_t payloadBytes);

} // namespace imageio::detail
