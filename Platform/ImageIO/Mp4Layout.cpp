#include "ImageIO/Mp4Layout.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <numeric>
#include <string_view>
#include <utility>

#include "Foundation/Assert.h"

namespace imageio::detail {

namespace {

// Big-endian fields and boxes whose sizes are filled in when they close.
class BoxWriter {
public:
    explicit BoxWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void u8(std::uint32_t v) { m_out.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v)
    {
        u8(v >> 8);
        u8(v);
    }
    void u32(std::uint32_t v)
    {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void u64(std::uint64_t v)
    {
        u32(static_cast<std::uint32_t>(v >> 32));
        u32(static_cast<std::uint32_t>(v));
    }
    void zeros(std::size_t count) { m_out.insert(m_out.end(), count, 0); }
    void bytes(const std::vector<std::uint8_t>& b) { m_out.insert(m_out.end(), b.begin(), b.end()); }
    void fourcc(const char* code)
    {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<std::uint8_t>(code[i]));
    }

    std::size_t open(const char* type)
    {
        const std::size_t start = m_out.size();
        u32(0);
        fourcc(type);
        return start;
    }
    std::size_t openFull(const char* type, std::uint32_t version, std::uint32_t flags)
    {
        const std::size_t start = open(type);
        u32((version << 24) | flags);
        return start;
    }
    void close(std::size_t start)
    {
        const auto size = static_cast<std::uint32_t>(m_out.size() - start);
        for (int i = 0; i < 4; ++i)
            m_out[start + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    }

    // The identity transform of tkhd and mvhd (16.16 and 2.30 fixed point).
    void identityMatrix()
    {
        const std::uint32_t m[9] = {0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
        for (std::uint32_t v : m)
            u32(v);
    }

private:
    std::vector<std::uint8_t>& m_out;
};

struct Durations {
    std::uint64_t ticks;        // in the media timescale
    std::uint64_t milliseconds; // in the movie timescale
};

Durations durationsOf(const Mp4Track& track)
{
    const std::uint64_t frames =
        std::accumulate(track.sampleFrames.begin(), track.sampleFrames.end(), std::uint64_t{0});
    const auto fps = static_cast<std::uint64_t>(track.framesPerSecond);
    return {frames * kTicksPerFrame, (frames * 1000 + fps / 2) / fps};
}

void writeFileType(BoxWriter& w)
{
    const std::size_t box = w.open("ftyp");
    w.fourcc("isom");
    w.u32(0x200);
    for (const char* brand : {"isom", "iso2", "avc1", "mp41"})
        w.fourcc(brand);
    w.close(box);
}

void writeMovieHeader(BoxWriter& w, const Durations& d)
{
    const std::size_t box = w.openFull("mvhd", 0, 0);
    w.u32(0); // created
    w.u32(0); // modified
    w.u32(1000);
    w.u32(static_cast<std::uint32_t>(d.milliseconds));
    w.u32(0x00010000); // rate 1.0
    w.u16(0x0100);     // volume 1.0
    w.zeros(2 + 8);
    w.identityMatrix();
    w.zeros(24);
    w.u32(2); // next track
    w.close(box);
}

void writeTrackHeader(BoxWriter& w, const Mp4Track& track, const Durations& d)
{
    const std::size_t box = w.openFull("tkhd", 0, 0x3); // enabled, in the movie
    w.u32(0);
    w.u32(0);
    w.u32(1); // track id
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(d.milliseconds));
    w.zeros(8);
    w.u16(0); // layer
    w.u16(0); // alternate group
    w.u16(0); // volume: none for video
    w.u16(0);
    w.identityMatrix();
    w.u32(static_cast<std::uint32_t>(track.width) << 16);
    w.u32(static_cast<std::uint32_t>(track.height) << 16);
    w.close(box);
}

void writeMediaHeader(BoxWriter& w, const Mp4Track& track, const Durations& d)
{
    const std::size_t box = w.openFull("mdhd", 0, 0);
    w.u32(0);
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(track.framesPerSecond) * kTicksPerFrame);
    w.u32(static_cast<std::uint32_t>(d.ticks));
    w.u16(0x55C4); // language "und"
    w.u16(0);
    w.close(box);

    const std::size_t handler = w.openFull("hdlr", 0, 0);
    w.u32(0);
    w.fourcc("vide");
    w.zeros(12);
    for (char c : std::string_view("VideoHandler"))
        w.u8(static_cast<std::uint8_t>(c));
    w.u8(0);
    w.close(handler);
}

void writeDecoderConfiguration(BoxWriter& w, const Mp4Track& track)
{
    const auto& sps = track.sequenceParameters;
    const std::size_t box = w.open("avcC");
    w.u8(1);      // configuration version
    w.u8(sps[1]); // profile
    w.u8(sps[2]); // profile compatibility
    w.u8(sps[3]); // level
    w.u8(0xFF);   // 4-byte NAL lengths
    w.u8(0xE1);   // one SPS
    w.u16(static_cast<std::uint32_t>(sps.size()));
    w.bytes(sps);
    w.u8(1); // one PPS
    w.u16(static_cast<std::uint32_t>(track.pictureParameters.size()));
    w.bytes(track.pictureParameters);
    if (sps[1] == 100 || sps[1] == 110 || sps[1] == 122 || sps[1] == 144) {
        w.u8(0xFC | 1); // 4:2:0
        w.u8(0xF8);     // 8-bit luma
        w.u8(0xF8);     // 8-bit chroma
        w.u8(0);        // no SPS extensions
    }
    w.close(box);
}

void writeSampleEntry(BoxWriter& w, const Mp4Track& track)
{
    const std::size_t description = w.openFull("stsd", 0, 0);
    w.u32(1);
    const std::size_t entry = w.open("avc1");
    w.zeros(6);
    w.u16(1); // data reference
    w.zeros(16);
    w.u16(static_cast<std::uint32_t>(track.width));
    w.u16(static_cast<std::uint32_t>(track.height));
    w.u32(0x00480000); // 72 dpi
    w.u32(0x00480000);
    w.u32(0);
    w.u16(1);      // one frame per sample
    w.zeros(32);   // no compressor name
    w.u16(0x0018); // colour, no alpha
    w.u16(0xFFFF);
    writeDecoderConfiguration(w, track);
    const std::size_t colour = w.open("colr");
    w.fourcc("nclx");
    w.u16(1); // BT.709 primaries
    w.u16(1); // BT.709 transfer
    w.u16(1); // BT.709 matrix
    w.u8(0);  // limited range
    w.close(colour);
    const std::size_t aspect = w.open("pasp");
    w.u32(1);
    w.u32(1);
    w.close(aspect);
    w.close(entry);
    w.close(description);
}

// Decoding times: runs of samples of equal duration.
void writeTimeToSample(BoxWriter& w, const Mp4Track& track)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> runs; // count, frames
    for (std::uint32_t frames : track.sampleFrames) {
        if (!runs.empty() && runs.back().second == frames)
            ++runs.back().first;
        else
            runs.emplace_back(1, frames);
    }
    const std::size_t box = w.openFull("stts", 0, 0);
    w.u32(static_cast<std::uint32_t>(runs.size()));
    for (const auto& [count, frames] : runs) {
        w.u32(count);
        w.u32(frames * kTicksPerFrame);
    }
    w.close(box);
}

void writeSampleTable(BoxWriter& w, const Mp4Track& track, std::uint32_t chunkOffset)
{
    const auto count = static_cast<std::uint32_t>(track.sampleSizes.size());
    const std::size_t table = w.open("stbl");
    writeSampleEntry(w, track);
    writeTimeToSample(w, track);
    const std::size_t sync = w.openFull("stss", 0, 0);
    w.u32(static_cast<std::uint32_t>(track.syncSamples.size()));
    for (std::uint32_t number : track.syncSamples)
        w.u32(number);
    w.close(sync);
    const std::size_t chunks = w.openFull("stsc", 0, 0);
    w.u32(1); // every sample in chunk 1
    w.u32(1);
    w.u32(count);
    w.u32(1);
    w.close(chunks);
    const std::size_t sizes = w.openFull("stsz", 0, 0);
    w.u32(0); // sizes differ
    w.u32(count);
    for (std::uint32_t size : track.sampleSizes)
        w.u32(size);
    w.close(sizes);
    const std::size_t offsets = w.openFull("stco", 0, 0);
    w.u32(1);
    w.u32(chunkOffset);
    w.close(offsets);
    w.close(table);
}

void writeMediaInformation(BoxWriter& w, const Mp4Track& track, std::uint32_t chunkOffset)
{
    const std::size_t information = w.open("minf");
    const std::size_t video = w.openFull("vmhd", 0, 1);
    w.zeros(8); // copy mode, no colour
    w.close(video);
    const std::size_t data = w.open("dinf");
    const std::size_t references = w.openFull("dref", 0, 0);
    w.u32(1);
    w.close(w.openFull("url ", 0, 1)); // the samples are in this file
    w.close(references);
    w.close(data);
    writeSampleTable(w, track, chunkOffset);
    w.close(information);
}

void writeMovie(BoxWriter& w, const Mp4Track& track, std::uint32_t chunkOffset)
{
    const Durations durations = durationsOf(track);
    const std::size_t movie = w.open("moov");
    writeMovieHeader(w, durations);
    const std::size_t trak = w.open("trak");
    writeTrackHeader(w, track, durations);
    const std::size_t media = w.open("mdia");
    writeMediaHeader(w, track, durations);
    writeMediaInformation(w, track, chunkOffset);
    w.close(media);
    w.close(trak);
    w.close(movie);
}

void writeMediaDataHeader(BoxWriter& w, std::uint64_t payloadBytes)
{
    if (payloadBytes + 8 <= std::numeric_limits<std::uint32_t>::max()) {
        w.u32(static_cast<std::uint32_t>(payloadBytes + 8));
        w.fourcc("mdat");
    } else {
        w.u32(1); // the size follows in 64 bits
        w.fourcc("mdat");
        w.u64(payloadBytes + 16);
    }
}

} // namespace

std::vector<std::uint8_t> mp4Header(const Mp4Track& track, std::uint64_t payloadBytes)
{
    KANVARO_ASSERT(track.sequenceParameters.size() >= 4 && !track.pictureParameters.empty());
    KANVARO_ASSERT(track.sampleSizes.size() == track.sampleFrames.size() && !track.sampleSizes.empty());
    // The chunk offset is the length of everything before the payload; the moov's own length
    // does not depend on the offset's value, so it is laid out once to measure it.
    std::vector<std::uint8_t> out;
    BoxWriter w(out);
    writeFileType(w);
    const std::size_t movieStart = out.size();
    writeMovie(w, track, 0);
    const std::size_t movieSize = out.size() - movieStart;
    out.resize(movieStart);
    std::vector<std::uint8_t> mdatHeader;
    BoxWriter m(mdatHeader);
    writeMediaDataHeader(m, payloadBytes);
    writeMovie(w, track, static_cast<std::uint32_t>(movieStart + movieSize + mdatHeader.size()));
    out.insert(out.end(), mdatHeader.begin(), mdatHeader.end());
    return out;
}

} // namespace imageio::detail
