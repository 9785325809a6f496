#include "ImageIO/VideoWriter.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/FileOps.h"
#include "ImageIO/H264Encoder.h"
#include "ImageIO/Mp4Layout.h"
#include "ImageIO/SpoolFile.h"
#include "ImageIO/YuvConversion.h"

namespace imageio {

namespace {

// An IDR picture every two seconds: a player can start or seek there.
constexpr int kKeyFrameSeconds = 2;
// Enough for hours; keeps every duration within the 32-bit fields of the file.
constexpr int kMaxFrames = 1'000'000;
constexpr std::size_t kCopyChunk = 1 << 20;

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void appendBigEndian32(std::vector<std::uint8_t>& out, std::size_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

struct VideoWriter::State {
    State(std::string toPath, int width, int height, detail::SpoolFile scratch)
        : path(std::move(toPath)), frameWidth(width), frameHeight(height), spool(std::move(scratch))
    {
    }

    std::string path;
    int frameWidth = 0;
    int frameHeight = 0;
    detail::SpoolFile spool;
    std::unique_ptr<detail::H264Encoder> encoder;
    std::vector<std::uint8_t> yuv;
    YuvPlanes planes;
    detail::Mp4Track track;
    std::vector<std::uint8_t> sample; // the picture being assembled, reused
    int frames = 0;
    std::optional<std::string> failure;

    fnd::Status fail(std::string message)
    {
        failure = message;
        return fnd::Error{std::move(message)};
    }
    fnd::Status keepParameterSet(std::vector<std::uint8_t>& kept, const detail::NalUnit& unit);
    fnd::Status addPicture(std::span<const detail::NalUnit> units);
    fnd::Status writeFile();
};

VideoWriter::VideoWriter(std::unique_ptr<State> state) : m_state(std::move(state)) {}
VideoWriter::VideoWriter(VideoWriter&& other) noexcept = default;
VideoWriter& VideoWriter::operator=(VideoWriter&& other) noexcept = default;
VideoWriter::~VideoWriter() = default;

fnd::Result<VideoWriter> VideoWriter::open(const std::string& path, int width, int height, int framesPerSecond)
{
    if (width < kMinSide || height < kMinSide || width > kMaxSide || height > kMaxSide
        || std::int64_t{width & ~1} * (height & ~1) > kMaxPixels)
        return fnd::Error{"a video cannot be " + std::to_string(width) + " x " + std::to_string(height) + " pixels"};
    if (framesPerSecond < 1 || framesPerSecond > kMaxFramesPerSecond)
        return fnd::Error{"a video cannot have " + std::to_string(framesPerSecond) + " frames a second"};
    auto spool = detail::SpoolFile::create(folderOf(path));
    if (!spool)
        return fnd::Error{spool.error()};
    detail::H264Settings settings;
    settings.width = width & ~1;
    settings.height = height & ~1;
    settings.framesPerSecond = framesPerSecond;
    settings.keyFrameInterval = framesPerSecond * kKeyFrameSeconds;
    auto encoder = detail::H264Encoder::create(settings);
    if (!encoder)
        return fnd::Error{encoder.error()};

    auto state = std::make_unique<State>(path, width, height, std::move(spool).value());
    state->encoder = std::move(encoder).value();
    const std::size_t lumaBytes = static_cast<std::size_t>(settings.width) * settings.height;
    state->yuv.resize(lumaBytes + lumaBytes / 2);
    state->planes = {state->yuv.data(), state->yuv.data() + lumaBytes, state->yuv.data() + lumaBytes + lumaBytes / 4,
                     settings.width, settings.width / 2};
    state->track.width = settings.width;
    state->track.height = settings.height;
    state->track.framesPerSecond = framesPerSecond;
    return VideoWriter(std::move(state));
}

int VideoWriter::videoWidth() const { return m_state ? m_state->track.width : 0; }
int VideoWriter::videoHeight() const { return m_state ? m_state->track.height : 0; }
int VideoWriter::frameCount() const { return m_state ? m_state->frames : 0; }

fnd::Status VideoWriter::addFrame(const std::uint8_t* pixels, int bytesPerRow)
{
    if (!m_state)
        return fnd::Error{"the video is already finished"};
    State& s = *m_state;
    if (s.failure)
        return fnd::Error{*s.failure};
    if (!pixels || bytesPerRow < s.frameWidth * 4)
        return fnd::Error{"a video frame needs rows of " + std::to_string(s.frameWidth) + " pixels"};
    if (s.frames >= kMaxFrames)
        return s.fail("the video is too long");
    convertArgbToYuv420(pixels, bytesPerRow, s.track.width, s.track.height, s.planes);
    const std::int64_t milliseconds = std::int64_t{s.frames} * 1000 / s.track.framesPerSecond;
    auto units = s.encoder->encode(s.planes, milliseconds);
    if (!units)
        return s.fail(units.error());
    if (auto added = s.addPicture(units.value()); !added)
        return added;
    ++s.frames;
    return {};
}

fnd::Status VideoWriter::State::keepParameterSet(std::vector<std::uint8_t>& kept, const detail::NalUnit& unit)
{
    if (kept.empty())
        kept.assign(unit.data, unit.data + unit.size);
    else if (!std::equal(kept.begin(), kept.end(), unit.data, unit.data + unit.size))
        return fail("the H.264 encoder changed its parameters within the video");
    return {};
}

// One coded picture becomes one sample: its NAL units with their lengths, the parameter sets left
// out (the sample entry holds them). A picture the encoder dropped lengthens the one before.
fnd::Status VideoWriter::State::addPicture(std::span<const detail::NalUnit> units)
{
    sample.clear();
    bool sync = false;
    for (const detail::NalUnit& unit : units) {
        if (unit.type() == detail::kNalSequenceParameters || unit.type() == detail::kNalPictureParameters) {
            auto& kept =
                unit.type() == detail::kNalSequenceParameters ? track.sequenceParameters : track.pictureParameters;
            if (auto same = keepParameterSet(kept, unit); !same)
                return same;
            continue;
        }
        sync = sync || unit.type() == detail::kNalIdrSlice;
        appendBigEndian32(sample, unit.size);
        sample.insert(sample.end(), unit.data, unit.data + unit.size);
    }
    if (sample.empty()) {
        if (track.sampleFrames.empty())
            return fail("the H.264 encoder dropped the first picture");
        ++track.sampleFrames.back();
        return {};
    }
    if (track.sampleSizes.empty() && !sync)
        return fail("the H.264 encoder did not start with a key picture");
    if (auto written = spool.append(sample.data(), sample.size()); !written)
        return fail(written.error());
    track.sampleSizes.push_back(static_cast<std::uint32_t>(sample.size()));
    track.sampleFrames.push_back(1);
    if (sync)
        track.syncSamples.push_back(static_cast<std::uint32_t>(track.sampleSizes.size()));
    return {};
}

// The index, then the pictures copied from the scratch file, into a temporary file renamed over
// the path.
fnd::Status VideoWriter::State::writeFile()
{
    if (track.sequenceParameters.size() < 4 || track.pictureParameters.empty())
        return fnd::Error{"the H.264 encoder gave no parameter sets"};
    const std::vector<std::uint8_t> header = detail::mp4Header(track, spool.size());
    std::string readError;
    auto pending = fnd::PendingFile::write(path, [&](const fnd::ChunkWriter& write) {
        if (!write(header.data(), header.size()))
            return false;
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, spool.size())));
        for (std::uint64_t offset = 0; offset < spool.size(); offset += chunk.size()) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), spool.size() - offset));
            if (auto read = spool.read(offset, chunk.data(), size); !read) {
                readError = read.error();
                return false;
            }
            if (!write(chunk.data(), size))
                return false;
        }
        return true;
    });
    if (!pending)
        return fnd::Error{readError.empty() ? pending.error() : readError};
    return pending->commit();
}

fnd::Status VideoWriter::finish()
{
    if (!m_state)
        return fnd::Error{"the video is already finished"};
    const std::unique_ptr<State> state = std::move(m_state);
    if (state->failure)
        return fnd::Error{*state->failure};
    if (state->frames == 0)
        return fnd::Error{"a video needs at least one frame"};
    return state->writeFile();
}

void VideoWriter::cancel() { m_state.reset(); }

} // namespace imageio
